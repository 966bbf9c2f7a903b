#include <cstdio>
#include <cstring>

#include "core/numbers.h"
#include "stmt/compiler.h"
#include "stmt/statements.h"
#include "system/standard_streams.h"

int print_newline = 1;

namespace {

// name = value;  the target is looked up before the value is read. In a for
// loop's update clause the statement ends with its value. The assignment of
// a number that ends in one way settles when it runs again: its target
// found, its value's operation (the root of the expression) copied in and
// taken into its own way.
struct Assignment : StatementOf<Assignment> {
    // What a settled assignment reads, first, to share cache lines.
    mutable Variable* variable = nullptr;  // the target's
    mutable Node root{};
    Landing landing;  // where it then ends: after its ';', or its value in an update clause
    NameRef target;
    const char* text = nullptr;  // a string literal, else the expression
    int length = 0;              // the literal's
    const Node* value = nullptr;
    Landing update_landing;      // where it ends in an update clause
    Reader::Ending ending{};
    bool settles = false;
    mutable bool ran = false;

    static Landing run(const Assignment& s) {
        Variable* target = defined_variable(s.target);
        if (s.text != nullptr) {
            set_text(target, s.text, s.length);
        } else {
            target->number = evaluate(s.value);
            target->is_string = 0;
            if (s.settles && s.ran) settle(s);
            s.ran = true;
        }
        if (in_for_loop_update) return s.update_landing;
        return s.ending.reached();
    }
    static void settle(const Assignment& s);  // on the way of its value's operation
};

template <double (*value)(const Node&)>
void assign(const Assignment& s) {
    double number = value(s.root);
    Variable* target = s.variable;
    target->number = number;
    target->is_string = 0;
}

struct SettledForm {
    double (*value)(const Node&);
    void (*settle)(const Statement&);
};

template <double (*value)(const Node&)>
constexpr SettledForm settled_form = {value, settle_on<Assignment, assign<value>>};

template <Apply apply>
constexpr auto arithmetic_forms = by_operand_kinds([]<int a, int b>() { return settled_form<settled<apply, a, b>>; });

const SettledForm other_forms[] = {settled_form<nodes::constant>, settled_form<nodes::read_leaf>};

const decltype(arithmetic_forms<apply::add>)* const settled_forms[] = {
    &arithmetic_forms<apply::add>,       &arithmetic_forms<apply::subtract>,
    &arithmetic_forms<apply::multiply>,  &arithmetic_forms<apply::divide>,
    &arithmetic_forms<apply::remainder>, &arithmetic_forms<apply::remainder_by_whole>};

void Assignment::settle(const Assignment& s) {
    s.variable = s.target.variable;
    s.root = *s.value;
    for (const auto* forms : settled_forms) {
        for (const SettledForm& form : *forms) {
            if (form.value == s.value->evaluate) return form.settle(s);
        }
    }
    for (const SettledForm& form : other_forms) {
        if (form.value == s.value->evaluate) return form.settle(s);
    }
    settle_on<Assignment, assign<evaluate_node>>(s);
}

// The value of an assignment or a declaration: a whole string literal, or an
// expression.
bool read_value(Compiler& compiler, Reader& reader, const char*& text, const Node*& value) {
    if (reader.check(TOKEN_STRING)) {
        text = reader.text();
        reader.step();
        return true;
    }
    Expression expression = compile_expression(reader, compiler.pool);
    value = expression.root;
    if (value->evaluate == nodes::variable) reader.note(value->name, value->line, Findings::Use::COPIED);
    return !expression.faulted;
}

}  // namespace

