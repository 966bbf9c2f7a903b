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

Compiler::Compiler() : texts_(new char[token_texts_used > 0 ? token_texts_used : 1]), kinds_(token_count) {
    std::memcpy(texts_.get(), token_texts, static_cast<std::size_t>(token_texts_used));
    for (int i = 0; i < token_count; i++) kinds_[i] = tokens[i].type;
    for (int context = 0; context < CONTEXTS; context++) {
        by_index_[context].assign(token_count, nullptr);
        ends_[context].resize(token_count);
        tables_[context] = StatementTable{kinds_.data(), by_index_[context].data()};
    }
}

const Statement* Compiler::statement_at(int index, Context context) {
    ends_at(index, context);
    return by_index_[static_cast<int>(context)][index];
}

const std::vector<int>& Compiler::ends_at(int index, Context context) {
    int table = static_cast<int>(context);
    if (by_index_[table][index] == nullptr) {
        NewStatement compiled = compile_statement(*this, index, context);
        by_index_[table][index] = compiled.statement.get();
        ends_[table][index] = std::move(compiled.ends);
        owned_.push_back(std::move(compiled.statement));
    }
    return ends_[table][index];
}

Sequence Compiler::sequence(int start, Sequence::Until until, int limit, Context context, std::vector<int>& ends) {
    Sequence sequence(&tables_[static_cast<int>(context)], until, limit);
    std::vector<int> other_ends;  // of paths that leave the usual one
    int at = start;
    while (!sequence.stops_at(at)) {
        const Statement* statement = statement_at(at, context);
        std::vector<int> next = ends_at(at, context);
        if (next.empty()) {  // it always fails: nothing after it runs
            sequence.add(statement, -1);
            at = -1;
            break;
        }
        sequence.add(statement, next[0]);
        for (std::size_t i = 1; i < next.size(); i++) explore(next[i], sequence, context, other_ends);
        at = next[0];
    }
    if (at >= 0) {
        sequence.set_end(at);
        add_end(ends, at);
    }
    for (int end : other_ends) add_end(ends, end);
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
        for (int next : ends_at(at, context)) pending.push_back(next);
    }
}

Sequence Compiler::program() {
    std::vector<int> ends;
    return sequence(0, Sequence::Until::END, 0, Context::PLAIN, ends);
}
