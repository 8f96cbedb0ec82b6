#include "platform/Files.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace morvell {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempHome;
using test::WriteFile;

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1)) ++n;
    return n;
}

TEST(RecentDocuments, StartsAValidListAndCountsRepeatedVisits) {
    TempHome home;
    std::string ebook = (home.Path() / "Libri/la guida & co.ovk").string();
    ASSERT_TRUE(AddRecentDocument(ebook));
    std::string file = RecentDocumentsFile();
    EXPECT_EQ(file, (home.Path() / ".local/share/recently-used.xbel").string());
    std::string xml = ReadFile(file);
    EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xbel version=\"1.0\"", 0), 0u);
    EXPECT_NE(xml.find("xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\""),
              std::string::npos);
    std::string href = "href=\"file://" + home.Path().string() + "/Libri/la%20guida%20%26%20co.ovk\"";
    EXPECT_NE(xml.find(href), std::string::npos) << xml;
    EXPECT_NE(xml.find("<mime:mime-type type=\"application/x-ovk\"/>"), std::string::npos);
    EXPECT_NE(xml.find("count=\"1\""), std::string::npos);

    ASSERT_TRUE(AddRecentDocument(ebook));
    xml = ReadFile(file);
    EXPECT_EQ(Count(xml, "<bookmark href="), 1u);
    EXPECT_NE(xml.find("count=\"2\""), std::string::npos) << xml;
    EXPECT_EQ(Count(xml, "</xbel>"), 1u);
    EXPECT_FALSE(fs::exists(file + ".tmp"));
}

TEST(RecentDocuments, KeepsOtherProgramsEntries) {
    TempHome home;
    const std::string other =
        "  <bookmark href=\"file:///home/u/notes.txt\" added=\"2020-01-01T00:00:00Z\" "
        "modified=\"2020-01-01T00:00:00Z\" visited=\"2020-01-01T00:00:00Z\">\n"
        "    <info>\n      <metadata owner=\"http://freedesktop.org\">\n"
        "        <mime:mime-type type=\"text/plain\"/>\n        <bookmark:applications>\n"
        "          <bookmark:application name=\"gedit\" exec=\"&apos;gedit %u&apos;\" "
        "modified=\"2020-01-01T00:00:00Z\" count=\"3\"/>\n"
        "        </bookmark:applications>\n      </metadata>\n    </info>\n  </bookmark>\n";
    const std::string existing =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xbel version=\"1.0\"\n"
        "      xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\"\n"
        "      xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\"\n>\n" +
        other + "</xbel>";
    WriteFile(RecentDocumentsFile(), existing);
    ASSERT_TRUE(AddRecentDocument("/home/u/a.ovk"));
    std::string xml = ReadFile(RecentDocumentsFile());
    EXPECT_NE(xml.find(other), std::string::npos);
    EXPECT_NE(xml.find("href=\"file:///home/u/a.ovk\""), std::string::npos);

    // The file was opened by gedit before: our visit adds Morvell to that same entry.
    ASSERT_TRUE(AddRecentDocument("/home/u/notes.txt"));
    xml = ReadFile(RecentDocumentsFile());
    EXPECT_EQ(Count(xml, "<bookmark href="), 2u);
    EXPECT_NE(
        xml.find(
            "name=\"gedit\" exec=\"&apos;gedit %u&apos;\" modified=\"2020-01-01T00:00:00Z\" count=\"3\""),
        std::string::npos);
    EXPECT_NE(xml.find("<bookmark:application name=\"Morvell\""), std::string::npos);
    EXPECT_NE(xml.find("added=\"2020-01-01T00:00:00Z\""), std::string::npos);
    EXPECT_EQ(xml.find("modified=\"2020-01-01T00:00:00Z\" visited"), std::string::npos); // touched
}

TEST(RecentDocuments, LeavesAFileItCannotReadAlone) {
    TempHome home;
    WriteFile(RecentDocumentsFile(), "not xml at all");
    EXPECT_FALSE(AddRecentDocument("/home/u/a.ovk"));
    EXPECT_EQ(ReadFile(RecentDocumentsFile()), "not xml at all");
    WriteFile(RecentDocumentsFile(), "<xbel version=\"1.0\">\n  <bookmark href=\"file:///x\">\n</xbel>");
    EXPECT_FALSE(AddRecentDocument("/home/u/a.ovk")); // unclosed bookmark
    EXPECT_FALSE(AddRecentDocument(""));
}

TEST(RecentDocuments, DeclaresOurNamespacesWhenTheListLacksThem) {
    TempHome home;
    WriteFile(RecentDocumentsFile(), "<?xml version=\"1.0\"?>\n<xbel version=\"1.0\">\n</xbel>\n");
    ASSERT_TRUE(AddRecentDocument("/home/u/a.ovk"));
    std::string xml = ReadFile(RecentDocumentsFile());
    size_t tagEnd = xml.find('>', xml.find("<xbel"));
    EXPECT_LT(xml.find("xmlns:bookmark="), tagEnd);
    EXPECT_LT(xml.find("xmlns:mime="), tagEnd);
}

} // namespace
} // namespace morvell
