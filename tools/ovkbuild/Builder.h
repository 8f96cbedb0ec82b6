#pragma once
// Writes .ovk ebooks: a header, one section of fixed-size records per object kind and a data
// area of blocks the records point at. Test fixtures, fuzz seeds and the bundled samples
// are all made with it. Higher-level helpers (pages with text, styles, pictures …) sit on
// top of AddRecord/AddData; see Templates.h.

#include "document/OVKHeader.h"
#include "ovkbuild/Record.h"

#include <nlohmann/json.hpp>

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ovkbuild {

using morvell::TOggettiHel;

struct DataBlock {
    std::int64_t offset = 0; // relative to the data area base B
    std::int64_t length = 0;
};

// A stored section-table entry that differs from what the records make it.
struct SectionOverride {
    std::optional<std::int32_t> offset, recordSize, count;
};

// Deliberately broken output, for tests of the reader's checks.
struct Breakage {
    std::optional<std::string> magic;             // the four magic bytes
    std::optional<int> lastSectionByte;           // header byte 1620, table still written for the real n
    std::optional<std::int64_t> truncateAt;       // the file ends after this many bytes
    std::optional<std::int32_t> recordAreaLength; // stored L instead of the real one
    std::array<SectionOverride, morvell::kKindCount> sections{}; // stored entries
    std::string trailing;                                        // bytes appended after the data area
};

class Builder {
public:
    Builder();

    morvell::OVKHeader& Header() { return m_header; }
    const morvell::OVKHeader& Header() const { return m_header; }

    // Code page of the ebook; text handed over as UTF-8 (header strings, Text()) is converted to it.
    void SetCharSet(std::string charSet) { m_charSet = std::move(charSet); }
    const std::string& CharSet() const { return m_charSet; }
    std::string Encode(std::string_view utf8) const;

    // A header field by the name `ovktool info` prints it under ("title", "coverPage", "toc" …).
    // Strings are UTF-8; numbers and booleans as JSON. Throws BuildError for unknown names.
    void SetHeaderField(const std::string& name, const nlohmann::json& value);
    static const std::vector<std::string>& HeaderFieldNames();

    // Appends a record to the section of `kind`; its index is Count(kind) - 1 afterwards.
    Record& AddRecord(TOggettiHel kind, Record record = Record());
    Record& RecordAt(TOggettiHel kind, std::size_t index);
    std::int32_t Count(TOggettiHel kind) const;
    // Record size R of a section (668 unless set): records are cut or zero-padded to it.
    void SetRecordSize(TOggettiHel kind, std::int32_t size);
    std::int32_t RecordSize(TOggettiHel kind) const;

    // Appends a block to the data area; records point at it with the returned offset and length.
    DataBlock AddData(std::string bytes);
    // Named blocks let a manifest refer to a block before or after it is added.
    DataBlock AddNamedData(const std::string& name, std::string bytes);
    std::optional<DataBlock> NamedData(const std::string& name) const;

    Breakage& Break() { return m_breakage; }

    // The whole file. Throws BuildError when records sit in sections past the last-section byte.
    std::string Bytes() const;
    void Write(const std::filesystem::path& path) const;

private:
    morvell::OVKHeader m_header;
    std::string m_charSet = "iso-8859-1";
    std::array<std::vector<Record>, morvell::kKindCount> m_records;
    std::array<std::int32_t, morvell::kKindCount> m_recordSizes;
    std::string m_data;
    std::vector<std::pair<std::string, DataBlock>> m_named;
    Breakage m_breakage;
};

} // namespace ovkbuild
