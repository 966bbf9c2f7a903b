#include "builtins/procedures.h"

#include <cstring>

#include "builtins/actions.h"

namespace {

using enum ArgumentKind;

constexpr ArgumentForm SOURCE = {STRING, nullptr, "string argument"};

const Procedure procedures[] = {
    {TOKEN_IDENTIFIER, "input", false, 1, {{PROMPT}}, execute_input, Result::TEXT},
    {TOKEN_IDENTIFIER, "str", false, 1, {{NUMBER}}, execute_str, Result::TEXT},
    {TOKEN_SLEEP, "sleep", false, 1, {{NUMBER}}, execute_sleep, Result::NONE},
    {TOKEN_SLEEPMS, "sleepms", false, 1, {{NUMBER}}, execute_sleepms, Result::NONE},
    {TOKEN_CLEAR, "clear", false, 0, {}, execute_clear, Result::NONE},
    {TOKEN_GETCH, "getch", false, 0, {}, execute_getch, Result::TEXT},
    {TOKEN_RAND, "rand", false, 0, {}, execute_rand, Result::RANDOM},
    {TOKEN_RAND_RANGE, "rand_range", false, 2, {{NUMBER}, {NUMBER}}, execute_rand_range, Result::RANDOM},
    {TOKEN_TIME, "time", true, 0, {}, execute_time, Result::TEXT},
    {TOKEN_TIMESTAMP, "timestamp", true, 0, {}, execute_timestamp, Result::NUMBER},
    {TOKEN_TYPE_OF, "type_of", true, 1, {{VALUE, nullptr, "value"}}, execute_type_of, Result::TEXT},
    {TOKEN_UPPER, "upper", true, 1, {SOURCE}, execute_upper, Result::TEXT},
    {TOKEN_LOWER, "lower", true, 1, {SOURCE}, execute_lower, Result::TEXT},
    {TOKEN_TRIM, "trim", true, 1, {SOURCE}, execute_trim, Result::TEXT},
    {TOKEN_SUBSTRING, "substring", true, 3, {SOURCE, {NUMBER, "string"}, {NUMBER, "start"}}, execute_substring,
     Result::TEXT},
    {TOKEN_CHAR_AT, "char_at", true, 2, {SOURCE, {NUMBER, "string"}}, execute_char_at, Result::TEXT},
    {TOKEN_REPLACE, "replace", true, 3,
     {SOURCE, {LITERAL, "string", "old substring"}, {LITERAL, "old string", "new substring"}}, execute_replace,
     Result::TEXT},
    {TOKEN_SPLIT, "split", true, 2, {SOURCE, {LITERAL, "string", "delimiter"}}, execute_split, Result::ARRAY},
    {TOKEN_PUSH, "push", true, 2, {{ARRAY, nullptr, "array name"}, {NUMBER, "array name"}}, execute_push, Result::NONE},
    {TOKEN_POP, "pop", true, 1, {{ARRAY, nullptr, "array name"}}, execute_pop, Result::NUMBER},
    {TOKEN_CONTAINS, "contains", true, 2, {{ARRAY, nullptr, "array name"}, {NUMBER, "array name"}}, execute_contains,
     Result::NUMBER},
    {TOKEN_LENGTH, "length", true, 1, {{ARRAY, nullptr, "array name"}}, execute_length, Result::NUMBER},
    {TOKEN_READ_FILE, "read_file", true, 1, {{STRING, nullptr, "filename string"}}, execute_read_file, Result::TEXT},
    {TOKEN_WRITE_FILE, "write_file", true, 2,
     {{STRING, nullptr, "filename string"}, {STRING, "filename", "content string"}}, execute_write_file, Result::NONE},
    {TOKEN_APPEND_FILE, "append_file", true, 2,
     {{STRING, nullptr, "filename string"}, {STRING, "filename", "content string"}}, execute_append_file, Result::NONE},
    {TOKEN_EOF, nullptr, false, 0, {}, nullptr, Result::NONE},
};

}  // namespace

const Procedure* find_procedure(TokenType kind, const char* text) {
    for (const Procedure* procedure = procedures; procedure->name != nullptr; procedure++) {
        if (procedure->token != kind) continue;
        if (kind != TOKEN_IDENTIFIER || std::strcmp(procedure->name, text) == 0) return procedure;
    }
    return nullptr;
}

std::string result_name(const Procedure& procedure) {
    if (procedure.result == Result::NONE) return "";
    return "__" + std::string(procedure.result == Result::RANDOM ? "rand" : procedure.name) +
           (procedure.result == Result::RANDOM ? "_" : "_result");
}

const char* kind_of(const Variable* variable) {
    if (variable == nullptr) return "unknown";
    if (variable->is_string) return "string";
    if (variable->is_array) return "array";
    return "number";
}
