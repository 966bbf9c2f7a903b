#pragma once

// The pieces that compiled statements are built from, shared by the files
// that compile them.

#include <memory>

#include "core/cursor.h"
#include "core/error.h"
#include "core/variables.h"
#include "expr/compile.h"
#include "stmt/compile.h"

namespace compiling {

// Thrown when the tokens hold anything the compiled form leaves to the walker.
struct Unusual {};

inline TokenType kind_at(int index) { return tokens[index].type; }
inline int line_at(int index) { return tokens[index].line; }

inline void require(int index, TokenType type) {
    if (kind_at(index) != type) throw Unusual{};
}

inline std::unique_ptr<CompiledExpression> expression_at(int start) {
    std::unique_ptr<CompiledExpression> expression = compile_expression(start);
    if (expression == nullptr) throw Unusual{};
    return expression;
}

// Where the walker leaves the cursor and the line once the statement's last
// token, at `last`, has been stepped over.
struct Ending {
    int end;
    int line;

    explicit Ending(int last) : end(last + 1), line(line_at(last)) {}
    void reach() const {
        current_token = end;
        current_line = line;
    }
};

// A variable a statement names; found once, since slots never move.
class NamedVariable {
public:
    NamedVariable(int token, int line) : token_(token), line_(line) {}

    // The variable, or null when there is none yet.
    Variable* find() const {
        if (variable_ == nullptr) variable_ = find_variable_at(token_);
        return variable_;
    }
    Variable* require_defined(const char* message) const {
        Variable* variable = find();
        if (variable == nullptr) {
            current_line = line_;
            error(message, tokens[token_].text);
        }
        return variable;
    }
    const char* name() const { return tokens[token_].text; }

private:
    int token_;
    int line_;  // the walker's line when it looks the name up
    mutable Variable* variable_ = nullptr;
};

// The value of an assignment or a declaration: a string literal or a number.
struct Value {
    const char* text = nullptr;  // a string literal's text, else null
    std::unique_ptr<CompiledExpression> expression;
    int last = 0;  // index of its last token

    explicit Value(int start) {
        if (kind_at(start) == TOKEN_STRING) {
            text = tokens[start].text;
            last = start;
        } else {
            expression = expression_at(start);
            last = expression->end - 1;
        }
    }
};

// The compiled statements of each kind; each throws Unusual when its tokens
// hold anything the compiled form leaves to the walker.
std::unique_ptr<CompiledStatement> compile_assignment(int start);
std::unique_ptr<CompiledStatement> compile_declaration(int start);
std::unique_ptr<CompiledStatement> compile_print(int start);
std::unique_ptr<CompiledStatement> compile_if(int start);
std::unique_ptr<CompiledStatement> compile_while(int start);
std::unique_ptr<CompiledStatement> compile_for(int start);

}  // namespace compiling
