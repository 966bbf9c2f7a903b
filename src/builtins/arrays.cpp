#include "builtins/procedures.h"
#include "core/error.h"

namespace {

// The array named by the first argument, looked up once the whole argument
// list has been read (they may make the name).
Variable* array_of(const Call& call) {
    const NameRef& name = *call.arguments[0].array;
    Variable* array = name.find();
    if (array == nullptr) raise_at(call.line, FaultCode::UNDEFINED_ARRAY, name.name);
    if (!array->is_array) raise_at(call.line, FaultCode::NOT_AN_ARRAY, name.name);
    return array;
}

bool holds_value(const Variable& array, double value) {
    for (int i = 0; i < array.array_length; i++) {
        if (array.elements[i] == value) return true;
    }
    return false;
}

void execute_push(const Call& call) {
    Variable* array = array_of(call);
    if (array->array_length >= ARRAY_LIMIT) raise_at(call.line, FaultCode::ARRAY_FULL, call.arguments[0].array->name);
    array->elements[array->array_length++] = call.arguments[1].number;
}

void execute_pop(const Call& call) {
    Variable* array = array_of(call);
    if (array->array_length <= 0) raise_at(call.line, FaultCode::ARRAY_EMPTY, call.arguments[0].array->name);
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

using enum ArgumentKind;

constexpr ArgumentForm ARRAY_NAME = {ARRAY, nullptr, "array name"};

}  // namespace

const Procedure array_procedures[] = {
    {TOKEN_PUSH, "push", true, 2, {ARRAY_NAME, {NUMBER, "array name"}}, execute_push, Result::NONE},
    {TOKEN_POP, "pop", true, 1, {ARRAY_NAME}, execute_pop, Result::NUMBER},
    {TOKEN_CONTAINS, "contains", true, 2, {ARRAY_NAME, {NUMBER, "array name"}}, execute_contains, Result::NUMBER},
    {TOKEN_LENGTH, "length", true, 1, {ARRAY_NAME}, execute_length, Result::NUMBER},
    {TOKEN_EOF, nullptr, false, 0, {}, nullptr, Result::NONE},
};
