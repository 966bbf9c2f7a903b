#include "core/execution.h"

#include "core/error.h"

int runs_begun = 0;

#ifdef ZENTUL_STEP_BUDGET
long steps_left = 0;
#endif

namespace {

struct FailingStatement : Statement {
    explicit FailingStatement(Fault fault) : Statement(run), fault(std::move(fault)) {}
    Fault fault;

    static Landing run(const Statement& self) { raise(static_cast<const FailingStatement&>(self).fault); }
};

}  // namespace

NewStatement failing_statement(const Fault& fault) {
    return NewStatement{std::make_unique<FailingStatement>(fault), {}};
}

Landing Sequence::run_from(Landing landing) const {
    current_line = landing.line;
    int index = landing.next;
    while (!stops_at(index)) {
        count_step();
        const Statement* statement = table_->by_index[index];
        landing = statement->run(*statement);
        current_line = landing.line;
        index = landing.next;
    }
    return Landing{index, current_line};
}

void run_program(const Sequence& program, int line) {
    runs_begun++;
    current_line = program.run(line).line;
}
