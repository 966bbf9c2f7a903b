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
// StatementOf<T>, and T::run(const T&) is how one runs. A straight sequence
// runs the statements of a list one after another by `chain`: each, once it
// has run, goes on to the next, given the rest of the list, and the last
// tells where it lands.
struct Statement {
    using Run = Landing (*)(const Statement& self);
    using Chain = Landing (*)(const Statement& self, const Statement* const* rest);
    mutable Run run;  // a statement may settle on a shorter way once it has run
    mutable Chain chain;
    void (*destroy)(Statement* self);
};

// Runs the statement, then goes on to the next of the list, if any (the
// list ends with a null), or lands where the statement says. (This order of
// the tests lets the compiler jump to the next statement, not call it.)
template <Statement::Run run>
Landing run_and_go_on(const Statement& self, const Statement* const* rest) {
    Landing landing = run(self);
    const Statement* next = *rest;
    if (next != nullptr) [[likely]] {
        count_step();
        return next->chain(*next, rest + 1);
    }
    return landing;
}

// From now on the statement runs as `form`.
template <Statement::Run form>
void settle(const Statement& statement) {
    statement.run = form;
    statement.chain = run_and_go_on<form>;
}

// From now on the statement of kind T does `act`, then always ends where
// its `landing` says.
template <typename T, void (*act)(const T&)>
Landing act_and_land(const Statement& self) {
    act(static_cast<const T&>(self));
    return static_cast<const T&>(self).landing;
}

template <typename T, void (*act)(const T&)>
Landing act_and_go_on(const Statement& self, const Statement* const* rest) {
    act(static_cast<const T&>(self));
    const Statement* next = *rest;
    if (next != nullptr) [[likely]] {
        count_step();
        return next->chain(*next, rest + 1);
    }
    return static_cast<const T&>(self).landing;
}

template <typename T, void (*act)(const T&)>
void settle_on(const Statement& statement) {
    statement.run = act_and_land<T, act>;
    statement.chain = act_and_go_on<T, act>;
}

template <typename T>
struct StatementOf : Statement {
    StatementOf() : Statement{dispatch, run_and_go_on<dispatch>, destroy_one} {}
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

    Sequence(const StatementTable* table, Until until, int limit, int start = 0)
        : table_(table), until_(until), limit_(limit), start_(start) {}
    Sequence(Sequence&&) = default;  // moved, its list stays where it is
    Sequence& operator=(Sequence&&) = default;

    bool stops_at(int index) const {
        TokenType kind = table_->kinds[index];
        return kind == TOKEN_EOF || (until_ == Until::CLOSING_BRACE && kind == TOKEN_RBRACE) ||
               (until_ == Until::INDEX && index >= limit_);
    }
    // Appends the next statement of the usual path; when `lands_once`, it
    // can end nowhere else.
    void add(const Statement* statement, bool lands_once) {
        list_.insert(list_.end() - 1, statement);
        straight_ = straight_ && lands_once;
    }
    // Once every statement is added: where the usual path ends, if anywhere.
    void finish(int end);
    // Fails while compiling, not as a jump to nowhere, where a statement of
    // the sequence may land and nothing is compiled.
    void require_filled(int index) const;

    // Runs them from the line given; lands where the rule held, with the last
    // statement's line. A straight sequence, whose statements each end in
    // one place, runs its list as a chain, the landings unread: only a
    // statement that always fails can fail before reading a token, at the
    // line the one before left, and a sequence with one follows each landing
    // and keeps that line.
    [[gnu::always_inline]] Landing run(int line) const {
        if (first_ == nullptr) [[unlikely]] return straight_ ? Landing{end_, line} : run_from(Landing{start_, line});
        count_step();
        return first_->chain(*first_, rest_);
    }

    // The statement that is the whole of a straight sequence, or null.
    const Statement* sole() const { return straight_ && list_.size() == 2 ? list_[0] : nullptr; }

private:
    const StatementTable* table_;
    Until until_;
    int limit_;
    int start_;
    int end_ = 0;
    bool straight_ = true;
    std::vector<const Statement*> list_{nullptr};  // the usual path's statements, then a null
    const Statement* first_ = nullptr;             // of a straight list, and the rest after it
    const Statement* const* rest_ = nullptr;

    Landing run_from(Landing landing) const;
};

// Runs a compiled text from the line where tokenizing ended. Runs are
// counted, so that a statement can tell whether package code ran (and left
// its own line).
void run_program(const Sequence& program, int line);
extern int runs_begun;
