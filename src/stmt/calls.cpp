#include <cstring>
#include <stdexcept>

#include "builtins/call_forms.h"
#include "stmt/compiler.h"

namespace {

// An argument's value as the call first reads it: a string variable is looked
// up, and copied only when a later argument may store into it.
ArgumentValue value_of(const CallArgument& operand, char* copy) {
    ArgumentValue value{0, operand.text, operand.length, nullptr};
    if (operand.kind == ArgumentKind::NUMBER) value.number = evaluate(operand.expression);
    if (operand.kind == ArgumentKind::ARRAY) value.text = operand.name.name;
    if (operand.name.name == nullptr || operand.kind == ArgumentKind::ARRAY) return value;
    Variable* variable = operand.name.find();
    if (operand.kind == ArgumentKind::VALUE) {
        value.text = kind_of(variable);
    } else {
        if (variable == nullptr || !variable->is_string) {
            raise_at(operand.name.line, FaultCode::NOT_A_STRING, operand.name.name);
        }
        value.text = operand.copied ? copy : variable->string;
        value.length = operand.copied ? copy_text(copy, STRING_SIZE, variable->string) : variable->length;
    }
    return value;
}

// Settles a call on its form: a number argument that is a constant or a name
// is read where its value is kept, any other is evaluated; names have their
// variables.
void settle(const CallStatement& s) {
    int ways = 0;
    for (int i = 0; i < s.operand_count; i++) {
        auto& operand = const_cast<CallArgument&>(s.operands[i]);  // made by compile_call, not const
        if (operand.name.name != nullptr) operand.name.find();
        bool other_way = operand.name.name != nullptr && operand.kind != ArgumentKind::ARRAY;
        if (operand.kind == ArgumentKind::NUMBER) {
            const Node& root = *operand.expression;
            other_way = root.evaluate != nodes::constant && root.evaluate != nodes::read_leaf;
            operand.value = root.evaluate == nodes::constant ? &root.number : root.a;
        }
        ways |= other_way << i;
    }
    s.procedure->forms->settle[ways](s);
}

}  // namespace

Landing CallStatement::run(const CallStatement& s) {
    Call call;  // each argument is set before the procedure reads it
    char copies[MAX_ARGUMENTS][STRING_SIZE];
    for (int i = 0; i < s.operand_count; i++) call.arguments[i] = value_of(s.operands[i], copies[i]);
    if (s.fault) raise(*s.fault);
    s.procedure->perform(call, s.result_name);
    if (s.settles && s.ran) settle(s);
    s.ran = true;
    return s.ending.reached();
}

