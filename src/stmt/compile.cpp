#include "stmt/compile.h"

#include "stmt/compiled_parts.h"

CompiledTable<CompiledStatement> compiled_statements;

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
