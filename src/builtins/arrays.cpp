#include "builtins/builtins.h"
#include "core/cursor.h"
#include "core/error.h"
#include "core/variables.h"
#include "expr/evaluate.h"

namespace {

// Reads "(" and the array's name; returns the index of the name's token.
int read_array_name(const char* name) {
    consume_after(TOKEN_LPAREN, name);
    if (!check(TOKEN_IDENTIFIER)) error_argument("array name", name);
    int name_index = current_token;
    step_over();
    return name_index;
}

double read_array_value() {
    consume_after(TOKEN_COMMA, "array name");
    return evaluate();
}

// Looked up only once the whole argument list has been read.
Variable* find_array(int name_index) {
    Variable* array = find_variable_at(name_index);
    if (array == nullptr) error("Undefined array: %s", tokens[name_index].text);
    if (!array->is_array) error("Variable is not an array: %s", tokens[name_index].text);
    return array;
}

bool holds_value(const Variable& array, double value) {
    for (int i = 0; i < array.array_length; i++) {
        if (array.elements[i] == value) return true;
    }
    return false;
}

}  // namespace

void execute_push(const char* name) {
    int name_index = read_array_name(name);
    double value = read_array_value();
    consume_after(TOKEN_RPAREN, name);
    Variable* array = find_array(name_index);
    if (array->array_length >= ARRAY_LIMIT) error("Array is full: %s", tokens[name_index].text);
    array->elements[array->array_length++] = value;
}

void execute_pop(const char* name) {
    int name_index = read_array_name(name);
    consume_after(TOKEN_RPAREN, name);
    Variable* array = find_array(name_index);
    if (array->array_length <= 0) error("Array is empty: %s", tokens[name_index].text);
    double value = array->elements[array->array_length - 1];
    store_number_result("__pop_result", value);
    array->array_length--;
}

void execute_contains(const char* name) {
    int name_index = read_array_name(name);
    double value = read_array_value();
    consume_after(TOKEN_RPAREN, name);
    Variable* array = find_array(name_index);
    store_number_result("__contains_result", holds_value(*array, value) ? 1 : 0);
}

void execute_length(const char* name) {
    int name_index = read_array_name(name);
    consume_after(TOKEN_RPAREN, name);
    Variable* array = find_array(name_index);
    store_number_result("__length_result", array->array_length);
}
