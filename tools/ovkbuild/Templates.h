#pragma once
// Higher-level record helpers on top of Builder::AddRecord, and the named templates a
// manifest record can start from ("template": "page").

#include "ovkbuild/Builder.h"

#include <functional>
#include <map>
#include <string>

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

// A template makes the starting record of a manifest record from the record's JSON object.
using RecordTemplate = std::function<Record(Builder&, const nlohmann::json& spec)>;
const std::map<std::string, RecordTemplate>& RecordTemplates();
void RegisterRecordTemplate(const std::string& name, RecordTemplate make);

} // namespace ovkbuild
