// Runs the built ovktool and ovkbuild programs and checks their output, which other tools rely on.
#include "document/OVKKinds.h"
#include "ovkbuild/Templates.h"
#include "platform/LittleEndian.h"
#include "support/RunProgram.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>


#include <filesystem>
#include <sstream>

extern char** environ;

namespace {

using morvell::test::ReadFile;
using morvell::test::TempDir;
using morvell::test::WriteFile;
namespace le = morvell::le;

using morvell::test::RunProgram;
using morvell::test::RunResult;

// An old-format ebook made byte by byte, without the builder: version 1, nine sections, one
// page in a 700-byte record, a latin-1 title.
std::string HandMadeEbook() {
    std::string bytes(1978 + 12 * 9 + 4 + 700, '\0');
    morvell::MutableByteSpan b(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size());
    le::SetBytes(b, 0, "qElB");
    le::SetStr(b, 4, 255, "Libro \xE8");
    le::SetStr(b, 1540, 79, "removed for version 1");
    le::SetU8(b, 1620, 8);
    le::SetI16(b, 1621, 1);
    le::SetI32(b, 1624, 3);
    le::SetI32(b, 1628, 4);
    le::SetI32(b, 1632, 5);
    le::SetI16(b, 1722, 120);
    le::SetI32(b, 1724, 77);
    le::SetU8(b, 1783, 1);
    le::SetU8(b, 1784, 0);
    le::SetU8(b, 1785, 1);
    le::SetU8(b, 1786, 2);
    for (int i = 0; i <= 8; ++i) {
        le::SetI32(b, 1978 + 12 * i, i == 0 ? 0 : 700);
        le::SetI32(b, 1978 + 12 * i + 4, 700);
        le::SetI32(b, 1978 + 12 * i + 8, i == 0 ? 1 : 0);
    }
    le::SetI32(b, 1978 + 12 * 9, 700);
    le::SetStr(b, 2090 + 5, 71, "Pagina \xE8");
    return bytes;
}

TEST(Ovktool, InfoOfAHandMadeOldEbook) {
    TempDir dir;
    const std::string path = (dir / "My Book.ovk").string();
    WriteFile(path, HandMadeEbook());
    RunResult r = RunProgram("ovktool", {"info", path}, dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["file"], path);
    EXPECT_EQ(j["title"], "Libro \xC3\xA8");
    EXPECT_EQ(j["version"], 1);
    EXPECT_EQ(j["lastSection"], 8);
    EXPECT_EQ(j["recordAreaLength"], 700);
    EXPECT_EQ(j["dataStart"], 2090);
    EXPECT_EQ(j["dataBase"], 2790);
    ASSERT_EQ(j["sections"].size(), 9u);
    EXPECT_EQ(j["sections"][0],
              nlohmann::json({{"kind", "testoHtml"}, {"offset", 0}, {"recordSize", 700}, {"count", 1}}));
    EXPECT_EQ(j["sections"][8]["kind"], "tabellaHtml");
    EXPECT_EQ(j["summaryPage"], 3);
    EXPECT_EQ(j["coverPage"], 4);
    EXPECT_EQ(j["revision"], 5);
    EXPECT_EQ(j["author"], "");
    EXPECT_EQ(j["company"], "");
    EXPECT_EQ(j["rights"], "");
    EXPECT_EQ(j["exportPrefix"], "my_book_");
    EXPECT_EQ(j["pixelsPerInch"], 120);
    EXPECT_EQ(j["defaultHeader"], -1);
    EXPECT_EQ(j["defaultFooter"], -1);
    EXPECT_EQ(j["toc"], true);
    EXPECT_EQ(j["tileOrigin"], 0);
    EXPECT_EQ(j["fullScreen"], 1);
    EXPECT_EQ(j["windowMode"], 2);

    RunResult peek = RunProgram("ovktool", {"peek", path, "0x0"}, dir);
    EXPECT_EQ(peek.exitCode, 0);
    EXPECT_EQ(peek.out, "Pagina \xC3\xA8\n");
    for (const char* ref : {"1", "-1", "0x04000000"}) {
        peek = RunProgram("ovktool", {"peek", path, ref}, dir);
        EXPECT_EQ(peek.exitCode, 0) << ref;
        EXPECT_EQ(peek.out, "\n") << ref;
    }
}

TEST(Ovktool, InfoOfTheWelcomeSample) {
    const std::string sample = std::string(MORVELL_SOURCE_DIR) + "/samples/welcome.ovk";
    ASSERT_TRUE(std::filesystem::exists(sample)) << "the samples target makes " << sample;
    TempDir dir;
    RunResult r = RunProgram("ovktool", {"info", sample}, dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["title"], "Welcome to Morvell");
    EXPECT_EQ(j["author"], "The Morvell developers");
    EXPECT_EQ(j["sections"].size(), 27u);
    EXPECT_GE(j["sections"][0]["count"], 1);
    EXPECT_EQ(RunProgram("ovktool", {"peek", sample, "0"}, dir).out, "Welcome\n");
}

TEST(Ovktool, RejectedFilesPrintTheReadersBoxes) {
    const std::string readError = "Informazione: Errore nella lettura file: ";
    const std::string unsupported =
        "File non supportato dalla corrente versione del programma.\n"
        "Contattare support@morvell.example per ottenere una versione pi\xC3\xB9recente "
        "del programma.\n";
    struct Case {
        const char* what;
        void (*change)(std::string&);
        std::string boxes; // before the read-error line
    } cases[] = {
        {"wrong magic", [](std::string& b) { b[3] = 'X'; }, "Informazione: Formato sconosciuto.\n"},
        {"version 3", [](std::string& b) { b[1621] = 3; }, "Errore!: " + unsupported},
        {"last section 27", [](std::string& b) { b[1621] = 2, b[1620] = 27; },
         "Informazione: " + unsupported},
        {"version 1 before 0.98", [](std::string& b) { b[1620] = 7; },
         "Informazione: Attenzione: file salvato con una versione del programma\nanteriore alla 0.98. Non "
         "pi\xC3\xB9 "
         "supportato. UNSUPPORTED\n\n"},
        {"shorter than the header", [](std::string& b) { b.resize(1000); }, ""},
        {"table cut short", [](std::string& b) { b.resize(2000); }, ""},
    };
    for (const Case& k : cases) {
        TempDir dir;
        const std::string path = (dir / "bad.ovk").string();
        std::string bytes = HandMadeEbook();
        k.change(bytes);
        WriteFile(path, bytes);
        RunResult r = RunProgram("ovktool", {"info", path}, dir);
        EXPECT_EQ(r.exitCode, 1) << k.what;
        EXPECT_EQ(r.out, "") << k.what;
        EXPECT_EQ(r.err, k.boxes + readError + path + "\n") << k.what;
    }
}

TEST(Ovktool, MissingAndEmptyFiles) {
    TempDir dir;
    const std::string missing = (dir / "gone.ovk").string();
    RunResult r = RunProgram("ovktool", {"info", missing}, dir);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Attenzione!: " + missing + " non esiste\n");
    EXPECT_EQ(RunProgram("ovktool", {"peek", missing, "0"}, dir).out, "\n");

    // A zero-length file opens as a new, empty ebook of that name.
    const std::string empty = (dir / "New Book.ovk").string();
    WriteFile(empty, "");
    r = RunProgram("ovktool", {"info", empty}, dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["title"], "Senza titolo");
    EXPECT_EQ(j["version"], 2);
    EXPECT_EQ(j["lastSection"], 26);
    EXPECT_EQ(j["revision"], 2);
    EXPECT_EQ(j["exportPrefix"], "new_book");
    EXPECT_EQ(j["defaultHeader"], -1);
    EXPECT_EQ(j["tileOrigin"], 1);
    EXPECT_EQ(j["dataStart"], 2306);
    EXPECT_EQ(j["sections"].size(), 27u);
}

TEST(Ovktool, UsageErrors) {
    TempDir dir;
    EXPECT_EQ(RunProgram("ovktool", {"info"}, dir).exitCode, 2);
    EXPECT_EQ(RunProgram("ovktool", {"peek", "x.ovk"}, dir).exitCode, 2);
    for (const char* ref : {"abc", "0x", "12z", "0x1FFFFFFFF", "99999999999"})
        EXPECT_EQ(RunProgram("ovktool", {"peek", "x.ovk", ref}, dir).exitCode, 2) << ref;
}

TEST(Ovkbuild, Command) {
    TempDir dir;
    WriteFile(
        dir / "m.json",
        R"({"header": {"title": "Built"}, "records": {"testoHtml": [{"template": "page", "title": "P"}]}})");
    const std::string out = (dir / "out.ovk").string();
    RunResult r = RunProgram("ovkbuild", {(dir / "m.json").string(), "-o", out}, dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(out).size(), 2306u + 668);
    EXPECT_EQ(RunProgram("ovktool", {"peek", out, "0"}, dir).out, "P\n");

    WriteFile(dir / "bad.json", R"({"header": {"nope": 1}})");
    r = RunProgram("ovkbuild", {(dir / "bad.json").string(), "-o", out}, dir);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("ovkbuild: ", 0), 0u) << r.err;
    EXPECT_EQ(RunProgram("ovkbuild", {}, dir).exitCode, 2);
}

