// ovktool stream, layout and text on ebooks written with the builder and on hand-made bytes.
#include "ovkbuild/Builder.h"
#include "ovkbuild/Templates.h"
#include "support/RunProgram.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>


extern char** environ;

namespace {

using morvell::test::ReadFile;
using morvell::test::TempDir;
using morvell::test::WriteFile;

using morvell::test::RunResult;

RunResult Ovktool(const std::vector<std::string>& args, const TempDir& dir) {
    return morvell::test::RunProgram("ovktool", args, dir);
}

// An ebook whose pages have these texts (bytes in windows-1252), written into `dir`.
std::string Ebook(const TempDir& dir, const std::vector<std::string>& texts,
                  const std::string& name = "b.ovk") {
    ovkbuild::Builder b;
    for (std::size_t i = 0; i < texts.size(); ++i)
        ovkbuild::AddPage(b, "Page " + std::to_string(i), texts[i]);
    const std::string path = (dir / name).string();
    b.Write(path);
    return path;
}

// Deliberately untidy input: fields in another spelling, entities, control bytes, a block
// the reader skips, a link left open at the end of a paragraph.
const std::string kUntidy =
    std::string("<Z S0 s10 >Plain <Y g1 >bold<Y g0 > \t<$00000003>link<%> a&lt;b&amp;c&gt;") +
    " caff\xE8<D x>dropped<d><Z S0 A2 >Centred <$6F000000>open link<Z S1 >" + '\0';

TEST(OvktoolStream, WritingWhatWasReadIsStableAndEndsWithZero) {
    TempDir dir;
    RunResult first = Ovktool({"stream", Ebook(dir, {kUntidy}), "0"}, dir);
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.err, "");
    ASSERT_FALSE(first.out.empty());
    EXPECT_EQ(first.out.back(), '\0');
    EXPECT_EQ(first.out.find('\t'), std::string::npos);
    EXPECT_EQ(first.out.find("dropped"), std::string::npos);
    EXPECT_NE(first.out.find("a&lt;b&#38;c&gt;"), std::string::npos) << first.out;
    EXPECT_NE(first.out.find("open link<%>"), std::string::npos) << first.out;
    EXPECT_NE(first.out.find("caff\xE8"), std::string::npos);

    // What the writer produced reads and writes back byte for byte.
    RunResult second = Ovktool({"stream", Ebook(dir, {first.out}, "c.ovk"), "0"}, dir);
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(second.out, first.out);
}

TEST(OvktoolStream, AWriterMadeStreamComesBackUnchanged) {
    // The stored form as the writer makes it: only overridden fields, run fonts with the
    // fields that differ, links closed.
    const std::string stored =
        std::string("<Z S0 A2 >See <Y y1 ><$00000007>page 7<Y ><%> now.<Z S0 >x&#38;y") + '\0';
    TempDir dir;
    RunResult r = Ovktool({"stream", Ebook(dir, {stored}), "0"}, dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, stored);
}

