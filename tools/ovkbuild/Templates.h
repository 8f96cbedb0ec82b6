#pragma once
// Higher-level record helpers on top of Builder::AddRecord, and the named templates a
// manifest record can start from ("template": "page").

#include "ovkbuild/Builder.h"

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace ovkbuild {

// Page-record field offsets the helpers fill.
namespace page {
inline constexpr int kTextPosition = 0;
inline constexpr int kStatus = 4;
inline constexpr int kTitle = 5; // string[71]
inline constexpr int kTitleCapacity = 71;
inline constexpr int kBrowseGroup = 77;
inline constexpr int kBrowsePosition = 79;
inline constexpr int kFrameMap = 81;
inline constexpr int kBackgroundPicture = 85;
inline constexpr int kTextColor = 89;
inline constexpr int kLinkColor = 93;
inline constexpr int kLink2Color = 97;
inline constexpr int kBackgroundColor = 101;
inline constexpr int kKeywords = 105; // 20 x int32
inline constexpr int kTextLength = 185;
inline constexpr int kNotInBrowseSequence = 189;
inline constexpr int kLanguage = 191;
inline constexpr int kMarkupVersion = 195;
inline constexpr int kRevision = 196;
inline constexpr int kSlideDelay = 221;
inline constexpr int kNextSlide = 227;
inline constexpr int kHeaderPage = 231;
inline constexpr int kFooterPage = 235;
inline constexpr int kExtraPosition = 239;
inline constexpr int kExtraLength = 243;
inline constexpr int kBackgroundMode = 288;
} // namespace page

// A page record as the authoring product leaves a fresh page: uninterpreted bytes 0xFF, the
// colours from the header's new-page values, no frame map, keywords, header or footer.
// `titleBytes` is in the ebook's code page.
Record PageRecord(const Builder& builder, std::string_view titleBytes);

// Adds a page with a UTF-8 title and, when given, its paragraph-stream text (bytes in the
// ebook's code page) as a data block. Returns the page's index.
std::int32_t AddPage(Builder& builder, const std::string& titleUtf8, const std::string& textBytes = {});

// Adds a page as AddPage does, with up to 20 keyword indexes in its keyword slots.
std::int32_t AddPage(Builder& builder, const std::string& titleUtf8, const std::string& textBytes,
                     const std::vector<std::int32_t>& keywords);

// The helpers below add one object of their kind, in use, and return its index. Names and texts
// are UTF-8 and converted to the ebook's code page; file, picture and list bytes go in as given.

// A file carried inside the ebook under `storedName` (no folder, as the authoring tool stores it).
std::int32_t AddGenLink(Builder& builder, const std::string& storedNameUtf8, const std::string& fileBytes);
// Picture data: `storedName`'s extension tells the reader the picture format.
std::int32_t AddImmagine(Builder& builder, const std::string& nameUtf8, const std::string& storedNameUtf8,
                         const std::string& pictureBytes);
// A hyperlink; its sub-kind follows the address ("vosk:", "http:", "mailto:" or plain).
std::int32_t AddInternetLink(Builder& builder, const std::string& addressUtf8);
std::int32_t AddKeyword(Builder& builder, const std::string& keywordUtf8);
// A marker of `subKind` carrying `dataBytes` (a comment text, a node list …).
std::int32_t AddShortObj(Builder& builder, int subKind, const std::string& dataBytes);
// A shortObj holding `nodeList`, made the holder of the page outline (header 1342) or, with
// `custom`, of the custom-object outline (header 1732).
std::int32_t AddNodeList(Builder& builder, const std::string& nodeList, bool custom = false);
// A local data object with its name/value list (names stored in lower case); `iconSelector`
// at 46.
std::int32_t AddDbloc(Builder& builder, const std::string& nameUtf8,
                      const std::vector<std::pair<std::string, std::string>>& fields, int iconSelector = 0);
// A dbloc made the ebook's property list (header 1758), icon selector 1.
std::int32_t AddPropertyList(Builder& builder,
                             const std::vector<std::pair<std::string, std::string>>& fields);
// A special link of `subKind` to `target` (a reference), in window mode `mode`, with an
// optional window name and data text.
std::int32_t AddSpeclink(Builder& builder, int subKind, std::int32_t target, int mode = 0,
                         const std::string& windowNameUtf8 = {}, const std::string& dataBytes = {});
// A paragraph style record with the defaults of a new style and the given name.
Record ParagraphStyleRecord(const Builder& builder, const std::string& nameUtf8);
std::int32_t AddParagraphStyle(Builder& builder, const std::string& nameUtf8);

// Gives `record` of `kind` an extra block: an empty binary part followed by `attributeBytes`
// (name="value" pairs). Throws BuildError for kinds without an extra block.
void AttachAttributes(Builder& builder, TOggettiHel kind, Record& record, const std::string& attributeBytes);

// The node-list and field-list text formats, for tests that write them by hand.
std::string FieldListBytes(const Builder& builder,
                           const std::vector<std::pair<std::string, std::string>>& fields);

// A template makes the starting record of a manifest record from the record's JSON object.
using RecordTemplate = std::function<Record(Builder&, const nlohmann::json& manifestEntry)>;
const std::map<std::string, RecordTemplate>& RecordTemplates();
void RegisterRecordTemplate(const std::string& name, RecordTemplate make);

} // namespace ovkbuild
