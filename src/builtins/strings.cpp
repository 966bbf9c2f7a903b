#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "builtins/procedures.h"
#include "core/error.h"

namespace {

// The program never sets a locale, so the C library's classes are ASCII's:
// only A-Z and a-z change case, and white space is ' ' and '\t' to '\r'.
bool is_white_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

void to_upper(char* text) {
    for (; *text != '\0'; text++) {
        if (*text >= 'a' && *text <= 'z') *text = static_cast<char>(*text - 'a' + 'A');
    }
}

void to_lower(char* text) {
    for (; *text != '\0'; text++) {
        if (*text >= 'A' && *text <= 'Z') *text = static_cast<char>(*text - 'A' + 'a');
    }
}

void trim_white_space(char* text) {
    std::size_t start = 0;
    while (is_white_space(text[start])) start++;
    std::size_t end = start + std::strlen(text + start);
    while (end > start && is_white_space(text[end - 1])) end--;
    std::memmove(text, text + start, end - start);
    text[end - start] = '\0';
}

// A procedure of one string argument that rewrites it in place.
void transform_string(const Call& call, void (*transform)(char* text)) {
    char text[STRING_SIZE];
    copy_text(text, STRING_SIZE, call.arguments[0].text);
    transform(text);
    store_string_result(*call.result, text);
}

int text_length(const char* text) { return static_cast<int>(std::strlen(text)); }

// The first character is compared on its own, since most places differ there.
bool starts_with(const char* text, const char* prefix, std::size_t prefix_length) {
    return text[0] == prefix[0] && std::strncmp(text, prefix, prefix_length) == 0;
}

// Appends `count` characters of `text` to `out` (holding `*length`
// characters), cut at the string limit.
void append_cut(char* out, int* length, const char* text, std::ptrdiff_t count) {
    std::ptrdiff_t room = STRING_SIZE - 1 - *length;
    if (count > room) count = room;
    std::memcpy(out + *length, text, static_cast<std::size_t>(count));
    *length += static_cast<int>(count);
}

// Converts the field and appends its value; values past the array's limit are dropped.
void add_field_value(Variable* array, char* field, int field_length) {
    field[field_length] = '\0';
    if (array->array_length < ARRAY_LIMIT) array->elements[array->array_length++] = std::atof(field);
}

void execute_upper(const Call& call) { transform_string(call, to_upper); }
void execute_lower(const Call& call) { transform_string(call, to_lower); }
void execute_trim(const Call& call) { transform_string(call, trim_white_space); }

void execute_substring(const Call& call) {
    char text[STRING_SIZE];
    copy_text(text, STRING_SIZE, call.arguments[0].text);
    int start = truncate_to_int(call.arguments[1].number);
    int length = truncate_to_int(call.arguments[2].number);
    int text_len = text_length(text);
    if (text_len > 0) {
        if (start < 0) start = 0;
        if (start > text_len - 1) start = text_len - 1;
        if (length < 0) length = 0;
        int count = length < text_len - start ? length : text_len - start;
        std::memmove(text, text + start, static_cast<std::size_t>(count));
        text[count] = '\0';
    }
    store_string_result(*call.result, text);
}

void execute_char_at(const Call& call) {
    const char* text = call.arguments[0].text;
    int index = truncate_to_int(call.arguments[1].number);
    int text_len = text_length(text);
    if (index < 0 || index >= text_len) {
        raise_at(call.line, FaultCode::INDEX_OUT_OF_BOUNDS, index, text_len);
    }
    char character[2] = {text[index], '\0'};
    store_string_result(*call.result, character);
}

void execute_replace(const Call& call) {
    const char* source = call.arguments[0].text;
    const char* old_text = call.arguments[1].text;
    const char* new_text = call.arguments[2].text;
    std::size_t old_length = std::strlen(old_text);
    // An empty pattern would match everywhere without moving on.
    if (old_length == 0) return store_string_result(*call.result, source);
    char out[STRING_SIZE];
    int length = 0;
    for (const char* at = source; *at != '\0' && length < STRING_SIZE - 1;) {
        const char* found = std::strstr(at, old_text);
        const char* end = found != nullptr ? found : at + std::strlen(at);
        append_cut(out, &length, at, end - at);
        if (found == nullptr) break;
        append_cut(out, &length, new_text, std::strlen(new_text));
        at = found + old_length;
    }
    out[length] = '\0';
    store_string_result(*call.result, out);
}

void execute_split(const Call& call) {
    const char* source = call.arguments[0].text;
    const char* delimiter = call.arguments[1].text;
    std::size_t delimiter_length = std::strlen(delimiter);  // never 0: the call refuses an empty one
    // The source is a copy, so the values can go straight into the result.
    Variable* result = result_variable(*call.result);
    result->is_string = 0;
    result->is_array = 1;
    result->array_length = 0;
    char field[STRING_SIZE];
    int field_length = 0;
    for (const char* at = source; *at != '\0';) {
        if (starts_with(at, delimiter, delimiter_length)) {
            add_field_value(result, field, field_length);
            field_length = 0;
            at += delimiter_length;
        } else {
            field[field_length++] = *at++;
        }
    }
    if (field_length > 0) add_field_value(result, field, field_length);
}

using enum ArgumentKind;

constexpr ArgumentForm SOURCE = {STRING, nullptr, "string argument"};

}  // namespace

const Procedure string_procedures[] = {
    {TOKEN_UPPER, "upper", true, 1, {SOURCE}, execute_upper, Result::TEXT},
    {TOKEN_LOWER, "lower", true, 1, {SOURCE}, execute_lower, Result::TEXT},
    {TOKEN_TRIM, "trim", true, 1, {SOURCE}, execute_trim, Result::TEXT},
    {TOKEN_SUBSTRING, "substring", true, 3, {SOURCE, {NUMBER, "string"}, {NUMBER, "start"}}, execute_substring,
     Result::TEXT},
    {TOKEN_CHAR_AT, "char_at", true, 2, {SOURCE, {NUMBER, "string"}}, execute_char_at, Result::TEXT},
    {TOKEN_REPLACE, "replace", true, 3,
     {SOURCE, {LITERAL, "string", "old substring"}, {LITERAL, "old string", "new substring"}}, execute_replace,
     Result::TEXT},
    {TOKEN_SPLIT, "split", true, 2, {SOURCE, {LITERAL, "string", "delimiter", true}}, execute_split, Result::ARRAY},
    {TOKEN_EOF, nullptr, false, 0, {}, nullptr, Result::NONE},
};
