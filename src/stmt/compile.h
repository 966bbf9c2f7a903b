#pragma once

#include <memory>

#include "core/compiled_table.h"
#include "lexer/token.h"

// A statement compiled from its tokens. Running it does what the walker does
// on those tokens (the same output, variables, failures with their lines, and
// the cursor and line where the walker leaves them), without testing again
// what compiling has already found in the tokens.
class CompiledStatement {
public:
    virtual ~CompiledStatement() = default;
    virtual void run() const = 0;
};

// Compiles the statement whose first token is at `start`: an assignment, a
// declaration, print, if, while or for. Gives null for any other statement
// and for one whose tokens hold anything unusual (a syntax error among
// them): the walker then runs it.
std::unique_ptr<CompiledStatement> compile_statement(int start);

// The statements compiled so far, by the index of their first token.
extern CompiledTable<CompiledStatement> compiled_statements;
