#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/execution.h"
#include "core/variables.h"
#include "lexer/token.h"

// What compiling for a check (`zentul --check`) is told, in the order a run
// meets it: each statement, fault a run reaching it meets, use of a name and
// turn of control flow; and asked: where checking goes on after a statement
// that always fails.
class Findings {
public:
    // A name read (as a number: alone as a value it is copied too, beside a
    // comparison compared too), printed, assigned to or given to a procedure;
    // to be set if the statement completes (told as soon as it is known);
    // declared, assigned, set as a result (both keep an array one) or made an
    // array; rand's new result, named after the count of variables.
    enum class Use { READ, COPIED, COMPARED, PRINTED, TARGET, STRING_ARGUMENT, ARRAY_ARGUMENT, WILL_SET,
                     DECLARED_TEXT, DECLARED_NUMBER, ASSIGNED_TEXT, ASSIGNED_NUMBER, SET_TEXT, SET_NUMBER, SET_ARRAY,
                     SET_RANDOM };
    // A statement's first token and end; an if's block, its else block (or
    // none) and their join; a loop's condition (before every pass), body and
    // end; package code run; a for body that never runs; an unclosed '{'.
    enum class Step { STATEMENT, END, BRANCH, OTHERWISE, JOIN, LOOP, BODY, LOOP_END, PACKAGE_CODE, NEVER_RUNS,
                      UNCLOSED };
    virtual ~Findings() = default;
    virtual void fault(const Fault& fault) = 0;
    virtual void name(const char* name, int line, Use use) = 0;
    virtual void step(Step step, int index) = 0;
    virtual int resume_after(int start, const Sequence& sequence) = 0;
};

// Reads the token table while a text is compiled, step by step as running it
// reads it: the index of the next token, and the line that a failure there
// reports, 0 while the statement has read none of its tokens (the line the
// statement before left then counts). Where the statement may land is noted
// in `landings`, for the compiler, and the failures of missing ends are kept
// in `kept`, where they stay.
class Reader {
public:
    Reader(const char* texts, int at, Findings* findings, std::vector<int>* landings, std::deque<Fault>* kept)
        : at(at), texts_(texts), findings_(findings), landings_(landings), kept_(kept), start_(at) {}

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

    // A place where the statement may land, and the compiler compiles next.
    Landing land(int next, int landing_line) const {
        landings_->push_back(next);
        return Landing(next, landing_line);
    }
    Landing land() const { return land(at, line); }

    // The fault of that code and arguments, met here.
    template <typename... Arguments>
    Fault fault(FaultCode code, const Arguments&... arguments) const {
        Fault found = fault_of(code, arguments...);
        found.line = line;
        found.own_line = tokens[start_].line;
        found.token = at;
        if (findings_ != nullptr) [[unlikely]] findings_->fault(found);
        return found;
    }
    // The same for a code whose last argument is the text of the token here
    // ("... (got '<text>')").
    template <typename... Arguments>
    Fault expected(FaultCode code, const Arguments&... arguments) const {
        return fault(code, arguments..., text());
    }
    // "Expected '<punctuation>' after <what> (got '<text>')".
    Fault expected_after(TokenType type, const char* what) const {
        return expected(FaultCode::EXPECTED_AFTER, punctuation_of(type), what);
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
        if (findings_ != nullptr) [[unlikely]] findings_->name(name, name_line, use);
    }
    void flow(Findings::Step step, int index) const {
        if (findings_ != nullptr) [[unlikely]] findings_->step(step, index);
    }

    // The ';' that ends a statement: where the statement lands after it, or
    // the failure when it is missing ("Expected ';' after <statement>").
    struct Ending {
        Landing landing;
        const Fault* missing = nullptr;

        Landing reached() const {
            if (missing != nullptr) raise(*missing);
            return landing;
        }
    };
    Ending end_statement(const char* statement) {
        if (!check(TOKEN_SEMICOLON)) {
            return Ending{Landing(), &kept_->emplace_back(expected_after(TOKEN_SEMICOLON, statement))};
        }
        step();
        return Ending{land(), nullptr};
    }

private:
    const char* texts_;
    Findings* findings_;
    std::vector<int>* landings_;
    std::deque<Fault>* kept_;
    int start_;  // the statement's first token
};
