#pragma once

#include <sys/types.h>

#include <chrono>

// How a watched tool's run ended.
enum class ToolOutcome {
    SUCCEEDED,
    FAILED,     // by itself: the next tool may try
    STALLED,    // ended for receiving too little: the next tool may try
    TOO_LARGE,  // ended for its size: no other tool tries
    TOO_LONG,   // ended for its time: no other tool tries
};

// What is watched while a tool runs.
struct ToolWatch {
    int file;             // the file the tool writes: its size is watched
    bool file_is_output;  // the tool's standard output goes to `file`
    off_t most_bytes;     // 0: any size
    std::chrono::steady_clock::time_point deadline;
};

// Runs `command` as a guarded tool and waits for it, looking at the file's
// size and at what the tool has received every WATCH_INTERVAL: the tool is
// ended when it stalls or oversteps the watch's size or deadline. Throws
// Stopped, the tool ended, when a stop signal arrives or the tool was
// interrupted.
ToolOutcome run_watched_tool(const char* command, const ToolWatch& watch);

// Runs `command` as a guarded tool in the terminal's foreground, so that it
// can ask the user (sudo), with `input` (when not -1) as its standard input,
// and returns its shell status. Throws Stopped, the tool ended, when a stop
// signal arrives or the tool was interrupted. A tool that is not `stoppable`
// (one whose work must not be cut in two) is waited for to its end whatever
// signal arrives meanwhile; only its own interruption stops then.
int run_tool_in_foreground(const char* command, int input = -1, bool stoppable = true);
