#include "expr/nodes.h"

#include <cmath>
#include <cstdint>

#include "core/cursor.h"
#include "core/error.h"

namespace {

// Whole numbers up to this size convert to int64 and back exactly.
constexpr double EXACT_WHOLE_LIMIT = 9007199254740992.0;  // 2^53

double left(const Node& node) { return node.left->evaluate(*node.left); }
double right(const Node& node) { return node.right->evaluate(*node.right); }

[[noreturn]] void fail(const Node& node, const char* message) {
    current_line = node.line;
    error("%s", message);
}

bool is_exact_whole(double value) {
    return value > -EXACT_WHOLE_LIMIT && value < EXACT_WHOLE_LIMIT &&
           static_cast<double>(static_cast<std::int64_t>(value)) == value;
}

}  // namespace

double remainder_of(double a, double b) {
    if (is_exact_whole(a) && is_exact_whole(b)) {
        std::int64_t whole = static_cast<std::int64_t>(a) % static_cast<std::int64_t>(b);
        // fmod gives a zero the sign of a: fmod(-3, 3) is -0.
        return whole == 0 ? std::copysign(0.0, a) : static_cast<double>(whole);
    }
    return std::fmod(a, b);
}

namespace nodes {

double constant(const Node& node) { return node.number; }

double variable(const Node& node) {
    if (node.variable == nullptr) {
        node.variable = find_variable_at(node.token);
        if (node.variable == nullptr) {
            current_line = node.line;
            error("Undefined variable: %s", tokens[node.token].text);
        }
    }
    return node.variable->number;
}

// Each operand is evaluated in its own statement: left, then right.
double add(const Node& node) {
    double a = left(node);
    return a + right(node);
}

double subtract(const Node& node) {
    double a = left(node);
    return a - right(node);
}

double multiply(const Node& node) {
    double a = left(node);
    return a * right(node);
}

double divide(const Node& node) {
    double a = left(node);
    double b = right(node);
    if (b == 0) fail(node, "Division by zero");
    return a / b;
}

double modulo(const Node& node) {
    double a = left(node);
    double b = right(node);
    if (b == 0) fail(node, "Modulo by zero");
    return remainder_of(a, b);
}

double equal(const Node& node) {
    double a = left(node);
    return a == right(node);
}

double not_equal(const Node& node) {
    double a = left(node);
    return a != right(node);
}

double greater(const Node& node) {
    double a = left(node);
    return a > right(node);
}

double less(const Node& node) {
    double a = left(node);
    return a < right(node);
}

double greater_or_equal(const Node& node) {
    double a = left(node);
    return a >= right(node);
}

double less_or_equal(const Node& node) {
    double a = left(node);
    return a <= right(node);
}

double logic_and(const Node& node) {
    double a = left(node);
    double b = right(node);
    return a != 0 && b != 0;
}

double logic_or(const Node& node) {
    double a = left(node);
    double b = right(node);
    return a != 0 || b != 0;
}

double negate(const Node& node) { return -left(node); }

double logic_not(const Node& node) { return left(node) == 0 ? 1.0 : 0.0; }

// A call with an expression argument; str stores its text, which can fail,
// once the walker would have passed the ')'.
double call(const Node& node) {
    double argument = left(node);
    current_line = node.line;
    return node.function->compute(argument, "");
}

}  // namespace nodes
