#include "ovkbuild/Builder.h"

#include "platform/CodePage.h"

#include <fstream>
#include <map>

namespace ovkbuild {

using morvell::OVKHeader;
namespace le = morvell::le;

namespace {

enum class HeaderType { Str, U8, Bool, I16, I32, U32, Magic };

struct HeaderField {
    int offset;
    HeaderType type;
    int capacity = 0;
};

// The names are those `ovktool info` prints, so a manifest reads like the tool's output.
const std::vector<std::pair<std::string, HeaderField>>& HeaderFields() {
    static const std::vector<std::pair<std::string, HeaderField>> fields = {
        {"magic", {OVKHeader::kMagic, HeaderType::Magic}},
        {"title", {OVKHeader::kTitle, HeaderType::Str, 255}},
        {"treeHolder", {OVKHeader::kTreeHolder, HeaderType::I32}},
        {"exportPrefix", {OVKHeader::kExportPrefix, HeaderType::Str, 16}},
        {"company", {OVKHeader::kCompany, HeaderType::Str, 79}},
        {"rights", {OVKHeader::kRights, HeaderType::Str, 79}},
        {"author", {OVKHeader::kAuthor, HeaderType::Str, 79}},
        {"lastSection", {OVKHeader::kLastSection, HeaderType::U8}},
        {"version", {OVKHeader::kVersion, HeaderType::I16}},
        {"summaryPage", {OVKHeader::kSummaryPage, HeaderType::I32}},
        {"coverPage", {OVKHeader::kCoverPage, HeaderType::I32}},
        {"revision", {OVKHeader::kRevision, HeaderType::I32}},
        {"fixedFontName", {OVKHeader::kFixedFontName, HeaderType::Str, 39}},
        {"fontName", {OVKHeader::kFontName, HeaderType::Str, 39}},
        {"pixelsPerInch", {OVKHeader::kPixelsPerInch, HeaderType::I16}},
        {"defaultHeader", {OVKHeader::kDefaultHeader, HeaderType::I32}},
        {"defaultFooter", {OVKHeader::kDefaultFooter, HeaderType::I32}},
        {"customTreeHolder", {OVKHeader::kCustomTreeHolder, HeaderType::I32}},
        {"newPageBackgroundColor", {OVKHeader::kNewPageBackgroundColor, HeaderType::U32}},
        {"newPageBackgroundPicture", {OVKHeader::kNewPageBackgroundPicture, HeaderType::I32}},
        {"languageId", {OVKHeader::kLanguageId, HeaderType::I16}},
        {"newPageTextColor", {OVKHeader::kNewPageTextColor, HeaderType::U32}},
        {"newPageLinkColor", {OVKHeader::kNewPageLinkColor, HeaderType::U32}},
        {"newPageLink2Color", {OVKHeader::kNewPageLink2Color, HeaderType::U32}},
        {"propertyList", {OVKHeader::kPropertyList, HeaderType::I32}},
        {"toc", {OVKHeader::kToc, HeaderType::Bool}},
        {"tileOrigin", {OVKHeader::kTileOrigin, HeaderType::U8}},
        {"fullScreen", {OVKHeader::kFullScreen, HeaderType::U8}},
        {"windowMode", {OVKHeader::kWindowMode, HeaderType::U8}},
    };
    return fields;
}

std::int64_t IntegerOf(const std::string& name, const nlohmann::json& v) {
    if (v.is_boolean()) return v.get<bool>() ? 1 : 0;
    if (v.is_number_integer()) return v.get<std::int64_t>();
    if (v.is_number_unsigned()) return static_cast<std::int64_t>(v.get<std::uint64_t>());
    if (v.is_string()) {
        // Colours and references read best in hex: "0xF0F0F0".
        const std::string s = v.get<std::string>();
        try {
            std::size_t used = 0;
            long long n = std::stoll(s, &used, 0);
            if (used == s.size()) return n;
        } catch (const std::exception&) {
        }
    }
    throw BuildError("header field \"" + name + "\" needs an integer, got " + v.dump());
}

} // namespace

Builder::Builder() : m_header(OVKHeader::NewDefault("", 96)) { m_recordSizes.fill(Record::kDefaultSize); }

std::string Builder::Encode(std::string_view utf8) const {
    return morvell::CodePage::FromUtf8(utf8, m_charSet);
}

const std::vector<std::string>& Builder::HeaderFieldNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (const auto& [name, field] : HeaderFields()) n.push_back(name);
        return n;
    }();
    return names;
}

void Builder::SetHeaderField(const std::string& name, const nlohmann::json& value) {
    const HeaderField* field = nullptr;
    for (const auto& [n, f] : HeaderFields())
        if (n == name) field = &f;
    if (!field) throw BuildError("unknown header field \"" + name + "\"");
    Record raw =
        Record::FromRaw(std::string(reinterpret_cast<const char*>(m_header.Raw().data()), OVKHeader::kSize));
    switch (field->type) {
    case HeaderType::Str:
        if (!value.is_string()) throw BuildError("header field \"" + name + "\" needs a string");
        raw.Str(field->offset, field->capacity, Encode(value.get<std::string>()));
        break;
    case HeaderType::Magic: {
        if (!value.is_string()) throw BuildError("header field \"magic\" needs a string");
        std::string m = value.get<std::string>();
        m.resize(4, '\0');
        raw.Bytes(field->offset, m);
        break;
    }
    case HeaderType::U8:
    case HeaderType::Bool:
        raw.Integer(field->offset, FieldType::U8, IntegerOf(name, value));
        break;
    case HeaderType::I16:
        raw.Integer(field->offset, FieldType::I16, IntegerOf(name, value));
        break;
    case HeaderType::I32:
        raw.Integer(field->offset, FieldType::I32, IntegerOf(name, value));
        break;
    case HeaderType::U32:
        raw.Integer(field->offset, FieldType::U32, IntegerOf(name, value));
        break;
    }
    std::copy(raw.Raw().begin(), raw.Raw().begin() + OVKHeader::kSize, m_header.MutableRaw().begin());
}

