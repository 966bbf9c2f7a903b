#include "core/cursor.h"
#include "core/error.h"
#include "core/steps.h"
#include "expr/evaluate.h"
#include "stmt/blocks.h"
#include "stmt/statements.h"

namespace {

constexpr char EXPECTED_FOR_SEMICOLON[] = "Expected ';' in for loop";

void restart_at(int index) {
    current_token = index;
    current_line = tokens[index].line;
}

// Moves to the token found by a header scan and requires it to be `type`.
void consume_at(int index, TokenType type, const char* expectation) {
    current_token = index;
    consume(type, expectation);
}

}  // namespace

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
    run_else_part(condition);
}

void execute_while() {
    consume_after(TOKEN_LPAREN, "'while'");
    int condition_start = current_token;
    evaluate();  // only to find where the condition ends
    if (!check(TOKEN_RPAREN)) error_expected_after(TOKEN_RPAREN, "condition");
    if (tokens[current_token + 1].type != TOKEN_LBRACE) {
        current_token++;
        error_expected_after(TOKEN_LBRACE, "while condition");
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
    int init_end = for_init_end(init_start);
    consume_at(init_end, TOKEN_SEMICOLON, EXPECTED_FOR_SEMICOLON);
    int condition_start = current_token;
    consume_at(scan_to(condition_start, TOKEN_SEMICOLON), TOKEN_SEMICOLON, EXPECTED_FOR_SEMICOLON);
    int update_start = current_token;
    int update_end = scan_to(update_start, TOKEN_RPAREN);
    consume_at(update_end, TOKEN_RPAREN, EXPECTED_RPAREN);
    consume(TOKEN_LBRACE, "Expected '{'");
    int body_start = current_token;
    int body_end = block_end(body_start);
    int after_body = after_block(body_start);

    if (init_end > init_start) {
        current_token = init_start;
        while (current_token < init_end) execute_statement();
    }
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
        if (update_end > update_start) {
            in_for_loop_update = 1;
            current_token = update_start;
            while (current_token < update_end) execute_statement();
            in_for_loop_update = 0;
        }
    }
    current_token = after_body;
}
