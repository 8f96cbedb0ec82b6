// Writing carried files into the document's temporary folder, and what a hostile stored
// name can and cannot do there.

#include "ObjectFixture.h"

#include "objects/SafeStoredName.h"

#include <filesystem>
#include <sys/stat.h>

namespace morvell::test {
namespace {

namespace fs = std::filesystem;

TEST(SafeName, StaysAPlainFileName) {
    struct Case {
        const char* stored;
        const char* safe;
    };
    const Case cases[] = {
        {"report.pdf", "report.pdf"},
        {"..\\..\\etc\\passwd", "passwd"},
        {"../../.bashrc", ".bashrc"},
        {"/etc/shadow", "shadow"},
        {"C:\\Windows\\x.exe", "x.exe"},
        {"C:evil.txt", "evil.txt"},
        {"..", "file"},
        {"dir/..", "file"},
        {"", "file"},
        {"a\nb\x01"
         "c.txt",
         "abc.txt"},
        {"CON", "_CON"},
        {"nul.txt", "_nul.txt"},
        {"com1.doc", "_com1.doc"},
        {"console.txt", "console.txt"},
        {"lpt10", "lpt10"},
    };
    for (const auto& c : cases) EXPECT_EQ(SafeStoredName(c.stored), c.safe) << c.stored;
    const std::string longName = SafeStoredName(std::string(400, 'x') + ".pdf");
    EXPECT_EQ(longName.size(), 255u);
    EXPECT_TRUE(longName.ends_with(".pdf"));
}

class Extract : public ObjectTest {
protected:
    void AddFile(ovkbuild::Builder& b, const std::string& name, const std::string& bytes,
                 std::int32_t lengthOverride = -2) {
        auto block = b.AddData(bytes);
        b.AddRecord(K::genLink, FfRecord()
                                    .U8(4, 4)
                                    .Str(5, 78, name)
                                    .I32(0, static_cast<std::int32_t>(block.offset))
                                    .I32(85, lengthOverride == -2 ? static_cast<std::int32_t>(block.length)
                                                                  : lengthOverride));
    }
};

TEST_F(Extract, TwiceWritesOneFile) {
    ovkbuild::Builder b;
    AddFile(b, "notes.txt", "hello");
    Open(b);
    TOVKoggetto& o = Obj(K::genLink, 0);
    const std::string path = o.ExtractToFile();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(fs::path(path).parent_path(), fs::path(m_doc.TempFolder()));
    EXPECT_EQ(fs::path(path).filename(), "notes.txt");
    EXPECT_EQ(ReadFile(path), "hello");
    EXPECT_EQ(o.FileName(), path);
    EXPECT_FALSE(o.HasData());
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    EXPECT_EQ(o.ExtractToFile(), path);
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(m_doc.TempFolder())) ++files;
    EXPECT_EQ(files, 1);

    // With the file extracted, the data is read back from it.
    std::string out;
    EXPECT_EQ(o.WriteData(out, true), 5);
    EXPECT_EQ(out, std::string("\x05\0\0\0\0\0\0\0hello", 13));
}

TEST_F(Extract, SameNameGetsAnotherFile) {
    ovkbuild::Builder b;
    AddFile(b, "same.txt", "one");
    AddFile(b, "SAME2.txt", "two"); // renamed in place below, after loading
    Open(b);
    Obj(K::genLink, 1).Record().SetStr(5, 78, "same.txt");
    const std::string first = Obj(K::genLink, 0).ExtractToFile();
    const std::string second = Obj(K::genLink, 1).ExtractToFile();
    ASSERT_FALSE(second.empty());
    EXPECT_NE(first, second);
    EXPECT_THAT(fs::path(second).filename().string(), ::testing::MatchesRegex("re[0-9a-f]{6}\\.txt"));
    EXPECT_EQ(ReadFile(first), "one");
    EXPECT_EQ(ReadFile(second), "two");
}

TEST_F(Extract, HostileNamesStayInTheFolder) {
    ovkbuild::Builder b;
    for (const char* name : {"..\\..\\escape.txt", "/tmp/abs.txt", "..", "sub/../../x"})
        AddFile(b, name, "x");
    Open(b);
    const fs::path folder = m_doc.TempFolder();
    for (int i = 0; i < 4; ++i) {
        const std::string path = Obj(K::genLink, i).ExtractToFile();
        ASSERT_FALSE(path.empty()) << i;
        EXPECT_EQ(fs::path(path).parent_path(), folder) << path;
    }
    EXPECT_FALSE(fs::exists(m_dir / "escape.txt"));
    EXPECT_FALSE(fs::exists(folder.parent_path() / "escape.txt"));
}

TEST_F(Extract, PlantedSymlinkIsNeverFollowed) {
    ovkbuild::Builder b;
    AddFile(b, "victim.txt", "payload");
    Open(b);
    const fs::path folder = m_doc.TempFolder();
    const fs::path target = m_dir / "target.txt";
    WriteFile(target, "original");
    fs::create_symlink(target, folder / "victim.txt");
    const std::string path = Obj(K::genLink, 0).ExtractToFile();
    ASSERT_FALSE(path.empty());
    EXPECT_NE(fs::path(path).filename(), "victim.txt");
    EXPECT_EQ(ReadFile(target), "original");
    EXPECT_EQ(ReadFile(path), "payload");
}

TEST_F(Extract, DataPastTheEndFailsWithTheBoxesAndKeepsTheData) {
    ovkbuild::Builder b;
    AddFile(b, "big.bin", "tiny", 0x7FFFFFFF);
    AddFile(b, "neg.bin", "tiny", -7);
    Open(b);
    for (int i = 0; i < 2; ++i) {
        m_messages.Clear();
        TOVKoggetto& o = Obj(K::genLink, i);
        EXPECT_EQ(o.ExtractToFile(), "");
        EXPECT_EQ(o.FileName(), "");
        EXPECT_TRUE(o.HasData());
        ASSERT_EQ(m_messages.Entries().size(), 1u);
        EXPECT_EQ(m_messages.Entries()[0].kind, MessageKind::Error);
        EXPECT_THAT(m_messages.Entries()[0].text,
                    ::testing::StartsWith(
                        "Lo spazio su HD potrebbe essere insufficiente! Errore nella scorporazione file: "));
        std::vector<std::string> problems;
        std::string out;
        EXPECT_EQ(o.WriteData(out, true, &problems), 0);
        EXPECT_EQ(out, "");
        EXPECT_EQ(problems, std::vector<std::string>{"Errore nell'apertura file: " + m_path});
    }
}

TEST_F(Extract, NoNameOrNoDataGivesTheFileNameField) {
    ovkbuild::Builder b;
    AddFile(b, "", "x");
    Open(b);
    EXPECT_EQ(Obj(K::genLink, 0).ExtractToFile(), "");
    auto noData = Loose(K::genLink, &m_doc);
    noData->SetFileName("/some/where.pdf");
    EXPECT_EQ(noData->ExtractToFile(), "/some/where.pdf");
    // Without data and without an existing file the block is empty, with its header.
    std::string out;
    EXPECT_EQ(noData->WriteData(out, true), 0);
    EXPECT_EQ(out, std::string(8, '\0'));
}

} // namespace
} // namespace morvell::test