Record& Builder::AddRecord(TOggettiHel kind, Record record) {
    auto k = static_cast<std::size_t>(kind);
    if (k >= m_records.size()) throw BuildError("no section for kind " + std::to_string(k));
    m_records[k].push_back(std::move(record));
    return m_records[k].back();
}

Record& Builder::RecordAt(TOggettiHel kind, std::size_t index) {
    auto k = static_cast<std::size_t>(kind);
    if (k >= m_records.size() || index >= m_records[k].size())
        throw BuildError("no record " + std::to_string(index) + " of kind " + std::to_string(k));
    return m_records[k][index];
}

std::int32_t Builder::Count(TOggettiHel kind) const {
    auto k = static_cast<std::size_t>(kind);
    return k < m_records.size() ? static_cast<std::int32_t>(m_records[k].size()) : 0;
}

void Builder::SetRecordSize(TOggettiHel kind, std::int32_t size) {
    auto k = static_cast<std::size_t>(kind);
    if (k >= m_recordSizes.size()) throw BuildError("no section for kind " + std::to_string(k));
    if (size < 0) throw BuildError("negative record size (use Break() to store one)");
    m_recordSizes[k] = size;
}

std::int32_t Builder::RecordSize(TOggettiHel kind) const {
    auto k = static_cast<std::size_t>(kind);
    return k < m_recordSizes.size() ? m_recordSizes[k] : 0;
}

DataBlock Builder::AddData(std::string bytes) {
    DataBlock b{static_cast<std::int64_t>(m_data.size()), static_cast<std::int64_t>(bytes.size())};
    m_data += bytes;
    return b;
}

DataBlock Builder::AddNamedData(const std::string& name, std::string bytes) {
    if (NamedData(name)) throw BuildError("data block \"" + name + "\" is defined twice");
    DataBlock b = AddData(std::move(bytes));
    m_named.emplace_back(name, b);
    return b;
}

std::optional<DataBlock> Builder::NamedData(const std::string& name) const {
    for (const auto& [n, b] : m_named)
        if (n == name) return b;
    return std::nullopt;
}

std::string Builder::Bytes() const {
    const int n = m_header.LastSection();
    if (n > morvell::kLastSectionMax)
        throw BuildError("last section " + std::to_string(n) + " is above 26 (use Break() to store one)");
    for (int k = n + 1; k < morvell::kKindCount; ++k)
        if (!m_records[k].empty())
            throw BuildError("records of kind " + std::to_string(k) + " lie past the last section " +
                             std::to_string(n));

    std::string records;
    std::array<morvell::OVKSection, morvell::kKindCount> table{};
    for (int k = 0; k <= n; ++k) {
        table[k].offset = static_cast<std::int32_t>(records.size());
        table[k].recordSize = m_recordSizes[k];
        table[k].count = static_cast<std::int32_t>(m_records[k].size());
        for (const Record& r : m_records[k]) {
            std::string bytes = r.Raw();
            bytes.resize(static_cast<std::size_t>(m_recordSizes[k]), '\0');
            records += bytes;
        }
    }

    OVKHeader header = m_header;
    if (m_breakage.magic) header.SetMagic(*m_breakage.magic);
    if (m_breakage.lastSectionByte) header.SetLastSection(*m_breakage.lastSectionByte);

    std::string out(reinterpret_cast<const char*>(header.Raw().data()), OVKHeader::kSize);
    std::string entry(12, '\0');
    auto span = morvell::MutableByteSpan(reinterpret_cast<std::uint8_t*>(entry.data()), entry.size());
    for (int k = 0; k <= n; ++k) {
        const SectionOverride& o = m_breakage.sections[k];
        le::SetI32(span, 0, o.offset.value_or(table[k].offset));
        le::SetI32(span, 4, o.recordSize.value_or(table[k].recordSize));
        le::SetI32(span, 8, o.count.value_or(table[k].count));
        out += entry;
    }
    le::SetI32(span, 0, m_breakage.recordAreaLength.value_or(static_cast<std::int32_t>(records.size())));
    out.append(entry, 0, 4);
    out += records;
    out += m_data;
    out += m_breakage.trailing;
    if (m_breakage.truncateAt && *m_breakage.truncateAt >= 0 &&
        static_cast<std::size_t>(*m_breakage.truncateAt) < out.size())
        out.resize(static_cast<std::size_t>(*m_breakage.truncateAt));
    return out;
}

void Builder::Write(const std::filesystem::path& path) const {
    std::string bytes = Bytes();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw BuildError("cannot write " + path.string());
}

} // namespace ovkbuild
