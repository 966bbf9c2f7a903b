#pragma once

#include <array>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/faults.h"
#include "core/variables.h"
#include "expr/functions.h"

// One operation of a compiled expression. Evaluating it does what reading its
// tokens does, in the same order: both operands of every operator, left
// first, and the same failures at the same lines. An infix operation first
// runs a checked way, which finds the variables of its names or fails; once
// that has run, it settles: an operand that is a name or a constant (a leaf)
// is then read through a pointer to its value.
struct Node {
    double (*evaluate)(const Node& node);
    bool (*test)(const Node& node);  // whether the value is other than 0
    union {
        const Node* left;  // the operand, or the left one
        const double* a;   // a settled leaf's value; a found name's
    };
    union {
        const Node* right;  // the right operand
        const double* b;
        const char* name;  // a name's
    };
    union {
        double number;                       // a constant's value, or one known in advance
        const ExpressionFunction* function;  // a call's function
        const Fault* fault;                  // a failure's fault
    };
    // Where the operation fails, or a name is read (for / and %: the end of
    // the divisor, where it is tested for zero).
    int line;
    int whole_divisor;  // a constant divisor of %, when whole and of 31 bits
};

inline double evaluate(const Node* node) { return node->evaluate(*node); }
inline double evaluate_node(const Node& node) { return node.evaluate(node); }
inline bool holds(const Node* node) { return node->test(*node); }

// The infix operations, in the order of their forms, and the shorter ways of
// % by a whole constant: alone, and tested for equal or other than a whole
// constant with a name on its left (the constant the right operand).
enum class Operation {
    ADD, SUBTRACT, MULTIPLY, DIVIDE, MODULO,
    EQUAL, NOT_EQUAL, GREATER, LESS, GREATER_OR_EQUAL, LESS_OR_EQUAL,
    REMAINDER_BY_WHOLE, REMAINDER_IS, REMAINDER_IS_NOT,
    AND, OR,
};

namespace nodes {

inline double constant(const Node& node) { return node.number; }
// A name: looked up until its variable is found, then read through `a`.
double variable(const Node& node);
inline double read_leaf(const Node& node) { return *node.a; }
double negate(const Node& node);
double call(const Node& node);
// Evaluates the operand, if any, then raises the node's fault.
double fail(const Node& node);
// The value of a test: 1 or 0.
double value_of_test(const Node& node);
bool value_test(const Node& node);
// Both operands' tests, in order, joined; the operand's test, negated.
bool both(const Node& node);
bool either(const Node& node);
bool negated(const Node& node);

[[noreturn]] void zero_divisor(const Node& node, FaultCode failure);

}  // namespace nodes

inline bool is_leaf(const Node& node) { return node.evaluate == nodes::constant || node.evaluate == nodes::variable; }

// True when the value is a whole number that an int32 holds, other than the
// lowest, so that its remainder by any int32 but 0 is defined.
inline bool is_small_whole(double value) {
    return __builtin_fabs(value) < 2147483648.0 && static_cast<int>(value) == value;
}

// The remainder of a divided by b, the quotient truncated toward zero, as the
// standard fmod gives it, taking a shorter way for whole numbers.
double remainder_of(double a, double b);

// A whole remainder of a; fmod gives a zero the sign of a: fmod(-3, 3) is -0.
inline double signed_remainder(double a, long long whole) {
    return whole == 0 ? __builtin_copysign(0.0, a) : static_cast<double>(whole);
}

// What an infix operation does with its operands' values.
using Apply = double (*)(const Node& node, double a, double b);

namespace apply {

inline double add(const Node&, double a, double b) { return a + b; }
inline double subtract(const Node&, double a, double b) { return a - b; }
inline double multiply(const Node&, double a, double b) { return a * b; }
// The divisor is tested for zero once both operands have been evaluated.
inline double divide(const Node& node, double a, double b) {
    if (b == 0) nodes::zero_divisor(node, FaultCode::DIVISION_BY_ZERO);
    return a / b;
}
inline double remainder(const Node& node, double a, double b) {
    if (b == 0) nodes::zero_divisor(node, FaultCode::MODULO_BY_ZERO);
    return remainder_of(a, b);
}
// % by a whole constant divisor of 31 bits, kept in `whole_divisor`.
inline double remainder_by_whole(const Node& node, double a, double) {
    if (!is_small_whole(a)) [[unlikely]] return remainder_of(a, node.whole_divisor);
    return signed_remainder(a, static_cast<int>(a) % node.whole_divisor);
}

}  // namespace apply

// What an operand of a settled infix operation is: a node, evaluated; a
// leaf, read through its pointer; or a product of two leaves, multiplied in
// place.
enum Operand { NODE, LEAF, PRODUCT };
constexpr int OPERAND_KINDS = 3;

template <int kind>
inline double operand(const Node* node, const double* leaf) {
    if constexpr (kind == LEAF) return *leaf;
    if constexpr (kind == PRODUCT) return *node->a * *node->b;
    return node->evaluate(*node);
}

// The infix operation on its settled operands. A node beside a leaf or a
// product is evaluated first: the others' values cannot change meanwhile.
template <Apply apply, int kind_a, int kind_b>
inline double settled(const Node& node) {
    if constexpr (kind_a != NODE && kind_b == NODE) {
        double b = node.right->evaluate(*node.right);
        return apply(node, operand<kind_a>(node.left, node.a), b);
    }
    double a = operand<kind_a>(node.left, node.a);
    return apply(node, a, operand<kind_b>(node.right, node.b));
}

// What `make.template operator()<kind_a, kind_b>()` gives for each pair of
// kinds of operand, in order: the left one's times OPERAND_KINDS plus the
// right one's.
template <typename Make>
constexpr auto by_operand_kinds(Make make) {
    return [&]<int... kinds>(std::integer_sequence<int, kinds...>) {
        return std::array{make.template operator()<kinds / OPERAND_KINDS, kinds % OPERAND_KINDS>()...};
    }(std::make_integer_sequence<int, OPERAND_KINDS * OPERAND_KINDS>());
}

// The first evaluation of an infix operation, by kinds of operand.
struct BinaryForms {
    std::array<double (*)(const Node& node), OPERAND_KINDS * OPERAND_KINDS> evaluate;
    std::array<bool (*)(const Node& node), OPERAND_KINDS * OPERAND_KINDS> test;
};

const BinaryForms& binary_forms(Operation operation);

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
        *node = Node{evaluate, nodes::value_test, {nullptr}, {nullptr}, {0}, line, 0};
        return node;
    }
    const Fault* keep(Fault fault) { return &faults_.emplace_back(std::move(fault)); }

private:
    static constexpr int BLOCK_SIZE = 256;
    std::vector<std::unique_ptr<Node[]>> blocks_;
    int used_ = BLOCK_SIZE;
    std::deque<Fault> faults_;
};
