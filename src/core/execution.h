#pragma once

#include <memory>
#include <vector>

#include "core/error.h"
#include "core/steps.h"
#include "lexer/token.h"

// Where a statement leaves the reading of its tokens: the index of the first
// token after it, and the line of the last one it read. Only a compile makes
// one where a statement may land (Reader::land), and the compiler, told of
// each, compiles what follows it; a run passes them on.
class Landing {
public:
    Landing() = default;  // nowhere: kept by a statement on a path that fails
    int next() const { return next_; }
    int line() const { return line_; }
    Landing with_line(int line) const { return Landing(next_, line); }  // the same place, another line

private:
    Landing(int next, int line) : next_(next), line_(line) {}
    int next_ = -1;
    int line_ = 0;
    friend class Reader;
    friend class Sequence;
};

// A compiled statement. Running it does what reading its tokens does, and
// tells where that reading ends. A kind of statement T derives from
// StatementOf<T>, and T::run(const T&) is how one runs.
struct Statement {
    using Run = Landing (*)(const Statement& self);
    Run run;
    void (*destroy)(Statement* self);
};

template <typename T>
struct StatementOf : Statement {
    StatementOf() : Statement{dispatch, destroy_one} {}
    static Landing dispatch(const Statement& self) { return T::run(static_cast<const T&>(self)); }
    static void destroy_one(Statement* self) { delete static_cast<T*>(self); }
};

struct StatementDeleter {
    void operator()(Statement* statement) const { statement->destroy(statement); }
};
template <typename T = Statement>
using Owned = std::unique_ptr<T, StatementDeleter>;
template <typename T>
Owned<T> new_statement() { return Owned<T>(new T()); }

// A statement that only fails.
Owned<> failing_statement(const Fault& fault);

// A compiled text's statements by their first token, for the rare run that
// leaves a block's usual path (a statement reading on past the block's '}').
struct StatementTable {
    const TokenType* kinds;
    const Statement* const* by_index;
};

// Statements run one after another until a rule holds at the next token: a
// '}' (an if's block), an index (a loop's body or clause), or always the end.
class Sequence {
public:
    enum class Until { END, CLOSING_BRACE, INDEX };

    Sequence(const StatementTable* table, Until until, int limit) : table_(table), until_(until), limit_(limit) {}

    bool stops_at(int index) const {
        TokenType kind = table_->kinds[index];
        return kind == TOKEN_EOF || (until_ == Until::CLOSING_BRACE && kind == TOKEN_RBRACE) ||
               (until_ == Until::INDEX && index >= limit_);
    }
    // Appends the statement that starts where the sequence stands.
    void add(const Statement* statement, int next) {
        steps_.push_back(Step{statement, next});
        only_ = steps_.size() == 1 ? steps_[0] : Step{nullptr, 0};
    }
    void set_end(int end) { end_ = end; }
    bool empty() const { return steps_.empty(); }
    // Fails while compiling, not as a jump to nowhere, where a statement of
    // the sequence may land and nothing is compiled.
    void require_filled(int index) const;

    // Runs them from the line given; lands where the rule held, with the last
    // statement's line. The current line is kept where a statement may fail
    // before reading a token: at the start, and after each but the last.
    [[gnu::always_inline]] Landing run(int line) const {
        current_line = line;
        if (only_.statement != nullptr) {  // the commonest block, run without the loop
            count_step();
            Landing landing = only_.statement->run(*only_.statement);
            if (landing.next() != only_.next) [[unlikely]] return run_from(landing);
            return Landing{end_, landing.line()};
        }
        for (const Step& step : steps_) {
            count_step();
            Landing landing = step.statement->run(*step.statement);
            current_line = landing.line();
            if (landing.next() != step.next) [[unlikely]] return run_from(landing);
        }
        return Landing{end_, current_line};
    }

    // The only statement, when the sequence is one statement that ends where
    // the sequence does; else null.
    const Statement* only_statement() const {
        return steps_.size() == 1 && steps_[0].next == end_ ? steps_[0].statement : nullptr;
    }
    // Runs it through `form`, a shorter way to the same effects here.
    Landing run_only_as(Statement::Run form) const {
        count_step();
        return form(*steps_[0].statement);
    }

private:
    struct Step {
        const Statement* statement;
        int next;  // where it ends on the usual path
    };
    const StatementTable* table_;
    Until until_;
    int limit_;
    int end_ = 0;
    std::vector<Step> steps_;
    Step only_{nullptr, 0};  // the statement of a sequence of one

    Landing run_from(Landing landing) const;
};

// Runs a compiled text from the line where tokenizing ended. Runs are
// counted, so that a statement can tell whether package code ran (and left
// its own line).
void run_program(const Sequence& program, int line);
extern int runs_begun;
