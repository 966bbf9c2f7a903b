#pragma once

constexpr int VARIABLE_LIMIT = 256;
constexpr int ARRAY_LIMIT = 1000;
constexpr int NAME_SIZE = 64;      // 63 characters and the NUL
constexpr int STRING_SIZE = 1024;  // 1023 characters and the NUL

// A variable. Its text and elements, used by few, are kept apart from the
// rest, so that the variables a script uses share a few pages. The text is
// read only while is_string is set.
struct Variable {
    double number;
    int is_string;
    int is_array;
    int array_length;
    char name[NAME_SIZE];
    char* string;      // STRING_SIZE bytes
    double* elements;  // ARRAY_LIMIT numbers
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

// Copies text into a fixed field, cut to the field's capacity.
void copy_text(char* field, int capacity, const char* text);

// Result stores: the result variable is made the first time (a full table
// stops the script at the name's line) and kept; then its value is set.
Variable* result_variable(const NameRef& name);
void store_string_result(const NameRef& name, const char* text);
void store_number_result(const NameRef& name, double value);
