#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "core/faults.h"
#include "core/variables.h"
#include "expr/functions.h"

// One operation of a compiled expression. Evaluating it does what reading its
// tokens does, in the same order: both operands of every operator, left
// first, and the same failures at the same lines.
struct Node {
    double (*evaluate)(const Node& node);
    const Node* left;   // the operand, or the left one
    const Node* right;  // the right operand
    double number;      // a constant's value, or a right operand known in advance
    // A variable's name; its line is where the operation fails (for / and
    // %: the end of the divisor, where it is tested for zero).
    NameRef name;
    union {
        const ExpressionFunction* function;  // a call's function
        const Fault* fault;                  // a failure's fault
    };
    int whole_divisor;  // a constant divisor of %, when whole and of 31 bits
};

inline double evaluate(const Node* node) { return node->evaluate(*node); }

// The infix operators, in the order of `binary_forms`.
enum class Operation {
    ADD, SUBTRACT, MULTIPLY, DIVIDE, MODULO,
    EQUAL, NOT_EQUAL, GREATER, LESS, GREATER_OR_EQUAL, LESS_OR_EQUAL,
    AND, OR,
};

// An infix operator's evaluation, with shorter forms for a constant right
// operand (not zero for / and %), for a name and a constant, for two names.
struct BinaryForms {
    double (*general)(const Node& node);
    double (*with_constant)(const Node& node);
    double (*name_with_constant)(const Node& node);
    double (*names)(const Node& node);
    double (*with_name)(const Node& node);  // a name on the right of another operand
};

const BinaryForms& binary_forms(Operation operation);

namespace nodes {

double constant(const Node& node);
double variable(const Node& node);
double negate(const Node& node);
double logic_not(const Node& node);
double call(const Node& node);
// Evaluates the operand, if any, then raises the node's fault.
double fail(const Node& node);

// % by a whole constant divisor of 31 bits, kept in `whole_divisor`.
double remainder_by_whole(const Node& node);
// name % divisor == constant (and !=), both whole: the name folded in, the
// divisor in `whole_divisor`, the constant in `number`.
double name_remainder_is(const Node& node);
double name_remainder_is_not(const Node& node);
// Evaluates the node by its own operation.
double evaluate_any(const Node& node);

}  // namespace nodes

// A condition of if, while or for: its root and the test that tells whether
// it holds (a value other than 0), made shorter for comparisons.
struct Condition {
    const Node* node = nullptr;
    bool (*test)(const Node&) = nullptr;

    bool holds() const { return test(*node); }
};

Condition condition_of(const Node* node);

// True when the value is a whole number that an int32 holds, other than the
// lowest, so that its remainder by any int32 but 0 is defined.
inline bool is_small_whole(double value) {
    return __builtin_fabs(value) < 2147483648.0 && static_cast<int>(value) == value;
}

// The remainder of a divided by b, the quotient truncated toward zero, as the
// standard fmod gives it, taking a shorter way for whole numbers.
double remainder_of(double a, double b);

// Where a compiled text keeps its nodes and the faults they raise; both stay
// where they are made. Nodes come in blocks, a few allocations for a script.
class NodePool {
public:
    Node* add(double (*evaluate)(const Node&), int line) {
        if (used_ == BLOCK_SIZE) {
            blocks_.push_back(std::make_unique_for_overwrite<Node[]>(BLOCK_SIZE));
            used_ = 0;
        }
        Node* node = &blocks_.back()[used_++];
        *node = Node{evaluate, nullptr, nullptr, 0, NameRef{"", line}, {nullptr}, 0};
        return node;
    }
    const Fault* keep(Fault fault) { return &faults_.emplace_back(std::move(fault)); }

private:
    static constexpr int BLOCK_SIZE = 256;
    std::vector<std::unique_ptr<Node[]>> blocks_;
    int used_ = BLOCK_SIZE;
    std::deque<Fault> faults_;
};