// --- object verbs --------------------------------------------------------------------------------

std::vector<nlohmann::json> JsonLines(const std::string& out) {
    std::vector<nlohmann::json> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line));
    return lines;
}

ovkbuild::Record ShortObjRecordForTest(ovkbuild::Builder& b) {
    ovkbuild::Record r;
    r.U8(4, 15).I32(5, -1);
    ovkbuild::AttachAttributes(b, morvell::TOggettiHel::shortObj, r,
                               b.Encode("name=\"Marker \xE2\x82\xAC\" onclick='x'"));
    return r;
}

// One object of each kind the verbs care about, in a windows-1252 ebook.
std::string ObjectsBook(const TempDir& dir) {
    using namespace ovkbuild;
    Builder b;
    b.SetCharSet("windows-1252");
    AddPropertyList(b, {{"CharSet", "windows-1252"}, {"GlobalMargin", "12"}, {"Colour", "blu \xE2\x82\xAC"}});
    AddPage(b, "Caf\xC3\xA9");
    AddPage(b, "Free");
    b.RecordAt(morvell::TOggettiHel::testoHtml, 1).U8(4, 3);
    AddGenLink(b, "../../evil.txt", "hello");
    AddImmagine(b, "Logo", "logo.gif", "GIF89a-bytes");
    AddInternetLink(b, "http://example.org/");
    AddKeyword(b, "kw");
    Record marker = ShortObjRecordForTest(b);
    b.AddRecord(morvell::TOggettiHel::shortObj, marker);
    AddNodeList(b, "a0,-2,Guide\r\na1,-3,Part\r\na3,0,x\r\na2,0,x\r\na1,83886080,x\r\n");
    AddDbloc(b, "data", {{"Name", "Ada"}, {"note", "two\r\nlines"}});
    const std::string path = (dir / "objects.ovk").string();
    b.Write(path);
    return path;
}

