#include "system/stop_signal.h"

volatile std::sig_atomic_t received_stop_signal = 0;

namespace {

constexpr int STOP_SIGNALS[] = {SIGINT, SIGQUIT, SIGTERM, SIGHUP};

void note_stop_signal(int signal_number) { received_stop_signal = signal_number; }

// A write to a pipe whose reader has gone then fails with EPIPE, where the
// program can undo its work and end quietly, instead of dying at once.
void note_broken_pipe(int) {}

void set_handler(int signal_number, void (*handler)(int)) {
    struct sigaction action {};
    if (sigaction(signal_number, nullptr, &action) != 0 || action.sa_handler == SIG_IGN) return;
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART
    sigaction(signal_number, &action, nullptr);
}

}  // namespace

void install_signal_handlers() {
    for (int signal_number : STOP_SIGNALS) set_handler(signal_number, note_stop_signal);
    set_handler(SIGPIPE, note_broken_pipe);
    // A write past the file size limit then fails with EFBIG and is reported.
    std::signal(SIGXFSZ, SIG_IGN);
}

void restore_signals_for_tool() { std::signal(SIGXFSZ, SIG_DFL); }

void stop_for_signal() { throw Stopped{received_stop_signal}; }
