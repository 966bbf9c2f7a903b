#include <cstdio>

#include "builtins/actions.h"
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
// `purpose` names the opening in its failure message.
void write_to_file(const Call& call, const char* mode, const char* purpose) {
    const char* path = call.arguments[0].text;
    std::FILE* file = std::fopen(path, mode);
    if (file == nullptr) error_at(call.line, "Failed to open file for %s: %s", purpose, path);
    bool written = std::fputs(call.arguments[1].text, file) != EOF;
    // Buffered bytes reach the disk only at the close, so its failure counts too.
    bool closed = std::fclose(file) == 0;
    if (!written || !closed) error_at(call.line, "Failed to write file: %s", path);
}

}  // namespace

void execute_read_file(const Call& call) {
    const char* path = call.arguments[0].text;
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) error_at(call.line, "Failed to open file: %s", path);
    char text[STRING_SIZE];
    read_beginning(file, text);
    std::fclose(file);
    store_string_result(*call.result, text);
}

void execute_write_file(const Call& call) { write_to_file(call, "w", "writing"); }
void execute_append_file(const Call& call) { write_to_file(call, "a", "appending"); }
