#include "expr/compile.h"

#include <algorithm>

#include "core/cursor.h"

namespace {

constexpr int NO_NODE = -1;

// Thrown when the tokens hold anything the compiled form leaves to the walker.
struct Unusual {};

// Reads an expression's tokens as the walker's parse_* levels do, from a
// position of its own, building nodes instead of values. The nodes are
// built in scratch tables that keep their room from one expression to the
// next, then copied out at their exact number.
class Compiler {
public:
    explicit Compiler(int start) : at_(start) {
        nodes_.clear();
        links_.clear();
        heights_.clear();
    }

    std::unique_ptr<CompiledExpression> compile() {
        int root = logic_or();
        auto compiled = std::make_unique<CompiledExpression>();
        compiled->nodes.assign(nodes_.begin(), nodes_.end());
        for (std::size_t i = 0; i < links_.size(); i++) {
            Node& node = compiled->nodes[i];
            node.left = links_[i].first == NO_NODE ? nullptr : &compiled->nodes[links_[i].first];
            node.right = links_[i].second == NO_NODE ? nullptr : &compiled->nodes[links_[i].second];
        }
        compiled->root = &compiled->nodes[root];
        compiled->end = at_;
        compiled->end_line = tokens[at_ - 1].line;
        return compiled;
    }

private:
    static constexpr int MAX_DEPTH = 200;
    static constexpr int MAX_HEIGHT = 1000;
    int at_;
    int depth_ = 0;
    static inline std::vector<Node> nodes_;
    static inline std::vector<std::pair<int, int>> links_;
    static inline std::vector<int> heights_;

    TokenType kind() const { return tokens[at_].type; }
    bool match(TokenType type) {
        if (kind() != type) return false;
        at_++;
        return true;
    }
    // The line the walker holds once it has read up to here.
    int last_line() const { return tokens[at_ - 1].line; }

    // Evaluating a node calls its operands', so a tree taller than the
    // compiled form keeps (a long chain such as 1+1+...+1) is left to the
    // walker, which reads chains in a loop.
    int add(double (*evaluate)(const Node&), int left = NO_NODE, int right = NO_NODE) {
        int height = 1 + std::max(height_of(left), height_of(right));
        if (height > MAX_HEIGHT) throw Unusual{};
        nodes_.push_back(Node{evaluate, nullptr, nullptr, 0, nullptr, nullptr, 0, last_line(), 0});
        links_.emplace_back(left, right);
        heights_.push_back(height);
        return static_cast<int>(nodes_.size()) - 1;
    }

    int height_of(int node) const { return node == NO_NODE ? 0 : heights_[node]; }

    // An infix operation, in a shorter form for two names, or for a right
    // operand that is a constant which cannot fail a zero test.
    int binary(Operation operation, int left, int right) {
        const BinaryForms& forms = binary_forms(operation);
        int node = add(forms.general, left, right);
        const Node& divisor = nodes_[right];
        bool left_is_name = nodes_[left].evaluate == nodes::variable;
        bool may_fail = operation == Operation::DIVIDE || operation == Operation::MODULO;
        if (divisor.evaluate == nodes::variable && left_is_name) {
            nodes_[node].evaluate = forms.names;
        } else if (divisor.evaluate == nodes::constant && !(may_fail && divisor.number == 0)) {
            nodes_[node].number = divisor.number;
            nodes_[node].evaluate = left_is_name ? forms.name_with_constant : forms.with_constant;
            if (operation == Operation::MODULO && is_small_whole(divisor.number)) {
                nodes_[node].whole_divisor = static_cast<int>(divisor.number);
                nodes_[node].evaluate = left_is_name ? nodes::name_remainder_by_whole : nodes::remainder_by_whole;
            }
        }
        return node;
    }

    int logic_or() {
        int value = logic_and();
        while (match(TOKEN_OR)) value = binary(Operation::OR, value, logic_and());
        return value;
    }

