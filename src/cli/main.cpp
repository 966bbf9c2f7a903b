#include <cstdio>

#include "cli/command_line.h"
#include "core/error.h"
#include "net/shell_command.h"

int main(int argc, char** argv) {
    try {
        return run_command_line(argc, argv);
    } catch (const ScriptError& failure) {
        report_script_error(failure);
        std::fflush(stdout);
        return 1;
    } catch (const CommandInterrupted&) {
        std::fflush(stdout);
        return INTERRUPTED_STATUS;
    }
}
