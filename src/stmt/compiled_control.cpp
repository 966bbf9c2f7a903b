#include <utility>
#include <vector>

#include "core/steps.h"
#include "expr/evaluate.h"
#include "stmt/blocks.h"
#include "stmt/compiled_parts.h"
#include "stmt/statements.h"

namespace compiling {

namespace {

// The statements of a block, up to its '}' (an if's block) or up to an index
// (a loop's body). The first run reads them from the cursor as the walker
// does. When every one was compiled and each began where the one before
// ended, later runs call them in turn, checking only that each ends where it
// did before; at any other place the cursor takes over again.
class Block {
public:
    enum class Until { CLOSING_BRACE, END_INDEX };

    Block(int end, Until until) : end_(end), until_(until) {}

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
            const CompiledStatement* statement = compiled_statements.get(at);
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
          then_(block_end_, Block::Until::CLOSING_BRACE) {}

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
        run_else_part(condition);
    }

protected:
    ConditionHeader header_;
    int block_end_;
    int after_block_;
    bool closed_;
    Block then_;
};

// Made from the plain form once that is compiled and has found the else.
class IfElse : public If {
public:
    explicit IfElse(If&& plain)
        : If(std::move(plain)),
          else_start_(after_block_ + 2),
          else_brace_line_(line_at(after_block_ + 1)),
          after_else_(after_block(else_start_)),
          else_(block_end(else_start_), Block::Until::CLOSING_BRACE) {}

    void run() const override {
        if (header_.test()) {
            header_.enter_body();
            then_.run();
            if (current_token != block_end_) {  // the block's statements went past its '}'
                match(TOKEN_RBRACE);
                return run_else_part(true);
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
          body_(body_end_, Block::Until::END_INDEX) {}

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
        body_ = std::make_unique<Block>(body_end_, Block::Until::END_INDEX);
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

}  // namespace

std::unique_ptr<CompiledStatement> compile_if(int start) {
    auto plain = std::make_unique<If>(start);
    if (plain->has_else()) return std::make_unique<IfElse>(std::move(*plain));
    return plain;
}

std::unique_ptr<CompiledStatement> compile_while(int start) { return std::make_unique<While>(start); }

std::unique_ptr<CompiledStatement> compile_for(int start) { return std::make_unique<For>(start); }

}  // namespace compiling
