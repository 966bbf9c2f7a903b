#pragma once

constexpr int VARIABLE_LIMIT = 256;
constexpr int ARRAY_LIMIT = 1000;
constexpr int NAME_SIZE = 64;      // 63 characters and the NUL
constexpr int STRING_SIZE = 1024;  // 1023 characters and the NUL

struct Variable {
    char name[NAME_SIZE];
    double number;
    char string[STRING_SIZE];
    int is_string;
    int is_array;
    double elements[ARRAY_LIMIT];
    int array_length;
};

extern Variable vars[VARIABLE_LIMIT];
extern int var_count;

// Empties the table, as at the start of the process.
void reset_variables();

Variable* find_variable(const char* name);
Variable* find_string_variable(const char* name);
Variable* find_or_create_variable(const char* name);

// The variable named by the identifier token at `index`, remembering its slot
// once found. Null when none exists.
Variable* find_variable_at(int index);

// Copies text into a fixed field, cut to the field's capacity.
void copy_text(char* field, int capacity, const char* text);

// Result stores: find or create the result variable, then set its value.
void store_string_result(const char* name, const char* text);
void store_number_result(const char* name, double value);
