#include <gtest/gtest.h>

#include "net/shell_command.h"
#include "system/stop_signal.h"

TEST(ShellCommand, ReturnsTheStatusOfAnOrdinaryEnd) { EXPECT_EQ(run_shell_command("exit 3"), 3); }

TEST(ShellCommand, StopsWhenTheCommandIsEndedByInterruptOrQuit) {
    EXPECT_THROW(run_shell_command("kill -INT $$"), Stopped);
    EXPECT_THROW(run_shell_command("kill -QUIT $$"), Stopped);
}

TEST(ShellCommand, StopsWhenTheShellReportsAChildEndedSo) {
    try {
        run_shell_command("sh -c 'kill -INT $$'; exit $?");
        ADD_FAILURE() << "not stopped";
    } catch (const Stopped& stop) {
        EXPECT_EQ(stopped_status(stop), 130);
    }
    EXPECT_THROW(run_shell_command("exit 131"), Stopped);
}

TEST(ShellCommand, OtherSignalsAreOrdinaryFailures) {
    EXPECT_EQ(run_shell_command("kill -TERM $$"), 143);
    EXPECT_NO_THROW(run_shell_command("exit 129"));
}
