#include "expr/compile.h"

#include <cmath>

namespace {

// The infix operators, loosest first; every level is left-associative.
struct InfixOperator {
    TokenType token;
    int level;
    Operation operation;
};

const InfixOperator infix_operators[] = {
    {TOKEN_OR, 1, Operation::OR},
    {TOKEN_AND, 2, Operation::AND},
    {TOKEN_EQ, 3, Operation::EQUAL},
    {TOKEN_NE, 3, Operation::NOT_EQUAL},
    {TOKEN_GT, 3, Operation::GREATER},
    {TOKEN_LT, 3, Operation::LESS},
    {TOKEN_GE, 3, Operation::GREATER_OR_EQUAL},
    {TOKEN_LE, 3, Operation::LESS_OR_EQUAL},
    {TOKEN_PLUS, 4, Operation::ADD},
    {TOKEN_MINUS, 4, Operation::SUBTRACT},
    {TOKEN_MULTIPLY, 5, Operation::MULTIPLY},
    {TOKEN_DIVIDE, 5, Operation::DIVIDE},
    {TOKEN_MODULO, 5, Operation::MODULO},
    {TOKEN_EOF, 0, Operation::ADD},
};

const InfixOperator* infix_operator(TokenType token) {
    for (const InfixOperator* op = infix_operators; op->level != 0; op++) {
        if (op->token == token) return op;
    }
    return nullptr;
}

class ExpressionCompiler {
public:
    ExpressionCompiler(Reader& reader, NodePool& pool) : reader_(reader), pool_(pool) {}

    Expression compile() {
        const Node* root = operation(1);
        return Expression{root, faulted_};
    }

private:
    Reader& reader_;
    NodePool& pool_;
    bool faulted_ = false;

    Node* add(double (*evaluate)(const Node&), const Node* left = nullptr, const Node* right = nullptr) {
        Node* node = pool_.add(evaluate, reader_.line);
        node->left = left;
        node->right = right;
        return node;
    }

    // A fault where the reader stands, after the operand, if any, is evaluated.
    const Node* fault(const Fault& found, const Node* operand = nullptr) {
        faulted_ = true;
        Node* node = add(nodes::fail, operand);
        node->fault = pool_.keep(found);
        return node;
    }

    // The operators of `level` and tighter, by precedence climbing.
    const Node* operation(int level) {
        const Node* left = unary();
        while (!faulted_) {
            const InfixOperator* op = infix_operator(reader_.kind());
            if (op == nullptr || op->level < level) break;
            reader_.step();
            left = binary(op->operation, left, operation(op->level + 1));
        }
        return left;
    }

    // An infix operation, in a shorter form for two names, or for a right
    // operand that is a constant which cannot fail a zero test. Built once the
    // right operand is read, so that / and % fail at the divisor's end.
    const Node* binary(Operation operation, const Node* left, const Node* right) {
        if (operation >= Operation::EQUAL && operation <= Operation::LESS_OR_EQUAL) note_compared(left, right);
        const BinaryForms& forms = binary_forms(operation);
        Node* node = add(forms.general, left, right);
        bool left_is_name = left->evaluate == nodes::variable;
        bool may_fail = operation == Operation::DIVIDE || operation == Operation::MODULO;
        bool commutes = operation == Operation::ADD || operation == Operation::MULTIPLY;
        if (may_fail && right->evaluate == nodes::constant && right->number == 0) {  // fails whenever evaluated
            reader_.fault(operation == Operation::DIVIDE ? FaultCode::DIVISION_BY_ZERO : FaultCode::MODULO_BY_ZERO);
        }
        if (right->evaluate == nodes::variable && left_is_name) {
            node->evaluate = forms.names;
        } else if (right->evaluate == nodes::variable && left->evaluate == nodes::constant && commutes) {
            node->left = right;  // reading a constant does nothing, so the name may come first
            node->number = left->number;
            node->evaluate = forms.name_with_constant;
        } else if (right->evaluate == nodes::variable) {
            node->evaluate = forms.with_name;
        } else if (right->evaluate == nodes::constant && !(may_fail && right->number == 0)) {
            node->number = right->number;
            node->evaluate = left_is_name ? forms.name_with_constant : forms.with_constant;
            multiply_for_power_of_two(operation, *node, left_is_name);
            if (operation == Operation::MODULO && !left_is_name && is_small_whole(right->number)) {
                node->evaluate = nodes::remainder_by_whole;
                node->whole_divisor = static_cast<int>(right->number);
            }
            fold_remainder_test(operation, *node);
        }
        return node;
    }

