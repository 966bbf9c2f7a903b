#include "core/faults.h"

namespace {

struct FaultRow {
    DecidedBy decided_by;
    const char* format;
};

const FaultRow fault_rows[] = {
#define ZENTUL_FAULT_ROW(code, decided_by, format) {DecidedBy::decided_by, format},
    ZENTUL_FAULTS(ZENTUL_FAULT_ROW)
#undef ZENTUL_FAULT_ROW
};

const FaultRow& row_of(FaultCode code) { return fault_rows[static_cast<int>(code)]; }

}  // namespace

DecidedBy decided_by(FaultCode code) { return row_of(code).decided_by; }

std::string Fault::message() const {
    std::string message;
    std::size_t next = 0;
    for (const char* at = row_of(code).format; *at != '\0'; at++) {
        bool placeholder = at[0] == '%' && at[1] != '\0';
        message += placeholder ? (next < arguments.size() ? arguments[next++] : "") : std::string(1, *at);
        at += placeholder;
    }
    return message;
}
