#pragma once

#include <string>
#include <string_view>
#include <vector>

// Every fault that the lexer, the compiler, the engine and the package reader
// can raise: its code, what decides it (the text alone; which variables exist
// where it is met; the values computed; files, input and memory) and its
// format. Running, checking and the reference interpreter all format from it.
#define ZENTUL_FAULTS(ROW)                                                            \
    ROW(UNTERMINATED_STRING, TEXT, "Unterminated string literal")                     \
    ROW(UNKNOWN_CHARACTER, TEXT, "Unknown character: '%c'")                           \
    ROW(TOO_MANY_TOKENS, TEXT, "Too many tokens (max %d)")                            \
    ROW(EXPECTED_AFTER, TEXT, "Expected '%c' after %s (got '%s')")                    \
    ROW(EXPECTED_IN_FOR, TEXT, "Expected ';' in for loop (got '%s')")                 \
    ROW(EXPECTED_CLOSE, TEXT, "Expected ')' (got '%s')")                              \
    ROW(EXPECTED_BLOCK, TEXT, "Expected '{' (got '%s')")                              \
    ROW(EXPECTED_SEPARATOR, TEXT, "Expected ',' between arguments (got '%s')")        \
    ROW(EXPECTED_NAME, TEXT, "Expected variable name (got '%s')")                     \
    ROW(EXPECTED_LITERAL, TEXT, "Expected string argument (got '%s')")                \
    ROW(EXPECTED_EXPRESSION, TEXT, "Expected expression (got '%s')")                  \
    ROW(EXPECTED_ARGUMENT, TEXT, "Expected %s for %s()")                              \
    ROW(EXPECTED_OPERAND, TEXT, "Expected string argument for %s")                    \
    ROW(UNEXPECTED_TOKEN, TEXT, "Unexpected token: %s")                               \
    ROW(UNEXPECTED_IDENTIFIER, TEXT, "Unexpected identifier: %s")                     \
    ROW(UNEXPECTED_IN_PRINT, TEXT, "Unexpected token in print: '%s'")                 \
    ROW(STRING_IN_EXPRESSION, TEXT, "Cannot use string in expression")               \
    ROW(UNDEFINED_FUNCTION, TEXT, "Undefined function: %s")                           \
    ROW(EXPECTED_COMMAND, TEXT, "Expected %s command")                                \
    ROW(EXPECTED_PACKAGE_NAME, TEXT, "Expected package name for %s")                  \
    ROW(EXPECTED_REPOSITORY, TEXT, "Expected repository URL for %s")                  \
    ROW(UNKNOWN_COMMAND, TEXT, "Unknown %s command: %s")                              \
    ROW(UNDEFINED_VARIABLE, NAMES, "Undefined variable: %s")                          \
    ROW(NOT_A_STRING, NAMES, "Undefined variable or not a string: %s")                \
    ROW(UNDEFINED_ARRAY, NAMES, "Undefined array: %s")                                \
    ROW(NOT_AN_ARRAY, NAMES, "Variable is not an array: %s")                          \
    ROW(DIVISION_BY_ZERO, VALUES, "Division by zero")                                 \
    ROW(MODULO_BY_ZERO, VALUES, "Modulo by zero")                                     \
    ROW(EMPTY_DELIMITER, VALUES, "Delimiter cannot be empty")                         \
    ROW(INDEX_OUT_OF_BOUNDS, VALUES, "Index out of bounds: %d (string length: %d)")   \
    ROW(ARRAY_FULL, VALUES, "Array is full: %s")                                      \
    ROW(ARRAY_EMPTY, VALUES, "Array is empty: %s")                                    \
    ROW(TOO_MANY_VARIABLES, VALUES, "Too many variables (max %d)")                    \
    ROW(INPUT_FAILED, SYSTEM, "Failed to read input")                                 \
    ROW(OPEN_FAILED, SYSTEM, "Failed to open file: %s")                               \
    ROW(OPEN_FOR_WRITING_FAILED, SYSTEM, "Failed to open file for writing: %s")       \
    ROW(OPEN_FOR_APPENDING_FAILED, SYSTEM, "Failed to open file for appending: %s")   \
    ROW(WRITE_FAILED, SYSTEM, "Failed to write file: %s")                             \
    ROW(CANNOT_OPEN_FILE, SYSTEM, "Cannot open file: %s")                             \
    ROW(CANNOT_READ_FILE, SYSTEM, "Cannot read file: %s")                             \
    ROW(SCRIPT_TOO_LARGE, SYSTEM, "Cannot read file: %s (scripts are limited to %s MiB)") \
    ROW(OUT_OF_MEMORY, SYSTEM, "Out of memory")                                       \
    ROW(CANNOT_OPEN_PACKAGE, SYSTEM, "Cannot open package file: %s")                  \
    ROW(PACKAGE_CODE_TOO_LARGE, SYSTEM, "Package code too large: %s")                \
    ROW(PACKAGE_FILE_TOO_LARGE, SYSTEM, "Package file too large: %s (%s)")

enum class FaultCode : unsigned char {
#define ZENTUL_FAULT_CODE(code, decided_by, format) code,
    ZENTUL_FAULTS(ZENTUL_FAULT_CODE)
#undef ZENTUL_FAULT_CODE
};

enum class DecidedBy : unsigned char { TEXT, NAMES, VALUES, SYSTEM };

DecidedBy decided_by(FaultCode code);

// One fault, as data: its code, its arguments as text, the line it is
// reported at (0: the line the statement before left, for a fault met before
// the statement read a token; `own_line` is then its own), and the token it
// was found at (-1 for none).
struct Fault {
    FaultCode code{};
    std::vector<std::string> arguments;
    int line = 0;
    int own_line = 0;
    int token = -1;

    std::string message() const;  // the format filled with the arguments
};

inline std::string argument_text(std::string_view text) { return std::string(text); }
inline std::string argument_text(int number) { return std::to_string(number); }
inline std::string argument_text(char character) { return std::string(1, character); }

// The fault of that code with its arguments: texts, ints and characters.
template <typename... Arguments>
Fault fault_of(FaultCode code, const Arguments&... arguments) {
    return Fault{code, {argument_text(arguments)...}};
}
