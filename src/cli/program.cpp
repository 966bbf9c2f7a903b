#include "cli/program.h"

#include <unistd.h>

#include <cstdio>

#include "cli/command_line.h"
#include "core/error.h"
#include "system/standard_streams.h"
#include "system/stop_signal.h"

namespace {

// Output to a terminal goes out line by line; to a file or a pipe it is
// written in large pieces. It is flushed before input is read, before a tool
// or a pause, before anything goes to standard error, and at the end.
void buffer_standard_output() {
    static char buffer[1 << 16];
    if (!isatty(STDOUT_FILENO)) std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
}

int run_to_status(int argc, char** argv) {
    try {
        int status = run_command_line(argc, argv);
        flush_output();
        return status;
    } catch (const ScriptError& failure) {
        report_script_error(failure);
        flush_output();
        return 1;
    }
}

}  // namespace

int zentul_main(int argc, char** argv) {
    open_missing_standard_streams();
    buffer_standard_output();
    install_signal_handlers();
    try {
        return run_to_status(argc, argv);
    } catch (const Stopped& stop) {
        std::fflush(stdout);
        return stopped_status(stop);
    } catch (const OutputFailed& failure) {
        report_output_failure(failure);
        return 1;
    }
}
