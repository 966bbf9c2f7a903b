#include "cli/findings.h"

#include <cstdio>

namespace {

struct TrapRow {
    const char* code;
    const char* message;
};

const TrapRow trap_rows[] = {
#define ZENTUL_TRAP_ROW(name, code, message) {code, message},
    ZENTUL_TRAPS(ZENTUL_TRAP_ROW)
#undef ZENTUL_TRAP_ROW
};

}  // namespace

const char* trap_code(Trap trap) { return trap_rows[static_cast<int>(trap)].code; }

Finding warning(int line, Trap trap, const std::string& text) {
    char message[512];
    std::snprintf(message, sizeof message, trap_rows[static_cast<int>(trap)].message, text.c_str(), text.c_str());
    return Finding{line, false, message, trap};
}
