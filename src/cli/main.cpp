#include "cli/program.h"

int main(int argc, char** argv) { return zentul_main(argc, argv); }
