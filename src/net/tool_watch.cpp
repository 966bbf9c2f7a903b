#include "net/tool_watch.h"

#include <sys/stat.h>

#include <deque>
#include <utility>

#include "net/download_limits.h"
#include "net/guarded_tool.h"
#include "net/shell_command.h"
#include "system/stop_signal.h"

namespace {

using Clock = std::chrono::steady_clock;

off_t size_of(int file) {
    struct stat status {};
    return fstat(file, &status) == 0 ? status.st_size : 0;
}

// Remembers the sizes seen over the last STALL_WINDOW, to tell whether less
// than STALL_BYTES arrived in it.
class StallWatch {
public:
    bool stalled(Clock::time_point now, off_t size) {
        samples_.emplace_back(now, size);
        Clock::time_point window_start = now - STALL_WINDOW;
        while (samples_.size() > 1 && samples_[1].first <= window_start) samples_.pop_front();
        return samples_.front().first <= window_start && size - samples_.front().second < STALL_BYTES;
    }

private:
    std::deque<std::pair<Clock::time_point, off_t>> samples_;  // oldest first
};

}  // namespace

ToolOutcome run_watched_tool(const char* command, const ToolWatch& watch) {
    // The tool cannot write more than one byte past the cap: the disk never
    // holds more of an oversized answer.
    off_t file_size_limit = watch.most_bytes > 0 ? watch.most_bytes + 1 : 0;
    GuardedTool tool(command, watch.file_is_output ? watch.file : -1, file_size_limit);
    if (!tool.started()) return ToolOutcome::FAILED;
    StallWatch stall;
    int interval = static_cast<int>(WATCH_INTERVAL.count());
    for (;;) {
        bool ended = tool.wait_for_end(interval);
        stop_if_signalled();
        off_t size = size_of(watch.file);
        if (watch.most_bytes > 0 && size > watch.most_bytes) return ToolOutcome::GIVEN_UP;
        if (ended) {
            stop_if_interrupted(tool.status());
            return tool.status() == 0 ? ToolOutcome::SUCCEEDED : ToolOutcome::FAILED;
        }
        Clock::time_point now = Clock::now();
        if (now >= watch.deadline) return ToolOutcome::GIVEN_UP;
        if (stall.stalled(now, size)) return ToolOutcome::FAILED;
    }
}
