#include "shell/ExitCommand.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

using namespace morvell;
namespace fs = std::filesystem;

namespace {

TEST(ExitCommand, RunsTheProgramWithItsArgumentsVerbatim) {
    test::TempDir dir;
    // Characters a shell would act on must reach the program untouched.
    const fs::path target = dir / "a b; touch injected";
    ExitCommand command{"/usr/bin/touch", {target.string()}};
    pid_t pid = RunExitCommand(command);
    ASSERT_GT(pid, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(fs::exists(target));
    EXPECT_FALSE(fs::exists("injected"));
}

TEST(ExitCommand, NothingRunsWithoutParametersOrProgram) {
    EXPECT_EQ(RunExitCommand({"/usr/bin/touch", {}}), -1);
    EXPECT_EQ(RunExitCommand({"", {"x"}}), -1);
    EXPECT_EQ(RunExitCommand({"/nonexistent/program", {"x"}}), -1);
}

} // namespace
