#include "stmt/compiler.h"

#include <algorithm>
#include <cstring>

#include "adn/script_commands.h"
#include "builtins/procedures.h"

namespace {

void add_end(std::vector<int>& ends, int end) {
    if (std::find(ends.begin(), ends.end(), end) == ends.end()) ends.push_back(end);
}

NewStatement compile_identifier_statement(Compiler& compiler, int start, Context context) {
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
    return failing_statement(reader.plain(std::string("Unexpected identifier: ") + name));
}

}  // namespace

int in_for_loop_update = 0;

NewStatement compile_statement(Compiler& compiler, int start, Context context) {
    Reader reader = compiler.reader(start);
    switch (reader.kind()) {
        case TOKEN_IDENTIFIER: return compile_identifier_statement(compiler, start, context);
        case TOKEN_PRINT: return compile_print(compiler, start);
        case TOKEN_VAR: return compile_declaration(compiler, start);
        case TOKEN_IF: return compile_if(compiler, start, context);
        case TOKEN_WHILE: return compile_while(compiler, start, context);
        case TOKEN_FOR: return compile_for(compiler, start, context);
        case TOKEN_ADN: reader.skip(); return compile_adn(reader);
        case TOKEN_ADM: reader.skip(); return compile_adm(reader);
        default: break;
    }
    if (const Procedure* procedure = find_procedure(reader.kind(), reader.text())) {
        reader.skip();
        return compile_call(compiler, reader, *procedure);
    }
    return failing_statement(reader.plain(std::string("Unexpected token: ") + reader.text()));
}

Compiler::Compiler(Findings* findings)
    : findings_(findings), texts_(new char[token_texts_used > 0 ? token_texts_used : 1]), kinds_(token_count) {
    std::memcpy(texts_.get(), token_texts, static_cast<std::size_t>(token_texts_used));
    for (int i = 0; i < token_count; i++) kinds_[i] = tokens[i].type;
    for (StatementTable& table : tables_) table = StatementTable{kinds_.data(), nullptr};
}

const Statement* Compiler::statement_at(int index, Context context) { return slot_at(index, context).statement; }

const Compiler::Slot& Compiler::slot_at(int index, Context context) {
    int table = static_cast<int>(context);
    if (slots_[table].empty()) {  // the update clause's, made when first needed
        slots_[table].resize(kinds_.size());
        by_index_[table].resize(kinds_.size());
        tables_[table].by_index = by_index_[table].data();
    }
    if (slots_[table][index].statement == nullptr) {
        NewStatement compiled = compile_statement(*this, index, context);
        Slot filled{compiled.statement.get(), ends_.size(), compiled.ends.size()};
        ends_.insert(ends_.end(), compiled.ends.begin(), compiled.ends.end());
        slots_[table][index] = filled;
        by_index_[table][index] = filled.statement;
        owned_.push_back(std::move(compiled.statement));
    }
    return slots_[table][index];
}

Sequence Compiler::sequence(int start, Sequence::Until until, int limit, Context context, std::vector<int>& ends) {
    Sequence sequence(&tables_[static_cast<int>(context)], until, limit);
    std::vector<int> others;  // ends of paths that leave the usual one
    int at = start;
    while (!sequence.stops_at(at)) {
        Slot slot = slot_at(at, context);
        if (slot.end_count == 0) {  // it always fails: nothing after it runs
            sequence.add(slot.statement, -1);
            if (findings_ != nullptr && (at = findings_->resume_after(at)) >= 0) continue;  // a check goes on
            at = -1;
            break;
        }
        sequence.add(slot.statement, ends_[slot.first_end]);
        for (std::size_t i = 1; i < slot.end_count; i++) explore(ends_[slot.first_end + i], sequence, context, others);
        at = ends_[slot.first_end];
    }
    if (at >= 0) {
        sequence.set_end(at);
        add_end(ends, at);
    }
    for (int end : others) add_end(ends, end);
    return sequence;
}

// Compiles every statement that a path leaving the sequence's usual one can
// reach, and notes where such paths stop.
void Compiler::explore(int from, const Sequence& sequence, Context context, std::vector<int>& ends) {
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
        for (std::size_t i = 0; i < slot.end_count; i++) pending.push_back(ends_[slot.first_end + i]);
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
