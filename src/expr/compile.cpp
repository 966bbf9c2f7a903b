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
        return failing_after(pool_, operand, found);
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

    // An infix operation, built once the right operand is read, so that / and
    // % fail at the divisor's end. && and || join their operands' tests.
    const Node* binary(Operation operation, const Node* left, const Node* right) {
        if (operation >= Operation::EQUAL && operation <= Operation::LESS_OR_EQUAL) note_compared(left, right);
        if (operation == Operation::AND || operation == Operation::OR) {
            Node* node = add(nodes::value_of_test, left, right);
            node->test = operation == Operation::AND ? nodes::both : nodes::either;
            return node;
        }
        bool by_constant = right->evaluate == nodes::constant;
        if (by_constant && right->number == 0 && (operation == Operation::DIVIDE || operation == Operation::MODULO)) {
            reader_.fault(operation == Operation::DIVIDE ? FaultCode::DIVISION_BY_ZERO : FaultCode::MODULO_BY_ZERO);
        }
        if (by_constant && operation == Operation::DIVIDE) multiply_for_power_of_two(operation, right);
        Node* node = add(nullptr, left, right);
        if (by_constant && operation == Operation::MODULO && is_small_whole(right->number) && right->number != 0) {
            operation = Operation::REMAINDER_BY_WHOLE;
            node->whole_divisor = static_cast<int>(right->number);
        }
        fold_remainder_test(operation, *node);
        int kind = operand_kind(*node->left) * OPERAND_KINDS + operand_kind(*node->right);
        node->evaluate = binary_forms(operation).evaluate[kind];
        node->test = binary_forms(operation).test[kind];
        return node;
    }

    static int operand_kind(const Node& operand) {
        if (is_leaf(operand)) return LEAF;
        const BinaryForms& product = binary_forms(Operation::MULTIPLY);
        return operand.evaluate == product.evaluate[LEAF * OPERAND_KINDS + LEAF] ? PRODUCT : NODE;
    }

    // Dividing by a power of two is multiplying by its exact reciprocal: the
    // same result, without a division's wait.
    void multiply_for_power_of_two(Operation& operation, const Node*& divisor) {
        int exponent = 0;
        if (std::frexp(divisor->number, &exponent) != 0.5 || std::isinf(1 / divisor->number)) return;
        operation = Operation::MULTIPLY;
        divisor = constant(1 / divisor->number);
    }

    Node* constant(double value) {
        Node* node = add(nodes::constant);
        node->number = value;
        return node;
    }

    void note_compared(const Node* left, const Node* right) const {
        for (const Node* operand : {left, right}) {
            if (operand->evaluate != nodes::variable) continue;
            reader_.note(operand->name, operand->line, Findings::Use::COMPARED);
        }
    }

    // name % divisor == whole constant (or !=) is one node: a test as common
    // as it is cheap.
    static void fold_remainder_test(Operation& operation, Node& node) {
        const Node& remainder = *node.left;
        if ((operation != Operation::EQUAL && operation != Operation::NOT_EQUAL) ||
            remainder.evaluate != binary_forms(Operation::REMAINDER_BY_WHOLE).evaluate[LEAF * OPERAND_KINDS + LEAF] ||
            node.right->evaluate != nodes::constant || !is_small_whole(node.right->number)) {
            return;
        }
        operation = operation == Operation::EQUAL ? Operation::REMAINDER_IS : Operation::REMAINDER_IS_NOT;
        node.left = remainder.left;
        node.whole_divisor = remainder.whole_divisor;
        node.number = node.right->number;
    }

    // A sign before a constant is part of it.
    const Node* unary() {
        if (reader_.match(TOKEN_MINUS)) {
            const Node* operand = unary();
            return operand->evaluate == nodes::constant ? constant(-operand->number) : add(nodes::negate, operand);
        }
        if (reader_.match(TOKEN_NOT)) {
            Node* node = add(nodes::value_of_test, unary());
            node->test = nodes::negated;
            return node;
        }
        return primary();
    }

    const Node* primary() {
        int index = reader_.at;
        switch (reader_.kind()) {
            case TOKEN_NUMBER: {
                reader_.step();
                return constant(token_facts[index].number);
            }
            case TOKEN_IDENTIFIER: {
                reader_.step();
                if (reader_.check(TOKEN_LPAREN)) return call(reader_.text(index));
                Node* node = add(nodes::variable);
                node->name = reader_.name(index, Findings::Use::READ).name;
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
            return constant(function->compute(0, text, reader_.line));  // len and num of a literal, computed now
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

const Node* failing_after(NodePool& pool, const Node* operand, const Fault& fault) {
    Node* node = pool.add(nodes::fail, fault.line);
    node->left = operand;
    node->fault = pool.keep(fault);
    return node;
}
