#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "expr/compile.h"
#include "lexer/tokenizer.h"
#include "oracle/cursor.h"
#include "stmt/compiler.h"

namespace {

// Operands of every kind a settled operation reads: names, constants,
// products of two leaves and other nodes.
const char* const operand_pairs[][2] = {{"a", "b"},     {"a", "3"},       {"2.5", "b"},     {"a * c", "b"},
                                        {"a", "(b*c)"}, {"a * b", "(c*4)"}, {"(a - c)", "b"}, {"c", "(a + b)"}};
const char* const operators[] = {"+", "-", "*", "/", "%", "==", "!=", "<", ">=", "&&", "||"};
const double values[] = {0.0, -0.0, 7.0, -2.5, 1e300, std::numeric_limits<double>::infinity(), std::sqrt(-1.0)};

// A value as its bits (NaN's sign and zero's count), or the fault's message.
std::string outcome_of(const std::function<double()>& evaluation) {
    try {
        return std::to_string(std::bit_cast<unsigned long long>(evaluation()));
    } catch (const ScriptError& failure) {
        return failure.message;
    }
}

// Compiles the text and evaluates it with the names set, by value and by
// test, each first by the checked way and then settled: every time, the
// reference interpreter's outcome.
void expect_as_reference(const std::string& text, double a, double b, double c) {
    reset_variables();
    tokenize(text.c_str());
    find_or_create_variable("a", 1)->number = a;
    find_or_create_variable("b", 1)->number = b;
    find_or_create_variable("c", 1)->number = c;
    std::string value = outcome_of([] { return oracle::current_token = 0, oracle::evaluate(); });
    std::string test = outcome_of([] { return oracle::current_token = 0, oracle::evaluate() != 0 ? 1.0 : 0.0; });
    for (bool tested_first : {false, true}) {
        Compiler compiler;
        Reader reader = compiler.reader(0);
        const Node* root = compile_expression(reader, compiler.pool).root;
        for (int run = 0; run < 4; run++) {
            SCOPED_TRACE(text + " with a, b, c: " + std::to_string(a) + ", " + std::to_string(b) + ", " +
                         std::to_string(c) + ", run " + std::to_string(run));
            if ((run % 2 == 0) == tested_first) {
                EXPECT_EQ(outcome_of([&] { return holds(root) ? 1.0 : 0.0; }), test);
            } else {
                EXPECT_EQ(outcome_of([&] { return evaluate(root); }), value);
            }
        }
    }
}

TEST(SettledForms, EveryOperatorOnEveryKindOfOperandGivesWhatTheReferenceGives) {
    for (const char* op : operators) {
        for (const auto& pair : operand_pairs) {
            for (double a : values) {
                for (double b : values) expect_as_reference(std::string(pair[0]) + op + pair[1], a, b, a == b ? -1 : 3);
            }
        }
    }
}

TEST(SettledForms, WholeRemaindersAndTheirTestsKeepTheSignOfZero) {
    for (double a : {-9.0, -6.0, -0.0, 0.0, 4.0, 6.0, 2147483647.0, -2147483647.0, 4e9, 2.5, -7.5}) {
        for (const char* text : {"a % 3", "a % -3", "a % 3 == 0", "a % 4 != 2", "-a % 5 == -0"}) {
            expect_as_reference(text, a, 0, 0);
        }
    }
}

}  // namespace
