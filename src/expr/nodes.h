#pragma once

#include "core/variables.h"
#include "expr/functions.h"

// One operation of a compiled expression. Evaluating it does what reading its
// tokens does, in the same order: both operands of every operator, left
// first, and the same failures. A failure first sets `current_line` to
// `line`, the line the walker would have reached by then.
struct Node {
    double (*evaluate)(const Node& node);
    const Node* left;   // the operand, or the left one
    const Node* right;  // the right operand
    double number;      // a constant's value
    mutable Variable* variable;                // a name's variable, once found
    const ExpressionFunction* function;        // a call's function
    int token;  // the token of a name
    int line;
};

namespace nodes {

double constant(const Node& node);
double variable(const Node& node);

double add(const Node& node);
double subtract(const Node& node);
double multiply(const Node& node);
double divide(const Node& node);
double modulo(const Node& node);

double equal(const Node& node);
double not_equal(const Node& node);
double greater(const Node& node);
double less(const Node& node);
double greater_or_equal(const Node& node);
double less_or_equal(const Node& node);
double logic_and(const Node& node);
double logic_or(const Node& node);

double negate(const Node& node);
double logic_not(const Node& node);
double call(const Node& node);

}  // namespace nodes

// The floating-point remainder (the standard fmod), taking a shorter way
// when both operands are whole numbers that fit an int64 exactly.
double remainder_of(double a, double b);