namespace {

// Reads one argument into the operand; false, with the fault set, when it is
// missing, or when its expression is faulty. A string variable is looked up
// as soon as its name is read.
bool read_operand(Compiler& compiler, Reader& reader, const Procedure& procedure, const ArgumentForm& form,
                  CallStatement& call) {
    CallArgument& operand = call.operands[call.operand_count++];
    operand.kind = form.kind;
    TokenType kind = reader.kind();
    bool is_name = kind == TOKEN_IDENTIFIER;
    bool accepted = false;
    switch (form.kind) {
        case ArgumentKind::NUMBER: {
            Expression expression = compile_expression(reader, compiler.pool);
            operand.expression = expression.root;
            return !expression.faulted;
        }
        case ArgumentKind::PROMPT:
            operand.text = kind == TOKEN_STRING ? reader.text() : "";
            operand.length = static_cast<int>(std::strlen(operand.text));
            if (kind == TOKEN_STRING) reader.step();
            return true;
        case ArgumentKind::STRING: accepted = is_name || kind == TOKEN_STRING; break;
        case ArgumentKind::LITERAL: accepted = kind == TOKEN_STRING; break;
        case ArgumentKind::ARRAY: accepted = is_name; break;
        case ArgumentKind::VALUE: accepted = is_name || kind == TOKEN_STRING || kind == TOKEN_NUMBER; break;
    }
    if (!accepted) {
        call.operand_count--;
        call.fault = form.kind == ArgumentKind::LITERAL
                         ? reader.fault(FaultCode::EXPECTED_OPERAND, form.what)
                         : reader.fault(FaultCode::EXPECTED_ARGUMENT, form.what, procedure.name);
        return false;
    }
    if (is_name) {
        operand.name.name = reader.text();
    } else if (form.kind == ArgumentKind::VALUE) {
        operand.text = kind == TOKEN_STRING ? "string" : "number";
    } else {
        operand.text = reader.text();
        operand.length = static_cast<int>(std::strlen(operand.text));
    }
    reader.step();
    operand.name.line = reader.line;
    if (is_name && form.kind == ArgumentKind::STRING) {
        reader.note(operand.name.name, reader.line, Findings::Use::STRING_ARGUMENT);
    }
    return true;
}

// Reads the argument list up to its ')'; false, with the fault set, at the
// first fault.
bool read_arguments(Compiler& compiler, Reader& reader, const Procedure& procedure, CallStatement& call) {
    for (int i = 0; i < procedure.argument_count; i++) {
        const ArgumentForm& form = procedure.arguments[i];
        if (i > 0 && !reader.match(TOKEN_COMMA)) {
            call.fault = form.after != nullptr ? reader.expected_after(TOKEN_COMMA, form.after)
                                               : reader.expected(FaultCode::EXPECTED_SEPARATOR);
            return false;
        }
        if (!read_operand(compiler, reader, procedure, form, call)) return false;
    }
    if (!reader.match(TOKEN_RPAREN)) {
        call.fault = procedure.names_itself_at_close ? reader.expected_after(TOKEN_RPAREN, procedure.name)
                                                     : reader.expected(FaultCode::EXPECTED_CLOSE);
        return false;
    }
    for (int i = 0; i < call.operand_count; i++) {  // a literal refused empty fails the call at its ')'
        bool refused = procedure.arguments[i].refuses_empty && call.operands[i].length == 0;
        if (refused) call.fault = reader.fault(FaultCode::EMPTY_DELIMITER);
    }
    return !call.fault;
}

// For a check, once the list is read: the arrays, looked up at the ')', and
// the result the call sets.
void note_results(const Reader& reader, const CallStatement& call) {
    using Use = Findings::Use;
    for (int i = 0; i < call.operand_count; i++) {
        const CallArgument& operand = call.operands[i];
        if (operand.kind == ArgumentKind::ARRAY) reader.note(operand.name.name, call.line, Use::ARRAY_ARGUMENT);
    }
    // By Result: NONE (no result), NUMBER, TEXT, ARRAY, RANDOM.
    static constexpr Use set_by[] = {Use::SET_NUMBER, Use::SET_NUMBER, Use::SET_TEXT, Use::SET_ARRAY, Use::SET_RANDOM};
    Use set = set_by[static_cast<int>(call.procedure->result)];
    if (!call.result.empty()) reader.note(call.result.c_str(), call.line, set);
}

// A string variable is copied as it is read when a later argument is an
// expression, which may store a text (str does); such a call keeps the first
// way.
void mark_copied(CallStatement& call) {
    for (int i = 0; i < call.operand_count; i++) {
        CallArgument& operand = call.operands[i];
        if (operand.kind != ArgumentKind::STRING || operand.name.name == nullptr) continue;
        for (int later = i + 1; later < call.operand_count; later++) {
            operand.copied = operand.copied || (call.operands[later].kind == ArgumentKind::NUMBER &&
                                                is_function_result(operand.name.name));
        }
        call.settles = call.settles && !operand.copied;
    }
}

}  // namespace

Owned<> compile_call(Compiler& compiler, Reader& reader, const Procedure& procedure) {
    for (int i = 0; i < procedure.argument_count; i++) {
        if (procedure.forms->kinds[i] != procedure.arguments[i].kind) {
            throw std::logic_error(std::string("the forms of ") + procedure.name + " take other arguments");
        }
    }
    auto statement = new_statement<CallStatement>();
    statement->procedure = &procedure;
    statement->result = result_name(procedure);
    if (!statement->result.empty()) reader.note(statement->result.c_str(), 0, Findings::Use::WILL_SET);
    if (!reader.match(TOKEN_LPAREN)) return failing_statement(reader.expected_after(TOKEN_LPAREN, procedure.name));
    bool complete = read_arguments(compiler, reader, procedure, *statement);
    if (complete) statement->line = reader.line;
    statement->result_name = NameRef{statement->result.c_str(), statement->line};
    if (complete) {
        note_results(reader, *statement);
        statement->ending = reader.end_statement(procedure.name);
        statement->landing = statement->ending.landing;
        statement->settles = !statement->ending.missing;
        mark_copied(*statement);
    }
    return statement;
}
