#pragma once
// The .ovk container: the fixed 1978-byte header, the section table that follows it, the
// record-area length, and the positions derived from them. ReadOVKHeader checks a file before
// anything else is read from it; PeekPageTitle fetches one page title from another ebook
// without opening it as a document.

#include "document/OVKKinds.h"
#include "platform/LittleEndian.h"

#include <array>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

namespace morvell {

// Contact address named by the "unsupported version" message.
inline constexpr const char* kMakerContact = "support@morvell.example";

// Records are at most this long as the reader sees them, whatever the section's record size.
inline constexpr int kRecordSize = 668;
inline constexpr int kLastSectionMax = kKindCount - 1; // 26

class OVKHeader {
public:
    static constexpr int kSize = 1978;
    using Bytes = std::array<std::uint8_t, kSize>;

    // Field offsets, named once so readers and the ebook builder agree.
    enum Offset : int {
        kMagic = 0,
        kTitle = 4,             // string[255]
        kTreeHolder = 1342,     // ref of the shortObj with the chapter-tree node list
        kExportPrefix = 1346,   // string[16]
        kUnused1363 = 1363,     // string[16]
        kCompany = 1380,        // string[79]
        kRights = 1460,         // string[79]
        kAuthor = 1540,         // string[79]
        kLastSection = 1620,    // uint8
        kVersion = 1621,        // int16
        kSummaryPage = 1624,    // int32
        kCoverPage = 1628,      // int32
        kRevision = 1632,       // int32
        kEditingOptions = 1636, // 6 bytes
        kFixedFontName = 1642,  // string[39]
        kFontName = 1682,       // string[39]
        kPixelsPerInch = 1722,  // int16
        kDefaultHeader = 1724,  // ref, -1 none
        kDefaultFooter = 1728,  // ref, -1 none
        kCustomTreeHolder = 1732,
        kNewPageBackgroundColor = 1736,
        kNewPageBackgroundPicture = 1740,
        kLanguageId = 1744, // int16
        kNewPageTextColor = 1746,
        kNewPageLinkColor = 1750,
        kNewPageLink2Color = 1754,
        kPropertyList = 1758, // ref of the dbloc with the property list
        kByte1762 = 1762,
        kToc = 1783,
        kTileOrigin = 1784,
        kFullScreen = 1785,
        kWindowMode = 1786,
    };

    OVKHeader() { m_bytes.fill(0); }
    explicit OVKHeader(const Bytes& bytes) : m_bytes(bytes) {}

    // The header of a new, empty document. The author is cut to 79 characters.
    static OVKHeader NewDefault(const std::string& author, int pixelsPerInch);

    const Bytes& Raw() const { return m_bytes; }
    Bytes& MutableRaw() { return m_bytes; }
    ByteSpan Span() const { return ByteSpan(m_bytes); }

    std::string Magic() const { return le::Bytes(Span(), kMagic, 4); }
    std::string Title() const { return le::Str(Span(), kTitle, 255); }
    std::int32_t TreeHolder() const { return le::I32(Span(), kTreeHolder); }
    std::string ExportPrefix() const { return le::Str(Span(), kExportPrefix, 16); }
    std::string Company() const { return le::Str(Span(), kCompany, 79); }
    std::string Rights() const { return le::Str(Span(), kRights, 79); }
    std::string Author() const { return le::Str(Span(), kAuthor, 79); }
    int LastSection() const { return le::U8(Span(), kLastSection); }
    std::int16_t Version() const { return le::I16(Span(), kVersion); }
    std::int32_t SummaryPage() const { return le::I32(Span(), kSummaryPage); }
    std::int32_t CoverPage() const { return le::I32(Span(), kCoverPage); }
    std::int32_t Revision() const { return le::I32(Span(), kRevision); }
    std::string FixedFontName() const { return le::Str(Span(), kFixedFontName, 39); }
    std::string FontName() const { return le::Str(Span(), kFontName, 39); }
    std::int16_t PixelsPerInch() const { return le::I16(Span(), kPixelsPerInch); }
    std::int32_t DefaultHeader() const { return le::I32(Span(), kDefaultHeader); }
    std::int32_t DefaultFooter() const { return le::I32(Span(), kDefaultFooter); }
    std::int32_t CustomTreeHolder() const { return le::I32(Span(), kCustomTreeHolder); }
    std::uint32_t NewPageBackgroundColor() const { return le::U32(Span(), kNewPageBackgroundColor); }
    std::int32_t NewPageBackgroundPicture() const { return le::I32(Span(), kNewPageBackgroundPicture); }
    std::int16_t LanguageId() const { return le::I16(Span(), kLanguageId); }
    std::uint32_t NewPageTextColor() const { return le::U32(Span(), kNewPageTextColor); }
    std::uint32_t NewPageLinkColor() const { return le::U32(Span(), kNewPageLinkColor); }
    std::uint32_t NewPageLink2Color() const { return le::U32(Span(), kNewPageLink2Color); }
    std::int32_t PropertyList() const { return le::I32(Span(), kPropertyList); }
    bool Toc() const { return le::U8(Span(), kToc) != 0; }
    std::uint8_t TileOrigin() const { return le::U8(Span(), kTileOrigin); }
    std::uint8_t FullScreen() const { return le::U8(Span(), kFullScreen); }
    std::uint8_t WindowMode() const { return le::U8(Span(), kWindowMode); }