Owned<> compile_assignment(Compiler& compiler, int start, Context context) {
    auto statement = new_statement<Assignment>();
    Reader reader = compiler.reader(start);
    reader.skip();
    reader.step();  // '='
    statement->target = reader.name(start, Findings::Use::TARGET);
    if (!read_value(compiler, reader, statement->text, statement->value)) return statement;  // it always fails
    if (statement->text != nullptr) statement->length = static_cast<int>(std::strlen(statement->text));
    Findings::Use set = statement->text != nullptr ? Findings::Use::ASSIGNED_TEXT : Findings::Use::ASSIGNED_NUMBER;
    reader.note(statement->target.name, reader.line, set);
    if (context == Context::UPDATE_CLAUSE) statement->update_landing = reader.land();
    // In an update clause the ';' is missing only where a loop nested there cleared the clause's flag.
    statement->ending = (context == Context::UPDATE_CLAUSE ? reader.unnoted() : reader).end_statement("assignment");
    statement->landing = statement->ending.landing;
    statement->settles = context == Context::PLAIN && !statement->ending.missing && statement->text == nullptr;
    return statement;
}

void runs_with_update_flag(const Statement& statement) {
    if (statement.run != StatementOf<Assignment>::dispatch) return;  // not an assignment
    auto& assignment = const_cast<Assignment&>(static_cast<const Assignment&>(statement));
    assignment.landing = assignment.update_landing;
    assignment.settles = assignment.text == nullptr;
}

void set_declared_value(Variable* variable, const char* text, double number) {
    if (text != nullptr) {
        set_text(variable, text);
        variable->number = 0;
    } else {
        variable->number = number;
        variable->is_string = 0;
    }
    variable->is_array = 0;
}

namespace {

// var name = value;  the variable is made only once the value is known, so
// that variables the value makes come first.
struct Declaration : StatementOf<Declaration> {
    NameRef name;
    int assign_line = 0;  // where a full table is found before the value
    int value_line = 0;   // where it is found after it
    const char* text = nullptr;
    const Node* value = nullptr;
    Reader::Ending ending{};

    static Landing run(const Declaration& s) {
        if (s.name.find() == nullptr && var_count == VARIABLE_LIMIT) {
            raise_at(s.assign_line, FaultCode::TOO_MANY_VARIABLES, VARIABLE_LIMIT);
        }
        double number = s.text == nullptr ? evaluate(s.value) : 0;
        Variable* variable = s.name.find();
        if (variable == nullptr) variable = s.name.variable = find_or_create_variable(s.name.name, s.value_line);
        set_declared_value(variable, s.text, number);
        return s.ending.reached();
    }
};

}  // namespace

Owned<> compile_declaration(Compiler& compiler, int start, Context) {
    Reader reader = compiler.reader(start);
    reader.skip();
    if (!reader.check(TOKEN_IDENTIFIER)) return failing_statement(reader.expected(FaultCode::EXPECTED_NAME));
    auto statement = new_statement<Declaration>();
    statement->name = NameRef{reader.text(), 0};
    reader.note(statement->name.name, 0, Findings::Use::WILL_SET);
    reader.step();
    if (!reader.match(TOKEN_ASSIGN)) return failing_statement(reader.expected_after(TOKEN_ASSIGN, "variable name"));
    statement->assign_line = reader.line;
    if (!read_value(compiler, reader, statement->text, statement->value)) return statement;  // it always fails
    Findings::Use declared = statement->text != nullptr ? Findings::Use::DECLARED_TEXT : Findings::Use::DECLARED_NUMBER;
    reader.note(statement->name.name, reader.line, declared);
    statement->value_line = reader.line;
    statement->ending = reader.end_statement("variable declaration");
    return statement;
}

