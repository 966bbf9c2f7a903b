#include "net/guarded_tool.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

#include "net/shell_command.h"
#include "system/standard_streams.h"
#include "system/stop_signal.h"

namespace {

void lower_file_size_limit(off_t most) {
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0) return;
    rlim_t wanted = static_cast<rlim_t>(most);
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur <= wanted) return;
    limit.rlim_cur = wanted;
    setrlimit(RLIMIT_FSIZE, &limit);
}

// Makes `group` the terminal's foreground group, from whichever group asks.
void give_terminal_to(pid_t group) {
    sigset_t stop_on_output, previous;
    sigemptyset(&stop_on_output);
    sigaddset(&stop_on_output, SIGTTOU);
    sigprocmask(SIG_BLOCK, &stop_on_output, &previous);
    tcsetpgrp(STDIN_FILENO, group);
    sigprocmask(SIG_SETMASK, &previous, nullptr);
}

// True when this program runs in the foreground of the terminal on standard input.
bool holds_terminal() { return isatty(STDIN_FILENO) && tcgetpgrp(STDIN_FILENO) == getpgrp(); }

[[noreturn]] void run_tool(const char* command, const GuardedTool::Options& options, bool takes_terminal,
                           const sigset_t& mask) {
    setpgid(0, 0);
    if (takes_terminal) give_terminal_to(getpgrp());
    sigprocmask(SIG_SETMASK, &mask, nullptr);
    restore_signals_for_tool();
    if (options.output >= 0 && dup2(options.output, STDOUT_FILENO) < 0) _exit(NOT_RUN_STATUS);
    if (options.input >= 0 && dup2(options.input, STDIN_FILENO) < 0) _exit(NOT_RUN_STATUS);
    if (options.file_size_limit > 0) lower_file_size_limit(options.file_size_limit);
    execl("/bin/sh", "sh", "-c", command, static_cast<char*>(nullptr));
    _exit(NOT_RUN_STATUS);
}

void note_child(int) {}

// Looks without reaping: the unreaped tool keeps its group's number its own.
bool has_ended(pid_t tool) {
    siginfo_t info{};
    return waitid(P_PID, tool, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == tool;
}

// Waits for the tool's end or the link's closing; true for the link. SIGCHLD
// is blocked except inside pselect, so that the tool's end cannot slip in
// between the look and the wait.
bool wait_for_tool_or_link(pid_t tool, int link, const sigset_t& mask) {
    while (!has_ended(tool)) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(link, &readable);
        int ready = pselect(link + 1, &readable, nullptr, nullptr, nullptr, &mask);
        if (ready > 0 || (ready < 0 && errno != EINTR)) return true;
    }
    return false;
}

// Tells this program the tool's group, the first thing on the link.
void send_group(int link, pid_t tool) {
    while (write(link, &tool, sizeof tool) < 0 && errno == EINTR) {
    }
}

[[noreturn]] void guard_tool(int link, const char* command, const GuardedTool::Options& options,
                             bool takes_terminal) {
    setpgid(0, 0);
    sigset_t child_signal, mask;
    sigemptyset(&child_signal);
    sigaddset(&child_signal, SIGCHLD);
    sigprocmask(SIG_BLOCK, &child_signal, &mask);
    struct sigaction action {};
    action.sa_handler = note_child;
    sigemptyset(&action.sa_mask);
    sigaction(SIGCHLD, &action, nullptr);
    pid_t tool = fork();
    if (tool == 0) run_tool(command, options, takes_terminal, mask);
    if (tool < 0) _exit(NOT_RUN_STATUS);
    setpgid(tool, tool);
    send_group(link, tool);
    bool link_closed = wait_for_tool_or_link(tool, link, mask);
    kill(-tool, SIGKILL);
    int wait_status = 0;
    while (waitpid(tool, &wait_status, 0) < 0 && errno == EINTR) {
    }
    _exit(link_closed ? NOT_RUN_STATUS : shell_status(wait_status));
}

}  // namespace

GuardedTool::GuardedTool(const char* command, const Options& options) {
    flush_output();  // nothing buffered may be written twice, nor after the tool's output
    std::fflush(stderr);
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) return;
    has_terminal_ = options.in_foreground && holds_terminal();
    guard_ = fork();
    if (guard_ == 0) {
        close(pair[0]);
        guard_tool(pair[1], command, options, has_terminal_);
    }
    close(pair[1]);
    if (guard_ < 0) {
        close(pair[0]);
        return;
    }
    link_ = pair[0];
    pid_t tool = -1;
    ssize_t got;
    while ((got = read(link_, &tool, sizeof tool)) < 0 && errno == EINTR) {
    }
    if (got == sizeof tool) group_ = tool;
}

GuardedTool::~GuardedTool() { end(); }

bool GuardedTool::wait_for_end(int milliseconds) {
    if (link_ < 0) return true;
    pollfd link{link_, POLLIN, 0};
    if (poll(&link, 1, milliseconds) <= 0) return false;  // time up, or a signal
    status_ = reap_guard();
    return true;
}

void GuardedTool::end() {
    if (link_ >= 0) reap_guard();
}

int GuardedTool::reap_guard() {
    close(link_);
    link_ = -1;
    if (has_terminal_) give_terminal_to(getpgrp());
    int wait_status = 0;
    while (waitpid(guard_, &wait_status, 0) < 0) {
        if (errno != EINTR) return NOT_RUN_STATUS;
    }
    return shell_status(wait_status);
}
