#include <gtest/gtest.h>
#include <sys/wait.h>

#include "net/shell_command.h"

TEST(ShellCommand, ReturnsTheStatusOfAnOrdinaryEnd) {
    int status = run_shell_command("exit 3");
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
}

TEST(ShellCommand, StopsWhenTheCommandIsEndedByInterruptOrQuit) {
    EXPECT_THROW(run_shell_command("kill -INT $$"), CommandInterrupted);
    EXPECT_THROW(run_shell_command("kill -QUIT $$"), CommandInterrupted);
}

TEST(ShellCommand, StopsWhenTheShellReportsAChildEndedSo) {
    EXPECT_THROW(run_shell_command("sh -c 'kill -INT $$'; exit $?"), CommandInterrupted);
    EXPECT_THROW(run_shell_command("exit 131"), CommandInterrupted);
}

TEST(ShellCommand, OtherSignalsAreOrdinaryFailures) {
    int status = 0;
    EXPECT_NO_THROW(status = run_shell_command("kill -TERM $$"));
    EXPECT_NE(status, 0);
    EXPECT_NO_THROW(run_shell_command("exit 129"));
}
