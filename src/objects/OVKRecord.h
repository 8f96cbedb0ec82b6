#pragma once
// The fixed-size stored record of a page object. Every field is read and written through
// bounds-checked accessors: an offset that does not fit reads as 0 (or an empty string) and a
// write outside the record is ignored, so no record layout mistake can touch other memory.

#include "platform/LittleEndian.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace morvell {

class OVKRecord {
public:
    static constexpr int kSize = 668;
    using Array = std::array<std::uint8_t, kSize>;

    // Unknown bytes of a record read short are 0xFF, as in the files the authoring tool writes.
    OVKRecord() { m_bytes.fill(0xFF); }

    std::uint8_t U8(int off) const { return le::U8(Bytes(), off); }
    std::int16_t I16(int off) const { return le::I16(Bytes(), off); }
    std::uint16_t U16(int off) const { return le::U16(Bytes(), off); }
    std::int32_t I32(int off) const { return le::I32(Bytes(), off); }
    std::uint32_t U32(int off) const { return le::U32(Bytes(), off); }
    // string[capacity] at `off`: a length byte followed by `capacity` characters.
    std::string Str(int off, int capacity) const { return le::Str(Bytes(), off, capacity); }
    // Raw bytes [off, off + size), clipped to the record.
    std::string Raw(int off, int size) const { return le::Bytes(Bytes(), off, size); }

    void SetU8(int off, std::uint8_t v) { le::SetU8(Mutable(), off, v); }
    void SetI16(int off, std::int16_t v) { le::SetI16(Mutable(), off, v); }
    void SetU16(int off, std::uint16_t v) { le::SetU16(Mutable(), off, v); }
    void SetI32(int off, std::int32_t v) { le::SetI32(Mutable(), off, v); }
    void SetU32(int off, std::uint32_t v) { le::SetU32(Mutable(), off, v); }
    void SetStr(int off, int capacity, std::string_view text) { le::SetStr(Mutable(), off, capacity, text); }
    void SetBytes(int off, std::string_view raw) { le::SetBytes(Mutable(), off, raw); }
    // Sets `count` bytes from `off` to `value` (clipped to the record).
    void FillRange(int off, int count, std::uint8_t value) {
        for (int i = 0; i < count; ++i)
            if (off + i >= 0 && off + i < kSize) m_bytes[static_cast<std::size_t>(off + i)] = value;
    }
    void Fill(std::uint8_t value) { m_bytes.fill(value); }

    ByteSpan Bytes() const { return ByteSpan(m_bytes); }
    MutableByteSpan Mutable() { return MutableByteSpan(m_bytes); }

    bool operator==(const OVKRecord&) const = default;

private:
    Array m_bytes;
};

} // namespace morvell
