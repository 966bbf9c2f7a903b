#include "expr/nodes.h"

#include <cmath>
#include <cstdint>

#include "core/error.h"

namespace {

// Whole numbers below this size convert to int64 and back exactly.
constexpr double EXACT_WHOLE_LIMIT = 9007199254740992.0;  // 2^53

double left(const Node& node) { return node.left->evaluate(*node.left); }
double right(const Node& node) { return node.right->evaluate(*node.right); }

inline double value_of_name(const Node& node) { return defined_variable(node.name)->number; }

bool is_exact_whole(double value) {
    return value > -EXACT_WHOLE_LIMIT && value < EXACT_WHOLE_LIMIT &&
           static_cast<double>(static_cast<std::int64_t>(value)) == value;
}

double add(double a, double b) { return a + b; }
double subtract(double a, double b) { return a - b; }
double multiply(double a, double b) { return a * b; }
double divide(double a, double b) { return a / b; }
double equal(double a, double b) { return a == b; }
double not_equal(double a, double b) { return a != b; }
double greater(double a, double b) { return a > b; }
double less(double a, double b) { return a < b; }
double greater_or_equal(double a, double b) { return a >= b; }
double less_or_equal(double a, double b) { return a <= b; }
double logic_and(double a, double b) { return a != 0 && b != 0; }
double logic_or(double a, double b) { return a != 0 || b != 0; }

// Each operand is evaluated in its own statement: left, then right.
template <double (*apply)(double, double)>
double general(const Node& node) {
    double a = left(node);
    double b = right(node);
    return apply(a, b);
}

template <double (*apply)(double, double)>
double with_constant(const Node& node) {
    return apply(left(node), node.number);
}

// The forms on names take the variables that the names found before; the
// first time, a slower way of their own finds them, or fails.
template <double (*apply)(double, double)>
[[gnu::noinline]] double name_with_constant_first(const Node& node) {
    return apply(value_of_name(*node.left), node.number);
}

template <double (*apply)(double, double)>
double name_with_constant(const Node& node) {
    const Variable* a = node.left->name.variable;
    if (a == nullptr) [[unlikely]] return name_with_constant_first<apply>(node);
    return apply(a->number, node.number);
}

template <double (*apply)(double, double)>
[[gnu::noinline]] double names_first(const Node& node) {
    double a = value_of_name(*node.left);
    return apply(a, value_of_name(*node.right));
}

template <double (*apply)(double, double)>
double names(const Node& node) {
    const Variable* a = node.left->name.variable;
    const Variable* b = node.right->name.variable;
    if (a == nullptr || b == nullptr) [[unlikely]] return names_first<apply>(node);
    return apply(a->number, b->number);
}

template <double (*apply)(double, double)>
double with_name(const Node& node) {
    double a = left(node);
    return apply(a, value_of_name(*node.right));
}

// The divisor is tested for zero once it has been evaluated.
template <FaultCode failure>
double nonzero(const Node& node, double b) {
    if (b == 0) raise_at(node.name.line, failure);
    return b;
}

template <double (*apply)(double, double), FaultCode failure>
double checked(const Node& node) {
    double a = left(node);
    return apply(a, nonzero<failure>(node, right(node)));
}

template <double (*apply)(double, double), FaultCode failure>
double checked_names(const Node& node) {
    double a = value_of_name(*node.left);
    return apply(a, nonzero<failure>(node, value_of_name(*node.right)));
}

template <double (*apply)(double, double), FaultCode failure>
double checked_with_name(const Node& node) {
    double a = left(node);
    return apply(a, nonzero<failure>(node, value_of_name(*node.right)));
}

constexpr FaultCode DIVISION_BY_ZERO = FaultCode::DIVISION_BY_ZERO;
constexpr FaultCode MODULO_BY_ZERO = FaultCode::MODULO_BY_ZERO;

template <double (*apply)(double, double)>
constexpr BinaryForms forms_of = {general<apply>, with_constant<apply>, name_with_constant<apply>, names<apply>,
                                  with_name<apply>};

template <double (*apply)(double, double), FaultCode failure>
constexpr BinaryForms checked_forms_of = {checked<apply, failure>, with_constant<apply>, name_with_constant<apply>,
                                          checked_names<apply, failure>, checked_with_name<apply, failure>};

const BinaryForms all_forms[] = {
    forms_of<add>,
    forms_of<subtract>,
    forms_of<multiply>,
    checked_forms_of<divide, DIVISION_BY_ZERO>,
    checked_forms_of<remainder_of, MODULO_BY_ZERO>,
    forms_of<equal>,
    forms_of<not_equal>,
    forms_of<greater>,
    forms_of<less>,
    forms_of<greater_or_equal>,
    forms_of<less_or_equal>,
    forms_of<logic_and>,
    forms_of<logic_or>,
};

// A condition's test: its value compared with zero, which for a comparison
// folds into the comparison itself.
template <double (*form)(const Node&)>
bool test_of(const Node& node) {
    return form(node) != 0;
}

struct TestForm {
    double (*evaluate)(const Node&);
    bool (*test)(const Node&);
};

template <double (*form)(const Node&)>
constexpr TestForm test_form = {form, test_of<form>};

template <double (*apply)(double, double)>
constexpr TestForm comparison_tests[] = {test_form<general<apply>>, test_form<with_constant<apply>>,
                                         test_form<name_with_constant<apply>>, test_form<names<apply>>,
                                         test_form<with_name<apply>>};

const TestForm* const test_tables[] = {comparison_tests<equal>,   comparison_tests<not_equal>,
                                       comparison_tests<greater>, comparison_tests<less>,
                                       comparison_tests<greater_or_equal>, comparison_tests<less_or_equal>};

}  // namespace

