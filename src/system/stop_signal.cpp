#include "system/stop_signal.h"

volatile std::sig_atomic_t received_stop_signal = 0;

namespace {

constexpr int STOP_SIGNALS[] = {SIGINT, SIGQUIT, SIGTERM, SIGHUP};

void note_stop_signal(int signal_number) { received_stop_signal = signal_number; }

}  // namespace

void install_stop_handlers() {
    for (int signal_number : STOP_SIGNALS) {
        struct sigaction action {};
        if (sigaction(signal_number, nullptr, &action) != 0 || action.sa_handler == SIG_IGN) continue;
        action.sa_handler = note_stop_signal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;  // no SA_RESTART
        sigaction(signal_number, &action, nullptr);
    }
}

void stop_for_signal() { throw Stopped{received_stop_signal}; }
