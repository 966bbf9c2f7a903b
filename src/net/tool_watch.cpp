#include "net/tool_watch.h"

#include <sys/stat.h>

#include <algorithm>
#include <deque>
#include <utility>

#include "net/download_limits.h"
#include "net/guarded_tool.h"
#include "net/received_bytes.h"
#include "net/shell_command.h"
#include "system/stop_signal.h"

namespace {

using Clock = std::chrono::steady_clock;

off_t size_of(int file) {
    struct stat status {};
    return fstat(file, &status) == 0 ? status.st_size : 0;
}

// Remembers how much had arrived over the last STALL_WINDOW, to tell
// whether less than STALL_BYTES arrived in it.
class StallWatch {
public:
    bool stalled(Clock::time_point now, std::uint64_t arrived) {
        samples_.emplace_back(now, arrived);
        Clock::time_point window_start = now - STALL_WINDOW;
        while (samples_.size() > 1 && samples_[1].first <= window_start) samples_.pop_front();
        return samples_.front().first <= window_start &&
               arrived - samples_.front().second < static_cast<std::uint64_t>(STALL_BYTES);
    }

private:
    std::deque<std::pair<Clock::time_point, std::uint64_t>> samples_;  // oldest first
};

// What has arrived: the bytes the tool received, or the bytes in its file
// where that is more (or the system cannot tell the first). Received bytes
// are counted once every RECEIVED_SAMPLE_INTERVAL.
class Arrivals {
public:
    Arrivals(pid_t group, int file) : received_(group), file_(file) {}

    std::uint64_t now(Clock::time_point at) {
        if (at >= next_sample_) {
            last_received_ = received_.total();
            next_sample_ = at + RECEIVED_SAMPLE_INTERVAL;
        }
        return std::max(last_received_, static_cast<std::uint64_t>(size_of(file_)));
    }

private:
    ReceivedBytes received_;
    int file_;
    std::uint64_t last_received_ = 0;
    Clock::time_point next_sample_{};
};

ToolOutcome ended_by_itself(const GuardedTool& tool) {
    stop_if_interrupted(tool.status());
    return tool.status() == 0 ? ToolOutcome::SUCCEEDED : ToolOutcome::FAILED;
}

}  // namespace

ToolOutcome run_watched_tool(const char* command, const ToolWatch& watch) {
    // The tool cannot write more than one byte past the cap: the disk never
    // holds more of an oversized answer.
    off_t file_size_limit = watch.most_bytes > 0 ? watch.most_bytes + 1 : 0;
    GuardedTool tool(command, {watch.file_is_output ? watch.file : -1, -1, file_size_limit, false});
    if (!tool.started()) return ToolOutcome::FAILED;
    StallWatch stall;
    Arrivals arrivals(tool.group(), watch.file);
    int interval = static_cast<int>(WATCH_INTERVAL.count());
    for (;;) {
        bool ended = tool.wait_for_end(interval);
        stop_if_signalled();
        if (watch.most_bytes > 0 && size_of(watch.file) > watch.most_bytes) return ToolOutcome::TOO_LARGE;
        if (ended) return ended_by_itself(tool);
        Clock::time_point now = Clock::now();
        if (now >= watch.deadline) return ToolOutcome::TOO_LONG;
        if (stall.stalled(now, arrivals.now(now))) return ToolOutcome::STALLED;
    }
}

int run_tool_in_foreground(const char* command, int input, bool stoppable) {
    GuardedTool tool(command, {-1, input, 0, true});
    if (!tool.started()) return NOT_RUN_STATUS;
    while (!tool.wait_for_end(static_cast<int>(WATCH_INTERVAL.count()))) {
        if (stoppable) stop_if_signalled();
    }
    if (stoppable) stop_if_signalled();
    stop_if_interrupted(tool.status());
    return tool.status();
}
