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
class GuardedTool {
public:
    // Starts `command`. Its standard output goes to `output` unless that is
    // -1; no file it writes may grow beyond `file_size_limit` bytes (0: none).
    GuardedTool(const char* command, int output, off_t file_size_limit);
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

private:
    int reap_guard();

    int link_ = -1;  // this program's end of the pair; -1 once the guard is gone
    pid_t guard_ = -1;
    int status_ = -1;
};
