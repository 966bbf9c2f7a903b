#include <algorithm>
#include <cstddef>
#include <cstring>

#include "builtins/call_forms.h"
#include "core/error.h"
#include "core/numbers.h"

namespace {

// The program never sets a locale, so the C library's classes are ASCII's:
// only A-Z and a-z change case, and white space is ' ' and '\t' to '\r'.
bool is_white_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Letters from `first` (a or A) change case by flipping the bit 32, sixteen
// at a time and then one by one: each byte of the text is read once and
// written once, into `out`, which may be the text itself.
template <unsigned char first>
void change_case(const char* text, int length, char* out) {
    using Bytes = unsigned char __attribute__((vector_size(16)));
    int at = 0;
    for (Bytes chunk; at + static_cast<int>(sizeof chunk) <= length; at += sizeof chunk) {
        std::memcpy(&chunk, text + at, sizeof chunk);
        chunk ^= static_cast<Bytes>(chunk - first < 26) & 32;
        std::memcpy(out + at, &chunk, sizeof chunk);
    }
    for (; at < length; at++) {
        auto c = static_cast<unsigned char>(text[at]);
        out[at] = static_cast<char>(static_cast<unsigned char>(c - first) < 26 ? c ^ 32 : c);
    }
}

void finish_text(Variable* result, int length) {
    result->string[length] = '\0';
    result->length = length;
    result->is_string = 1;
}

template <unsigned char first>
void execute_change_case(const Call& call) {
    const ArgumentValue& source = call.arguments[0];
    Variable* result = call.result;
    change_case<first>(source.text, source.length, result->string);
    finish_text(result, source.length);
}

void execute_trim(const Call& call) {
    const char* text = call.arguments[0].text;
    int start = 0;
    int end = call.arguments[0].length;
    while (start < end && is_white_space(text[start])) start++;
    while (end > start && is_white_space(text[end - 1])) end--;
    set_text(call.result, text + start, end - start);
}

void execute_substring(const Call& call) {
    const char* text = call.arguments[0].text;
    int length = call.arguments[0].length;
    int start = 0;
    int count = 0;
    if (length > 0) {  // an empty text gives an empty one, whatever the numbers
        start = std::clamp(truncate_to_int(call.arguments[1].number), 0, length - 1);
        count = std::clamp(truncate_to_int(call.arguments[2].number), 0, length - start);
    }
    set_text(call.result, text + start, count);
}

void execute_char_at(const Call& call) {
    const char* text = call.arguments[0].text;
    int length = call.arguments[0].length;
    int index = truncate_to_int(call.arguments[1].number);
    if (index < 0 || index >= length) raise_at(call.line, FaultCode::INDEX_OUT_OF_BOUNDS, index, length);
    set_text(call.result, text + index, 1);
}

// Copies a piece of text; a short literal without a call.
void copy_piece(char* out, const char* text, std::ptrdiff_t length, bool literal) {
    if (!literal || length > 8) return static_cast<void>(std::memcpy(out, text, static_cast<std::size_t>(length)));
    for (std::ptrdiff_t i = 0; i < length; i++) out[i] = text[i];
}

// Every occurrence of the old text, left to right, replaced by the new one,
// cut at the string limit. The text is read once: the search for the old
// text's first character, which looks at the next one itself, and the copy of
// what lies before it. The text being built has room for a whole piece past
// the limit, and is cut once at the end.
void execute_replace(const Call& call) {
    const ArgumentValue& source = call.arguments[0];
    const ArgumentValue& old_text = call.arguments[1];
    const ArgumentValue& new_text = call.arguments[2];
    // An empty pattern would match everywhere without moving on.
    if (old_text.length == 0) return set_text(call.result, source.text, source.length);
    char* const out = text_under_construction();
    char* put = out;
    const char* at = source.text;
    const char* const end = source.text + source.length;
    const char first = old_text.text[0];
    while (at < end && put < out + STRING_SIZE - 1) {
        const char* found = at;
        if (*at != first) found = static_cast<const char*>(std::memchr(at, first, static_cast<std::size_t>(end - at)));
        if (found == nullptr) found = end;
        if (found != at) copy_piece(put, at, found - at, false);
        put += found - at;
        if (found == end || put >= out + STRING_SIZE - 1) break;
        bool matches = end - found >= old_text.length;
        for (int i = 1; matches && i < old_text.length; i++) matches = found[i] == old_text.text[i];
        const char* piece = matches ? new_text.text : &first;
        std::ptrdiff_t length = matches ? new_text.length : 1;
        copy_piece(put, piece, length, true);
        put += length;
        at = found + (matches ? old_text.length : 1);
    }
    take_text(call.result, static_cast<int>(put - out));
}

// The number of each field between delimiters; fields past the array's limit
// are dropped. Elements past the length are made NaN again, all of them
// where the variable was no array.
void execute_split(const Call& call) {
    const ArgumentValue& source = call.arguments[0];
    const ArgumentValue& delimiter = call.arguments[1];  // never empty: the call refuses it
    Variable* result = call.result;
    int old_length = result->is_array ? result->array_length : ELEMENT_ROOM;
    result->is_string = 0;
    result->is_array = 1;
    int count = 0;
    const char* end = source.text + source.length;
    auto delimiter_at = [&](const char* at) {
        return *at == delimiter.text[0] && (delimiter.length == 1 || (end - at >= delimiter.length &&
               std::memcmp(at + 1, delimiter.text + 1, static_cast<std::size_t>(delimiter.length - 1)) == 0));
    };
    // A delimiter at the very end leaves no empty field after it.
    for (const char* field = source.text; field < end;) {
        const char* at = field;
        while (at < end && !delimiter_at(at)) at++;
        if (count < ARRAY_LIMIT) result->elements[count++] = read_number(field, at);
        field = at + (at < end ? delimiter.length : 0);
    }
    result->array_length = count;
    for (int i = count; i < old_length; i++) result->elements[i] = __builtin_nan("");
}

using enum ArgumentKind;

constexpr ArgumentForm SOURCE = {STRING, nullptr, "string argument"};

}  // namespace

const Procedure string_procedures[] = {
    {TOKEN_UPPER, "upper", true, 1, {SOURCE}, Result::TEXT, forms_of<execute_change_case<'a'>, STRING>},
    {TOKEN_LOWER, "lower", true, 1, {SOURCE}, Result::TEXT, forms_of<execute_change_case<'A'>, STRING>},
    {TOKEN_TRIM, "trim", true, 1, {SOURCE}, Result::TEXT, forms_of<execute_trim, STRING>},
    {TOKEN_SUBSTRING, "substring", true, 3, {SOURCE, {NUMBER, "string"}, {NUMBER, "start"}},
     Result::TEXT, forms_of<execute_substring, STRING, NUMBER, NUMBER>},
    {TOKEN_CHAR_AT, "char_at", true, 2, {SOURCE, {NUMBER, "string"}}, Result::TEXT, forms_of<execute_char_at, STRING, NUMBER>},
    {TOKEN_REPLACE, "replace", true, 3,
     {SOURCE, {LITERAL, "string", "old substring"}, {LITERAL, "old string", "new substring"}},
     Result::TEXT, forms_of<execute_replace, STRING, LITERAL, LITERAL>},
    {TOKEN_SPLIT, "split", true, 2, {SOURCE, {LITERAL, "string", "delimiter", true}}, Result::ARRAY, forms_of<execute_split, STRING, LITERAL>},
    {TOKEN_EOF, nullptr, false, 0, {}, Result::NONE, nullptr},
};
