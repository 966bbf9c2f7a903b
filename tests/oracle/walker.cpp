// The statements and expressions of the reference interpreter, read from the
// tokens at the cursor every time they run.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

#include "core/steps.h"
#include "core/variables.h"
#include "expr/functions.h"
#include "lexer/tokenizer.h"
#include "oracle.h"
#include "cli/runner.h"
#include "stmt/statements.h"
#include "cursor.h"

namespace oracle {

int current_token = 0;
int in_for_loop_update = 0;

namespace {

// ---- Expressions ----

bool is_true(double value) { return value != 0; }

double parse_logic_or();

double parse_call(const char* name) {
    consume_after(TOKEN_LPAREN, "function name");
    const ExpressionFunction* function = find_function(name);
    if (function == nullptr) fail(FaultCode::UNDEFINED_FUNCTION, name);
    double number = 0;
    const char* text = "";
    if (function->argument == Argument::EXPRESSION) {
        number = parse_logic_or();
    } else {
        text = peek().text;
        consume(TOKEN_STRING, FaultCode::EXPECTED_LITERAL);
    }
    consume(TOKEN_RPAREN, FaultCode::EXPECTED_CLOSE);
    return function->compute(number, text, current_line);
}

double parse_primary() {
    int index = current_token;
    switch (tokens[index].type) {
        case TOKEN_NUMBER:
            step_over();
            return std::atof(tokens[index].text);
        case TOKEN_IDENTIFIER: {
            step_over();
            if (check(TOKEN_LPAREN)) return parse_call(tokens[index].text);
            Variable* variable = find_variable(tokens[index].text);
            if (variable == nullptr) fail(FaultCode::UNDEFINED_VARIABLE, tokens[index].text);
            return variable->number;
        }
        case TOKEN_LPAREN: {
            step_over();
            double value = parse_logic_or();
            consume(TOKEN_RPAREN, FaultCode::EXPECTED_CLOSE);
            return value;
        }
        case TOKEN_STRING:
            step_over();
            fail(FaultCode::STRING_IN_EXPRESSION);
        default:
            fail(FaultCode::EXPECTED_EXPRESSION, tokens[index].text);
    }
}

double parse_unary() {
    if (match(TOKEN_MINUS)) return -parse_unary();
    if (match(TOKEN_NOT)) return parse_unary() == 0 ? 1.0 : 0.0;
    return parse_primary();
}

double parse_factor() {
    double value = parse_unary();
    for (;;) {
        if (match(TOKEN_MULTIPLY)) {
            value *= parse_unary();
        } else if (match(TOKEN_DIVIDE)) {
            double divisor = parse_unary();
            if (divisor == 0) fail(FaultCode::DIVISION_BY_ZERO);
            value /= divisor;
        } else if (match(TOKEN_MODULO)) {
            double divisor = parse_unary();
            if (divisor == 0) fail(FaultCode::MODULO_BY_ZERO);
            value = std::fmod(value, divisor);
        } else {
            return value;
        }
    }
}

double parse_term() {
    double value = parse_factor();
    for (;;) {
        if (match(TOKEN_PLUS)) {
            value += parse_factor();
        } else if (match(TOKEN_MINUS)) {
            value -= parse_factor();
        } else {
            return value;
        }
    }
}

double parse_comparison() {
    double value = parse_term();
    for (;;) {
        TokenType op = peek().type;
        if (op != TOKEN_EQ && op != TOKEN_NE && op != TOKEN_GT && op != TOKEN_LT && op != TOKEN_GE && op != TOKEN_LE) {
            return value;
        }
        step_over();
        double right = parse_term();
        switch (op) {
            case TOKEN_EQ: value = value == right; break;
            case TOKEN_NE: value = value != right; break;
            case TOKEN_GT: value = value > right; break;
            case TOKEN_LT: value = value < right; break;
            case TOKEN_GE: value = value >= right; break;
            default: value = value <= right; break;
        }
    }
}

// Neither logical operator short-circuits: both sides are always evaluated.
double parse_logic_and() {
    double value = parse_comparison();
    while (match(TOKEN_AND)) {
        double right = parse_comparison();
        value = is_true(value) && is_true(right);
    }
    return value;
}

double parse_logic_or() {
    double value = parse_logic_and();
    while (match(TOKEN_OR)) {
        double right = parse_logic_and();
        value = is_true(value) || is_true(right);
    }
    return value;
}

// ---- Declarations and print ----

bool is_arithmetic(TokenType type) {
    return type == TOKEN_PLUS || type == TOKEN_MINUS || type == TOKEN_MULTIPLY || type == TOKEN_DIVIDE ||
           type == TOKEN_MODULO;
}

void execute_var() {
    int name_index = current_token;
    consume(TOKEN_IDENTIFIER, FaultCode::EXPECTED_NAME);
    consume_after(TOKEN_ASSIGN, "variable name");
    const char* name = tokens[name_index].text;
    if (find_variable(name) == nullptr && var_count == VARIABLE_LIMIT) {
        fail(FaultCode::TOO_MANY_VARIABLES, VARIABLE_LIMIT);
    }
    const char* text = nullptr;
    double number = 0;
    if (check(TOKEN_STRING)) {
        text = peek().text;
        step_over();
    } else {
        number = evaluate();
    }
    set_declared_value(find_or_create_variable(name, current_line), text, number);
    consume_after(TOKEN_SEMICOLON, "variable declaration");
}

// Writes one argument of print; false for "nel", which writes nothing.
bool print_argument(bool separated) {
    int index = current_token;
    const Token& token = tokens[index];
    switch (token.type) {
        case TOKEN_STRING:
            step_over();
            if (std::strcmp(token.text, "nel") == 0) return false;
            std::printf("%s%s", separated ? " " : "", token.text);
            return true;
        case TOKEN_NUMBER:
            step_over();
            std::printf("%s%s", separated ? " " : "", token.text);
            return true;
        case TOKEN_IDENTIFIER:
            break;
        default:
            fail(FaultCode::UNEXPECTED_IN_PRINT, token.text);
    }
    if (is_arithmetic(tokens[index + 1].type)) {
        double value = evaluate();
        std::printf("%s%g", separated ? " " : "", value);
        return true;
    }
    step_over();
    Variable* variable = find_variable(token.text);
    if (variable == nullptr) fail(FaultCode::UNDEFINED_VARIABLE, token.text);
    if (variable->is_string) {
        std::printf("%s%s", separated ? " " : "", variable->string);
    } else {
        std::printf("%s%g", separated ? " " : "", variable->number);
    }
    return true;
}

void execute_print() {
    consume_after(TOKEN_LPAREN, "print");
    bool newline = print_newline != 0;
    bool separated = false;
    if (!check(TOKEN_RPAREN)) {
        for (;;) {
            if (separated) consume(TOKEN_COMMA, FaultCode::EXPECTED_SEPARATOR);
            if (!print_argument(separated)) newline = false;
            separated = true;
            if (check(TOKEN_RPAREN)) break;
        }
    }
    step_over();  // ')'
    if (newline) std::putchar('\n');
}

// ---- Blocks and control flow ----

int block_end(int body_start) {
    int depth = 1;
    int index = body_start;
    for (; tokens[index].type != TOKEN_EOF; index++) {
        if (tokens[index].type == TOKEN_LBRACE) depth++;
        if (tokens[index].type == TOKEN_RBRACE && --depth == 0) return index;
    }
    return index;
}

int after_block(int body_start) {
    int end = block_end(body_start);
    return tokens[end].type == TOKEN_RBRACE ? end + 1 : end;
}

void skip_block() { current_token = after_block(current_token); }

void execute_block() {
    while (!check(TOKEN_RBRACE) && !check(TOKEN_EOF)) execute_statement();
    match(TOKEN_RBRACE);
}

void execute_body(int end) {
    while (current_token < end && !check(TOKEN_EOF)) execute_statement();
}

int scan_to(int start, TokenType type) {
    int index = start;
    while (tokens[index].type != type && tokens[index].type != TOKEN_EOF) index++;
    return index;
}

void restart_at(int index) {
    current_token = index;
    current_line = tokens[index].line;
}

void consume_at(int index, TokenType type, FaultCode expectation) {
    current_token = index;
    consume(type, expectation);
}

void execute_if() {
    consume_after(TOKEN_LPAREN, "'if'");
    bool condition = is_true(evaluate());
    consume_after(TOKEN_RPAREN, "condition");
    consume_after(TOKEN_LBRACE, "if condition");
    if (condition) {
        execute_block();
    } else {
        skip_block();
    }
    if (!match(TOKEN_ELSE)) return;
    consume_after(TOKEN_LBRACE, "'else'");
    if (condition) {
        skip_block();
    } else {
        execute_block();
    }
}

void execute_while() {
    consume_after(TOKEN_LPAREN, "'while'");
    int condition_start = current_token;
    evaluate();  // only to find where the condition ends
    if (!check(TOKEN_RPAREN)) fail_expected_after(TOKEN_RPAREN, "condition");
    if (tokens[current_token + 1].type != TOKEN_LBRACE) {
        current_token++;
        fail_expected_after(TOKEN_LBRACE, "while condition");
    }
    int body_start = current_token + 2;
    int body_end = block_end(body_start);
    int after_body = after_block(body_start);
    for (;;) {
        count_step();
        restart_at(condition_start);
        bool condition = is_true(evaluate());
        step_over();  // ')'
        step_over();  // '{'
        if (!condition) break;
        execute_body(body_end);
    }
    current_token = after_body;
}

void execute_for() {
    consume_after(TOKEN_LPAREN, "'for'");
    int init_start = current_token;
    bool scans = tokens[init_start].type == TOKEN_VAR ||
                 (tokens[init_start].type == TOKEN_IDENTIFIER && tokens[init_start + 1].type == TOKEN_ASSIGN);
    int init_end = scans ? scan_to(init_start, TOKEN_SEMICOLON) : init_start;
    consume_at(init_end, TOKEN_SEMICOLON, FaultCode::EXPECTED_IN_FOR);
    int condition_start = current_token;
    consume_at(scan_to(condition_start, TOKEN_SEMICOLON), TOKEN_SEMICOLON, FaultCode::EXPECTED_IN_FOR);
    int update_start = current_token;
    int update_end = scan_to(update_start, TOKEN_RPAREN);
    consume_at(update_end, TOKEN_RPAREN, FaultCode::EXPECTED_CLOSE);
    consume(TOKEN_LBRACE, FaultCode::EXPECTED_BLOCK);
    int body_start = current_token;
    int body_end = block_end(body_start);
    int after_body = after_block(body_start);

    current_token = init_start;
    while (current_token < init_end) execute_statement();
    if (condition_start + 1 == update_start) {  // empty condition: the body never runs
        current_token = after_body;
        return;
    }
    for (;;) {
        count_step();
        restart_at(condition_start);
        if (!is_true(evaluate())) break;
        current_token = body_start;
        execute_body(body_end);
        in_for_loop_update = 1;
        current_token = update_start;
        while (current_token < update_end) execute_statement();
        in_for_loop_update = 0;
    }
    current_token = after_body;
}

// ---- The dispatcher ----

void execute_assignment(int name_index) {
    step_over();  // '='
    Variable* target = find_variable(tokens[name_index].text);
    if (target == nullptr) fail(FaultCode::UNDEFINED_VARIABLE, tokens[name_index].text);
    if (check(TOKEN_STRING)) {
        set_text(target, peek().text);
        step_over();
    } else {
        target->number = evaluate();
        target->is_string = 0;
    }
    if (in_for_loop_update) return;
    consume_after(TOKEN_SEMICOLON, "assignment");
}

void after_keyword(void (*handler)()) {
    advance();
    handler();
}

// The token table of a run started inside another, put back when it ends.
struct SavedTokens {
    std::vector<Token> tokens_{tokens, tokens + token_count};
    std::vector<TokenFacts> facts_{token_facts, token_facts + token_count};
    std::vector<char> texts_{token_texts, token_texts + token_texts_used};
    int current_ = current_token;
    ~SavedTokens() {
        std::copy(tokens_.begin(), tokens_.end(), tokens);
        std::copy(facts_.begin(), facts_.end(), token_facts);
        std::copy(texts_.begin(), texts_.end(), token_texts);
        token_count = static_cast<int>(tokens_.size());
        token_texts_used = static_cast<int>(texts_.size());
        current_token = current_;
    }
};

}  // namespace

double evaluate() { return parse_logic_or(); }

void execute_statement() {
    count_step();
    const Token& first = peek();
    switch (first.type) {
        case TOKEN_EOF:
            return;
        case TOKEN_IDENTIFIER: {
            int name_index = current_token;
            advance();
            if (check(TOKEN_LPAREN) && execute_procedure(first)) return;
            if (check(TOKEN_ASSIGN)) return execute_assignment(name_index);
            fail(FaultCode::UNEXPECTED_IDENTIFIER, first.text);
        }
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
    advance();
    if (!execute_procedure(first)) fail(FaultCode::UNEXPECTED_TOKEN, first.text);
}

void run(const char* source) {
    static int active_runs = 0;
    parse_config(source);
    char* text = strip_config(source);
    std::vector<char> owned(text, text + std::strlen(text) + 1);
    std::free(text);
    std::unique_ptr<SavedTokens> saved;
    if (active_runs > 0) saved = std::make_unique<SavedTokens>();
    struct Depth {
        Depth() { active_runs++; }
        ~Depth() { active_runs--; }
    } depth;
    LexResult lexed = tokenize(owned.data());
    current_token = 0;
    current_line = lexed.line;
    if (lexed.fault) raise(*lexed.fault);
    in_for_loop_update = 0;
    while (!check(TOKEN_EOF)) execute_statement();
}

}  // namespace oracle
