#include <gtest/gtest.h>

#include <stdexcept>

#include "lexer/tokenizer.h"
#include "stmt/compiler.h"

namespace {

// Every place where a compiled statement may land must hold a compiled
// statement or be where its sequence stops; the compiler asks each sequence
// so as it compiles it. Here a landing is planted where no statement begins.
TEST(Landings, ALandingWhereNothingIsCompiledIsCaughtWhileCompiling) {
    tokenize("var k = 0;\nwhile (k < 3) { k = k + 1; }\nprint(k);\n");
    Compiler compiler;
    Sequence program = compiler.program();
    EXPECT_NO_THROW(program.require_filled(0));                // var
    EXPECT_NO_THROW(program.require_filled(5));                // while
    EXPECT_NO_THROW(program.require_filled(token_count - 1));  // the end, where the program stops
    EXPECT_THROW(program.require_filled(7), std::logic_error);  // the k of the while's condition
}

}  // namespace
