#pragma once

// What a shell reports for a command it cannot run.
inline constexpr int NOT_RUN_STATUS = 127;

// What a shell reports for a process's wait status: its exit code, or
// 128 + N when signal N ended it.
int shell_status(int wait_status);

// Throws Stopped (system/stop_signal.h) when a command's shell status tells of
// a command ended by SIGINT or SIGQUIT: the user asked to stop, so no
// fallback is run and nothing further is done.
void stop_if_interrupted(int status);
