// Temporary: stands in until the network commands land. Delete this file.
#include <cstdio>
#include "cli/network.h"
int update_zentul(const char*) { std::fprintf(stderr, "not built yet\n"); return 1; }
int download_file(const char*) { std::fprintf(stderr, "not built yet\n"); return 1; }
int install_library(const char*) { std::fprintf(stderr, "not built yet\n"); return 1; }
