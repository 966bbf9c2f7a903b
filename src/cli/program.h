#pragma once

// The whole program: sets up the process's edges (standard streams, signals),
// runs the command line and turns every way of ending into an exit status.
int zentul_main(int argc, char** argv);