TEST(OvktoolObjects, ListsEveryObjectOnALine) {
    TempDir dir;
    const std::string book = ObjectsBook(dir);
    RunResult r = RunProgram("ovktool", {"objects", book}, dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto lines = JsonLines(r.out);
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[0], nlohmann::json({{"ref", "0x00000000"},
                                        {"kind", 0},
                                        {"kindName", "testoHtml"},
                                        {"index", 0},
                                        {"free", false},
                                        {"name", "Caf\xC3\xA9"},
                                        {"describe", "Caf\xC3\xA9|Collegamento a: Caf\xC3\xA9"},
                                        {"storedFileName", ""},
                                        {"dataLength", 0},
                                        {"extraLength", 0}}));
    EXPECT_EQ(lines[1]["free"], true);
    EXPECT_EQ(lines[2]["ref"], "0x01000000");
    EXPECT_EQ(lines[3]["kindName"], "genLink");
    EXPECT_EQ(lines[3]["storedFileName"], "../../evil.txt");
    EXPECT_EQ(lines[3]["dataLength"], 5);

    for (const char* kind : {"genLink", "3"}) {
        r = RunProgram("ovktool", {"objects", book, "--kind", kind}, dir);
        ASSERT_EQ(r.exitCode, 0) << kind;
        lines = JsonLines(r.out);
        ASSERT_EQ(lines.size(), 1u) << kind;
        EXPECT_EQ(lines[0]["ref"], "0x03000000");
    }
    r = RunProgram("ovktool", {"objects", book, "--kind", "nonsense"}, dir);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Errore!: unknown object kind nonsense\n");
}

