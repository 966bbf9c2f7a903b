#include <unistd.h>

#include <cstdio>

#include "cli/command_line.h"
#include "core/error.h"
#include "system/stop_signal.h"

namespace {

// Output to a terminal goes out line by line; to a file or a pipe it is
// written in large pieces. It is flushed before input is read, before a tool
// or a pause, before anything goes to standard error, and at the end.
void buffer_standard_output() {
    static char buffer[1 << 16];
    if (!isatty(STDOUT_FILENO)) std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
}

}  // namespace

int main(int argc, char** argv) {
    buffer_standard_output();
    install_stop_handlers();
    try {
        return run_command_line(argc, argv);
    } catch (const ScriptError& failure) {
        report_script_error(failure);
        std::fflush(stdout);
        return 1;
    } catch (const Stopped& stop) {
        std::fflush(stdout);
        return stopped_status(stop);
    }
}
