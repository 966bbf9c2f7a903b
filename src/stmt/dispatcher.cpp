#include <cstring>

#include "adn/script_commands.h"
#include "builtins/builtins.h"
#include "core/cursor.h"
#include "core/error.h"
#include "core/steps.h"
#include "core/variables.h"
#include "expr/evaluate.h"
#include "stmt/compile.h"
#include "stmt/statements.h"

int in_for_loop_update = 0;

namespace {

// The procedure statements. Each handler is entered with the cursor on the
// token after the procedure's name and gets that name, from which its
// messages are built; the statement then needs "Expected ';' after <name>".
// input and str are identifiers rather than keywords, so they are found by
// their text.
struct Procedure {
    TokenType token;
    const char* name;
    void (*handler)(const char* name);
};

const Procedure procedures[] = {
    {TOKEN_IDENTIFIER, "input", execute_input},
    {TOKEN_IDENTIFIER, "str", execute_str},
    {TOKEN_SLEEP, "sleep", execute_sleep},
    {TOKEN_CLEAR, "clear", execute_clear},
    {TOKEN_GETCH, "getch", execute_getch},
    {TOKEN_RAND, "rand", execute_rand},
    {TOKEN_RAND_RANGE, "rand_range", execute_rand_range},
    {TOKEN_SLEEPMS, "sleepms", execute_sleepms},
    {TOKEN_UPPER, "upper", execute_upper},
    {TOKEN_LOWER, "lower", execute_lower},
    {TOKEN_TRIM, "trim", execute_trim},
    {TOKEN_SUBSTRING, "substring", execute_substring},
    {TOKEN_CHAR_AT, "char_at", execute_char_at},
    {TOKEN_REPLACE, "replace", execute_replace},
    {TOKEN_SPLIT, "split", execute_split},
    {TOKEN_PUSH, "push", execute_push},
    {TOKEN_POP, "pop", execute_pop},
    {TOKEN_CONTAINS, "contains", execute_contains},
    {TOKEN_LENGTH, "length", execute_length},
    {TOKEN_READ_FILE, "read_file", execute_read_file},
    {TOKEN_WRITE_FILE, "write_file", execute_write_file},
    {TOKEN_APPEND_FILE, "append_file", execute_append_file},
    {TOKEN_TIME, "time", execute_time},
    {TOKEN_TIMESTAMP, "timestamp", execute_timestamp},
    {TOKEN_TYPE_OF, "type_of", execute_type_of},
    {TOKEN_ADN, "adn", execute_adn},
    {TOKEN_ADM, "adm", execute_adm},
    {TOKEN_EOF, nullptr, nullptr},
};

// The procedures by the kind of their keyword, so that a statement finds its
// own without a search; input and str, which are identifiers, by their name.
struct ProcedureIndex {
    static constexpr int KINDS = TOKEN_MIRROR + 1;
    const Procedure* by_kind[KINDS] = {};

    ProcedureIndex() {
        for (const Procedure* row = procedures; row->name != nullptr; row++) {
            if (row->token != TOKEN_IDENTIFIER) by_kind[row->token] = row;
        }
    }
};

// The procedure a statement's first token names, or null.
const Procedure* find_procedure(const Token& first) {
    static const ProcedureIndex index;
    if (first.type != TOKEN_IDENTIFIER) {
        return first.type >= 0 && first.type < ProcedureIndex::KINDS ? index.by_kind[first.type] : nullptr;
    }
    for (const Procedure* row = procedures; row->name != nullptr; row++) {
        if (row->token == TOKEN_IDENTIFIER && std::strcmp(row->name, first.text) == 0) return row;
    }
    return nullptr;
}

void execute_procedure(const Procedure& procedure) {
    procedure.handler(procedure.name);
    consume_after(TOKEN_SEMICOLON, procedure.name);
}

void execute_assignment(int name_index) {
    step_over();  // '='
    Variable* target = find_variable_at(name_index);
    if (target == nullptr) error("Undefined variable: %s", tokens[name_index].text);
    if (check(TOKEN_STRING)) {
        copy_text(target->string, STRING_SIZE, peek().text);
        target->is_string = 1;
        step_over();
    } else {
        target->number = evaluate();
        target->is_string = 0;
    }
    if (in_for_loop_update) return;
    consume_after(TOKEN_SEMICOLON, "assignment");
}

// An assignment, or a call of input or str.
void execute_identifier_statement() {
    int name_index = current_token;
    const Token& name = advance();
    const Procedure* call = check(TOKEN_LPAREN) ? find_procedure(name) : nullptr;
    if (call != nullptr) return execute_procedure(*call);
    if (check(TOKEN_ASSIGN)) return execute_assignment(name_index);
    error("Unexpected identifier: %s", name.text);
}

// Steps over the statement's keyword, without taking its line.
void after_keyword(void (*handler)()) {
    advance();
    handler();
}

}  // namespace

void execute_statement() {
    count_step();
    if (const CompiledStatement* compiled = compiled_statements.at(current_token, compile_statement)) {
        return compiled->run();
    }
    walk_statement();
}

void walk_statement() {
    const Token& first = peek();
    switch (first.type) {
        case TOKEN_EOF:
            return;
        case TOKEN_IDENTIFIER:
            return execute_identifier_statement();
        case TOKEN_PRINT:
            after_keyword(execute_print);
            return consume_after(TOKEN_SEMICOLON, "print");
        case TOKEN_VAR:
            return after_keyword(execute_var);
        case TOKEN_IF:
            return after_keyword(execute_if);
        case TOKEN_WHILE:
            return after_keyword(execute_while);
        case TOKEN_FOR:
            return after_keyword(execute_for);
        default:
            break;
    }
    const Procedure* procedure = find_procedure(first);
    if (procedure == nullptr) error("Unexpected token: %s", first.text);
    advance();
    execute_procedure(*procedure);
}
