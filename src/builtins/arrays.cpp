#include "builtins/builtins.h"
#include "core/cursor.h"
#include "core/error.h"
#include "core/variables.h"
#include "expr/evaluate.h"

namespace {

struct ArrayProcedure {
    const char* open;
    const char* name;
    const char* close;
};

const ArrayProcedure push_procedure = {
    "Expected '(' after push", "Expected array name for push()", "Expected ')' after push"};
const ArrayProcedure pop_procedure = {
    "Expected '(' after pop", "Expected array name for pop()", "Expected ')' after pop"};
const ArrayProcedure contains_procedure = {
    "Expected '(' after contains", "Expected array name for contains()",
    "Expected ')' after contains"};
const ArrayProcedure length_procedure = {
    "Expected '(' after length", "Expected array name for length()", "Expected ')' after length"};

// Reads "(" and the array's name; returns the index of the name's token.
int read_array_name(const ArrayProcedure& procedure) {
    consume(TOKEN_LPAREN, procedure.open);
    if (!check(TOKEN_IDENTIFIER)) error("%s", procedure.name);
    int name_index = current_token;
    step_over();
    return name_index;
}

double read_array_value() {
    consume(TOKEN_COMMA, "Expected ',' after array name");
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

void execute_push() {
    int name_index = read_array_name(push_procedure);
    double value = read_array_value();
    consume(TOKEN_RPAREN, push_procedure.close);
    Variable* array = find_array(name_index);
    if (array->array_length >= ARRAY_LIMIT) error("Array is full: %s", tokens[name_index].text);
    array->elements[array->array_length++] = value;
}

void execute_pop() {
    int name_index = read_array_name(pop_procedure);
    consume(TOKEN_RPAREN, pop_procedure.close);
    Variable* array = find_array(name_index);
    if (array->array_length <= 0) error("Array is empty: %s", tokens[name_index].text);
    double value = array->elements[array->array_length - 1];
    store_number_result("__pop_result", value);
    array->array_length--;
}

void execute_contains() {
    int name_index = read_array_name(contains_procedure);
    double value = read_array_value();
    consume(TOKEN_RPAREN, contains_procedure.close);
    Variable* array = find_array(name_index);
    store_number_result("__contains_result", holds_value(*array, value) ? 1 : 0);
}

void execute_length() {
    int name_index = read_array_name(length_procedure);
    consume(TOKEN_RPAREN, length_procedure.close);
    Variable* array = find_array(name_index);
    store_number_result("__length_result", array->array_length);
}
