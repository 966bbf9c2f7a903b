#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "expr/evaluate.h"
#include "stmt/compiled_parts.h"
#include "stmt/statements.h"

namespace compiling {

namespace {

// name = value;  (in a for loop's update clause, without the ';'). The
// number and the string forms are apart, so that each runs straight through.
class Assignment : public CompiledStatement {
public:
    explicit Assignment(int start)
        : target_(start, line_at(start + 1)), value_(start + 2), update_clause_(in_for_loop_update != 0),
          ending_(update_clause_ ? value_.last : value_.last + 1) {
        if (!update_clause_) require(value_.last + 1, TOKEN_SEMICOLON);
    }

protected:
    NamedVariable target_;
    Value value_;
    bool update_clause_;
    Ending ending_;

    // Where the statement was compiled for the other place (a for loop's
    // update clause or not), the walker runs it.
    bool in_its_place() const { return (in_for_loop_update != 0) == update_clause_; }
};

class NumberAssignment : public Assignment {
public:
    explicit NumberAssignment(int start) : Assignment(start), value_node_(value_.expression->root) {}

    void run() const override {
        if (!in_its_place()) return walk_statement();
        Variable* target = target_.require_defined("Undefined variable: %s");
        target->number = value_node_->evaluate(*value_node_);
        target->is_string = 0;
        ending_.reach();
    }

    bool adds_constant_to_name() const {
        return value_node_->evaluate == binary_forms(Operation::ADD).name_with_constant;
    }

private:
    const Node* value_node_;
};

// name = name + constant, the commonest value: the sum is made here, without
// calling the node. Made from the general form once that is compiled.
class AddAssignment : public Assignment {
public:
    explicit AddAssignment(NumberAssignment&& general)
        : Assignment(std::move(general)), value_node_(value_.expression->root) {}

    void run() const override {
        if (!in_its_place()) return walk_statement();
        Variable* target = target_.require_defined("Undefined variable: %s");
        const Node& name = *value_node_->left;
        Variable* source = name.variable;
        double value = source != nullptr ? source->number : name.evaluate(name);
        target->number = value + value_node_->number;
        target->is_string = 0;
        ending_.reach();
    }

private:
    const Node* value_node_;
};

class TextAssignment : public Assignment {
public:
    using Assignment::Assignment;

    void run() const override {
        if (!in_its_place()) return walk_statement();
        Variable* target = target_.require_defined("Undefined variable: %s");
        copy_text(target->string, STRING_SIZE, value_.text);
        target->is_string = 1;
        ending_.reach();
    }
};

}  // namespace

std::unique_ptr<CompiledStatement> compile_assignment(int start) {
    if (kind_at(start + 2) == TOKEN_STRING) return std::make_unique<TextAssignment>(start);
    auto plain = std::make_unique<NumberAssignment>(start);
    if (plain->adds_constant_to_name()) return std::make_unique<AddAssignment>(std::move(*plain));
    return plain;
}

namespace {

// var name = value;
class Declaration : public CompiledStatement {
public:
    explicit Declaration(int start)
        : name_(start + 1, 0), assign_line_(line_at(start + 2)), value_(start + 3), ending_(value_.last + 1) {
        require(start + 1, TOKEN_IDENTIFIER);
        require(start + 2, TOKEN_ASSIGN);
        require(value_.last + 1, TOKEN_SEMICOLON);
    }

    void run() const override {
        if (name_.find() == nullptr && var_count == VARIABLE_LIMIT) {
            current_line = assign_line_;
            error("Too many variables (max %d)", VARIABLE_LIMIT);
        }
        double number = value_.text == nullptr ? value_.expression->value() : 0;
        current_line = line_at(value_.last);
        // Made only now, so that variables made by the value come first.
        Variable* variable = name_.find();
        if (variable == nullptr) variable = find_or_create_variable(name_.name());
        set_declared_value(variable, value_.text, number);
        ending_.reach();
    }

private:
    NamedVariable name_;
    int assign_line_;
    Value value_;
    Ending ending_;
};

bool is_arithmetic(TokenType type) {
    return type == TOKEN_PLUS || type == TOKEN_MINUS || type == TOKEN_MULTIPLY || type == TOKEN_DIVIDE ||
           type == TOKEN_MODULO;
}

// One argument of print.
struct PrintArgument {
    enum Kind { TEXT, NEL, VARIABLE, EXPRESSION } kind;
    const char* text = nullptr;                      // TEXT
    std::unique_ptr<NamedVariable> variable;         // VARIABLE
    std::unique_ptr<CompiledExpression> expression;  // EXPRESSION
    int last;                                        // index of its last token

    explicit PrintArgument(int start) : kind(TEXT), last(start) {
        switch (kind_at(start)) {
            case TOKEN_STRING:
                text = tokens[start].text;
                if (std::strcmp(text, "nel") == 0) kind = NEL;
                return;
            case TOKEN_NUMBER:
                text = tokens[start].text;  // written as in the source
                return;
            case TOKEN_IDENTIFIER:
                if (is_arithmetic(kind_at(start + 1))) {
                    kind = EXPRESSION;
                    expression = expression_at(start);
                    last = expression->end - 1;
                } else {
                    kind = VARIABLE;
                    variable = std::make_unique<NamedVariable>(start, line_at(start));
                }
                return;
            default:
                throw Unusual{};
        }
    }

    // Writes the argument; false for "nel", which writes nothing.
    bool write(bool separated) const {
        switch (kind) {
            case NEL:
                return false;
            case TEXT:
                if (separated) std::putchar(' ');
                std::fputs(text, stdout);
                return true;
            case EXPRESSION: {
                double value = expression->value();
                if (separated) std::putchar(' ');
                std::printf("%g", value);
                return true;
            }
            case VARIABLE: {
                const Variable* found = variable->require_defined("Undefined variable: %s");
                if (separated) std::putchar(' ');
                if (found->is_string) {
                    std::fputs(found->string, stdout);
                } else {
                    std::printf("%g", found->number);
                }
                return true;
            }
        }
        return true;
    }
};

// print(arguments);
class Print : public CompiledStatement {
public:
    explicit Print(int start) {
        require(start + 1, TOKEN_LPAREN);
        int at = start + 2;
        if (kind_at(at) != TOKEN_RPAREN) {
            for (;;) {
                arguments_.emplace_back(at);
                at = arguments_.back().last + 1;
                if (kind_at(at) == TOKEN_RPAREN) break;
                require(at, TOKEN_COMMA);
                at++;
            }
        }
        require(at + 1, TOKEN_SEMICOLON);
        ending_ = Ending(at + 1);
    }

    void run() const override {
        bool newline = print_newline != 0;
        bool separated = false;
        for (const PrintArgument& argument : arguments_) {
            if (!argument.write(separated)) newline = false;
            separated = true;
        }
        if (newline) std::putchar('\n');
        std::fflush(stdout);
        ending_.reach();
    }

private:
    std::vector<PrintArgument> arguments_;
    Ending ending_{0};
};

}  // namespace

std::unique_ptr<CompiledStatement> compile_declaration(int start) { return std::make_unique<Declaration>(start); }

std::unique_ptr<CompiledStatement> compile_print(int start) { return std::make_unique<Print>(start); }

}  // namespace compiling
