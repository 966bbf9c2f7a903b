#include <cstring>

#include "adn/script_commands.h"
#include "builtins/builtins.h"
#include "core/cursor.h"
#include "core/error.h"
#include "core/variables.h"
#include "expr/evaluate.h"
#include "stmt/statements.h"

int in_for_loop_update = 0;

namespace {

struct ProcedureRow {
    TokenType type;
    void (*handler)();
    const char* missing_semicolon;
};

void execute_adn_statement() { execute_adn(); }
void execute_adm_statement() { execute_adm(); }

const ProcedureRow procedures[] = {
    {TOKEN_SLEEP, execute_sleep, "Expected ';' after sleep"},
    {TOKEN_CLEAR, execute_clear, "Expected ';' after clear"},
    {TOKEN_GETCH, execute_getch, "Expected ';' after getch"},
    {TOKEN_RAND, execute_rand, "Expected ';' after rand"},
    {TOKEN_RAND_RANGE, execute_rand_range, "Expected ';' after rand_range"},
    {TOKEN_SLEEPMS, execute_sleepms, "Expected ';' after sleepms"},
    {TOKEN_UPPER, execute_upper, "Expected ';' after upper"},
    {TOKEN_LOWER, execute_lower, "Expected ';' after lower"},
    {TOKEN_TRIM, execute_trim, "Expected ';' after trim"},
    {TOKEN_SUBSTRING, execute_substring, "Expected ';' after substring"},
    {TOKEN_CHAR_AT, execute_char_at, "Expected ';' after char_at"},
    {TOKEN_REPLACE, execute_replace, "Expected ';' after replace"},
    {TOKEN_SPLIT, execute_split, "Expected ';' after split"},
    {TOKEN_PUSH, execute_push, "Expected ';' after push"},
    {TOKEN_POP, execute_pop, "Expected ';' after pop"},
    {TOKEN_CONTAINS, execute_contains, "Expected ';' after contains"},
    {TOKEN_LENGTH, execute_length, "Expected ';' after length"},
    {TOKEN_READ_FILE, execute_read_file, "Expected ';' after read_file"},
    {TOKEN_WRITE_FILE, execute_write_file, "Expected ';' after write_file"},
    {TOKEN_APPEND_FILE, execute_append_file, "Expected ';' after append_file"},
    {TOKEN_TIME, execute_time, "Expected ';' after time"},
    {TOKEN_TIMESTAMP, execute_timestamp, "Expected ';' after timestamp"},
    {TOKEN_TYPE_OF, execute_type_of, "Expected ';' after type_of"},
    {TOKEN_ADN, execute_adn_statement, "Expected ';' after adn"},
    {TOKEN_ADM, execute_adm_statement, "Expected ';' after adm"},
    {TOKEN_EOF, nullptr, nullptr},
};

// The call statements that begin with an identifier rather than a keyword.
const struct {
    const char* name;
    void (*handler)();
    const char* missing_semicolon;
} identifier_calls[] = {
    {"input", execute_input, "Expected ';' after input"},
    {"str", execute_str, "Expected ';' after str"},
    {nullptr, nullptr, nullptr},
};

const ProcedureRow* find_procedure(TokenType type) {
    for (const ProcedureRow* row = procedures; row->handler != nullptr; row++) {
        if (row->type == type) return row;
    }
    return nullptr;
}

void execute_call_statement(const Token& name) {
    for (auto* call = identifier_calls; call->name != nullptr; call++) {
        if (std::strcmp(call->name, name.text) == 0) {
            call->handler();
            consume(TOKEN_SEMICOLON, call->missing_semicolon);
            return;
        }
    }
    error("Unexpected identifier: %s", name.text);
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
    consume(TOKEN_SEMICOLON, "Expected ';' after assignment");
}

void execute_identifier_statement() {
    int name_index = current_token;
    advance();
    if (check(TOKEN_LPAREN)) return execute_call_statement(tokens[name_index]);
    if (check(TOKEN_ASSIGN)) return execute_assignment(name_index);
    error("Unexpected identifier: %s", tokens[name_index].text);
}

}  // namespace

void execute_statement() {
    const Token& first = peek();
    switch (first.type) {
        case TOKEN_EOF:
            return;
        case TOKEN_IDENTIFIER:
            return execute_identifier_statement();
        case TOKEN_PRINT:
            advance();
            execute_print();
            return consume(TOKEN_SEMICOLON, "Expected ';' after print");
        case TOKEN_VAR:
            advance();
            return execute_var();
        case TOKEN_IF:
            advance();
            return execute_if();
        case TOKEN_WHILE:
            advance();
            return execute_while();
        case TOKEN_FOR:
            advance();
            return execute_for();
        default:
            break;
    }
    const ProcedureRow* procedure = find_procedure(first.type);
    if (procedure == nullptr) error("Unexpected token: %s", first.text);
    advance();
    procedure->handler();
    consume(TOKEN_SEMICOLON, procedure->missing_semicolon);
}
