#include "stmt/blocks.h"

#include "core/cursor.h"
#include "stmt/statements.h"

int block_end(int body_start) { return token_facts[body_start - 1].match; }

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

void run_else_part(bool condition) {
    if (!match(TOKEN_ELSE)) return;
    consume_after(TOKEN_LBRACE, "'else'");
    if (condition) {
        skip_block();
    } else {
        execute_block();
    }
}

int scan_to(int start, TokenType type) {
    int index = start;
    while (tokens[index].type != type && tokens[index].type != TOKEN_EOF) index++;
    return index;
}

int for_init_end(int start) {
    bool scans = tokens[start].type == TOKEN_VAR ||
                 (tokens[start].type == TOKEN_IDENTIFIER && tokens[start + 1].type == TOKEN_ASSIGN);
    return scans ? scan_to(start, TOKEN_SEMICOLON) : start;
}
