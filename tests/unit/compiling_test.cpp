#include <gtest/gtest.h>

#include "core/compiling.h"
#include "core/cursor.h"
#include "core/variables.h"
#include "expr/compile.h"
#include "lexer/tokenizer.h"
#include "stmt/compile.h"
#include "stmt/statements.h"

namespace {

// Tokenizes the source afresh, with nothing compiled or defined yet.
void load(const char* source) {
    compiled_statements.forget(MAX_TOKENS);
    compiled_expressions.forget(MAX_TOKENS);
    reset_variables();
    start_reading(tokenize(source).line);
}

void execute_all() {
    while (!check(TOKEN_EOF)) execute_statement();
}

int compiled_count() {
    int count = 0;
    for (int i = 0; i < token_count; i++) {
        count += (compiled_statements.get(i) != nullptr) + (compiled_expressions.get(i) != nullptr);
    }
    return count;
}

const char LOOP[] = "var n = 0; while (n < 3) { n = n + 1; }";

}  // namespace

// A form that falls back to the walker gives the same results, only slower,
// so no script can tell; these are the forms the fast path must cover.
TEST(Compiling, CommonStatementFormsAreCompiled) {
    const char* forms[] = {
        "x = 1;",
        "var x = 2 * y;",
        "var s = \"text\";",
        "print(\"a\", x, x + 1, 2);",
        "if (x) { } else { }",
        "while (x < 3) { }",
        "for (x = 0; x < 3; x = x + 1) { }",
    };
    for (const char* form : forms) {
        load(form);
        EXPECT_NE(compile_statement(0), nullptr) << form;
    }
}

TEST(Compiling, TheWalkerCompilesNothing) {
    load(LOOP);
    execute_all();
    EXPECT_GT(compiled_count(), 0);

    compiling_enabled = false;
    load(LOOP);
    execute_all();
    compiling_enabled = true;
    EXPECT_EQ(find_variable("n")->number, 3);
    EXPECT_EQ(compiled_count(), 0);
}
