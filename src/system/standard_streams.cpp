#include "system/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "system/stop_signal.h"

void open_missing_standard_streams() {
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; descriptor++) {
        if (fcntl(descriptor, F_GETFD) >= 0 || errno != EBADF) continue;
        // The lowest free number is the closed one. A closed standard output
        // is opened for reading only: the first write to it then fails with
        // EBADF, and is reported, as a write to the closed one would be.
        int opened = open("/dev/null", descriptor == STDOUT_FILENO ? O_RDONLY : O_RDWR);
        if (opened >= 0 && opened != descriptor) close(opened);
    }
}

void output_failed() {
    int error = errno != 0 ? errno : EIO;
    if (error == EPIPE) throw Stopped{SIGPIPE};
    throw OutputFailed{error};
}

void flush_output() {
    errno = 0;
    std::fflush(stdout);
    check_output();
}

void report_output_failure(const OutputFailed& failure) {
    std::fprintf(stderr, "Error: Cannot write output: %s\n", std::strerror(failure.error));
    std::fflush(stderr);
}
