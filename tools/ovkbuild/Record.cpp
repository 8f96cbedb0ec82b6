#include "ovkbuild/Record.h"

#include "platform/LittleEndian.h"

#include <limits>

namespace ovkbuild {

using morvell::MutableByteSpan;
namespace le = morvell::le;

std::optional<FieldType> FieldTypeFromName(std::string_view name) {
    if (name == "u8") return FieldType::U8;
    if (name == "i16") return FieldType::I16;
    if (name == "u16") return FieldType::U16;
    if (name == "i32") return FieldType::I32;
    if (name == "u32") return FieldType::U32;
    if (name == "str") return FieldType::Str;
    if (name == "bytes") return FieldType::Bytes;
    return std::nullopt;
}

std::string FromHex(std::string_view hex) {
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string out;
    int high = -1;
    for (char c : hex) {
        if (c == ' ' || c == '\n' || c == '\t' || c == ':') continue;
        int v = nibble(c);
        if (v < 0) throw BuildError("not a hex digit in \"" + std::string(hex) + "\"");
        if (high < 0) {
            high = v;
        } else {
            out += static_cast<char>(high * 16 + v);
            high = -1;
        }
    }
    if (high >= 0) throw BuildError("odd number of hex digits in \"" + std::string(hex) + "\"");
    return out;
}

Record Record::FromRaw(std::string bytes) {
    Record r(0);
    r.m_bytes = std::move(bytes);
    return r;
}

void Record::Fit(int offset, std::size_t size) {
    if (offset < 0) throw BuildError("negative record offset " + std::to_string(offset));
    std::size_t end = static_cast<std::size_t>(offset) + size;
    if (end > m_bytes.size()) m_bytes.resize(end, '\0');
}

static MutableByteSpan SpanOf(std::string& s) {
    return MutableByteSpan(reinterpret_cast<std::uint8_t*>(s.data()), s.size());
}

Record& Record::U8(int offset, std::uint8_t v) {
    Fit(offset, 1);
    le::SetU8(SpanOf(m_bytes), offset, v);
    return *this;
}
Record& Record::I16(int offset, std::int16_t v) {
    Fit(offset, 2);
    le::SetI16(SpanOf(m_bytes), offset, v);
    return *this;
}
Record& Record::U16(int offset, std::uint16_t v) {
    Fit(offset, 2);
    le::SetU16(SpanOf(m_bytes), offset, v);
    return *this;
}
Record& Record::I32(int offset, std::int32_t v) {
    Fit(offset, 4);
    le::SetI32(SpanOf(m_bytes), offset, v);
    return *this;
}
Record& Record::U32(int offset, std::uint32_t v) {
    Fit(offset, 4);
    le::SetU32(SpanOf(m_bytes), offset, v);
    return *this;
}
Record& Record::Str(int offset, int capacity, std::string_view text) {
    if (capacity <= 0 || capacity > 255) throw BuildError("string capacity must be 1 to 255");
    Fit(offset, static_cast<std::size_t>(capacity) + 1);
    le::SetStr(SpanOf(m_bytes), offset, capacity, text);
    return *this;
}
Record& Record::Bytes(int offset, std::string_view raw) {
    Fit(offset, raw.size());
    le::SetBytes(SpanOf(m_bytes), offset, raw);
    return *this;
}

Record& Record::Integer(int offset, FieldType type, std::int64_t value) {
    auto check = [&](std::int64_t lo, std::int64_t hi) {
        if (value < lo || value > hi)
            throw BuildError("value " + std::to_string(value) + " does not fit the field at " +
                             std::to_string(offset));
    };
    switch (type) {
    case FieldType::U8:
        // Bytes accept -128…255 so that a -1 marker can be written as one byte.
        check(-128, 255);
        return U8(offset, static_cast<std::uint8_t>(value));
    case FieldType::I16:
        check(std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max());
        return I16(offset, static_cast<std::int16_t>(value));
    case FieldType::U16:
        check(std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::uint16_t>::max());
        return U16(offset, static_cast<std::uint16_t>(value));
    case FieldType::I32:
        check(std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
        return I32(offset, static_cast<std::int32_t>(value));
    case FieldType::U32:
        check(std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::uint32_t>::max());
        return U32(offset, static_cast<std::uint32_t>(value));
    case FieldType::Str:
    case FieldType::Bytes:
        break;
    }
    throw BuildError("field at " + std::to_string(offset) + " is not an integer field");
}

} // namespace ovkbuild
