#pragma once

#include <memory>
#include <vector>

#include "core/compiled_table.h"
#include "expr/nodes.h"
#include "lexer/token.h"

// An expression compiled from its tokens: its operations, and where reading
// its tokens leaves the cursor and the line.
struct CompiledExpression {
    std::vector<Node> nodes;
    const Node* root;
    int end;       // index of the first token after the expression
    int end_line;  // the line of its last token

    // Evaluates the expression and leaves the cursor and line after it.
    double run() const;
    // Evaluates it and leaves the cursor and line to the caller, which sets
    // them for a whole statement.
    double value() const { return root->evaluate(*root); }
};

// Compiles the expression whose first token is at `start`, or gives null
// when its tokens hold anything unusual (a string literal, an unknown
// function, a syntax error): the walker then reads it, failures and all.
std::unique_ptr<CompiledExpression> compile_expression(int start);

// The expressions compiled so far, by the index of their first token.
extern CompiledTable<CompiledExpression> compiled_expressions;
