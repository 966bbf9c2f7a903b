#pragma once

#include <cstdio>

// Thrown when a command run through the shell was ended by SIGINT or SIGQUIT:
// the user asked to stop, so no fallback is run and nothing further is done.
// Whoever changed state on the way undoes it; the program then exits with
// INTERRUPTED_STATUS.
struct CommandInterrupted {};

inline constexpr int INTERRUPTED_STATUS = 130;

// Runs `command` through the shell after flushing standard output, so that
// the tool's output cannot overtake ours. Returns the status `system` gives.
int run_shell_command(const char* command);

// Closes a pipe opened with popen and returns the command's status.
int close_pipe(std::FILE* pipe);

// Throws CommandInterrupted when `status` (from system or pclose) tells of a
// command ended by SIGINT or SIGQUIT, or of a shell that reports so (128 + N).
void stop_if_interrupted(int status);
