#include "net/guarded_tool.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

#include "net/shell_command.h"

namespace {

void lower_file_size_limit(off_t most) {
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0) return;
    rlim_t wanted = static_cast<rlim_t>(most);
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur <= wanted) return;
    limit.rlim_cur = wanted;
    setrlimit(RLIMIT_FSIZE, &limit);
}

[[noreturn]] void run_tool(const char* command, int output, off_t file_size_limit, const sigset_t& mask) {
    setpgid(0, 0);
    sigprocmask(SIG_SETMASK, &mask, nullptr);
    if (output >= 0 && dup2(output, STDOUT_FILENO) < 0) _exit(NOT_RUN_STATUS);
    if (file_size_limit > 0) lower_file_size_limit(file_size_limit);
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

[[noreturn]] void guard_tool(int link, const char* command, int output, off_t file_size_limit) {
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
    if (tool == 0) run_tool(command, output, file_size_limit, mask);
    if (tool < 0) _exit(NOT_RUN_STATUS);
    setpgid(tool, tool);
    bool link_closed = wait_for_tool_or_link(tool, link, mask);
    kill(-tool, SIGKILL);
    int wait_status = 0;
    while (waitpid(tool, &wait_status, 0) < 0 && errno == EINTR) {
    }
    _exit(link_closed ? NOT_RUN_STATUS : shell_status(wait_status));
}

}  // namespace

GuardedTool::GuardedTool(const char* command, int output, off_t file_size_limit) {
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, pair) != 0) return;
    fcntl(pair[0], F_SETFD, FD_CLOEXEC);
    fcntl(pair[1], F_SETFD, FD_CLOEXEC);
    std::fflush(stdout);  // nothing buffered may be written twice, nor after the tool's output
    std::fflush(stderr);
    guard_ = fork();
    if (guard_ == 0) {
        close(pair[0]);
        guard_tool(pair[1], command, output, file_size_limit);
    }
    close(pair[1]);
    if (guard_ < 0) {
        close(pair[0]);
        return;
    }
    link_ = pair[0];
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
    int wait_status = 0;
    while (waitpid(guard_, &wait_status, 0) < 0) {
        if (errno != EINTR) return NOT_RUN_STATUS;
    }
    return shell_status(wait_status);
}
