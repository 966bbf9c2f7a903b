#pragma once

#include <optional>
#include <string>

#include "core/error.h"
#include "core/execution.h"
#include "lexer/token.h"

// Reads the token table while a text is compiled, step by step as running it
// reads it: the index of the next token, and the line that a failure there
// reports, 0 while the statement has read none of its tokens (the line the
// statement before left then counts).
class Reader {
public:
    Reader(const char* texts, int at) : at(at), texts_(texts) {}

    int at;
    int line = 0;

    TokenType kind(int ahead = 0) const { return tokens[at + ahead].type; }
    bool check(TokenType type) const { return kind() == type; }
    // A token's text, in the compiled program's own copy of the texts.
    const char* text(int index) const { return texts_ + (tokens[index].text - token_texts); }
    const char* text() const { return text(at); }

    // Over a token that has been tested: its line becomes the line.
    void step() {
        line = tokens[at].line;
        at++;
    }
    // Over a statement's first token, leaving the line as it was.
    void skip() { at++; }
    bool match(TokenType type) {
        if (!check(type)) return false;
        step();
        return true;
    }

    // "<expectation> (got '<text of the token here>')".
    Fault expected(const std::string& expectation) const {
        return Fault{expectation + " (got '" + tokens[at].text + "')", line};
    }
    // "Expected '<punctuation>' after <what> (got '<text>')".
    Fault expected_after(TokenType type, const std::string& what) const {
        return expected(std::string("Expected '") + punctuation_of(type) + "' after " + what);
    }
    Fault plain(std::string message) const { return Fault{std::move(message), line}; }

    // The ';' that ends a statement: where the statement lands after it, or
    // the failure when it is missing ("Expected ';' after <statement>").
    struct Ending {
        Landing landing;
        std::optional<Fault> missing;
    };
    Ending end_statement(const char* statement) {
        if (!check(TOKEN_SEMICOLON)) return Ending{Landing{at, line}, expected_after(TOKEN_SEMICOLON, statement)};
        step();
        return Ending{Landing{at, line}, std::nullopt};
    }

private:
    const char* texts_;
};
