#pragma once
// Conversion between an ebook's single-byte code page and UTF-8. Ebook text stays bytes in
// its code page everywhere inside the program; it is converted only where it meets the
// outside (drawing, clipboard, command-line output, file names typed by the user).
//
// Code page names are those an ebook stores: "iso-8859-1" or "windows-" and a number from
// 1250 to 1258. Anything unknown reads as windows-1252. "iso-8859-1" is read as windows-1252
// too: ebooks are written on Windows, where that name stands for the ANSI code page, and the
// bytes 0x80-0x9F are curly quotes, dashes and the euro sign rather than control characters.
// Conversion never fails: a byte with no character becomes U+FFFD, a character the code page
// cannot hold (or broken UTF-8) becomes "?".

#include <string>
#include <string_view>

namespace morvell {

class CodePage {
public:
    static std::string ToUtf8(std::string_view bytes, std::string_view charSet);
    static std::string FromUtf8(std::string_view utf8, std::string_view charSet);

    // The iconv name a stored code page name stands for ("WINDOWS-1252" for unknown names).
    static std::string IconvName(std::string_view charSet);
};

} // namespace morvell
