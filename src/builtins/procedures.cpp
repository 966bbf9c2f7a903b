#include "builtins/procedures.h"

#include <cstring>

#include "builtins/actions.h"

namespace {

using enum ArgumentKind;

constexpr ArgumentForm SOURCE = {STRING, nullptr, "string argument"};

const Procedure procedures[] = {
    {TOKEN_IDENTIFIER, "input", false, 1, {{PROMPT}}, execute_input},
    {TOKEN_IDENTIFIER, "str", false, 1, {{NUMBER}}, execute_str},
    {TOKEN_SLEEP, "sleep", false, 1, {{NUMBER}}, execute_sleep},
    {TOKEN_SLEEPMS, "sleepms", false, 1, {{NUMBER}}, execute_sleepms},
    {TOKEN_CLEAR, "clear", false, 0, {}, execute_clear},
    {TOKEN_GETCH, "getch", false, 0, {}, execute_getch},
    {TOKEN_RAND, "rand", false, 0, {}, execute_rand},
    {TOKEN_RAND_RANGE, "rand_range", false, 2, {{NUMBER}, {NUMBER}}, execute_rand_range},
    {TOKEN_TIME, "time", true, 0, {}, execute_time},
    {TOKEN_TIMESTAMP, "timestamp", true, 0, {}, execute_timestamp},
    {TOKEN_TYPE_OF, "type_of", true, 1, {{VALUE, nullptr, "value"}}, execute_type_of},
    {TOKEN_UPPER, "upper", true, 1, {SOURCE}, execute_upper},
    {TOKEN_LOWER, "lower", true, 1, {SOURCE}, execute_lower},
    {TOKEN_TRIM, "trim", true, 1, {SOURCE}, execute_trim},
    {TOKEN_SUBSTRING, "substring", true, 3, {SOURCE, {NUMBER, "string"}, {NUMBER, "start"}}, execute_substring},
    {TOKEN_CHAR_AT, "char_at", true, 2, {SOURCE, {NUMBER, "string"}}, execute_char_at},
    {TOKEN_REPLACE, "replace", true, 3,
     {SOURCE, {LITERAL, "string", "old substring"}, {LITERAL, "old string", "new substring"}}, execute_replace},
    {TOKEN_SPLIT, "split", true, 2, {SOURCE, {LITERAL, "string", "delimiter"}}, execute_split},
    {TOKEN_PUSH, "push", true, 2, {{ARRAY, nullptr, "array name"}, {NUMBER, "array name"}}, execute_push},
    {TOKEN_POP, "pop", true, 1, {{ARRAY, nullptr, "array name"}}, execute_pop},
    {TOKEN_CONTAINS, "contains", true, 2, {{ARRAY, nullptr, "array name"}, {NUMBER, "array name"}}, execute_contains},
    {TOKEN_LENGTH, "length", true, 1, {{ARRAY, nullptr, "array name"}}, execute_length},
    {TOKEN_READ_FILE, "read_file", true, 1, {{STRING, nullptr, "filename string"}}, execute_read_file},
    {TOKEN_WRITE_FILE, "write_file", true, 2,
     {{STRING, nullptr, "filename string"}, {STRING, "filename", "content string"}}, execute_write_file},
    {TOKEN_APPEND_FILE, "append_file", true, 2,
     {{STRING, nullptr, "filename string"}, {STRING, "filename", "content string"}}, execute_append_file},
    {TOKEN_EOF, nullptr, false, 0, {}, nullptr},
};

}  // namespace

const Procedure* find_procedure(TokenType kind, const char* text) {
    for (const Procedure* procedure = procedures; procedure->name != nullptr; procedure++) {
        if (procedure->token != kind) continue;
        if (kind != TOKEN_IDENTIFIER || std::strcmp(procedure->name, text) == 0) return procedure;
    }
    return nullptr;
}

const char* kind_of(const Variable* variable) {
    if (variable == nullptr) return "unknown";
    if (variable->is_string) return "string";
    if (variable->is_array) return "array";
    return "number";
}
