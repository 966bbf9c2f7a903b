#include "core/variables.h"

#include <cstring>

#include "core/cursor.h"
#include "core/error.h"

Variable vars[VARIABLE_LIMIT];
int var_count = 0;

void copy_text(char* field, int capacity, const char* text) {
    std::size_t length = std::strlen(text);
    if (length > static_cast<std::size_t>(capacity - 1)) length = capacity - 1;
    std::memmove(field, text, length);
    field[length] = '\0';
}

Variable* find_variable(const char* name) {
    for (int slot = 0; slot < var_count; slot++) {
        if (std::strcmp(vars[slot].name, name) == 0) return &vars[slot];
    }
    return nullptr;
}

Variable* find_string_variable(const char* name) {
    // Names are unique, so the first match is the only candidate.
    Variable* variable = find_variable(name);
    return variable != nullptr && variable->is_string ? variable : nullptr;
}

Variable* find_or_create_variable(const char* name) {
    Variable* variable = find_variable(name);
    if (variable != nullptr) return variable;
    if (var_count == VARIABLE_LIMIT) error("Too many variables (max %d)", VARIABLE_LIMIT);
    variable = &vars[var_count++];
    std::memset(variable->name, 0, NAME_SIZE);
    copy_text(variable->name, NAME_SIZE, name);
    return variable;
}

Variable* find_variable_at(int index) {
    int slot = variable_slots[index];
    if (slot >= 0) return &vars[slot];
    Variable* variable = find_variable(tokens[index].text);
    if (variable != nullptr) variable_slots[index] = static_cast<int>(variable - vars);
    return variable;
}

void store_string_result(const char* name, const char* text) {
    Variable* variable = find_or_create_variable(name);
    copy_text(variable->string, STRING_SIZE, text);
    variable->is_string = 1;
}

void store_number_result(const char* name, double value) {
    Variable* variable = find_or_create_variable(name);
    variable->number = value;
    variable->is_string = 0;
}
