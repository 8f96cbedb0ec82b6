#pragma once
// The 27 kinds of stored objects. The numeric value of a kind is also the index of its
// section in the ebook file, and the top byte of an object reference.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace morvell {

enum class TOggettiHel : std::uint8_t {
    testoHtml = 0,
    internetLink = 1,
    zipLink = 2,
    genLink = 3,
    keyword = 4,
    immagine = 5,
    mappaClic = 6,
    programma = 7,
    tabellaHtml = 8,
    mappaFrame = 9,
    speclink = 10,
    shortObj = 11,
    custom = 12,
    dbloc = 13,
    spazio4 = 14,
    spazio5 = 15,
    immagineNew = 16,
    stileParagrafo = 17,
    fontFace = 18,
    formato = 19,
    inputStat = 20,
    inputDin = 21,
    bottoneCGI = 22,
    inizioForm = 23,
    multiMedia = 24,
    none = 25,
    testoHtmlRtf = 26,
};

inline constexpr int kKindCount = 27;

inline constexpr std::array<std::string_view, kKindCount> kKindNames = {
    "testoHtml", "internetLink", "zipLink",     "genLink",        "keyword",  "immagine",     "mappaClic",
    "programma", "tabellaHtml",  "mappaFrame",  "speclink",       "shortObj", "custom",       "dbloc",
    "spazio4",   "spazio5",      "immagineNew", "stileParagrafo", "fontFace", "formato",      "inputStat",
    "inputDin",  "bottoneCGI",   "inizioForm",  "multiMedia",     "none",     "testoHtmlRtf",
};

inline constexpr std::string_view KindName(TOggettiHel kind) {
    auto i = static_cast<std::size_t>(kind);
    return i < kKindNames.size() ? kKindNames[i] : std::string_view{};
}

inline constexpr std::optional<TOggettiHel> KindFromName(std::string_view name) {
    for (std::size_t i = 0; i < kKindNames.size(); ++i)
        if (kKindNames[i] == name) return static_cast<TOggettiHel>(i);
    return std::nullopt;
}

// Object references: kind in the top 8 bits, index within the kind in the low 24.
inline constexpr std::int32_t MakeReference(TOggettiHel kind, std::int32_t index) {
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(kind) << 24) |
                                     (static_cast<std::uint32_t>(index) & 0xFFFFFFu));
}
inline constexpr int ReferenceKind(std::int32_t ref) {
    return static_cast<int>(static_cast<std::uint32_t>(ref) >> 24);
}
inline constexpr std::int32_t ReferenceIndex(std::int32_t ref) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(ref) & 0xFFFFFFu);
}

} // namespace morvell
