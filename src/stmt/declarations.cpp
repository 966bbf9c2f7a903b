#include <cstdio>
#include <cstring>

#include "core/cursor.h"
#include "core/error.h"
#include "core/variables.h"
#include "expr/evaluate.h"
#include "stmt/statements.h"

int print_newline = 1;

namespace {

bool is_arithmetic(TokenType type) {
    return type == TOKEN_PLUS || type == TOKEN_MINUS || type == TOKEN_MULTIPLY ||
           type == TOKEN_DIVIDE || type == TOKEN_MODULO;
}

void write_number(double value) { std::printf("%g", value); }

// Writes one argument of print; returns false for the "nel" argument, which
// writes nothing and turns the closing line feed off.
bool print_argument(bool separated) {
    int index = current_token;
    const Token& token = tokens[index];
    switch (token.type) {
        case TOKEN_STRING:
            step_over();
            if (std::strcmp(token.text, "nel") == 0) return false;
            if (separated) std::putchar(' ');
            std::fputs(token.text, stdout);
            return true;
        case TOKEN_NUMBER:
            step_over();
            if (separated) std::putchar(' ');
            std::fputs(token.text, stdout);  // as written in the source
            return true;
        case TOKEN_IDENTIFIER:
            break;
        default:
            error("Unexpected token in print: '%s'", token.text);
    }
    if (is_arithmetic(tokens[index + 1].type)) {
        double value = evaluate();  // the whole expression that starts at the name
        if (separated) std::putchar(' ');
        write_number(value);
        return true;
    }
    step_over();
    Variable* variable = find_variable_at(index);
    if (variable == nullptr) error("Undefined variable: %s", token.text);
    if (separated) std::putchar(' ');
    if (variable->is_string) {
        std::fputs(variable->string, stdout);
    } else {
        write_number(variable->number);
    }
    return true;
}

}  // namespace

void set_declared_value(Variable* variable, const char* text, double number) {
    if (text != nullptr) {
        copy_text(variable->string, STRING_SIZE, text);
        variable->is_string = 1;
        variable->number = 0;
    } else {
        variable->number = number;
        variable->is_string = 0;
        variable->string[0] = '\0';
    }
    variable->is_array = 0;
}

void execute_var() {
    int name_index = current_token;
    consume(TOKEN_IDENTIFIER, "Expected variable name");
    consume_after(TOKEN_ASSIGN, "variable name");
    const char* name = tokens[name_index].text;
    if (find_variable_at(name_index) == nullptr && var_count == VARIABLE_LIMIT) {
        error("Too many variables (max %d)", VARIABLE_LIMIT);
    }
    const char* text = nullptr;
    double number = 0;
    if (check(TOKEN_STRING)) {
        text = peek().text;
        step_over();
    } else {
        number = evaluate();
    }
    // Created only now, so that variables made by the initializer come first.
    Variable* variable = find_variable_at(name_index);
    if (variable == nullptr) variable = find_or_create_variable(name);
    set_declared_value(variable, text, number);
    consume_after(TOKEN_SEMICOLON, "variable declaration");
}

void execute_print() {
    consume_after(TOKEN_LPAREN, "print");
    bool newline = print_newline != 0;
    bool separated = false;
    if (!check(TOKEN_RPAREN)) {
        for (;;) {
            if (separated) consume(TOKEN_COMMA, EXPECTED_COMMA_BETWEEN);
            if (!print_argument(separated)) newline = false;
            separated = true;
            if (check(TOKEN_RPAREN)) break;
        }
    }
    step_over();  // ')'
    if (newline) std::putchar('\n');
    std::fflush(stdout);
}
