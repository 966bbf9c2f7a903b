#include <gtest/gtest.h>

#include "net/tool_watch.h"
#include "system/stop_signal.h"

TEST(ForegroundTool, ReturnsTheStatusOfAnOrdinaryEnd) { EXPECT_EQ(run_tool_in_foreground("exit 3"), 3); }

TEST(ForegroundTool, StopsWhenTheCommandIsEndedByInterruptOrQuit) {
    EXPECT_THROW(run_tool_in_foreground("kill -INT $$"), Stopped);
    EXPECT_THROW(run_tool_in_foreground("kill -QUIT $$"), Stopped);
}

TEST(ForegroundTool, StopsWhenTheShellReportsAChildEndedSo) {
    try {
        run_tool_in_foreground("sh -c 'kill -INT $$'; exit $?");
        ADD_FAILURE() << "not stopped";
    } catch (const Stopped& stop) {
        EXPECT_EQ(stopped_status(stop), 130);
    }
    EXPECT_THROW(run_tool_in_foreground("exit 131"), Stopped);
}

TEST(ForegroundTool, OtherSignalsAreOrdinaryFailures) {
    EXPECT_EQ(run_tool_in_foreground("kill -TERM $$"), 143);
    EXPECT_NO_THROW(run_tool_in_foreground("exit 129"));
}