TEST(OvktoolObjects, OneObjectInFull) {
    TempDir dir;
    const std::string book = ObjectsBook(dir);
    RunResult r = RunProgram("ovktool", {"object", book, "0x03000000"}, dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["name"], "../../evil.txt");
    const std::string record = j["record"];
    ASSERT_EQ(record.size(), 2u * 668);
    EXPECT_EQ(record.substr(8, 2), "04") << "status in use";
    EXPECT_EQ(record.find_first_not_of("0123456789abcdef"), std::string::npos);

    r = RunProgram(
        "ovktool",
        {"object", book, std::to_string(morvell::MakeReference(morvell::TOggettiHel::shortObj, 0))}, dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(nlohmann::json::parse(r.out)["attributes"], "name=\"Marker \xE2\x82\xAC\" onclick='x'");

    r = RunProgram("ovktool", {"object", book, "0x0D000001"}, dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(nlohmann::json::parse(r.out)["fields"],
              nlohmann::json({{"name", "Ada"}, {"note", "two\r\nlines"}}));

    r = RunProgram("ovktool", {"object", book, "0x03000009"}, dir);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Errore!: no object 0x03000009\n");
    EXPECT_EQ(RunProgram("ovktool", {"object", book, "zz"}, dir).exitCode, 2);
}

TEST(OvktoolObjects, TreePropsAndAttributes) {
    TempDir dir;
    const std::string book = ObjectsBook(dir);
    RunResult r = RunProgram("ovktool", {"tree", book}, dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "root: Guide\n  chapter: Part\n    leaf 0: Caf\xC3\xA9\n  plain: *\n");
    EXPECT_EQ(r.err, "Errore!: error loading nodes\n");
    r = RunProgram("ovktool", {"tree", book, "--custom"}, dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "root: objects.ovk\n");

    r = RunProgram("ovktool", {"props", book}, dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(nlohmann::json::parse(r.out),
              nlohmann::json(
                  {{"charset", "windows-1252"}, {"globalmargin", "12"}, {"colour", "blu \xE2\x82\xAC"}}));

    const std::string marker = "0x0B000000";
    r = RunProgram("ovktool", {"attr", book, marker, "NAME"}, dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Marker \xE2\x82\xAC\n");
    r = RunProgram("ovktool", {"attr", book, marker, "nope"}, dir);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Errore!: no attribute nope\n");

    r = RunProgram("ovktool", {"info", book}, dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["pages"], 2);
    EXPECT_EQ(j["charset"], "windows-1252");
    EXPECT_EQ(j["fontCharset"], 1);
    EXPECT_EQ(j["globalMargin"], 12);
}

TEST(OvktoolObjects, ExtractNeverLeavesTheFolderNorWritesThroughAPlantedFile) {
    TempDir dir;
    const std::string book = ObjectsBook(dir);
    const auto out = dir / "out";
    std::filesystem::create_directory(out);
    RunResult r = RunProgram("ovktool", {"extract", book, "0x03000000", out.string()}, dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, (out / "evil.txt").string() + "\n");
    EXPECT_EQ(ReadFile(out / "evil.txt"), "hello");
    EXPECT_FALSE(std::filesystem::exists(dir / "evil.txt"));

    // A link planted under the next name: the file goes beside it, the target stays untouched.
    WriteFile(dir / "target.txt", "keep");
    std::filesystem::remove(out / "evil.txt");
    std::filesystem::create_symlink(dir / "target.txt", out / "evil.txt");
    r = RunProgram("ovktool", {"extract", book, "0x03000000", out.string()}, dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, (out / "evil (2).txt").string() + "\n");
    EXPECT_EQ(ReadFile(dir / "target.txt"), "keep");
    EXPECT_EQ(ReadFile(out / "evil (2).txt"), "hello");

    r = RunProgram("ovktool", {"extract", book, "0x05000000", out.string()}, dir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(out / "logo.gif"), "GIF89a-bytes");

    r = RunProgram("ovktool", {"extract", book, "0", out.string()}, dir);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Errore!: 0 carries no file (only genLink and immagine objects do)\n");
    r = RunProgram("ovktool", {"extract", book, "0x03000000", (dir / "nowhere").string()}, dir);
    EXPECT_EQ(r.exitCode, 1);
}

} // namespace
