#pragma once

#include <csignal>

// SIGINT, SIGQUIT, SIGTERM and SIGHUP do not end the program where it stands:
// a handler only notes the signal, and the program stops at its next check,
// where Stopped unwinds whatever was under way. Each step undoes its work on
// the way out (a download's temporary file goes, an update is restored), and
// `main` exits with 128 + the signal's number.
struct Stopped {
    int signal_number;
};

inline int stopped_status(const Stopped& stop) { return 128 + stop.signal_number; }

// The number of the last of the four signals received; 0 while none came.
extern volatile std::sig_atomic_t received_stop_signal;

// Installs the handlers, without SA_RESTART: a blocking call then returns
// early with EINTR, so that the program can check. A signal ignored when the
// program started (nohup, a background job) stays ignored. SIGPIPE and
// SIGXFSZ no longer end the program: the write fails instead, and says so.
// A child keeps the handlers until it runs another program, which starts
// with the signals as the program found them, but for SIGXFSZ:
void install_signal_handlers();
// In a child about to run a tool: SIGXFSZ ends it again at its size limit.
void restore_signals_for_tool();

[[noreturn]] void stop_for_signal();

// Throws Stopped when one of the four signals has arrived. Cheap: it runs
// before every statement of a script.
inline void stop_if_signalled() {
    if (received_stop_signal != 0) stop_for_signal();
}
