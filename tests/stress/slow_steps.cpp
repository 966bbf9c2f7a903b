// The program with every rename, removal and folder sync of its files slowed
// by 20 ms, so that random kills land between them. With ZENTUL_STEP_LOG set,
// each step is also appended to that file as "STEP PATH", in order; with
// ZENTUL_AT_READ set, that shell command runs where a table is read outside
// the lock, as another process acting at that instant.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "cli/program.h"
#include "system/file_beside.h"

int main(int argc, char** argv) {
    before_file_step = [](FileStep step, const std::string& path) {
        static const char* const names[] = {"rename", "link", "remove", "sync", "read"};
        if (const char* log = std::getenv("ZENTUL_STEP_LOG"); log != nullptr) {
            if (std::FILE* file = std::fopen(log, "a")) {
                std::fprintf(file, "%s %s\n", names[static_cast<int>(step)], path.c_str());
                std::fclose(file);
            }
        }
        if (const char* act = std::getenv("ZENTUL_AT_READ"); act != nullptr && step == FileStep::READ) {
            [[maybe_unused]] int status = std::system(act);
        }
        usleep(20000);
    };
    return zentul_main(argc, argv);
}
