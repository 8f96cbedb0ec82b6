#pragma once
// Ebook font descriptions onto the fonts this desktop has. Ebooks name Windows faces; the
// metric-compatible Liberation families stand in for the common ones so that lines break
// where the author saw them break, and fontconfig's substitution answers for the rest.

#include "text/Measurer.h"

#include <QFont>
#include <QString>

#include <array>
#include <memory>
#include <string>
#include <string_view>

namespace morvell {

// Unicode of the 256 bytes of one code page, built once per code page name.
using ByteTable = std::array<char16_t, 256>;

class FontMapping {
public:
    // Wingdings places its round bullet at the byte of "w".
    static constexpr unsigned char kWingdingsBullet = 'w';
    static constexpr char16_t kBullet = 0x2022;

    // The family installed for a face name: Arial → Liberation Sans, Times New Roman →
    // Liberation Serif, Courier New → Liberation Mono (case-insensitive); other names are
    // passed on for fontconfig to match.
    static QString Family(std::string_view faceName);
    // The symbol face whose "w" is a bullet; it is drawn with a text face as U+2022.
    static bool IsWingdings(std::string_view faceName);

    // `points` at `dotsPerInch` in whole pixels (at least 1), rounded to nearest.
    static int PointsToPixels(int points, int dotsPerInch);
    // Logical DPI of the primary screen, or 96 without a screen (or without a GUI app).
    static int ScreenDotsPerInch();

    // The QFont for a fontSpec at `dotsPerInch`: family, pixel size, weight, italic, underline,
    // strike-out, fully hinted. Kerning stays on: the pair rule of the layout measures it.
    static QFont ToQFont(const FontSpec& fontSpec, int dotsPerInch);

    // Byte → Unicode table for a code page name (shared, never freed).
    static const ByteTable& Table(std::string_view charSet);
    // One byte of ebook text for a font: through the code page, except Wingdings' bullet
    // byte, which is U+2022.
    static char16_t DecodeByte(unsigned char byte, const ByteTable& table, bool wingdings) {
        return wingdings && byte == kWingdingsBullet ? kBullet : table[byte];
    }
    // Decodes ebook bytes for a font, byte by byte as DecodeByte does.
    static QString Decode(std::string_view bytes, const ByteTable& table, bool wingdings);
};

} // namespace morvell
