#pragma once

constexpr int VARIABLE_LIMIT = 256;
constexpr int ARRAY_LIMIT = 1000;
// Arrays are searched in blocks of this many elements, and every element
// past the length, up to the block's end, is a NaN, which equals nothing.
constexpr int SCAN_BLOCK = 32;
constexpr int ELEMENT_ROOM = (ARRAY_LIMIT + SCAN_BLOCK - 1) / SCAN_BLOCK * SCAN_BLOCK;
constexpr int NAME_SIZE = 64;      // 63 characters and the NUL
constexpr int STRING_SIZE = 1024;  // 1023 characters and the NUL
// A variable's text lies in a buffer with room for another string after it,
// so that a text being built can take a whole piece before it is cut.
constexpr int TEXT_ROOM = 2 * STRING_SIZE;

// A variable. Its text and elements, used by few, are kept apart from the
// rest, so that the variables a script uses share a few pages. The text is
// read only while is_string is set; it carries its length.
struct Variable {
    double number;
    int is_string;
    int is_array;
    int array_length;
    int length;  // of the text
    char name[NAME_SIZE];
    char* string;      // TEXT_ROOM bytes; a result may swap in another buffer
    double* elements;  // ELEMENT_ROOM numbers
};

extern Variable vars[VARIABLE_LIMIT];
extern int var_count;

// Empties the table, as at the start of the process.
void reset_variables();

Variable* find_variable(const char* name);
// A full table stops the script with an error at `line`.
Variable* find_or_create_variable(const char* name, int line);

// A name that compiled code reads. Its variable is looked up the first time
// and kept, since variables never move.
struct NameRef {
    const char* name;
    int line;  // where a missing variable is reported
    mutable Variable* variable = nullptr;

    Variable* find() const { return variable != nullptr ? variable : (variable = find_variable(name)); }
};

// The variable, or the "Undefined variable" error at the name's line.
[[gnu::noinline]] Variable* look_up_defined(const NameRef& name);
inline Variable* defined_variable(const NameRef& name) {
    return name.variable != nullptr ? name.variable : look_up_defined(name);
}

// Copies text into a fixed field, cut to the field's capacity; returns the
// length copied.
int copy_text(char* field, int capacity, const char* text);

// Gives the variable the text of that length, or up to its NUL, cut at 1023
// characters, and makes it a string.
void set_text(Variable* variable, const char* text, int length);
void set_text(Variable* variable, const char* text);

// A text built where nothing is read: `text_under_construction()` is a
// free buffer of TEXT_ROOM bytes, and `take_text` makes its first `length`
// characters, cut at 1023, the variable's text, giving it the variable's old
// buffer in exchange.
char* text_under_construction();
void take_text(Variable* variable, int length);

// A variable outside the table, which nothing reads.
Variable* stand_in_variable();

// Result stores: the result variable is made the first time (a full table
// stops the script at the name's line) and kept; then its value is set.
Variable* result_variable(const NameRef& name);
void store_string_result(const NameRef& name, const char* text);
void store_number_result(const NameRef& name, double value);