    // Setters change the header in memory only; nothing in the reader writes an ebook.
    void SetMagic(const std::string& fourBytes);
    void SetTitle(const std::string& v) { le::SetStr(Mut(), kTitle, 255, v); }
    void SetTreeHolder(std::int32_t v) { le::SetI32(Mut(), kTreeHolder, v); }
    void SetExportPrefix(const std::string& v) { le::SetStr(Mut(), kExportPrefix, 16, v); }
    void SetCompany(const std::string& v) { le::SetStr(Mut(), kCompany, 79, v); }
    void SetRights(const std::string& v) { le::SetStr(Mut(), kRights, 79, v); }
    void SetAuthor(const std::string& v) { le::SetStr(Mut(), kAuthor, 79, v); }
    void SetLastSection(int v) { le::SetU8(Mut(), kLastSection, static_cast<std::uint8_t>(v)); }
    void SetVersion(std::int16_t v) { le::SetI16(Mut(), kVersion, v); }
    void SetSummaryPage(std::int32_t v) { le::SetI32(Mut(), kSummaryPage, v); }
    void SetCoverPage(std::int32_t v) { le::SetI32(Mut(), kCoverPage, v); }
    void SetRevision(std::int32_t v) { le::SetI32(Mut(), kRevision, v); }
    void SetFixedFontName(const std::string& v) { le::SetStr(Mut(), kFixedFontName, 39, v); }
    void SetFontName(const std::string& v) { le::SetStr(Mut(), kFontName, 39, v); }
    void SetPixelsPerInch(std::int16_t v) { le::SetI16(Mut(), kPixelsPerInch, v); }
    void SetDefaultHeader(std::int32_t v) { le::SetI32(Mut(), kDefaultHeader, v); }
    void SetDefaultFooter(std::int32_t v) { le::SetI32(Mut(), kDefaultFooter, v); }
    void SetCustomTreeHolder(std::int32_t v) { le::SetI32(Mut(), kCustomTreeHolder, v); }
    void SetNewPageBackgroundColor(std::uint32_t v) { le::SetU32(Mut(), kNewPageBackgroundColor, v); }
    void SetNewPageBackgroundPicture(std::int32_t v) { le::SetI32(Mut(), kNewPageBackgroundPicture, v); }
    void SetLanguageId(std::int16_t v) { le::SetI16(Mut(), kLanguageId, v); }
    void SetNewPageTextColor(std::uint32_t v) { le::SetU32(Mut(), kNewPageTextColor, v); }
    void SetNewPageLinkColor(std::uint32_t v) { le::SetU32(Mut(), kNewPageLinkColor, v); }
    void SetNewPageLink2Color(std::uint32_t v) { le::SetU32(Mut(), kNewPageLink2Color, v); }
    void SetPropertyList(std::int32_t v) { le::SetI32(Mut(), kPropertyList, v); }
    void SetToc(bool v) { le::SetU8(Mut(), kToc, v ? 1 : 0); }
    void SetTileOrigin(std::uint8_t v) { le::SetU8(Mut(), kTileOrigin, v); }
    void SetFullScreen(std::uint8_t v) { le::SetU8(Mut(), kFullScreen, v); }
    void SetWindowMode(std::uint8_t v) { le::SetU8(Mut(), kWindowMode, v); }

    // What an old (version 1) header means today: strings the old format did not have are
    // cleared, the export prefix comes from the file name, and the new-page defaults and
    // special references get their current values.
    void ApplyVersion1Adjustments(const std::string& filePath);

private:
    MutableByteSpan Mut() { return MutableByteSpan(m_bytes); }
    Bytes m_bytes;
};

struct OVKSection {
    std::int32_t offset = 0; // of the first record, relative to the data start D
    std::int32_t recordSize = 0;
    std::int32_t count = 0;
};

struct OVKContainer {
    OVKHeader header;
    // Sections beyond the header's last-section byte stay zero (empty).
    std::array<OVKSection, kKindCount> sections{};
    std::int64_t recordAreaLength = 0; // L, as stored (may be hostile)
    std::int64_t dataStart = 0;        // D
    std::int64_t dataBase = 0;         // B = D + L
    std::int64_t fileSize = 0;

    // Bytes of each record of section `kind` the reader looks at: min(R, 668), 0 when R <= 0.
    int RecordReadLength(int kind) const;
    // File position of record `index` of section `kind`, when the index is below the stored
    // count, the record size is positive and the position lies inside the file.
    std::optional<std::int64_t> RecordPosition(int kind, std::int64_t index) const;
    // Number of leading records of section `kind` whose RecordReadLength bytes lie whole inside
    // the file. A hostile count can never make a loader create more objects than this.
    std::int32_t UsableCount(int kind) const;
};

// Reads and checks the header and section table from the start of `in`. On a failed check
// it shows that check's box through Msg() and returns nothing; a stream shorter than the
// header, or one whose section table and record-area length cannot be read whole, fails
// without a box of its own. The caller shows its read-error box. `filePath` only names the
// file (the version-1 export prefix is derived from it).
std::optional<OVKContainer> ReadOVKHeader(std::istream& in, const std::string& filePath);

// Title of page `reference` in the ebook at `path`, or empty: for negative or non-page
// references, missing files, unsupported versions, out-of-range indexes and any read error.
std::string PeekPageTitle(const std::string& path, std::int32_t reference);

// Export prefix derived from a file name: each character of name and extension that is not
// an ASCII letter or digit becomes "_", the first 8 are kept, in lower case.
std::string ExportPrefixFromFileName(const std::string& filePath);

} // namespace morvell
