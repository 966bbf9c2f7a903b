#include <cstdio>

#include "cli/command_line.h"
#include "core/error.h"
#include "net/stop_signal.h"

int main(int argc, char** argv) {
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
