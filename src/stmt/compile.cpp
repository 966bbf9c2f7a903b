#include "stmt/compile.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "core/cursor.h"
#include "core/error.h"
#include "core/steps.h"
#include "core/variables.h"
#include "expr/compile.h"
#include "expr/evaluate.h"
#include "stmt/blocks.h"
#include "stmt/statements.h"

std::unique_ptr<CompiledStatement> compiled_statements[MAX_TOKENS];
unsigned char statement_tried[MAX_TOKENS];

void forget_compiled_statements() {
    for (int i = 0; i < token_count; i++) {
        compiled_statements[i].reset();
        statement_tried[i] = 0;
    }
}

namespace {

// Thrown when the tokens hold anything the compiled form leaves to the walker.
struct Unusual {};

TokenType kind_at(int index) { return tokens[index].type; }
int line_at(int index) { return tokens[index].line; }

void require(int index, TokenType type) {
    if (kind_at(index) != type) throw Unusual{};
}

std::unique_ptr<CompiledExpression> expression_at(int start) {
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

// name = name + constant: the sum is made here, without calling the node.
class AddAssignment : public Assignment {
public:
    explicit AddAssignment(int start) : Assignment(start), value_node_(value_.expression->root) {}

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

std::unique_ptr<CompiledStatement> compile_assignment(int start) {
    if (kind_at(start + 2) == TOKEN_STRING) return std::make_unique<TextAssignment>(start);
    auto plain = std::make_unique<NumberAssignment>(start);
    if (plain->adds_constant_to_name()) return std::make_unique<AddAssignment>(start);
    return plain;
}

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
        if (value_.text != nullptr) {
            copy_text(variable->string, STRING_SIZE, value_.text);
            variable->is_string = 1;
            variable->number = 0;
        } else {
            variable->number = number;
            variable->is_string = 0;
            variable->string[0] = '\0';
        }
        variable->is_array = 0;
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

// The statements of a block, up to its '}' (an if's block) or up to an index
// (a loop's body). The first run reads them from the cursor as the walker
// does. When every one was compiled and each began where the one before
// ended, later runs call them in turn, checking only that each ends where it
// did before; at any other place the cursor takes over again.
class Block {
public:
    enum class Until { CLOSING_BRACE, END_INDEX };

    Block(int start, int end, Until until) : start_(start), end_(end), until_(until) {}

    // Runs the block from its first statement; the cursor is on it.
    void run() const {
        if (!learned_) return learn();
        for (const Step& step : steps_) {
            count_step();
            step.statement->run();
            if (current_token != step.next) return run_from_cursor();
        }
    }

private:
    struct Step {
        const CompiledStatement* statement;
        int next;  // where the statement ended
    };

    int start_;
    int end_;
    Until until_;
    mutable bool learned_ = false;
    mutable std::vector<Step> steps_;

    bool goes_on() const {
        if (check(TOKEN_EOF)) return false;
        return until_ == Until::CLOSING_BRACE ? !check(TOKEN_RBRACE) : current_token < end_;
    }

    void run_from_cursor() const {
        while (goes_on()) execute_statement();
    }

    void learn() const {
        std::vector<Step> steps;
        bool straight = true;
        while (goes_on()) {
            int at = current_token;
            execute_statement();
            const CompiledStatement* statement = compiled_statements[at].get();
            straight = straight && statement != nullptr;
            if (straight) steps.push_back(Step{statement, current_token});
        }
        if (!straight || current_token != end_) return;
        steps_ = std::move(steps);
        learned_ = true;
    }
};

// ( condition ) {  -- the header of if and while, with the cursor and line
// where the walker stands once it has stepped over the '{'.
struct ConditionHeader {
    std::unique_ptr<CompiledExpression> condition;
    const Node* root;
    int body_start;
    int brace_line;

    explicit ConditionHeader(int open) {
        require(open, TOKEN_LPAREN);
        condition = expression_at(open + 1);
        root = condition->root;
        require(condition->end, TOKEN_RPAREN);
        require(condition->end + 1, TOKEN_LBRACE);
        body_start = condition->end + 2;
        brace_line = line_at(condition->end + 1);
    }

    bool test() const { return is_true(root->evaluate(*root)); }
    void enter_body() const {
        current_token = body_start;
        current_line = brace_line;
    }
};

// if (condition) { ... } else { ... }  -- what follows the block is looked at
// where the block's statements end, as the walker does. Where that is the
// block's own '}', an else part is known in advance (the IfElse below).
class If : public CompiledStatement {
public:
    explicit If(int start)
        : header_(start + 1),
          block_end_(block_end(header_.body_start)),
          after_block_(after_block(header_.body_start)),
          closed_(kind_at(block_end_) == TOKEN_RBRACE),
          then_(header_.body_start, block_end_, Block::Until::CLOSING_BRACE) {}

    bool has_else() const {
        return closed_ && kind_at(after_block_) == TOKEN_ELSE && kind_at(after_block_ + 1) == TOKEN_LBRACE;
    }

    void run() const override {
        bool condition = header_.test();
        header_.enter_body();
        if (condition) {
            then_.run();
            match(TOKEN_RBRACE);
        } else {
            current_token = after_block_;
        }
        else_as_walker(condition);
    }

protected:
    ConditionHeader header_;
    int block_end_;
    int after_block_;
    bool closed_;
    Block then_;

    // What follows the block, as the walker reads it from the cursor.
    static void else_as_walker(bool condition) {
        if (!match(TOKEN_ELSE)) return;
        consume_after(TOKEN_LBRACE, "'else'");
        if (condition) {
            skip_block();
        } else {
            execute_block();
        }
    }
};

class IfElse : public If {
public:
    explicit IfElse(int start)
        : If(start),
          else_start_(after_block_ + 2),
          else_brace_line_(line_at(after_block_ + 1)),
          after_else_(after_block(else_start_)),
          else_(else_start_, block_end(else_start_), Block::Until::CLOSING_BRACE) {}

    void run() const override {
        if (header_.test()) {
            header_.enter_body();
            then_.run();
            if (current_token != block_end_) {  // the block's statements went past its '}'
                match(TOKEN_RBRACE);
                return else_as_walker(true);
            }
            current_token = after_else_;
            current_line = else_brace_line_;
        } else {
            current_token = else_start_;
            current_line = else_brace_line_;
            else_.run();
            match(TOKEN_RBRACE);
        }
    }

private:
    int else_start_;
    int else_brace_line_;
    int after_else_;
    Block else_;
};

// while (condition) { ... }  -- the condition is evaluated once before the
// loop, as the walker does to find where it ends.
class While : public CompiledStatement {
public:
    explicit While(int start)
        : header_(start + 1),
          body_end_(block_end(header_.body_start)),
          after_body_(after_block(header_.body_start)),
          body_(header_.body_start, body_end_, Block::Until::END_INDEX) {}

    void run() const override {
        header_.condition->value();
        for (;;) {
            count_step();
            bool condition = header_.test();
            header_.enter_body();
            if (!condition) break;
            body_.run();
        }
        current_token = after_body_;
    }

private:
    ConditionHeader header_;
    int body_end_;
    int after_body_;
    Block body_;
};

// The assignment of a for loop's update clause, compiled as it runs there;
// null when it holds anything unusual.
std::unique_ptr<CompiledStatement> compile_update(int start) {
    int saved = in_for_loop_update;
    in_for_loop_update = 1;
    std::unique_ptr<CompiledStatement> update;
    try {
        update = compile_assignment(start);
    } catch (const Unusual&) {
    }
    in_for_loop_update = saved;
    return update;
}

// for (init; condition; update) { ... }
class For : public CompiledStatement {
public:
    explicit For(int start) {
        require(start + 1, TOKEN_LPAREN);
        init_start_ = start + 2;
        init_end_ = for_init_end(init_start_);
        require(init_end_, TOKEN_SEMICOLON);
        condition_start_ = init_end_ + 1;
        int condition_end = scan_to(condition_start_, TOKEN_SEMICOLON);
        require(condition_end, TOKEN_SEMICOLON);
        update_start_ = condition_end + 1;
        update_end_ = scan_to(update_start_, TOKEN_RPAREN);
        require(update_end_, TOKEN_RPAREN);
        require(update_end_ + 1, TOKEN_LBRACE);
        brace_line_ = line_at(update_end_ + 1);
        body_start_ = update_end_ + 2;
        body_end_ = block_end(body_start_);
        after_body_ = after_block(body_start_);
        body_ = std::make_unique<Block>(body_start_, body_end_, Block::Until::END_INDEX);
        if (condition_start_ != condition_end) condition_ = expression_at(condition_start_);
        if (update_end_ > update_start_ && kind_at(update_start_) == TOKEN_IDENTIFIER &&
            kind_at(update_start_ + 1) == TOKEN_ASSIGN) {
            update_ = compile_update(update_start_);
        }
    }

    void run() const override {
        current_token = body_start_;
        current_line = brace_line_;
        if (init_end_ > init_start_) {
            current_token = init_start_;
            while (current_token < init_end_) execute_statement();
        }
        if (condition_ == nullptr) {  // an empty condition: the body never runs
            current_token = after_body_;
            return;
        }
        for (;;) {
            count_step();
            if (!is_true(condition_->run())) break;
            current_token = body_start_;
            body_->run();
            if (update_end_ > update_start_) run_update();
        }
        current_token = after_body_;
    }

private:
    int init_start_, init_end_;
    int condition_start_;
    int update_start_, update_end_;
    int brace_line_;
    int body_start_, body_end_, after_body_;
    std::unique_ptr<CompiledExpression> condition_;
    std::unique_ptr<CompiledStatement> update_;
    std::unique_ptr<Block> body_;

    // The update clause is normally one assignment that ends at the ')'.
    void run_update() const {
        in_for_loop_update = 1;
        current_token = update_start_;
        if (update_ != nullptr) {
            count_step();
            update_->run();
        }
        while (current_token < update_end_) execute_statement();
        in_for_loop_update = 0;
    }
};

std::unique_ptr<CompiledStatement> compile_at(int start) {
    switch (kind_at(start)) {
        case TOKEN_IDENTIFIER:
            if (kind_at(start + 1) != TOKEN_ASSIGN) return nullptr;
            return compile_assignment(start);
        case TOKEN_VAR:
            return std::make_unique<Declaration>(start);
        case TOKEN_PRINT:
            return std::make_unique<Print>(start);
        case TOKEN_IF: {
            auto plain = std::make_unique<If>(start);
            if (plain->has_else()) return std::make_unique<IfElse>(start);
            return plain;
        }
        case TOKEN_WHILE:
            return std::make_unique<While>(start);
        case TOKEN_FOR:
            return std::make_unique<For>(start);
        default:
            return nullptr;
    }
}

}  // namespace

std::unique_ptr<CompiledStatement> compile_statement(int start) {
    try {
        return compile_at(start);
    } catch (const Unusual&) {
        return nullptr;
    }
}
