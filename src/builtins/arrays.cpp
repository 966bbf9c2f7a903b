#include "builtins/actions.h"
#include "core/error.h"

namespace {

// The array named by the first argument, looked up once the whole argument
// list has been read.
Variable* array_of(const Call& call) {
    const ArgumentValue& argument = call.arguments[0];
    if (argument.variable == nullptr) error_at(call.line, "Undefined array: %s", argument.name);
    if (!argument.variable->is_array) error_at(call.line, "Variable is not an array: %s", argument.name);
    return argument.variable;
}

bool holds_value(const Variable& array, double value) {
    for (int i = 0; i < array.array_length; i++) {
        if (array.elements[i] == value) return true;
    }
    return false;
}

}  // namespace

void execute_push(const Call& call) {
    Variable* array = array_of(call);
    if (array->array_length >= ARRAY_LIMIT) error_at(call.line, "Array is full: %s", call.arguments[0].name);
    array->elements[array->array_length++] = call.arguments[1].number;
}

void execute_pop(const Call& call) {
    Variable* array = array_of(call);
    if (array->array_length <= 0) error_at(call.line, "Array is empty: %s", call.arguments[0].name);
    double value = array->elements[array->array_length - 1];
    store_number_result(*call.result, value);
    array->array_length--;
}

void execute_contains(const Call& call) {
    Variable* array = array_of(call);
    store_number_result(*call.result, holds_value(*array, call.arguments[1].number) ? 1 : 0);
}

void execute_length(const Call& call) {
    store_number_result(*call.result, array_of(call)->array_length);
}