    // Dividing by a power of two is multiplying by its exact reciprocal: the
    // same result, without a division's wait.
    static void multiply_for_power_of_two(Operation operation, Node& node, bool left_is_name) {
        int exponent = 0;
        if (operation != Operation::DIVIDE || std::frexp(node.number, &exponent) != 0.5) return;
        double reciprocal = 1 / node.number;
        if (std::isinf(reciprocal)) return;
        const BinaryForms& product = binary_forms(Operation::MULTIPLY);
        node.number = reciprocal;
        node.evaluate = left_is_name ? product.name_with_constant : product.with_constant;
    }

    void note_compared(const Node* left, const Node* right) const {
        for (const Node* operand : {left, right}) {
            if (operand->evaluate != nodes::variable) continue;
            reader_.note(operand->name.name, operand->name.line, Findings::Use::COMPARED);
        }
    }

    // name % divisor == whole constant (or !=) is one node: a test as common
    // as it is cheap.
    static void fold_remainder_test(Operation operation, Node& node) {
        bool tests = operation == Operation::EQUAL || operation == Operation::NOT_EQUAL;
        const Node& remainder = *node.left;
        if (!tests || remainder.evaluate != binary_forms(Operation::MODULO).name_with_constant ||
            !is_small_whole(remainder.number) || !is_small_whole(node.number)) {
            return;
        }
        node.evaluate = operation == Operation::EQUAL ? nodes::name_remainder_is : nodes::name_remainder_is_not;
        node.name = remainder.left->name;
        node.whole_divisor = static_cast<int>(remainder.number);
    }

    const Node* unary() {
        if (reader_.match(TOKEN_MINUS)) return add(nodes::negate, unary());
        if (reader_.match(TOKEN_NOT)) return add(nodes::logic_not, unary());
        return primary();
    }

    const Node* primary() {
        int index = reader_.at;
        switch (reader_.kind()) {
            case TOKEN_NUMBER: {
                reader_.step();
                Node* node = add(nodes::constant);
                node->number = token_facts[index].number;
                return node;
            }
            case TOKEN_IDENTIFIER: {
                reader_.step();
                if (reader_.check(TOKEN_LPAREN)) return call(reader_.text(index));
                Node* node = add(nodes::variable);
                node->name = reader_.name(index, Findings::Use::READ);
                return node;
            }
            case TOKEN_LPAREN: {
                reader_.step();
                const Node* inner = operation(1);
                if (faulted_ || reader_.match(TOKEN_RPAREN)) return inner;
                return fault(reader_.expected(FaultCode::EXPECTED_CLOSE), inner);
            }
            case TOKEN_STRING:
                reader_.step();
                return fault(reader_.fault(FaultCode::STRING_IN_EXPRESSION));
            default:
                return fault(reader_.expected(FaultCode::EXPECTED_EXPRESSION));
        }
    }

    // The cursor is on the '(' after the name.
    const Node* call(const char* name) {
        reader_.step();
        const ExpressionFunction* function = find_function(name);
        if (function == nullptr) return fault(reader_.fault(FaultCode::UNDEFINED_FUNCTION, name));
        if (function->result != nullptr) reader_.note(function->result, 0, Findings::Use::WILL_SET);
        if (function->argument == Argument::STRING_LITERAL) {
            const char* text = reader_.text();
            if (!reader_.match(TOKEN_STRING)) return fault(reader_.expected(FaultCode::EXPECTED_LITERAL));
            if (!reader_.match(TOKEN_RPAREN)) return fault(reader_.expected(FaultCode::EXPECTED_CLOSE));
            Node* node = add(nodes::constant);  // len and num of a literal, computed now
            node->number = function->compute(0, text, reader_.line);
            return node;
        }
        const Node* argument = operation(1);
        if (faulted_) return argument;
        if (!reader_.match(TOKEN_RPAREN)) return fault(reader_.expected(FaultCode::EXPECTED_CLOSE), argument);
        Node* node = add(nodes::call, argument);
        node->function = function;
        if (function->result != nullptr) reader_.note(function->result, reader_.line, Findings::Use::SET_TEXT);
        return node;
    }
};

}  // namespace

Expression compile_expression(Reader& reader, NodePool& pool) { return ExpressionCompiler(reader, pool).compile(); }
