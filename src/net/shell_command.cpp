#include "net/shell_command.h"

#include <sys/wait.h>

#include <csignal>

#include "system/stop_signal.h"

namespace {

bool is_interrupt(int signal_number) { return signal_number == SIGINT || signal_number == SIGQUIT; }

}  // namespace

int shell_status(int wait_status) {
    if (WIFEXITED(wait_status)) return WEXITSTATUS(wait_status);
    if (WIFSIGNALED(wait_status)) return 128 + WTERMSIG(wait_status);
    return NOT_RUN_STATUS;
}

void stop_if_interrupted(int status) {
    if (status > 128 && is_interrupt(status - 128)) throw Stopped{status - 128};
}
