#include "expr/nodes.h"

#include <cmath>
#include <cstdint>

#include "core/error.h"

namespace {

// Whole numbers below this size convert to int64 and back exactly.
constexpr double EXACT_WHOLE_LIMIT = 9007199254740992.0;  // 2^53

bool is_exact_whole(double value) {
    return value > -EXACT_WHOLE_LIMIT && value < EXACT_WHOLE_LIMIT &&
           static_cast<double>(static_cast<std::int64_t>(value)) == value;
}

[[gnu::noinline]] double remainder_in_general(double a, double b) {
    if (is_exact_whole(a) && is_exact_whole(b)) {
        return signed_remainder(a, static_cast<std::int64_t>(a) % static_cast<std::int64_t>(b));
    }
    return std::fmod(a, b);
}

double equal(const Node&, double a, double b) { return a == b; }
double not_equal(const Node&, double a, double b) { return a != b; }
double greater(const Node&, double a, double b) { return a > b; }
double less(const Node&, double a, double b) { return a < b; }
double greater_or_equal(const Node&, double a, double b) { return a >= b; }
double less_or_equal(const Node&, double a, double b) { return a <= b; }

// A whole remainder equals the constant (kept in `number`), itself whole,
// exactly when their ints do, a zero of either sign included.
[[gnu::always_inline]] inline double remainder_is(const Node& node, double a, double) {
    if (!is_small_whole(a)) [[unlikely]] return remainder_of(a, node.whole_divisor) == node.number;
    return static_cast<std::int32_t>(a) % node.whole_divisor == static_cast<std::int32_t>(node.number);
}

double remainder_is_not(const Node& node, double a, double b) { return remainder_is(node, a, b) == 0; }

const double* value_pointer(const Node& leaf) {
    return leaf.evaluate == nodes::constant ? &leaf.number : leaf.a;  // a name found as it was evaluated
}

template <Apply apply, int kind_a, int kind_b>
bool settled_test(const Node& node) {
    return settled<apply, kind_a, kind_b>(node) != 0;
}

// The checked way: each operand evaluated as compiled, left first. Once both
// are, every leaf has its value where it stays, and a product has settled.
template <Apply apply, int kind_a, int kind_b>
double first(const Node& node) {
    double a = evaluate(node.left);
    double b = evaluate(node.right);
    double value = apply(node, a, b);
    Node& settling = const_cast<Node&>(node);  // made by a pool, not const
    if (kind_a == LEAF) settling.a = value_pointer(*node.left);
    if (kind_b == LEAF) settling.b = value_pointer(*node.right);
    settling.evaluate = settled<apply, kind_a, kind_b>;
    settling.test = settled_test<apply, kind_a, kind_b>;
    return value;
}

template <Apply apply, int kind_a, int kind_b>
bool first_test(const Node& node) {
    return first<apply, kind_a, kind_b>(node) != 0;
}

template <Apply apply>
constexpr BinaryForms forms_of = {by_operand_kinds([]<int a, int b>() { return first<apply, a, b>; }),
                                  by_operand_kinds([]<int a, int b>() { return first_test<apply, a, b>; })};

const BinaryForms all_forms[] = {
    forms_of<apply::add>, forms_of<apply::subtract>, forms_of<apply::multiply>, forms_of<apply::divide>,
    forms_of<apply::remainder>, forms_of<equal>, forms_of<not_equal>, forms_of<greater>, forms_of<less>,
    forms_of<greater_or_equal>, forms_of<less_or_equal>, forms_of<apply::remainder_by_whole>, forms_of<remainder_is>,
    forms_of<remainder_is_not>,
};

}  // namespace

const BinaryForms& binary_forms(Operation operation) { return all_forms[static_cast<int>(operation)]; }

double remainder_of(double a, double b) {
    // Whole numbers of 31 bits, the usual case, divide fastest as int32.
    if (!is_small_whole(a) || !is_small_whole(b)) [[unlikely]] return remainder_in_general(a, b);
    return signed_remainder(a, static_cast<std::int32_t>(a) % static_cast<std::int32_t>(b));
}

namespace nodes {

double variable(const Node& node) {
    const Variable* found = find_variable(node.name);
    if (found == nullptr) raise_at(node.line, FaultCode::UNDEFINED_VARIABLE, node.name);
    Node& settling = const_cast<Node&>(node);  // made by a pool, not const
    settling.a = &found->number;
    settling.evaluate = read_leaf;
    return found->number;
}

double negate(const Node& node) { return -evaluate(node.left); }

// A call with an expression argument; str stores its text, which can fail,
// at the line of the ')'.
double call(const Node& node) { return node.function->compute(evaluate(node.left), "", node.line); }

double fail(const Node& node) {
    if (node.left != nullptr) evaluate(node.left);
    raise(*node.fault);
}

double value_of_test(const Node& node) { return node.test(node) ? 1.0 : 0.0; }

bool value_test(const Node& node) { return node.evaluate(node) != 0; }

bool both(const Node& node) {
    bool a = holds(node.left);
    return holds(node.right) && a;
}

bool either(const Node& node) {
    bool a = holds(node.left);
    return holds(node.right) || a;
}

bool negated(const Node& node) { return !holds(node.left); }

void zero_divisor(const Node& node, FaultCode failure) { raise_at(node.line, failure); }

}  // namespace nodes
