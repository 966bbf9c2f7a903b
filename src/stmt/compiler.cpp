#include "stmt/compiler.h"

#include <algorithm>
#include <cstring>

#include "adn/script_commands.h"
#include "builtins/procedures.h"

namespace {

void add_end(std::vector<int>& ends, int end) {
    if (std::find(ends.begin(), ends.end(), end) == ends.end()) ends.push_back(end);
}

Owned<> compile_identifier_statement(Compiler& compiler, int start, Context context) {
    Reader reader = compiler.reader(start);
    const char* name = reader.text();
    reader.skip();
    if (reader.check(TOKEN_LPAREN)) {
        if (const Procedure* procedure = find_procedure(TOKEN_IDENTIFIER, name)) {
            return compile_call(compiler, reader, *procedure);
        }
    } else if (reader.check(TOKEN_ASSIGN)) {
        return compile_assignment(compiler, start, context);
    }
    return failing_statement(compiler.reader(start).fault(FaultCode::UNEXPECTED_IDENTIFIER, name));
}

// The statements by their first token's kind; procedures are found by
// their table.
struct StatementStart {
    TokenType kind;
    Owned<> (*compile)(Compiler& compiler, int start, Context context);
};

const StatementStart statement_starts[] = {
    {TOKEN_IDENTIFIER, compile_identifier_statement}, {TOKEN_PRINT, compile_print}, {TOKEN_VAR, compile_declaration},
    {TOKEN_IF, compile_if}, {TOKEN_WHILE, compile_while}, {TOKEN_FOR, compile_for}, {TOKEN_ADN, compile_adn},
    {TOKEN_ADM, compile_adm},
};

const StatementStart* start_of(TokenType kind) {
    for (const StatementStart& start : statement_starts) {
        if (start.kind == kind) return &start;
    }
    return nullptr;
}

}  // namespace

int in_for_loop_update = 0;

bool begins_statement(int index) {
    TokenType kind = tokens[index].type;
    if (kind != TOKEN_IDENTIFIER) return start_of(kind) != nullptr || find_procedure(kind, tokens[index].text);
    TokenType next = tokens[index + 1].type;
    return next == TOKEN_ASSIGN || (next == TOKEN_LPAREN && find_procedure(kind, tokens[index].text));
}

Owned<> compile_statement(Compiler& compiler, int start, Context context) {
    Reader reader = compiler.reader(start);
    if (const StatementStart* found = start_of(reader.kind())) return found->compile(compiler, start, context);
    if (const Procedure* procedure = find_procedure(reader.kind(), reader.text())) {
        reader.skip();
        return compile_call(compiler, reader, *procedure);
    }
    return failing_statement(reader.fault(FaultCode::UNEXPECTED_TOKEN, reader.text()));
}

Compiler::Compiler(Findings* findings)
    : findings_(findings), texts_(new char[token_texts_used > 0 ? token_texts_used : 1]), kinds_(token_count) {
    std::memcpy(texts_.get(), token_texts, static_cast<std::size_t>(token_texts_used));
    for (int i = 0; i < token_count; i++) kinds_[i] = tokens[i].type;
    for (StatementTable& table : tables_) table = StatementTable{kinds_.data(), nullptr};
}

Compiler::Slot Compiler::slot_at(int index, Context context) {
    int table = static_cast<int>(context);
    if (by_index_[table].empty()) {  // the update clause's, made when first needed
        by_index_[table].resize(kinds_.size());
        landed_at_[table].resize(kinds_.size());
        tables_[table].by_index = by_index_[table].data();
    }
    if (by_index_[table][index] == nullptr) {
        std::size_t mark = landings_.size();  // statements compiled meanwhile take theirs away
        if (findings_ != nullptr) findings_->step(Findings::Step::STATEMENT, index);
        Owned<> compiled = compile_statement(*this, index, context);
        if (findings_ != nullptr) findings_->step(Findings::Step::END, index);
        landed_at_[table][index] = Landed{static_cast<std::uint32_t>(ends_.size()),
                                          static_cast<std::uint32_t>(landings_.size() - mark)};
        ends_.insert(ends_.end(), landings_.begin() + static_cast<std::ptrdiff_t>(mark), landings_.end());
        landings_.resize(mark);
        by_index_[table][index] = compiled.get();
        owned_.push_back(std::move(compiled));
    }
    Landed landed = landed_at_[table][index];
    return Slot{by_index_[table][index], landed.first_end, landed.end_count};
}

Sequence Compiler::sequence(int start, Sequence::Until until, int limit, Context context, std::vector<int>& ends) {
    Sequence sequence(&tables_[static_cast<int>(context)], until, limit, start);
    std::vector<int> others;  // ends of paths that leave the usual one
    std::vector<Slot> compiled;
    int at = start;
    while (!sequence.stops_at(at)) {
        Slot slot = slot_at(at, context);
        compiled.push_back(slot);
        if (slot.end_count == 0) {  // it always fails: nothing after it runs
            sequence.add(slot.statement, false);
            if (findings_ != nullptr) {  // a check goes on with the next statement
                at = findings_->resume_after(at, sequence);
                continue;
            }
            at = -1;
            break;
        }
        const int* first = &ends_[slot.first_end];
        bool lands_once = std::all_of(first, first + slot.end_count, [&](int end) { return end == *first; });
        sequence.add(slot.statement, lands_once);
        for (std::size_t i = 1; i < slot.end_count; i++) {
            explore(ends_[slot.first_end + i], sequence, context, others, compiled);
        }
        at = ends_[slot.first_end];
    }
    if (at >= 0) add_end(ends, at);
    sequence.finish(at);
    for (int end : others) add_end(ends, end);
    for (const Slot& slot : compiled) {
        for (std::size_t i = 0; i < slot.end_count; i++) sequence.require_filled(ends_[slot.first_end + i]);
    }
    return sequence;
}

// Compiles every statement that a path leaving the sequence's usual one can
// reach, and notes where such paths stop. For a check, such a path is a
// branch that may be taken.
void Compiler::explore(int from, const Sequence& sequence, Context context, std::vector<int>& ends,
                       std::vector<Slot>& compiled) {
    if (findings_ != nullptr) findings_->step(Findings::Step::BRANCH, from);
    std::vector<int> pending{from};
    std::vector<bool> seen(kinds_.size());
    while (!pending.empty()) {
        int at = pending.back();
        pending.pop_back();
        if (seen[at]) continue;
        seen[at] = true;
        if (sequence.stops_at(at)) {
            add_end(ends, at);
            continue;
        }
        Slot slot = slot_at(at, context);
        compiled.push_back(slot);
        for (std::size_t i = 0; i < slot.end_count; i++) pending.push_back(ends_[slot.first_end + i]);
    }
    if (findings_ != nullptr) {
        findings_->step(Findings::Step::OTHERWISE, from);
        findings_->step(Findings::Step::JOIN, from);
    }
}

Sequence Compiler::program() {
    std::vector<int> ends;
    return sequence(0, Sequence::Until::END, 0, Context::PLAIN, ends);
}

void run_tokens(int line) {
    Compiler compiler;
    Sequence program = compiler.program();
    in_for_loop_update = 0;
    run_program(program, line);
}
