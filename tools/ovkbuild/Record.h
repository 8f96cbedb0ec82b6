#pragma once
// One stored record as the builder writes it, set field by field. A record may be given any
// length; the builder cuts or pads it to its section's record size when it writes the file.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace ovkbuild {

class BuildError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class FieldType { U8, I16, U16, I32, U32, Str, Bytes };

std::optional<FieldType> FieldTypeFromName(std::string_view name); // "u8", "i16", … "str", "bytes"

// Hex text ("ff d8 00", "FFD800") to bytes; throws BuildError on anything else.
std::string FromHex(std::string_view hex);

class Record {
public:
    static constexpr int kDefaultSize = 668;

    explicit Record(std::size_t size = kDefaultSize, std::uint8_t fill = 0)
        : m_bytes(size, static_cast<char>(fill)) {}
    static Record FromRaw(std::string bytes);

    // Setters grow the record when a field lies beyond its end (records longer than 668).
    Record& U8(int offset, std::uint8_t v);
    Record& I16(int offset, std::int16_t v);
    Record& U16(int offset, std::uint16_t v);
    Record& I32(int offset, std::int32_t v);
    Record& U32(int offset, std::uint32_t v);
    // string[capacity]; `text` is bytes in the ebook's code page, cut to the capacity.
    Record& Str(int offset, int capacity, std::string_view text);
    Record& Bytes(int offset, std::string_view raw);
    // Integer field by type; throws BuildError for Str/Bytes or a value out of the type's range.
    Record& Integer(int offset, FieldType type, std::int64_t value);

    const std::string& Raw() const { return m_bytes; }
    std::string& MutableRaw() { return m_bytes; }
    std::size_t Size() const { return m_bytes.size(); }

private:
    void Fit(int offset, std::size_t size);
    std::string m_bytes;
};

} // namespace ovkbuild
