#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "net/guarded_tool.h"
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

TEST(GuardedToolWait, AWaitThatOnlyTimedOutIsNoEnd) {
    GuardedTool tool("sleep 5", {});
    ASSERT_TRUE(tool.started());
    EXPECT_FALSE(tool.wait_for_end(0));
}

TEST(GuardedToolWait, NoFileTheToolWritesPassesItsSizeLimit) {
    std::string path = std::filesystem::temp_directory_path() / ("zentul-limit-" + std::to_string(getpid()));
    GuardedTool tool(("head -c 100 /dev/zero >" + path).c_str(), {-1, -1, 10, false});
    while (!tool.wait_for_end(1000)) {
    }
    EXPECT_EQ(std::filesystem::file_size(path), 10u);
    std::filesystem::remove(path);
}
