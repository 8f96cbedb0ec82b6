#pragma once
// Bounds-checked little-endian access to stored bytes (ebook headers, records, data blocks).
// Every reader takes the span it may look at and an offset; a field that does not lie whole
// inside the span reads as 0 (or an empty string) and a write outside it is refused, so a
// hostile offset can never reach memory beyond the bytes that were actually read.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace morvell {

using ByteSpan = std::span<const std::uint8_t>;
using MutableByteSpan = std::span<std::uint8_t>;

inline ByteSpan AsBytes(std::string_view s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

// True when [offset, offset + size) lies inside a span of `length` bytes, without overflow.
inline constexpr bool InRange(std::size_t length, std::int64_t offset, std::int64_t size) {
    return offset >= 0 && size >= 0 && static_cast<std::uint64_t>(offset) <= length &&
           static_cast<std::uint64_t>(size) <= length - static_cast<std::uint64_t>(offset);
}

namespace le {

inline std::uint64_t ReadUnsigned(ByteSpan bytes, std::int64_t offset, int size) {
    if (!InRange(bytes.size(), offset, size)) return 0;
    std::uint64_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = (v << 8) | bytes[static_cast<std::size_t>(offset) + i];
    return v;
}

inline std::uint8_t U8(ByteSpan b, std::int64_t off) {
    return static_cast<std::uint8_t>(ReadUnsigned(b, off, 1));
}
inline std::uint16_t U16(ByteSpan b, std::int64_t off) {
    return static_cast<std::uint16_t>(ReadUnsigned(b, off, 2));
}
inline std::int16_t I16(ByteSpan b, std::int64_t off) { return static_cast<std::int16_t>(U16(b, off)); }
inline std::uint32_t U32(ByteSpan b, std::int64_t off) {
    return static_cast<std::uint32_t>(ReadUnsigned(b, off, 4));
}
inline std::int32_t I32(ByteSpan b, std::int64_t off) { return static_cast<std::int32_t>(U32(b, off)); }

// string[capacity]: a length byte and `capacity` character bytes. The length is clamped to
// the capacity and to the bytes present, because files in the wild carry any value there.
inline std::string Str(ByteSpan b, std::int64_t off, int capacity) {
    if (!InRange(b.size(), off, 1) || capacity <= 0) return {};
    std::size_t len = b[static_cast<std::size_t>(off)];
    if (len > static_cast<std::size_t>(capacity)) len = static_cast<std::size_t>(capacity);
    std::size_t avail = b.size() - static_cast<std::size_t>(off) - 1;
    if (len > avail) len = avail;
    return std::string(reinterpret_cast<const char*>(b.data()) + off + 1, len);
}

// Raw bytes [off, off + size), clipped to the span.
inline std::string Bytes(ByteSpan b, std::int64_t off, std::int64_t size) {
    if (off < 0 || size <= 0 || static_cast<std::uint64_t>(off) >= b.size()) return {};
    std::size_t n = b.size() - static_cast<std::size_t>(off);
    if (static_cast<std::uint64_t>(size) < n) n = static_cast<std::size_t>(size);
    return std::string(reinterpret_cast<const char*>(b.data()) + off, n);
}

inline bool WriteUnsigned(MutableByteSpan bytes, std::int64_t offset, int size, std::uint64_t v) {
    if (!InRange(bytes.size(), offset, size)) return false;
    for (int i = 0; i < size; ++i) {
        bytes[static_cast<std::size_t>(offset) + i] = static_cast<std::uint8_t>(v & 0xFF);
        v >>= 8;
    }
    return true;
}

inline bool SetU8(MutableByteSpan b, std::int64_t off, std::uint8_t v) { return WriteUnsigned(b, off, 1, v); }
inline bool SetU16(MutableByteSpan b, std::int64_t off, std::uint16_t v) {
    return WriteUnsigned(b, off, 2, v);
}
inline bool SetI16(MutableByteSpan b, std::int64_t off, std::int16_t v) {
    return WriteUnsigned(b, off, 2, static_cast<std::uint16_t>(v));
}
inline bool SetU32(MutableByteSpan b, std::int64_t off, std::uint32_t v) {
    return WriteUnsigned(b, off, 4, v);
}
inline bool SetI32(MutableByteSpan b, std::int64_t off, std::int32_t v) {
    return WriteUnsigned(b, off, 4, static_cast<std::uint32_t>(v));
}

// Writes string[capacity]: the text is cut to the capacity and the unused character bytes
// are zeroed, so a shorter string never leaves stale characters behind.
inline bool SetStr(MutableByteSpan b, std::int64_t off, int capacity, std::string_view text) {
    if (capacity <= 0 || capacity > 255 || !InRange(b.size(), off, capacity + 1)) return false;
    std::size_t len = text.size() < static_cast<std::size_t>(capacity) ? text.size() : capacity;
    auto at = static_cast<std::size_t>(off);
    b[at] = static_cast<std::uint8_t>(len);
    for (int i = 0; i < capacity; ++i)
        b[at + 1 + i] = static_cast<std::size_t>(i) < len ? static_cast<std::uint8_t>(text[i]) : 0;
    return true;
}

inline bool SetBytes(MutableByteSpan b, std::int64_t off, std::string_view raw) {
    if (!InRange(b.size(), off, static_cast<std::int64_t>(raw.size()))) return false;
    for (std::size_t i = 0; i < raw.size(); ++i)
        b[static_cast<std::size_t>(off) + i] = static_cast<std::uint8_t>(raw[i]);
    return true;
}

} // namespace le
} // namespace morvell
