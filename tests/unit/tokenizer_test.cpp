#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lexer/token.h"
#include "lexer/tokenizer.h"

namespace {

struct Expected {
    TokenType type;
    std::string text;
    int line;
};

void expect_tokens(const std::string& source, const std::vector<Expected>& expected) {
    tokenize(source.c_str());
    ASSERT_EQ(token_count, static_cast<int>(expected.size()) + 1) << source;
    for (std::size_t i = 0; i < expected.size(); i++) {
        EXPECT_EQ(tokens[i].type, expected[i].type) << "token " << i << " of " << source;
        EXPECT_EQ(tokens[i].text, expected[i].text) << "token " << i << " of " << source;
        EXPECT_EQ(tokens[i].line, expected[i].line) << "token " << i << " of " << source;
    }
    EXPECT_EQ(tokens[token_count - 1].type, TOKEN_EOF);
    EXPECT_STREQ(tokens[token_count - 1].text, "");
}

LexResult lex_error(const std::string& source) {
    LexResult result = tokenize(source.c_str());
    if (!result.fault) ADD_FAILURE() << "no error for: " << source;
    return result;
}

}  // namespace

TEST(Tokenizer, EmptyTextIsOneEndToken) {
    tokenize("");
    EXPECT_EQ(token_count, 1);
    EXPECT_EQ(tokens[0].type, TOKEN_EOF);
    EXPECT_EQ(tokens[0].line, 1);
}

TEST(Tokenizer, KindsTextsAndLines) {
    expect_tokens("var x = 1.5; # note\n\tprint(x)\r\n  != <= >= && || ! %[]",
                  {{TOKEN_VAR, "var", 1},       {TOKEN_IDENTIFIER, "x", 1}, {TOKEN_ASSIGN, "=", 1},
                   {TOKEN_NUMBER, "1.5", 1},    {TOKEN_SEMICOLON, ";", 1},  {TOKEN_PRINT, "print", 2},
                   {TOKEN_LPAREN, "(", 2},      {TOKEN_IDENTIFIER, "x", 2}, {TOKEN_RPAREN, ")", 2},
                   {TOKEN_NE, "!=", 3},         {TOKEN_LE, "<=", 3},        {TOKEN_GE, ">=", 3},
                   {TOKEN_AND, "&&", 3},        {TOKEN_OR, "||", 3},        {TOKEN_NOT, "!", 3},
                   {TOKEN_MODULO, "%", 3},      {TOKEN_LBRACKET, "[", 3},   {TOKEN_RBRACKET, "]", 3}});
    EXPECT_EQ(tokens[token_count - 1].line, 3);
}

TEST(Tokenizer, WordsTakeBothLetterRangesWholeAndUnderscores) {
    expect_tokens("Az zA Z_a _9", {{TOKEN_IDENTIFIER, "Az", 1},
                                   {TOKEN_IDENTIFIER, "zA", 1},
                                   {TOKEN_IDENTIFIER, "Z_a", 1},
                                   {TOKEN_IDENTIFIER, "_9", 1}});
}

TEST(Tokenizer, EqualsSigns) {
    expect_tokens("== = = =<", {{TOKEN_EQ, "==", 1},
                                {TOKEN_ASSIGN, "=", 1},
                                {TOKEN_ASSIGN, "=", 1},
                                {TOKEN_ASSIGN, "=", 1},
                                {TOKEN_LT, "<", 1}});
}

TEST(Tokenizer, NumberLiterals) {
    expect_tokens("1.2.3 5abc 3. .5", {{TOKEN_NUMBER, "1.2", 1},
                                       {TOKEN_NUMBER, ".3", 1},
                                       {TOKEN_NUMBER, "5", 1},
                                       {TOKEN_IDENTIFIER, "abc", 1},
                                       {TOKEN_NUMBER, "3.", 1},
                                       {TOKEN_NUMBER, ".5", 1}});
    std::string digits(63, '1');
    expect_tokens(digits + "2.5", {{TOKEN_NUMBER, digits, 1}, {TOKEN_NUMBER, "2.5", 1}});
}

