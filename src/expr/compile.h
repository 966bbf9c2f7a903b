#pragma once

#include "core/reader.h"
#include "expr/nodes.h"

// A compiled expression; `faulted` when its tokens hold a fault, so that
// evaluating it always ends in an error and nothing after it is read.
struct Expression {
    const Node* root;
    bool faulted;
};

// Compiles the expression at the reader, moving the reader over it as
// evaluating it reads its tokens. A fault is compiled into a node that
// stops the script where reading it would, after the operands before it.
Expression compile_expression(Reader& reader, NodePool& pool);

// A node that evaluates the operand, then fails with the fault.
const Node* failing_after(NodePool& pool, const Node* operand, const Fault& fault);