    int logic_and() {
        int value = comparison();
        while (match(TOKEN_AND)) value = binary(Operation::AND, value, comparison());
        return value;
    }

    static bool comparison_of(TokenType type, Operation& operation) {
        switch (type) {
            case TOKEN_EQ: operation = Operation::EQUAL; return true;
            case TOKEN_NE: operation = Operation::NOT_EQUAL; return true;
            case TOKEN_GT: operation = Operation::GREATER; return true;
            case TOKEN_LT: operation = Operation::LESS; return true;
            case TOKEN_GE: operation = Operation::GREATER_OR_EQUAL; return true;
            case TOKEN_LE: operation = Operation::LESS_OR_EQUAL; return true;
            default: return false;
        }
    }

    int comparison() {
        int value = term();
        Operation operation;
        while (comparison_of(kind(), operation)) {
            at_++;
            value = binary(operation, value, term());
        }
        return value;
    }

    int term() {
        int value = factor();
        for (;;) {
            if (match(TOKEN_PLUS)) {
                value = binary(Operation::ADD, value, factor());
            } else if (match(TOKEN_MINUS)) {
                value = binary(Operation::SUBTRACT, value, factor());
            } else {
                return value;
            }
        }
    }

    // A node's line is the last one read when it is built, which for / and %
    // is the end of the divisor: where the walker tests it for zero.
    int factor() {
        int value = unary();
        for (;;) {
            if (match(TOKEN_MULTIPLY)) {
                value = binary(Operation::MULTIPLY, value, unary());
            } else if (match(TOKEN_DIVIDE)) {
                value = binary(Operation::DIVIDE, value, unary());
            } else if (match(TOKEN_MODULO)) {
                value = binary(Operation::MODULO, value, unary());
            } else {
                return value;
            }
        }
    }

    // Every nesting (a sign, a parenthesis, a call's argument) passes here.
    // Deeper ones than the compiled form keeps are left to the walker, whose
    // frames are smaller.
    int unary() {
        if (++depth_ > MAX_DEPTH) throw Unusual{};
        int node;
        if (match(TOKEN_MINUS)) {
            node = add(nodes::negate, unary());
        } else if (match(TOKEN_NOT)) {
            node = add(nodes::logic_not, unary());
        } else {
            node = primary();
        }
        depth_--;
        return node;
    }

    int primary() {
        int index = at_;
        if (match(TOKEN_NUMBER)) {
            int node = add(nodes::constant);
            nodes_[node].number = token_facts[index].number;
            return node;
        }
        if (match(TOKEN_IDENTIFIER)) {
            if (kind() == TOKEN_LPAREN) return call(tokens[index].text);
            int node = add(nodes::variable);
            nodes_[node].token = index;
            return node;
        }
        if (match(TOKEN_LPAREN)) {
            int value = logic_or();
            if (!match(TOKEN_RPAREN)) throw Unusual{};
            return value;
        }
        throw Unusual{};
    }

    int call(const char* name) {
        const ExpressionFunction* function = find_function(name);
        if (function == nullptr || !match(TOKEN_LPAREN)) throw Unusual{};
        if (function->argument == Argument::STRING_LITERAL) {
            // len and num of a literal: a constant, computed now.
            const char* text = tokens[at_].text;
            if (!match(TOKEN_STRING) || !match(TOKEN_RPAREN)) throw Unusual{};
            int node = add(nodes::constant);
            nodes_[node].number = function->compute(0, text);
            return node;
        }
        int argument = logic_or();
        if (!match(TOKEN_RPAREN)) throw Unusual{};
        int node = add(nodes::call, argument);
        nodes_[node].function = function;
        return node;
    }
};

}  // namespace

CompiledTable<CompiledExpression> compiled_expressions;

double CompiledExpression::run() const {
    double result = value();
    current_token = end;
    current_line = end_line;
    return result;
}

std::unique_ptr<CompiledExpression> compile_expression(int start) {
    try {
        return Compiler(start).compile();
    } catch (const Unusual&) {
        return nullptr;
    }
}