namespace {

bool is_arithmetic(TokenType type) {
    return type == TOKEN_PLUS || type == TOKEN_MINUS || type == TOKEN_MULTIPLY || type == TOKEN_DIVIDE ||
           type == TOKEN_MODULO;
}

// One argument of print: a text (a string literal, or a number literal as
// written), "nel", a variable, or an expression that starts with a name.
struct PrintArgument {
    enum Kind { TEXT, NEL, VARIABLE, EXPRESSION } kind;
    const char* text;
    std::size_t length;  // of the text
    NameRef name;
    const Node* expression;
};

// What one print writes goes out in one piece, also when a failure stops
// it: what came before is written before the failure is reported.
struct PrintedLine {
    std::string& text;
    ~PrintedLine() {
        std::fwrite(text.data(), 1, text.size(), stdout);
        text.clear();
    }
};

// Writes the argument, its value found before anything is written; false
// for "nel", which writes nothing.
bool write_argument(std::string& line, const PrintArgument& argument, bool separated) {
    if (argument.kind == PrintArgument::NEL) return false;
    const Variable* variable = argument.kind == PrintArgument::VARIABLE ? defined_variable(argument.name) : nullptr;
    double number = argument.kind == PrintArgument::EXPRESSION ? evaluate(argument.expression)
                    : variable != nullptr                       ? variable->number
                                                                : 0;
    if (separated) line += ' ';
    if (argument.kind == PrintArgument::TEXT) {
        line.append(argument.text, argument.length);
    } else if (variable != nullptr && variable->is_string) {
        line.append(variable->string, static_cast<std::size_t>(variable->length));
    } else {
        char text[NUMBER_TEXT_SIZE];
        line.append(text, static_cast<std::size_t>(format_number(number, text)));
    }
    return true;
}

// print(arguments);  a fault among the arguments stops it after those before.
struct Print : StatementOf<Print> {
    std::vector<PrintArgument> arguments;
    std::optional<Fault> fault;
    Reader::Ending ending{};

    static Landing run(const Print& s) {
        {
            static std::string text;
            PrintedLine line{text};
            bool newline = print_newline != 0;
            bool separated = false;
            for (const PrintArgument& argument : s.arguments) {
                if (!write_argument(text, argument, separated)) newline = false;
                separated = true;
            }
            if (s.fault) raise(*s.fault);
            if (newline) text += '\n';
        }
        check_output();
        return s.ending.reached();
    }
};

// Reads one argument; false when it is faulty (a fault set, or an expression that fails).
bool read_print_argument(Compiler& compiler, Reader& reader, Print& print) {
    int index = reader.at;
    PrintArgument argument{PrintArgument::TEXT, reader.text(), std::strlen(reader.text()), NameRef{reader.text(), 0},
                           nullptr};
    switch (reader.kind()) {
        case TOKEN_STRING:
            if (std::strcmp(argument.text, "nel") == 0) argument.kind = PrintArgument::NEL;
            reader.step();
            break;
        case TOKEN_NUMBER:
            reader.step();
            break;
        case TOKEN_IDENTIFIER:
            if (is_arithmetic(reader.kind(1))) {
                Expression expression = compile_expression(reader, compiler.pool);
                print.arguments.push_back(PrintArgument{PrintArgument::EXPRESSION, nullptr, 0, {}, expression.root});
                return !expression.faulted;
            }
            reader.step();
            argument.kind = PrintArgument::VARIABLE;
            argument.name = reader.name(index, Findings::Use::PRINTED);
            break;
        default:
            print.fault = reader.fault(FaultCode::UNEXPECTED_IN_PRINT, reader.text(index));
            return false;
    }
    print.arguments.push_back(argument);
    return true;
}

}  // namespace

Owned<> compile_print(Compiler& compiler, int start, Context) {
    Reader reader = compiler.reader(start);
    reader.skip();
    if (!reader.match(TOKEN_LPAREN)) return failing_statement(reader.expected_after(TOKEN_LPAREN, "print"));
    auto statement = new_statement<Print>();
    bool complete = true;
    if (!reader.check(TOKEN_RPAREN)) {
        for (bool first = true;; first = false) {
            if (!first && !reader.match(TOKEN_COMMA)) {
                statement->fault = reader.expected(FaultCode::EXPECTED_SEPARATOR);
                complete = false;
                break;
            }
            if (!read_print_argument(compiler, reader, *statement)) {
                complete = false;
                break;
            }
            if (reader.check(TOKEN_RPAREN)) break;
        }
    }
    if (complete) {
        reader.step();  // ')'
        statement->ending = reader.end_statement("print");
    }
    return statement;
}