TEST(Tokenizer, LongWordsAreCutAfter63Characters) {
    std::string word(63, 'a');
    expect_tokens(word + "bcdefgh", {{TOKEN_IDENTIFIER, word, 1}, {TOKEN_IDENTIFIER, "bcdefgh", 1}});
    expect_tokens(word + "9x", {{TOKEN_IDENTIFIER, word, 1}, {TOKEN_NUMBER, "9", 1}, {TOKEN_IDENTIFIER, "x", 1}});
}

TEST(Tokenizer, KeywordsAreExactAndKeepTheirWrittenForm) {
    expect_tokens("i install u r mirror Print list input str printx rand_range",
                  {{TOKEN_INSTALL, "i", 1},
                   {TOKEN_INSTALL, "install", 1},
                   {TOKEN_UPDATE, "u", 1},
                   {TOKEN_REMOVE, "r", 1},
                   {TOKEN_MIRROR, "mirror", 1},
                   {TOKEN_IDENTIFIER, "Print", 1},
                   {TOKEN_IDENTIFIER, "list", 1},
                   {TOKEN_IDENTIFIER, "input", 1},
                   {TOKEN_IDENTIFIER, "str", 1},
                   {TOKEN_IDENTIFIER, "printx", 1},
                   {TOKEN_RAND_RANGE, "rand_range", 1}});
}

TEST(Tokenizer, StringEscapesAndLineFeeds) {
    expect_tokens(R"("a\tb\\c\"d\qe\n\r" "#x")",
                  {{TOKEN_STRING, "a\tb\\c\"dqe\n\r", 1}, {TOKEN_STRING, "#x", 1}});
    // Line feeds inside a literal are kept and not counted.
    expect_tokens("\"one\ntwo\nthree\" x\ny",
                  {{TOKEN_STRING, "one\ntwo\nthree", 1}, {TOKEN_IDENTIFIER, "x", 1}, {TOKEN_IDENTIFIER, "y", 2}});
}

TEST(Tokenizer, StringLengthLimit) {
    std::string longest(1023, 's');
    expect_tokens("\"" + longest + "\"", {{TOKEN_STRING, longest, 1}});
    LexResult failure = lex_error("x\n\"" + longest + "s\"\n");
    EXPECT_EQ(failure.fault->message(), "Unterminated string literal");
    EXPECT_EQ(failure.line, 2);
    failure = lex_error("\n\n\"open\nstill open");
    EXPECT_EQ(failure.fault->message(), "Unterminated string literal");
    EXPECT_EQ(failure.line, 3);
}

TEST(Tokenizer, UnknownCharacters) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"a & b", "Unknown character: '&'"},   {"a | b", "Unknown character: '|'"},
        {"1 . 2", "Unknown character: '.'"},   {"@", "Unknown character: '@'"},
        {"\f", "Unknown character: '\f'"},     {"x\x80", "Unknown character: '\x80'"},
        {"&include", "Unknown character: '&'"}};
    for (const auto& [source, message] : cases) {
        LexResult failure = lex_error("ok\n" + source);
        EXPECT_EQ(failure.fault->message(), message) << source;
        EXPECT_EQ(failure.line, 2) << source;
    }
}

TEST(Tokenizer, TokenTableCapacity) {
    std::string source;
    for (int i = 0; i < 4095; i++) source += "x ";
    tokenize(source.c_str());
    EXPECT_EQ(token_count, 4096);
    EXPECT_EQ(tokens[4095].type, TOKEN_EOF);

    LexResult failure = lex_error(source + "\ny");
    EXPECT_EQ(failure.fault->message(), "Too many tokens (max 4096)");
    EXPECT_EQ(failure.line, 2);
}
