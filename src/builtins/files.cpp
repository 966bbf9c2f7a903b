#include <cstdio>

#include "builtins/arguments.h"
#include "builtins/builtins.h"
#include "core/cursor.h"
#include "core/error.h"
#include "core/variables.h"

namespace {

constexpr char FILENAME[] = "filename string";
constexpr char CONTENT[] = "content string";

// Reads at most a string's worth of bytes; a NUL byte read ends the text.
void read_beginning(std::FILE* file, char* text) {
    int length = 0;
    int c;
    while (length < STRING_SIZE - 1 && (c = std::fgetc(file)) != EOF) text[length++] = static_cast<char>(c);
    text[length] = '\0';
}

// Writes the content into the file opened with `mode` ("w" or "a");
// `purpose` names the opening in its failure message.
void write_to_file(const char* name, const char* mode, const char* purpose) {
    consume_after(TOKEN_LPAREN, name);
    const char* path = read_string_argument(FILENAME, name);
    consume_after(TOKEN_COMMA, "filename");
    const char* content = read_string_argument(CONTENT, name);
    consume_after(TOKEN_RPAREN, name);

    std::FILE* file = std::fopen(path, mode);
    if (file == nullptr) error("Failed to open file for %s: %s", purpose, path);
    bool written = std::fputs(content, file) != EOF;
    // Buffered bytes reach the disk only at the close, so its failure counts too.
    bool closed = std::fclose(file) == 0;
    if (!written || !closed) error("Failed to write file: %s", path);
}

}  // namespace

void execute_read_file(const char* name) {
    consume_after(TOKEN_LPAREN, name);
    const char* path = read_string_argument(FILENAME, name);
    consume_after(TOKEN_RPAREN, name);

    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) error("Failed to open file: %s", path);
    char text[STRING_SIZE];
    read_beginning(file, text);
    std::fclose(file);
    store_string_result("__read_file_result", text);
}

void execute_write_file(const char* name) { write_to_file(name, "w", "writing"); }
void execute_append_file(const char* name) { write_to_file(name, "a", "appending"); }
