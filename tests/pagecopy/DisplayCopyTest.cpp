#include "PageCopyFixture.h"

namespace morvell::test {
namespace {

TEST_F(PageCopyTest, Placeholder) {
    TOVKoggetto& page = AddPage(std::string("<Z S0 >a\0", 9));
    auto copy = MakeDisplayCopy(page, 0, nullptr, nullptr);
    EXPECT_EQ(copy->DataBytes(), std::string("<Z S0 >a\0", 9));
}

} // namespace
} // namespace morvell::test
