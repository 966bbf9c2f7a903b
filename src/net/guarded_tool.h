#pragma once

#include <sys/types.h>

// A shell command run as a tool that cannot outlive this program.
//
// The tool runs through /bin/sh -c in a process group of its own, as the
// child of a guard process. The guard holds one end of a socket pair whose
// other end only this program holds (close-on-exec everywhere). When this
// program's end closes, because end() closes it or because the program is
// gone, however it ended, SIGKILL included, the guard kills the tool's whole
// group at once: the shell, the tool and whatever they started. When the tool
// ends by itself, the guard kills what it left running in its group and exits
// with the tool's status, which closes the pair from its side and wakes this
// program. The guard is the tool's parent so that the group's number cannot
// pass to another process before it is killed, and it sits in a group of its
// own so that signals sent to this program's group do not reach it. It keeps
// the descriptors it was born with, the package lock among them: a lock held
// during a download is free again only once the tool is gone.
//
// A tool that may ask the user something (sudo asking for a password) runs
// in the terminal's foreground: its group takes the terminal while it runs,
// so that it can read it and Ctrl-C reaches it, and this program takes the
// terminal back when the tool is gone.
class GuardedTool {
public:
    struct Options {
        int output = -1;               // where its standard output goes; -1: this program's
        int input = -1;                // what it reads as standard input; -1: this program's
        off_t file_size_limit = 0;     // no file it writes may grow beyond this (0: none)
        bool in_foreground = false;    // takes the terminal while it runs
    };
    explicit GuardedTool(const char* command, const Options& options);
    // Ends the tool if it still runs.
    ~GuardedTool();
    GuardedTool(const GuardedTool&) = delete;
    GuardedTool& operator=(const GuardedTool&) = delete;

    bool started() const { return guard_ > 0; }
    // Waits until the tool has ended, a signal arrives or `milliseconds`
    // pass; true once the tool has ended by itself.
    bool wait_for_end(int milliseconds);
    // The tool's shell status once it has ended by itself (net/shell_command.h).
    int status() const { return status_; }
    // Ends the tool's whole group now and waits for its guard.
    void end();
    // The tool's process group, once started.
    pid_t group() const { return group_; }

private:
    int reap_guard();

    int link_ = -1;  // this program's end of the pair; -1 once the guard is gone
    pid_t guard_ = -1;
    pid_t group_ = -1;
    bool has_terminal_ = false;
    int status_ = -1;
};