TEST(OvktoolText, OneUtf8LinePerParagraph) {
    TempDir dir;
    RunResult r =
        Ovktool({"text", Ebook(dir, {kUntidy, std::string("<Z S0 >second page") + '\0'}), "0"}, dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Plain bold link a<b&c> caff\xC3\xA8\nCentred open link\n\n");
    RunResult p1 = Ovktool({"text", (dir / "b.ovk").string(), "1"}, dir);
    EXPECT_EQ(p1.out, "second page\n");
}

TEST(OvktoolLayout, FixedMetricsBreakAfterSpaces) {
    TempDir dir;
    const std::string path = Ebook(dir, {std::string("<Z S0 s10 >aaaa bbbb cccc<Z S0 s10 >") + '\0'});
    RunResult r = Ovktool({"layout", path, "0", "--width", "80", "--metrics", "fixed", "--chars"}, dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["width"], 80);
    EXPECT_EQ(j["widestLine"], 80);
    ASSERT_EQ(j["paragraphs"].size(), 2u);
    const auto& p = j["paragraphs"][0];
    EXPECT_EQ(p["kind"], 0);
    EXPECT_EQ(p["style"], 0);
    EXPECT_EQ(p["text"], "aaaa bbbb cccc");
    EXPECT_EQ(p["defaultLineHeight"], 16);
    // Size 10: characters 6 wide, lines 16 high with the baseline at 13. The default style
    // indents 10 on both sides, leaving 60. The space after "bbbb" would fill them exactly,
    // which does not fit: the line ends after "aaaa ", and the next one holds the rest.
    ASSERT_EQ(p["lines"].size(), 2u);
    const int firsts[] = {0, 5}, counts[] = {5, 9}, used[] = {30, 54};
    for (int i = 0; i < 2; ++i) {
        const auto& l = p["lines"][i];
        EXPECT_EQ(l["first"], firsts[i]);
        EXPECT_EQ(l["count"], counts[i]);
        EXPECT_EQ(l["top"], 16 * i);
        EXPECT_EQ(l["height"], 16);
        EXPECT_EQ(l["ascent"], 13);
        EXPECT_EQ(l["offset"], 0);
        EXPECT_EQ(l["indent"], 10);
        EXPECT_EQ(l["usedWidth"], used[i]);
    }
    EXPECT_EQ(p["bottom"].get<int>() - p["top"].get<int>() + 1, 32);
    // The empty paragraph: one line as high as its font, directly below.
    const auto& empty = j["paragraphs"][1];
    EXPECT_EQ(empty["top"].get<int>(), p["bottom"].get<int>() + 1);
    ASSERT_EQ(empty["lines"].size(), 1u);
    EXPECT_EQ(empty["lines"][0]["height"], 16);
    ASSERT_EQ(p["chars"].size(), 14u);
    EXPECT_EQ(p["chars"][0], nlohmann::json({{"advance", 6},
                                             {"width", 6},
                                             {"height", 16},
                                             {"ascent", 13},
                                             {"font", -1},
                                             {"object", -1},
                                             {"link", -1}}));
    EXPECT_FALSE(empty.contains("chars") && !empty["chars"].empty());

    // Zoom 20 doubles every size; a wider box keeps the words on one line.
    RunResult z = Ovktool({"layout", path, "0", "--zoom", "20", "--width", "400", "--metrics", "fixed"}, dir);
    ASSERT_EQ(z.exitCode, 0) << z.err;
    const auto jz = nlohmann::json::parse(z.out);
    ASSERT_EQ(jz["paragraphs"][0]["lines"].size(), 1u);
    EXPECT_EQ(jz["paragraphs"][0]["lines"][0]["height"], 32);
    EXPECT_EQ(jz["paragraphs"][0]["lines"][0]["usedWidth"], 14 * 12);
    EXPECT_FALSE(jz["paragraphs"][0].contains("chars"));
}

TEST(OvktoolLayout, LinksObjectsAndRunFontsShowInTheCharacters) {
    TempDir dir;
    // Object 5 does not exist on the page: it is a space of no width.
    const std::string path =
        Ebook(dir, {std::string("<Z S0 s10 >a<$00000002>b<%><$FF000005>c<Y s20 >d") + '\0'});
    RunResult r = Ovktool({"layout", path, "0", "--metrics", "fixed", "--chars"}, dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto chars = nlohmann::json::parse(r.out)["paragraphs"][0]["chars"];
    ASSERT_EQ(chars.size(), 5u);
    EXPECT_EQ(chars[0]["link"], -1);
    EXPECT_EQ(chars[1]["link"], 2);
    EXPECT_EQ(chars[2]["link"], -1);
    EXPECT_EQ(chars[2]["advance"], 0);
    EXPECT_EQ(chars[2]["object"], -1);
    EXPECT_EQ(chars[4]["font"], 0);
    EXPECT_EQ(chars[4]["advance"], 12);
    EXPECT_EQ(chars[4]["height"], 32);
}

TEST(OvktoolLayout, ScreenMetricsComeFromTheInstalledFonts) {
    TempDir dir;
    const std::string path =
        Ebook(dir, {std::string("<Z S0 s10 >Hello <Y y1 >world<Y > and more words") + '\0'});
    RunResult r = Ovktool({"layout", path, "0", "--chars"}, dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["width"], 640);
    const auto& p = j["paragraphs"][0];
    ASSERT_EQ(p["lines"].size(), 1u);
    EXPECT_GT(p["lines"][0]["height"].get<int>(), 10);
    EXPECT_GT(p["lines"][0]["usedWidth"].get<int>(), 100);
    int sum = 0;
    for (const auto& c : p["chars"]) {
        EXPECT_GE(c["advance"].get<int>(), 0);
        sum += c["advance"].get<int>();
    }
    EXPECT_EQ(sum, p["lines"][0]["usedWidth"].get<int>());
    // Bold "w" is wider than regular "w" in the same paragraph ("Hello " is 6 characters).
    RunResult again = Ovktool({"layout", path, "0", "--chars"}, dir);
    EXPECT_EQ(again.out, r.out);
}

TEST(OvktoolTextVerbs, FailuresAreReportedAndExitOne) {
    TempDir dir;
    const std::string path = Ebook(dir, {std::string("<Z S0 >only page") + '\0'});
    const std::string missing = (dir / "missing.ovk").string();
    for (const std::string verb : {"stream", "layout", "text"}) {
        SCOPED_TRACE(verb);
        RunResult gone = Ovktool({verb, missing, "0"}, dir);
        EXPECT_EQ(gone.exitCode, 1);
        EXPECT_EQ(gone.out, "");
        EXPECT_EQ(gone.err, "Attenzione!: " + missing + " non esiste\n");

        for (const std::string page : {"1", "-1", "99999999999"}) {
            RunResult none = Ovktool({verb, path, page}, dir);
            EXPECT_EQ(none.exitCode, 1) << page;
            EXPECT_EQ(none.out, "");
            EXPECT_NE(none.err.find("has no page"), std::string::npos) << none.err;
        }
        EXPECT_EQ(Ovktool({verb, path, "first"}, dir).exitCode, 2);
        EXPECT_EQ(Ovktool({verb, path}, dir).exitCode, 2);
    }
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--zoom", "4"},
                                                {"--zoom", "21"},
                                                {"--width", "0"},
                                                {"--metrics", "printer"},
                                                {"--width"},
                                                {"--bogus"}}) {
        std::vector<std::string> args = {"layout", path, "0"};
        args.insert(args.end(), bad.begin(), bad.end());
        EXPECT_EQ(Ovktool(args, dir).exitCode, 2) << bad[0];
    }
}

TEST(OvktoolTextVerbs, TheDocumentsOwnBoxesGoToStderr) {
    TempDir dir;
    // A colour field cut off by the end of the text: the reader's error box, and the text
    // before it still comes out.
    const std::string path = Ebook(dir, {"<Z S0 >ab<Y c12"});
    RunResult r = Ovktool({"text", path, "0"}, dir);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "ab\n");
    EXPECT_NE(r.err.find("Errore!: Truncated line!\n"), std::string::npos) << r.err;

    // A file that is not an ebook at all: the document's read-error box.
    const std::string junk = (dir / "junk.ovk").string();
    WriteFile(junk, std::string(3000, 'x'));
    RunResult j = Ovktool({"layout", junk, "0"}, dir);
    EXPECT_EQ(j.exitCode, 1);
    EXPECT_NE(j.err.find(": "), std::string::npos);
    EXPECT_EQ(j.out, "");
}

} // namespace
