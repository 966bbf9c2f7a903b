#include <cstdio>

#include "builtins/call_forms.h"
#include "core/error.h"

namespace {

// Reads at most a string's worth of bytes; a NUL byte read ends the text.
void read_beginning(std::FILE* file, char* text) {
    int length = 0;
    int c;
    while (length < STRING_SIZE - 1 && (c = std::fgetc(file)) != EOF) text[length++] = static_cast<char>(c);
    text[length] = '\0';
}

// Writes the content into the file opened with `mode` ("w" or "a");
// `failure` is the fault of an opening that fails.
void write_to_file(const Call& call, const char* mode, FaultCode failure) {
    const char* path = call.arguments[0].text;
    std::FILE* file = std::fopen(path, mode);
    if (file == nullptr) raise_at(call.line, failure, path);
    bool written = std::fputs(call.arguments[1].text, file) != EOF;
    // Buffered bytes reach the disk only at the close, so its failure counts too.
    bool closed = std::fclose(file) == 0;
    if (!written || !closed) raise_at(call.line, FaultCode::WRITE_FAILED, path);
}

void execute_read_file(const Call& call) {
    const char* path = call.arguments[0].text;
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) raise_at(call.line, FaultCode::OPEN_FAILED, path);
    char text[STRING_SIZE];
    read_beginning(file, text);
    std::fclose(file);
    set_text(call.result, text);
}

void execute_write_file(const Call& call) { write_to_file(call, "w", FaultCode::OPEN_FOR_WRITING_FAILED); }
void execute_append_file(const Call& call) { write_to_file(call, "a", FaultCode::OPEN_FOR_APPENDING_FAILED); }

using enum ArgumentKind;

constexpr ArgumentForm FILE_NAME = {STRING, nullptr, "filename string"};
constexpr ArgumentForm CONTENT = {STRING, "filename", "content string"};

}  // namespace

const Procedure file_procedures[] = {
    {TOKEN_READ_FILE, "read_file", true, 1, {FILE_NAME}, Result::TEXT, forms_of<execute_read_file, STRING>},
    {TOKEN_WRITE_FILE, "write_file", true, 2, {FILE_NAME, CONTENT}, Result::NONE, forms_of<execute_write_file, STRING, STRING>},
    {TOKEN_APPEND_FILE, "append_file", true, 2, {FILE_NAME, CONTENT}, Result::NONE, forms_of<execute_append_file, STRING, STRING>},
    {TOKEN_EOF, nullptr, false, 0, {}, Result::NONE, nullptr},
};
