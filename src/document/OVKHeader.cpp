#include "document/OVKHeader.h"

#include "document/DocumentTexts.h"
#include "platform/Messages.h"

#include <filesystem>
#include <fstream>
#include <istream>
#include <system_error>

namespace morvell {

namespace {

constexpr int kSectionEntrySize = 12;
constexpr std::int64_t kTableStart = OVKHeader::kSize;

std::string UnsupportedVersionText() {
    return std::string(texts::kUnsupportedLine1) + "\r" + texts::kUnsupportedContactBefore + kMakerContact +
           texts::kUnsupportedContactAfter;
}

// Size of a seekable stream, leaving it positioned at the start; -1 when it cannot be told.
std::int64_t StreamSize(std::istream& in) {
    in.clear();
    in.seekg(0, std::ios::end);
    std::streamoff end = in.tellg();
    in.seekg(0, std::ios::beg);
    if (!in || end < 0) return -1;
    return static_cast<std::int64_t>(end);
}

bool ReadExactly(std::istream& in, std::int64_t position, std::uint8_t* into, std::int64_t size) {
    in.clear();
    in.seekg(position, std::ios::beg);
    if (!in) return false;
    in.read(reinterpret_cast<char*>(into), size);
    return in.gcount() == size;
}

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Table of n + 1 entries and the record-area length, read in one piece so that a table cut
// short by the end of the file fails as a whole.
bool ReadSectionTable(std::istream& in, int lastSection, OVKContainer& c) {
    std::array<std::uint8_t, kSectionEntrySize * kKindCount + 4> table{};
    const std::int64_t tableSize = kSectionEntrySize * (lastSection + 1) + 4;
    if (!InRange(static_cast<std::size_t>(c.fileSize), kTableStart, tableSize)) return false;
    if (!ReadExactly(in, kTableStart, table.data(), tableSize)) return false;
    ByteSpan t(table.data(), static_cast<std::size_t>(tableSize));
    for (int i = 0; i <= lastSection; ++i) {
        c.sections[i].offset = le::I32(t, i * kSectionEntrySize);
        c.sections[i].recordSize = le::I32(t, i * kSectionEntrySize + 4);
        c.sections[i].count = le::I32(t, i * kSectionEntrySize + 8);
    }
    c.recordAreaLength = le::I32(t, tableSize - 4);
    c.dataStart = 12 * static_cast<std::int64_t>(lastSection) + 1994;
    c.dataBase = c.dataStart + c.recordAreaLength;
    return true;
}

} // namespace

OVKHeader OVKHeader::NewDefault(const std::string& author, int pixelsPerInch) {
    OVKHeader h;
    h.SetMagic("QELB");
    h.SetTitle(texts::kUntitled);
    h.SetAuthor(author.substr(0, 79));
    h.SetLastSection(kLastSectionMax);
    h.SetVersion(2);
    h.SetRevision(2);
    const std::uint8_t options[6] = {0, 0, 0, 1, 0, 1};
    for (int i = 0; i < 6; ++i) h.m_bytes[kEditingOptions + i] = options[i];
    h.SetFixedFontName(texts::kDefaultFixedFont);
    h.SetFontName(texts::kDefaultFont);
    h.SetPixelsPerInch(static_cast<std::int16_t>(pixelsPerInch));
    h.SetDefaultHeader(-1);
    h.SetDefaultFooter(-1);
    h.SetNewPageBackgroundColor(0xF0F0F0);
    h.SetNewPageBackgroundPicture(-1);
    h.SetLanguageId(1033);
    h.SetNewPageTextColor(0);
    h.SetNewPageLinkColor(0xFF0000);
    h.SetNewPageLink2Color(0x0000FF);
    h.m_bytes[kByte1762] = 1;
    h.SetTileOrigin(1);
    return h;
}

void OVKHeader::SetMagic(const std::string& fourBytes) {
    for (int i = 0; i < 4; ++i)
        m_bytes[kMagic + i] =
            i < static_cast<int>(fourBytes.size()) ? static_cast<std::uint8_t>(fourBytes[i]) : 0;
}

void OVKHeader::ApplyVersion1Adjustments(const std::string& filePath) {
    SetAuthor("");
    SetRights("");
    SetCompany("");
    le::SetStr(Mut(), kUnused1363, 16, "");
    SetExportPrefix(ExportPrefixFromFileName(filePath));
    SetDefaultHeader(-1);
    SetDefaultFooter(-1);
    SetTreeHolder(0);
    SetCustomTreeHolder(0);
    SetNewPageBackgroundColor(0xF0F0F0);
    SetNewPageBackgroundPicture(-1);
    SetNewPageTextColor(0);
    SetNewPageLinkColor(0xFF0000);
    SetNewPageLink2Color(0x0000FF);
    SetLanguageId(1033);
}

std::string ExportPrefixFromFileName(const std::string& filePath) {
    // Ebooks come from Windows as often as not, so either separator ends the folder part.
    std::size_t slash = filePath.find_last_of("/\\");
    std::string name = slash == std::string::npos ? filePath : filePath.substr(slash + 1);
    std::string prefix;
    for (std::size_t i = 0; i < name.size() && prefix.size() < 8; ++i) {
        auto c = static_cast<unsigned char>(name[i]);
        // A multi-byte UTF-8 character of a Linux file name is one character, one "_".
        if ((c & 0xC0) == 0x80) continue;
        if (c >= 'A' && c <= 'Z')
            prefix += static_cast<char>(c - 'A' + 'a');
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            prefix += static_cast<char>(c);
        else
            prefix += '_';
    }
    return prefix;
}

int OVKContainer::RecordReadLength(int kind) const {
    if (kind < 0 || kind >= kKindCount) return 0;
    std::int32_t r = sections[kind].recordSize;
    if (r <= 0) return 0;
    return r < kRecordSize ? r : kRecordSize;
}

std::optional<std::int64_t> OVKContainer::RecordPosition(int kind, std::int64_t index) const {
    if (kind < 0 || kind >= kKindCount || index < 0) return std::nullopt;
    const OVKSection& s = sections[kind];
    if (index >= s.count || s.recordSize <= 0) return std::nullopt;
    // All terms fit easily in 64 bits: |offset| < 2^31, index * R < 2^62.
    std::int64_t pos = dataStart + s.offset + index * static_cast<std::int64_t>(s.recordSize);
    if (pos < 0 || pos >= fileSize) return std::nullopt;
    return pos;
}

std::int32_t OVKContainer::UsableCount(int kind) const {
    if (kind < 0 || kind >= kKindCount) return 0;
    const OVKSection& s = sections[kind];
    int len = RecordReadLength(kind);
    if (s.count <= 0 || len <= 0) return 0;
    std::int64_t first = dataStart + s.offset;
    if (first < 0) return 0;
    std::int64_t room = fileSize - first - len; // bytes left after the first record's read
    if (room < 0) return 0;
    std::int64_t fit = room / s.recordSize + 1;
    return fit < s.count ? static_cast<std::int32_t>(fit) : s.count;
}

std::optional<OVKContainer> ReadOVKHeader(std::istream& in, const std::string& filePath) {
    OVKContainer c;
    c.fileSize = StreamSize(in);
    if (c.fileSize < OVKHeader::kSize) return std::nullopt;

    OVKHeader::Bytes bytes{};
    if (!ReadExactly(in, 0, bytes.data(), OVKHeader::kSize)) return std::nullopt;
    c.header = OVKHeader(bytes);

    std::string magic = c.header.Magic();
    for (char& ch : magic) ch = AsciiUpper(ch);
    if (magic != "QELB") {
        Msg().Information(texts::kUnknownFormat);
        return std::nullopt;
    }

    const int lastSection = c.header.LastSection();
    const std::int16_t version = c.header.Version();
    if (version == 1) {
        if (lastSection < 8) {
            Msg().Information(texts::kTooOldVersion);
            return std::nullopt;
        }
        c.header.ApplyVersion1Adjustments(filePath);
    } else if (version > 2) {
        Msg().Error(UnsupportedVersionText());
        return std::nullopt;
    }

    if (lastSection > kLastSectionMax) {
        Msg().Information(UnsupportedVersionText());
        return std::nullopt;
    }

    if (!ReadSectionTable(in, lastSection, c)) return std::nullopt;
    return c;
}

std::string PeekPageTitle(const std::string& path, std::int32_t reference) {
    if (reference < 0) return {};
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return {};
    // The stream closes itself on every path out of here.
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};

