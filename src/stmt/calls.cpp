#include "builtins/procedures.h"
#include "stmt/compiler.h"

namespace {

// One argument as written: an expression, a literal's text, or a name.
struct Operand {
    ArgumentKind kind;
    const Node* expression;
    const char* text;  // a literal's text, or type_of's word for a literal
    NameRef name;      // a name, when one was written
};

// A procedure statement: its arguments are read in order, a fault among
// them stops it after those before, and the procedure acts at its ')'.
struct CallStatement : StatementOf<CallStatement> {
    const Procedure* procedure = nullptr;
    Operand operands[MAX_ARGUMENTS]{};
    int operand_count = 0;
    std::optional<Fault> fault;
    std::string result;
    NameRef result_name{};  // of `result`, at the ')' line; keeps its variable once made
    int line = 0;
    Reader::Ending ending{};

    static Landing run(const CallStatement& s) {
        Call call{};
        char copies[MAX_ARGUMENTS][STRING_SIZE];
        for (int i = 0; i < s.operand_count; i++) call.arguments[i] = value_of(s.operands[i], copies[i]);
        if (s.fault) raise(*s.fault);
        call.result = &s.result_name;
        call.line = s.line;
        s.procedure->perform(call);
        if (s.ending.missing) raise(*s.ending.missing);
        return s.ending.landing;
    }

    // A string variable's text is copied as it is read: the arguments after
    // it may store into that variable.
    static ArgumentValue value_of(const Operand& operand, char* copy) {
        ArgumentValue value{0, operand.text, nullptr, operand.name.name};
        if (operand.kind == ArgumentKind::NUMBER) value.number = evaluate(operand.expression);
        if (operand.kind == ArgumentKind::NUMBER || operand.text != nullptr) return value;
        Variable* variable = operand.name.find();  // a name was written
        if (operand.kind == ArgumentKind::ARRAY) {
            value.variable = variable;
        } else if (operand.kind == ArgumentKind::VALUE) {
            value.text = kind_of(variable);
        } else {
            if (variable == nullptr || !variable->is_string) {
                error_at(operand.name.line, "Undefined variable or not a string: %s", operand.name.name);
            }
            copy_text(copy, STRING_SIZE, variable->string);
            value.text = copy;
        }
        return value;
    }
};

std::string message_for_missing(const Procedure& procedure, const ArgumentForm& form) {
    if (form.kind == ArgumentKind::LITERAL) return std::string("Expected string argument for ") + form.what;
    return std::string("Expected ") + form.what + " for " + procedure.name + "()";
}

// Reads one argument into the operand; false, with the fault set, when it is
// missing, or when its expression is faulty.
bool read_operand(Compiler& compiler, Reader& reader, const Procedure& procedure, const ArgumentForm& form,
                  CallStatement& call) {
    Operand& operand = call.operands[call.operand_count++];
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
            if (kind == TOKEN_STRING) reader.step();
            return true;
        case ArgumentKind::STRING: accepted = is_name || kind == TOKEN_STRING; break;
        case ArgumentKind::LITERAL: accepted = kind == TOKEN_STRING; break;
        case ArgumentKind::ARRAY: accepted = is_name; break;
        case ArgumentKind::VALUE: accepted = is_name || kind == TOKEN_STRING || kind == TOKEN_NUMBER; break;
    }
    if (!accepted) {
        call.operand_count--;
        call.fault = reader.plain(message_for_missing(procedure, form));
        return false;
    }
    if (is_name) {
        operand.name.name = reader.text();
    } else if (form.kind == ArgumentKind::VALUE) {
        operand.text = kind == TOKEN_STRING ? "string" : "number";
    } else {
        operand.text = reader.text();
    }
    reader.step();
    operand.name.line = reader.line;
    return true;
}

// Reads the argument list up to its ')'; false, with the fault set, at the
// first fault.
bool read_arguments(Compiler& compiler, Reader& reader, const Procedure& procedure, CallStatement& call) {
    for (int i = 0; i < procedure.argument_count; i++) {
        const ArgumentForm& form = procedure.arguments[i];
        if (i > 0 && !reader.match(TOKEN_COMMA)) {
            call.fault = form.after != nullptr ? reader.expected_after(TOKEN_COMMA, form.after)
                                               : reader.expected("Expected ',' between arguments");
            return false;
        }
        if (!read_operand(compiler, reader, procedure, form, call)) return false;
    }
    if (reader.match(TOKEN_RPAREN)) return true;
    call.fault = procedure.names_itself_at_close ? reader.expected_after(TOKEN_RPAREN, procedure.name)
                                                 : reader.expected("Expected ')'");
    return false;
}

// For a check: the names the arguments read, and the result the call sets.
void note_names(const Reader& reader, const CallStatement& call, bool complete) {
    using Use = Findings::Use;
    for (int i = 0; i < call.operand_count; i++) {
        const Operand& operand = call.operands[i];
        bool array = operand.kind == ArgumentKind::ARRAY;
        if (operand.text != nullptr || (!array && operand.kind != ArgumentKind::STRING)) continue;
        int line = array && call.line > 0 ? call.line : operand.name.line;  // arrays are looked up at the ')'
        reader.note(operand.name.name, line, array ? Use::ARRAY_ARGUMENT : Use::STRING_ARGUMENT);
    }
    Use set = call.procedure->result == Result::TEXT ? Use::TEXT_SET : Use::SET;
    if (complete && !call.result.empty()) reader.note(call.result.c_str(), call.line, set);
}

}  // namespace

NewStatement compile_call(Compiler& compiler, Reader& reader, const Procedure& procedure) {
    if (!reader.match(TOKEN_LPAREN)) return failing_statement(reader.expected_after(TOKEN_LPAREN, procedure.name));
    auto statement = std::make_unique<CallStatement>();
    statement->procedure = &procedure;
    std::vector<int> ends;
    statement->result = result_name(procedure);
    bool complete = read_arguments(compiler, reader, procedure, *statement);
    if (complete) statement->line = reader.line;
    statement->result_name = NameRef{statement->result.c_str(), statement->line};
    note_names(reader, *statement, complete);
    if (complete) {
        statement->ending = reader.end_statement(procedure.name);
        if (!statement->ending.missing) ends.push_back(statement->ending.landing.next);
    }
    return NewStatement{std::move(statement), ends};
}
