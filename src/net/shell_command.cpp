#include "net/shell_command.h"

#include <sys/wait.h>

#include <csignal>
#include <cstdlib>

namespace {

bool is_stop_signal(int signal_number) { return signal_number == SIGINT || signal_number == SIGQUIT; }

}  // namespace

void stop_if_interrupted(int status) {
    if (status == -1) return;
    if (WIFSIGNALED(status) && is_stop_signal(WTERMSIG(status))) throw CommandInterrupted{};
    // A shell whose child was ended by signal N exits with 128 + N.
    if (WIFEXITED(status) && WEXITSTATUS(status) > 128 && is_stop_signal(WEXITSTATUS(status) - 128)) {
        throw CommandInterrupted{};
    }
}

int run_shell_command(const char* command) {
    std::fflush(stdout);
    int status = std::system(command);
    stop_if_interrupted(status);
    return status;
}

int close_pipe(std::FILE* pipe) {
    int status = pclose(pipe);
    stop_if_interrupted(status);
    return status;
}
