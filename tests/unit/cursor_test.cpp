#include <gtest/gtest.h>

#include "core/cursor.h"
#include "core/error.h"
#include "lexer/tokenizer.h"

TEST(Cursor, StepsAndLines) {
    tokenize("a\n\n( b\n;");
    start_reading(42);
    advance();  // the advance rule leaves the line alone
    EXPECT_EQ(current_token, 1);
    EXPECT_EQ(current_line, 42);
    EXPECT_FALSE(match(TOKEN_SEMICOLON));
    EXPECT_EQ(current_token, 1);
    EXPECT_EQ(current_line, 42);
    EXPECT_TRUE(match(TOKEN_LPAREN));
    EXPECT_EQ(current_token, 2);
    EXPECT_EQ(current_line, 3);
    consume(TOKEN_IDENTIFIER, "Expected name");
    EXPECT_EQ(current_token, 3);
}

TEST(Cursor, ConsumeReportsExpectationAndFoundText) {
    start_reading(tokenize("x = 1\nprint").line);
    match(TOKEN_IDENTIFIER);
    match(TOKEN_ASSIGN);
    match(TOKEN_NUMBER);
    try {
        consume(TOKEN_SEMICOLON, "Expected ';' after assignment");
        FAIL() << "no error";
    } catch (const ScriptError& failure) {
        EXPECT_EQ(failure.message, "Expected ';' after assignment (got 'print')");
        EXPECT_EQ(failure.line, 1);  // the last consumed token's line
    }
    match(TOKEN_PRINT);
    try {
        consume(TOKEN_SEMICOLON, "Expected ';' after print");
        FAIL() << "no error";
    } catch (const ScriptError& failure) {
        EXPECT_EQ(failure.message, "Expected ';' after print (got '')");
        EXPECT_EQ(failure.line, 2);
    }
}
