// The procedure statements of the reference interpreter: their argument lists
// read from the tokens, then the program's own procedures given the values.
#include <cstring>
#include <string>

#include "adn/install.h"
#include "adn/registry.h"
#include "builtins/actions.h"
#include "builtins/procedures.h"
#include "core/variables.h"
#include "cursor.h"

namespace oracle {

namespace {

struct Arguments {
    Call call{};
    char copies[MAX_ARGUMENTS][STRING_SIZE];
    int count = 0;

    ArgumentValue& next() { return call.arguments[count++]; }
};

// A string literal, or an identifier naming a string variable, looked up at once.
void read_string(Arguments& arguments, const char* kind, const char* name) {
    ArgumentValue& value = arguments.next();
    const Token& token = peek();
    if (token.type == TOKEN_STRING) {
        step_over();
        value.text = token.text;
        return;
    }
    if (token.type != TOKEN_IDENTIFIER) error("Expected %s for %s()", kind, name);
    step_over();
    Variable* variable = find_string_variable(token.text);
    if (variable == nullptr) error("Undefined variable or not a string: %s", token.text);
    copy_text(arguments.copies[arguments.count - 1], STRING_SIZE, variable->string);
    value.text = arguments.copies[arguments.count - 1];
}

void read_literal(Arguments& arguments, const char* what) {
    const Token& token = peek();
    if (token.type != TOKEN_STRING) error("Expected string argument for %s", what);
    step_over();
    arguments.next().text = token.text;
}

void read_number(Arguments& arguments) { arguments.next().number = evaluate(); }

// An array's name; its variable is looked up only once the list is read.
void read_array_name(Arguments& arguments, const char* name) {
    if (!check(TOKEN_IDENTIFIER)) error("Expected array name for %s()", name);
    arguments.next().name = peek().text;
    step_over();
}

// The result variable of the procedure being run.
std::string result;

void perform(Arguments& arguments, void (*action)(const Call&)) {
    for (int i = 0; i < arguments.count; i++) {
        ArgumentValue& value = arguments.call.arguments[i];
        if (value.name != nullptr) value.variable = find_variable(value.name);
    }
    arguments.call.line = current_line;
    NameRef result_name{result.c_str(), current_line};
    arguments.call.result = &result_name;
    action(arguments.call);
}

void execute_input(const char* name) {
    Arguments arguments;
    consume_after(TOKEN_LPAREN, name);
    arguments.next().text = "";
    if (check(TOKEN_STRING)) {
        arguments.call.arguments[0].text = peek().text;
        step_over();
    }
    consume(TOKEN_RPAREN, EXPECTED_RPAREN);
    perform(arguments, ::execute_input);
}

// The procedures with numeric arguments only, closing with "Expected ')'".
void execute_numbers(const char* name, int count, void (*action)(const Call&)) {
    Arguments arguments;
    consume_after(TOKEN_LPAREN, name);
    for (int i = 0; i < count; i++) {
        if (i > 0) consume(TOKEN_COMMA, EXPECTED_COMMA_BETWEEN);
        read_number(arguments);
    }
    consume(TOKEN_RPAREN, EXPECTED_RPAREN);
    perform(arguments, action);
}

void execute_named_empty(const char* name, void (*action)(const Call&)) {
    Arguments arguments;
    consume_after(TOKEN_LPAREN, name);
    consume_after(TOKEN_RPAREN, name);
    perform(arguments, action);
}

void execute_type_of(const char* name) {
    Arguments arguments;
    consume_after(TOKEN_LPAREN, name);
    const Token& token = peek();
    const char* kind = nullptr;
    switch (token.type) {
        case TOKEN_IDENTIFIER: kind = kind_of(find_variable(token.text)); break;
        case TOKEN_STRING: kind = "string"; break;
        case TOKEN_NUMBER: kind = "number"; break;
        default: error("Expected value for %s()", name);
    }
    step_over();
    consume_after(TOKEN_RPAREN, name);
    arguments.next().text = kind;
    perform(arguments, ::execute_type_of);
}

void execute_string_procedure(const char* name, TokenType type) {
    Arguments arguments;
    consume_after(TOKEN_LPAREN, name);
    read_string(arguments, "string argument", name);
    void (*action)(const Call&) = nullptr;
    switch (type) {
        case TOKEN_UPPER: action = ::execute_upper; break;
        case TOKEN_LOWER: action = ::execute_lower; break;
        case TOKEN_TRIM: action = ::execute_trim; break;
        case TOKEN_SUBSTRING:
            consume_after(TOKEN_COMMA, "string");
            read_number(arguments);
            consume_after(TOKEN_COMMA, "start");
            read_number(arguments);
            action = ::execute_substring;
            break;
        case TOKEN_CHAR_AT:
            consume_after(TOKEN_COMMA, "string");
            read_number(arguments);
            action = ::execute_char_at;
            break;
        case TOKEN_REPLACE:
            consume_after(TOKEN_COMMA, "string");
            read_literal(arguments, "old substring");
            consume_after(TOKEN_COMMA, "old string");
            read_literal(arguments, "new substring");
            action = ::execute_replace;
            break;
        default:
            consume_after(TOKEN_COMMA, "string");
            read_literal(arguments, "delimiter");
            action = ::execute_split;
            break;
    }
    consume_after(TOKEN_RPAREN, name);
    perform(arguments, action);
}

void execute_array_procedure(const char* name, bool with_value, void (*action)(const Call&)) {
    Arguments arguments;
    consume_after(TOKEN_LPAREN, name);
    read_array_name(arguments, name);
    if (with_value) {
        consume_after(TOKEN_COMMA, "array name");
        read_number(arguments);
    }
    consume_after(TOKEN_RPAREN, name);
    perform(arguments, action);
}

void execute_file_procedure(const char* name, bool with_content, void (*action)(const Call&)) {
    Arguments arguments;
    consume_after(TOKEN_LPAREN, name);
    read_string(arguments, "filename string", name);
    if (with_content) {
        consume_after(TOKEN_COMMA, "filename");
        read_string(arguments, "content string", name);
    }
    consume_after(TOKEN_RPAREN, name);
    perform(arguments, action);
}

// adn(...) and adm(...): the command runs before the ')' is looked for.
std::string take_argument(const char* failure) {
    if (!check(TOKEN_IDENTIFIER) && !check(TOKEN_STRING)) error("%s", failure);
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
        error("Expected adn command");
    }
    std::string word = peek().text;
    step_over();
    if (is_word(word, "install", "i")) {
        install_package(take_argument("Expected package name for install").c_str());
    } else if (is_word(word, "update", "u")) {
        update_package(take_argument("Expected package name for update").c_str());
    } else if (is_word(word, "remove", "r")) {
        remove_package(take_argument("Expected package name for remove").c_str());
    } else if (is_word(word, "list", "ls")) {
        list_packages();
    } else {
        error("Unknown adn command: %s", word.c_str());
    }
    consume_after(TOKEN_RPAREN, name);
}

void execute_adm(const char* name) {
    consume_after(TOKEN_LPAREN, name);
    if (!check(TOKEN_IDENTIFIER) && !check(TOKEN_MIRROR) && !check(TOKEN_REMOVE)) error("Expected adm command");
    std::string word = peek().text;
    step_over();
    if (word == "mirror") {
        add_repository(take_argument("Expected repository URL for mirror").c_str());
    } else if (is_word(word, "remove", "rm")) {
        remove_repository(take_argument("Expected repository URL for remove").c_str());
    } else if (is_word(word, "list", "ls")) {
        list_repositories();
    } else {
        error("Unknown adm command: %s", word.c_str());
    }
    consume_after(TOKEN_RPAREN, name);
}

void run_procedure(TokenType type, const char* name) {
    switch (type) {
        case TOKEN_IDENTIFIER:
            if (std::strcmp(name, "input") == 0) return execute_input(name);
            return execute_numbers(name, 1, ::execute_str);
        case TOKEN_SLEEP: return execute_numbers(name, 1, ::execute_sleep);
        case TOKEN_SLEEPMS: return execute_numbers(name, 1, ::execute_sleepms);
        case TOKEN_CLEAR: return execute_numbers(name, 0, ::execute_clear);
        case TOKEN_GETCH: return execute_numbers(name, 0, ::execute_getch);
        case TOKEN_RAND: return execute_numbers(name, 0, ::execute_rand);
        case TOKEN_RAND_RANGE: return execute_numbers(name, 2, ::execute_rand_range);
        case TOKEN_TIME: return execute_named_empty(name, ::execute_time);
        case TOKEN_TIMESTAMP: return execute_named_empty(name, ::execute_timestamp);
        case TOKEN_TYPE_OF: return execute_type_of(name);
        case TOKEN_PUSH: return execute_array_procedure(name, true, ::execute_push);
        case TOKEN_POP: return execute_array_procedure(name, false, ::execute_pop);
        case TOKEN_CONTAINS: return execute_array_procedure(name, true, ::execute_contains);
        case TOKEN_LENGTH: return execute_array_procedure(name, false, ::execute_length);
        case TOKEN_READ_FILE: return execute_file_procedure(name, false, ::execute_read_file);
        case TOKEN_WRITE_FILE: return execute_file_procedure(name, true, ::execute_write_file);
        case TOKEN_APPEND_FILE: return execute_file_procedure(name, true, ::execute_append_file);
        case TOKEN_ADN: return execute_adn(name);
        case TOKEN_ADM: return execute_adm(name);
        default: return execute_string_procedure(name, type);
    }
}

}  // namespace

bool execute_procedure(const Token& first) {
    static const char* const identifiers[] = {"input", "str"};
    const char* name = nullptr;
    if (first.type == TOKEN_IDENTIFIER) {
        for (const char* candidate : identifiers) {
            if (std::strcmp(first.text, candidate) == 0) name = candidate;
        }
    } else if ((first.type >= TOKEN_SLEEP && first.type <= TOKEN_SLEEPMS) ||
               (first.type >= TOKEN_UPPER && first.type <= TOKEN_ADM && first.type != TOKEN_INSTALL &&
                first.type != TOKEN_UPDATE && first.type != TOKEN_REMOVE)) {
        for (int row = 0; keywords[row].name != nullptr; row++) {
            if (keywords[row].type == first.type) name = keywords[row].name;
        }
    }
    if (name == nullptr) return false;
    if (const Procedure* procedure = find_procedure(first.type, name)) result = result_name(*procedure);
    run_procedure(first.type, name);
    consume_after(TOKEN_SEMICOLON, name);
    return true;
}

}  // namespace oracle
