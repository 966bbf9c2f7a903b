// The procedure statements of the reference interpreter: each argument list
// read from the tokens as its procedure's row describes it, then the
// program's own procedure given the values.
#include <cstring>
#include <string>

#include "adn/install.h"
#include "adn/registry.h"
#include "builtins/procedures.h"
#include "core/variables.h"
#include "cursor.h"

namespace oracle {

namespace {

struct Arguments {
    Call call{};
    char copies[MAX_ARGUMENTS][STRING_SIZE];
};

// A string literal, or an identifier naming a string variable, looked up at once.
const char* read_string(const Procedure& procedure, const ArgumentForm& form, char* copy) {
    const Token& token = peek();
    if (token.type == TOKEN_STRING) {
        step_over();
        return token.text;
    }
    if (token.type != TOKEN_IDENTIFIER) fail(FaultCode::EXPECTED_ARGUMENT, form.what, procedure.name);
    step_over();
    Variable* variable = find_variable(token.text);
    if (variable == nullptr || !variable->is_string) fail(FaultCode::NOT_A_STRING, token.text);
    copy_text(copy, STRING_SIZE, variable->string);
    return copy;
}

// type_of's one token: the kind of what it names.
const char* read_value(const Procedure& procedure, const ArgumentForm& form) {
    const Token& token = peek();
    const char* kind = nullptr;
    switch (token.type) {
        case TOKEN_IDENTIFIER: kind = kind_of(find_variable(token.text)); break;
        case TOKEN_STRING: kind = "string"; break;
        case TOKEN_NUMBER: kind = "number"; break;
        default: fail(FaultCode::EXPECTED_ARGUMENT, form.what, procedure.name);
    }
    step_over();
    return kind;
}

void read_argument(const Procedure& procedure, int i, Arguments& arguments) {
    const ArgumentForm& form = procedure.arguments[i];
    ArgumentValue& value = arguments.call.arguments[i];
    const Token& token = peek();
    switch (form.kind) {
        case ArgumentKind::NUMBER: value.number = evaluate(); return;
        case ArgumentKind::STRING: value.text = read_string(procedure, form, arguments.copies[i]); return;
        case ArgumentKind::VALUE: value.text = read_value(procedure, form); return;
        case ArgumentKind::PROMPT:
            value.text = "";
            if (token.type == TOKEN_STRING) value.text = token.text;
            if (token.type == TOKEN_STRING) step_over();
            return;
        case ArgumentKind::LITERAL:
            if (token.type != TOKEN_STRING) fail(FaultCode::EXPECTED_OPERAND, form.what);
            value.text = token.text;
            break;
        case ArgumentKind::ARRAY:  // looked up once the list is read
            if (token.type != TOKEN_IDENTIFIER) fail(FaultCode::EXPECTED_ARGUMENT, form.what, procedure.name);
            value.text = token.text;
            break;
    }
    step_over();
}

void run_procedure(const Procedure& procedure) {
    Arguments arguments;
    consume_after(TOKEN_LPAREN, procedure.name);
    for (int i = 0; i < procedure.argument_count; i++) {
        const char* after = procedure.arguments[i].after;
        if (i > 0 && after != nullptr) consume_after(TOKEN_COMMA, after);
        if (i > 0 && after == nullptr) consume(TOKEN_COMMA, FaultCode::EXPECTED_SEPARATOR);
        read_argument(procedure, i, arguments);
    }
    if (procedure.names_itself_at_close) consume_after(TOKEN_RPAREN, procedure.name);
    if (!procedure.names_itself_at_close) consume(TOKEN_RPAREN, FaultCode::EXPECTED_CLOSE);
    for (int i = 0; i < procedure.argument_count; i++) {
        ArgumentValue& value = arguments.call.arguments[i];
        if (value.text != nullptr) value.length = static_cast<int>(std::strlen(value.text));
        if (procedure.arguments[i].refuses_empty && *value.text == '\0') fail(FaultCode::EMPTY_DELIMITER);
    }
    std::string result = result_name(procedure);
    NameRef result_name{result.c_str(), current_line};
    procedure.perform(arguments.call, result_name);
}

// adn(...) and adm(...): the command runs before the ')' is looked for.
std::string take_argument(FaultCode failure, const char* command) {
    if (!check(TOKEN_IDENTIFIER) && !check(TOKEN_STRING)) fail(failure, command);
    std::string text = peek().text;
    step_over();
    return text;
}

bool is_word(const std::string& word, const char* long_form, const char* short_form) {
    return word == long_form || word == short_form;
}

void execute_adn(const char* name) {
    consume_after(TOKEN_LPAREN, name);
    if (!check(TOKEN_IDENTIFIER) && !check(TOKEN_INSTALL) && !check(TOKEN_UPDATE) && !check(TOKEN_REMOVE)) {
        fail(FaultCode::EXPECTED_COMMAND, name);
    }
    std::string word = peek().text;
    step_over();
    if (is_word(word, "install", "i")) {
        install_package(take_argument(FaultCode::EXPECTED_PACKAGE_NAME, "install").c_str());
    } else if (is_word(word, "update", "u")) {
        update_package(take_argument(FaultCode::EXPECTED_PACKAGE_NAME, "update").c_str());
    } else if (is_word(word, "remove", "r")) {
        remove_package(take_argument(FaultCode::EXPECTED_PACKAGE_NAME, "remove").c_str());
    } else if (is_word(word, "list", "ls")) {
        list_packages();
    } else {
        fail(FaultCode::UNKNOWN_COMMAND, name, word);
    }
    consume_after(TOKEN_RPAREN, name);
}

void execute_adm(const char* name) {
    consume_after(TOKEN_LPAREN, name);
    if (!check(TOKEN_IDENTIFIER) && !check(TOKEN_MIRROR) && !check(TOKEN_REMOVE)) {
        fail(FaultCode::EXPECTED_COMMAND, name);
    }
    std::string word = peek().text;
    step_over();
    if (word == "mirror") {
        add_repository(take_argument(FaultCode::EXPECTED_REPOSITORY, "mirror").c_str());
    } else if (is_word(word, "remove", "rm")) {
        remove_repository(take_argument(FaultCode::EXPECTED_REPOSITORY, "remove").c_str());
    } else if (is_word(word, "list", "ls")) {
        list_repositories();
    } else {
        fail(FaultCode::UNKNOWN_COMMAND, name, word);
    }
    consume_after(TOKEN_RPAREN, name);
}

}  // namespace

bool execute_procedure(const Token& first) {
    const char* name = nullptr;
    if (first.type == TOKEN_ADN || first.type == TOKEN_ADM) {
        name = first.type == TOKEN_ADN ? "adn" : "adm";
        first.type == TOKEN_ADN ? execute_adn(name) : execute_adm(name);
    } else if (const Procedure* procedure = find_procedure(first.type, first.text)) {
        name = procedure->name;
        run_procedure(*procedure);
    } else {
        return false;
    }
    consume_after(TOKEN_SEMICOLON, name);
    return true;
}

}  // namespace oracle
