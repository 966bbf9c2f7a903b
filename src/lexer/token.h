#pragma once

// The kinds of token, by their numbers; no kind is numbered 41 to 62.
enum TokenType : int {
    TOKEN_EOF = 0,
    TOKEN_IDENTIFIER = 1,
    TOKEN_STRING = 2,
    TOKEN_NUMBER = 3,
    TOKEN_PRINT = 4,
    TOKEN_VAR = 5,
    TOKEN_IF = 6,
    TOKEN_WHILE = 7,
    TOKEN_FOR = 8,
    TOKEN_FUNCTION = 9,
    TOKEN_RETURN = 10,
    TOKEN_ELSE = 11,
    TOKEN_LPAREN = 12,
    TOKEN_RPAREN = 13,
    TOKEN_LBRACE = 14,
    TOKEN_RBRACE = 15,
    TOKEN_COMMA = 16,
    TOKEN_SEMICOLON = 17,
    TOKEN_ASSIGN = 18,
    TOKEN_PLUS = 19,
    TOKEN_MINUS = 20,
    TOKEN_MULTIPLY = 21,
    TOKEN_DIVIDE = 22,
    TOKEN_EQ = 23,
    TOKEN_NE = 24,
    TOKEN_GT = 25,
    TOKEN_LT = 26,
    TOKEN_AND = 27,
    TOKEN_OR = 28,
    TOKEN_NOT = 29,
    TOKEN_GE = 30,
    TOKEN_LE = 31,
    TOKEN_MODULO = 32,
    TOKEN_SLEEP = 33,
    TOKEN_CLEAR = 34,
    TOKEN_GETCH = 35,
    TOKEN_RAND = 36,
    TOKEN_RAND_RANGE = 37,
    TOKEN_SLEEPMS = 38,
    TOKEN_LBRACKET = 39,
    TOKEN_RBRACKET = 40,
    TOKEN_UPPER = 63,
    TOKEN_LOWER = 64,
    TOKEN_TRIM = 65,
    TOKEN_SUBSTRING = 66,
    TOKEN_CHAR_AT = 67,
    TOKEN_REPLACE = 68,
    TOKEN_SPLIT = 69,
    TOKEN_PUSH = 70,
    TOKEN_POP = 71,
    TOKEN_CONTAINS = 72,
    TOKEN_LENGTH = 73,
    TOKEN_READ_FILE = 74,
    TOKEN_WRITE_FILE = 75,
    TOKEN_APPEND_FILE = 76,
    TOKEN_TIME = 77,
    TOKEN_TIMESTAMP = 78,
    TOKEN_TYPE_OF = 79,
    TOKEN_ADN = 80,
    TOKEN_INSTALL = 81,
    TOKEN_UPDATE = 82,
    TOKEN_REMOVE = 83,
    TOKEN_ADM = 84,
    TOKEN_MIRROR = 85,
};

constexpr int MAX_TOKENS = 4096;
constexpr int TOKEN_TEXT_SIZE = 1024;   // 1023 characters and the NUL
constexpr int WORD_LIMIT = 63;          // longest word or number literal

// Room for the texts of a full table, each at its longest.
constexpr int TOKEN_TEXTS_SIZE = MAX_TOKENS * TOKEN_TEXT_SIZE;

struct Token {
    TokenType type;
    int line;
    const char* text;  // NUL-terminated, in `token_texts`
};

// Facts about a token worked out once, when the text is tokenized, so that
// loops re-reading their tokens never redo them.
struct TokenFacts {
    double number;  // value of a number literal
    int match;      // for '{': index of its matching '}', or of the end token
};

struct KeywordEntry {
    const char* name;
    TokenType type;
};

extern const KeywordEntry keywords[];

// The character of a one-character punctuation token, such as ';' for
// TOKEN_SEMICOLON; '?' for any other kind.
char punctuation_of(TokenType type);

extern Token tokens[MAX_TOKENS];
extern TokenFacts token_facts[MAX_TOKENS];
extern int token_count;

// The texts of the tokens, one after another; `token_texts_used` bytes hold
// the current table's. Only what a script fills is ever touched.
extern char token_texts[TOKEN_TEXTS_SIZE];
extern int token_texts_used;
