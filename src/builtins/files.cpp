#include <cstdio>

#include "builtins/arguments.h"
#include "builtins/builtins.h"
#include "core/cursor.h"
#include "core/error.h"
#include "core/variables.h"

namespace {

struct FileWriter {
    const char* open;
    const char* name;
    const char* content;
    const char* close;
    const char* mode;
    const char* open_failure;
};

const FileWriter write_file_writer = {
    "Expected '(' after write_file", "Expected filename string for write_file()",
    "Expected content string for write_file()", "Expected ')' after write_file",
    "w", "Failed to open file for writing"};
const FileWriter append_file_writer = {
    "Expected '(' after append_file", "Expected filename string for append_file()",
    "Expected content string for append_file()", "Expected ')' after append_file",
    "a", "Failed to open file for appending"};

// Reads at most a string's worth of bytes; a NUL byte read ends the text.
void read_beginning(std::FILE* file, char* text) {
    int length = 0;
    int c;
    while (length < STRING_SIZE - 1 && (c = std::fgetc(file)) != EOF) text[length++] = static_cast<char>(c);
    text[length] = '\0';
}

void write_whole_file(const FileWriter& writer) {
    consume(TOKEN_LPAREN, writer.open);
    const char* name = read_string_argument(writer.name);
    consume(TOKEN_COMMA, "Expected ',' after filename");
    const char* content = read_string_argument(writer.content);
    consume(TOKEN_RPAREN, writer.close);

    std::FILE* file = std::fopen(name, writer.mode);
    if (file == nullptr) error("%s: %s", writer.open_failure, name);
    bool written = std::fputs(content, file) != EOF;
    // Buffered bytes reach the disk only at the close, so its failure counts too.
    bool closed = std::fclose(file) == 0;
    if (!written || !closed) error("Failed to write file: %s", name);
}

}  // namespace

void execute_read_file() {
    consume(TOKEN_LPAREN, "Expected '(' after read_file");
    const char* name = read_string_argument("Expected filename string for read_file()");
    consume(TOKEN_RPAREN, "Expected ')' after read_file");

    std::FILE* file = std::fopen(name, "r");
    if (file == nullptr) error("Failed to open file: %s", name);
    char text[STRING_SIZE];
    read_beginning(file, text);
    std::fclose(file);
    store_string_result("__read_file_result", text);
}

void execute_write_file() { write_whole_file(write_file_writer); }
void execute_append_file() { write_whole_file(append_file_writer); }