const BinaryForms& binary_forms(Operation operation) { return all_forms[static_cast<int>(operation)]; }

namespace nodes {
bool remainder_test(const Node& node);
bool remainder_test_not(const Node& node);
}  // namespace nodes

Condition condition_of(const Node* node) {
    for (const TestForm* table : test_tables) {
        for (int form = 0; form < 5; form++) {
            if (table[form].evaluate == node->evaluate) return Condition{node, table[form].test};
        }
    }
    if (node->evaluate == nodes::name_remainder_is) return Condition{node, nodes::remainder_test};
    if (node->evaluate == nodes::name_remainder_is_not) return Condition{node, nodes::remainder_test_not};
    return Condition{node, test_of<nodes::evaluate_any>};
}

namespace {

// fmod gives a zero the sign of a: fmod(-3, 3) is -0.
double signed_remainder(double a, std::int64_t whole) {
    return whole == 0 ? std::copysign(0.0, a) : static_cast<double>(whole);
}

[[gnu::noinline]] double remainder_in_general(double a, double b) {
    if (is_exact_whole(a) && is_exact_whole(b)) {
        return signed_remainder(a, static_cast<std::int64_t>(a) % static_cast<std::int64_t>(b));
    }
    return std::fmod(a, b);
}

}  // namespace

double remainder_of(double a, double b) {
    // Whole numbers of 31 bits, the usual case, divide fastest as int32.
    if (!is_small_whole(a) || !is_small_whole(b)) [[unlikely]] return remainder_in_general(a, b);
    return signed_remainder(a, static_cast<std::int32_t>(a) % static_cast<std::int32_t>(b));
}

namespace nodes {

double constant(const Node& node) { return node.number; }

double variable(const Node& node) { return value_of_name(node); }

double negate(const Node& node) { return -left(node); }

double logic_not(const Node& node) { return left(node) == 0 ? 1.0 : 0.0; }

// A call with an expression argument; str stores its text, which can fail,
// at the line of the ')'.
double call(const Node& node) { return node.function->compute(left(node), "", node.name.line); }

double fail(const Node& node) {
    if (node.left != nullptr) left(node);
    raise(*node.fault);
}

// The general way, for a name not found yet or a value that is no small whole.
[[gnu::noinline]] static bool remainder_is_in_general(const Node& node) {
    return remainder_of(value_of_name(node), node.whole_divisor) == node.number;
}

// A whole remainder equals the constant, itself whole, exactly when their
// ints do, a zero of either sign included.
static bool remainder_is(const Node& node) {
    const Variable* variable = node.name.variable;
    if (variable == nullptr || !is_small_whole(variable->number)) [[unlikely]] return remainder_is_in_general(node);
    return static_cast<std::int32_t>(variable->number) % node.whole_divisor == static_cast<std::int32_t>(node.number);
}

double remainder_by_whole(const Node& node) {
    double a = left(node);
    if (!is_small_whole(a)) [[unlikely]] return remainder_of(a, node.whole_divisor);
    return signed_remainder(a, static_cast<std::int32_t>(a) % node.whole_divisor);
}

double name_remainder_is(const Node& node) { return remainder_is(node); }

double name_remainder_is_not(const Node& node) { return !remainder_is(node); }

bool remainder_test(const Node& node) { return remainder_is(node); }

bool remainder_test_not(const Node& node) { return !remainder_is(node); }

double evaluate_any(const Node& node) { return node.evaluate(node); }

}  // namespace nodes
