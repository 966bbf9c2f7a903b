#pragma once

#include <cstdio>

// Output that could not be written (a full disk, /dev/full, a file size
// limit): `main` says so on standard error and exits with status 1.
struct OutputFailed {
    int error;  // errno
};

// Opens each of the descriptors 0, 1 and 2 that is closed on /dev/null, so
// that no file this program opens takes the place of a standard stream.
// Output to a standard output that was closed fails still: the first write
// reports "Bad file descriptor" (OutputFailed).
void open_missing_standard_streams();

// Throws when writing standard output has failed: Stopped with SIGPIPE when
// its reader has gone (the program ends quietly, as a filter does), else
// OutputFailed. Cheap: it runs after every print.
[[noreturn]] void output_failed();
inline void check_output() {
    if (ferror_unlocked(stdout)) [[unlikely]] output_failed();
}

// Flushes standard output and checks it.
void flush_output();

// Writes "Error: Cannot write output: REASON" on standard error.
void report_output_failure(const OutputFailed& failure);