    OVKContainer c;
    c.fileSize = StreamSize(in);
    if (c.fileSize < OVKHeader::kSize) return {};
    OVKHeader::Bytes bytes{};
    if (!ReadExactly(in, 0, bytes.data(), OVKHeader::kSize)) return {};
    c.header = OVKHeader(bytes);
    if (c.header.Version() > 2) return {};
    const int lastSection = c.header.LastSection();
    if (lastSection > kLastSectionMax) return {};
    if (!ReadSectionTable(in, lastSection, c)) return {};

    const int kind = ReferenceKind(reference);
    const std::int32_t index = ReferenceIndex(reference);
    if (kind > lastSection) return {};
    auto pos = c.RecordPosition(kind, index);
    if (!pos) return {};
    const int len = c.RecordReadLength(kind);
    if (!InRange(static_cast<std::size_t>(c.fileSize), *pos, len)) return {};

    // Bytes a short record does not cover read as 0xFF, as they do when a document loads it.
    std::array<std::uint8_t, kRecordSize> record;
    record.fill(0xFF);
    if (!ReadExactly(in, *pos, record.data(), len)) return {};
    if (kind != static_cast<int>(TOggettiHel::testoHtml)) return {};
    return le::Str(ByteSpan(record), 5, 71);
}

} // namespace morvell
