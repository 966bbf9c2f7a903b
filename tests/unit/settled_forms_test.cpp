#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "core/error.h"
#include "expr/compile.h"
#include "lexer/tokenizer.h"
#include "stmt/compiler.h"

namespace {

// An infix operator as written, and what it gives by the language's rules.
struct Operator {
    const char* text;
    double (*apply)(double a, double b);
    bool fails_on_zero;
};

const Operator operators[] = {
    {"+", [](double a, double b) { return a + b; }, false},
    {"-", [](double a, double b) { return a - b; }, false},
    {"*", [](double a, double b) { return a * b; }, false},
    {"/", [](double a, double b) { return a / b; }, true},
    {"%", [](double a, double b) { return std::fmod(a, b); }, true},
    {"==", [](double a, double b) { return a == b ? 1.0 : 0.0; }, false},
    {"!=", [](double a, double b) { return a != b ? 1.0 : 0.0; }, false},
    {"<", [](double a, double b) { return a < b ? 1.0 : 0.0; }, false},
    {">=", [](double a, double b) { return a >= b ? 1.0 : 0.0; }, false},
    {"&&", [](double a, double b) { return a != 0 && b != 0 ? 1.0 : 0.0; }, false},
    {"||", [](double a, double b) { return a != 0 || b != 0 ? 1.0 : 0.0; }, false},
};

// Operands of every kind a settled operation reads: names, constants,
// products of two leaves and other nodes; with what they are worth.
struct Shape {
    const char* left;
    const char* right;
    double (*left_value)(double a, double b, double c);
    double (*right_value)(double a, double b, double c);
};

const Shape shapes[] = {
    {"a", "b", [](double a, double, double) { return a; }, [](double, double b, double) { return b; }},
    {"a", "3", [](double a, double, double) { return a; }, [](double, double, double) { return 3.0; }},
    {"2.5", "b", [](double, double, double) { return 2.5; }, [](double, double b, double) { return b; }},
    {"a * c", "b", [](double a, double, double c) { return a * c; }, [](double, double b, double) { return b; }},
    {"a", "(b * c)", [](double a, double, double) { return a; }, [](double, double b, double c) { return b * c; }},
    {"a * b", "(c * 4)", [](double a, double b, double) { return a * b; }, [](double, double, double c) { return c * 4; }},
    {"(a - c)", "b", [](double a, double, double c) { return a - c; }, [](double, double b, double) { return b; }},
    {"c", "(a + b)", [](double, double, double c) { return c; }, [](double a, double b, double) { return a + b; }},
    {"(a - c)", "(b + c)", [](double a, double, double c) { return a - c; },
     [](double, double b, double c) { return b + c; }},
};

const double values[] = {0.0, -0.0, 7.0, -2.5, 1e300, std::numeric_limits<double>::infinity(), std::sqrt(-1.0)};

std::uint64_t bits(double value) { return std::bit_cast<std::uint64_t>(value); }

class SettledForms : public ::testing::Test {
protected:
    // Compiles the text, then evaluates it twice with the names set: the
    // first, checked way and the settled one must each give `expected`, or
    // both fail with the division's fault.
    void expect_twice(const std::string& text, double a, double b, double c, double expected, bool fails) {
        reset_variables();
        tokenize(text.c_str());
        Compiler compiler;
        Reader reader = compiler.reader(0);
        const Node* root = compile_expression(reader, compiler.pool).root;
        const char* names[] = {"a", "b", "c"};
        double numbers[] = {a, b, c};
        for (int i = 0; i < 3; i++) find_or_create_variable(names[i], 1)->number = numbers[i];
        for (int run = 0; run < 2; run++) {
            SCOPED_TRACE(text + " with a " + std::to_string(a) + " b " + std::to_string(b) + " c " +
                         std::to_string(c) + (run == 0 ? ", first run" : ", settled"));
            if (fails) {
                EXPECT_THROW(evaluate(root), ScriptError);
                continue;
            }
            EXPECT_EQ(bits(evaluate(root)), bits(expected));
            EXPECT_EQ(holds(root), expected != 0);
        }
    }
};

TEST_F(SettledForms, EveryOperatorOnEveryKindOfOperandGivesWhatItsRuleGives) {
    for (const Operator& op : operators) {
        for (const Shape& shape : shapes) {
            std::string text = std::string(shape.left) + " " + op.text + " " + shape.right;
            for (double a : values) {
                for (double b : values) {
                    double c = a == b ? -1.0 : 3.0;
                    double left = shape.left_value(a, b, c);
                    double right = shape.right_value(a, b, c);
                    bool fails = op.fails_on_zero && right == 0;
                    expect_twice(text, a, b, c, fails ? 0 : op.apply(left, right), fails);
                }
            }
        }
    }
}

TEST_F(SettledForms, WholeRemaindersAndTheirTestsKeepTheSignOfZero) {
    for (double a : {-9.0, -6.0, -0.0, 0.0, 4.0, 6.0, 2147483647.0, -2147483647.0, 4e9, 2.5, -7.5}) {
        expect_twice("a % 3", a, 0, 0, std::fmod(a, 3), false);
        expect_twice("a % -3", a, 0, 0, std::fmod(a, -3), false);
        expect_twice("a % 3 == 0", a, 0, 0, std::fmod(a, 3) == 0 ? 1 : 0, false);
        expect_twice("a % 4 != 2", a, 0, 0, std::fmod(a, 4) != 2 ? 1 : 0, false);
    }
}

}  // namespace
