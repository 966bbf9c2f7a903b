#pragma once

#include <optional>
#include <string>

#include "core/error.h"
#include "core/execution.h"
#include "core/variables.h"
#include "lexer/token.h"

// What compiling for a check (`zentul --check`) notes: every fault, and how
// each name is used.
class Findings {
public:
    // A name read as a number (alone as a value: copied; an operand of a
    // comparison: compared), printed, assigned to, or given to a procedure;
    // declared, or set to a text or to another value.
    enum class Use { READ, COPIED, COMPARED, PRINTED, TARGET, STRING_ARGUMENT, ARRAY_ARGUMENT, DECLARED, TEXT_SET,
                     SET };
    virtual ~Findings() = default;
    virtual void fault(const Fault& fault) = 0;
    virtual void name(const char* name, int line, Use use) = 0;
    // Where checking goes on after the statement at `start`, which always
    // fails; -1 where the enclosing statements end.
    virtual int resume_after(int start) = 0;
};

// Reads the token table while a text is compiled, step by step as running it
// reads it: the index of the next token, and the line that a failure there
// reports, 0 while the statement has read none of its tokens (the line the
// statement before left then counts).
class Reader {
public:
    Reader(const char* texts, int at, Findings* findings = nullptr) : at(at), texts_(texts), findings_(findings), start_(at) {}

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
        return plain(expectation + " (got '" + tokens[at].text + "')");
    }
    // "Expected '<punctuation>' after <what> (got '<text>')".
    Fault expected_after(TokenType type, const std::string& what) const {
        return expected(std::string("Expected '") + punctuation_of(type) + "' after " + what);
    }
    Fault plain(std::string message) const {
        if (findings_ != nullptr) [[unlikely]] tell(Fault{message, line > 0 ? line : entry_line()});
        return Fault{std::move(message), line};
    }
    // The name at `index`, read at the current line, noted for a check.
    NameRef name(int index, Findings::Use use) const {
        note(text(index), line, use);
        return NameRef{text(index), line};
    }
    // The same reader, noting nothing: for a fault that a run meets only by a
    // rare path.
    Reader unnoted() const {
        Reader copy = *this;
        copy.findings_ = nullptr;
        return copy;
    }
    void note(const char* name, int name_line, Findings::Use use) const {
        if (findings_ != nullptr) [[unlikely]] tell(name, name_line, use);
    }

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
    Findings* findings_;
    int start_;  // the statement's first token

    // The line before the statement's first token.
    int entry_line() const { return tokens[start_ > 0 ? start_ - 1 : token_count - 1].line; }
    // Out of line: a run never checks, and its compiling stays small.
    [[gnu::cold, gnu::noinline]] void tell(const Fault& fault) const { findings_->fault(fault); }
    [[gnu::cold, gnu::noinline]] void tell(const char* name, int name_line, Findings::Use use) const {
        findings_->name(name, name_line, use);
    }
};
