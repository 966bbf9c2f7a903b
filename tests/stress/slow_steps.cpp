// The program with every rename and removal of its files slowed by 20 ms,
// so that random kills land between them.
#include <unistd.h>

#include "cli/program.h"
#include "system/file_beside.h"

int main(int argc, char** argv) {
    before_file_step = [](FileStep, const std::string&) { usleep(20000); };
    return zentul_main(argc, argv);
}
