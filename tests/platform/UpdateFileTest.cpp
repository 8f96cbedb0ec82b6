#include "platform/UpdateFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace morvell {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteFile;

TEST(UpdateFile, AcceptsOnlyAnEbookOfAtLeast80Bytes) {
    TempDir dir;
    const std::string address = "http://example.org/guida.ovk";
    struct Case {
        std::string bytes;
        bool accepted;
    } cases[] = {
        {"QELB" + std::string(76, '\0'), true},
        {"QELB" + std::string(75, '\0'), false},   // one byte short
        {"<html>" + std::string(200, ' '), false}, // an error page
        {"qelb" + std::string(100, '\0'), false},  // the magic is case-sensitive
        {"", false},
    };
    for (const auto& c : cases) {
        fs::path target = dir / "guida.ovk";
        WriteFile(target, c.bytes);
        std::string line = CheckDownloadedUpdate(target.string(), address);
        if (c.accepted) {
            EXPECT_EQ(line, "OK; " + target.string());
            EXPECT_TRUE(fs::exists(target));
        } else {
            EXPECT_EQ(line,
                      "Non c'\xC3\xA8 nessun aggiornamento.\r\n\r\n(Non trovo il file: ;" + address + ")");
            EXPECT_FALSE(fs::exists(target)) << c.bytes.size();
        }
    }
    EXPECT_FALSE(IsEbookUpdate((dir / "never-downloaded").string()));
}

} // namespace
} // namespace morvell
