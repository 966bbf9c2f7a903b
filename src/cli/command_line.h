#pragma once

// Decides by the command line what to do and returns the exit status.
// Script errors propagate as ScriptError.
int run_command_line(int argc, char** argv);
