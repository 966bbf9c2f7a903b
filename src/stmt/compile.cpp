#include "stmt/compile.h"

#include "stmt/compiled_parts.h"

std::unique_ptr<CompiledStatement> compiled_statements[MAX_TOKENS];
unsigned char statement_tried[MAX_TOKENS];

void forget_compiled_statements() {
    for (int i = 0; i < token_count; i++) {
        compiled_statements[i].reset();
        statement_tried[i] = 0;
    }
}

std::unique_ptr<CompiledStatement> compile_statement(int start) {
    using namespace compiling;
    try {
        switch (kind_at(start)) {
            case TOKEN_IDENTIFIER:
                return kind_at(start + 1) == TOKEN_ASSIGN ? compile_assignment(start) : nullptr;
            case TOKEN_VAR:
                return compile_declaration(start);
            case TOKEN_PRINT:
                return compile_print(start);
            case TOKEN_IF:
                return compile_if(start);
            case TOKEN_WHILE:
                return compile_while(start);
            case TOKEN_FOR:
                return compile_for(start);
            default:
                return nullptr;
        }
    } catch (const Unusual&) {
        return nullptr;
    }
}
