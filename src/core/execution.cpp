#include "core/execution.h"

#include <stdexcept>

int runs_begun = 0;

#ifdef ZENTUL_STEP_BUDGET
long steps_left = 0;
#endif

namespace {

struct FailingStatement : StatementOf<FailingStatement> {
    Fault fault;

    static Landing run(const FailingStatement& s) { raise(s.fault); }
};

}  // namespace

Owned<> failing_statement(const Fault& fault) {
    auto statement = new_statement<FailingStatement>();
    statement->fault = fault;
    return statement;
}

void Sequence::require_filled(int index) const {
    if (index < 0 || stops_at(index) || table_->by_index[index] != nullptr) return;
    throw std::logic_error("a statement may land at token " + std::to_string(index) + ", where none is compiled");
}

void Sequence::finish(int end) {
    if (end >= 0) end_ = end;
    if (straight_ && list_[0] != nullptr) {
        first_ = list_[0];
        rest_ = &list_[1];
    }
}

Landing Sequence::run_from(Landing landing) const {
    current_line = landing.line();
    int index = landing.next();
    while (!stops_at(index)) {
        count_step();
        const Statement* statement = table_->by_index[index];
        landing = statement->run(*statement);
        current_line = landing.line();
        index = landing.next();
    }
    return Landing{index, current_line};
}

void run_program(const Sequence& program, int line) {
    runs_begun++;
    current_line = program.run(line).line();
}
