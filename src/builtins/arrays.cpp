#include "builtins/call_forms.h"
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

// A block of elements at a time, two to a vector: past the length they are
// NaN, which equals nothing (a NaN value no element either).
bool holds_value(const Variable& array, double value) {
    using Pair = double __attribute__((vector_size(16)));
    const Pair wanted = {value, value};
    const auto* elements = static_cast<const double*>(__builtin_assume_aligned(array.elements, 16));
    for (int block = 0; block < array.array_length; block += SCAN_BLOCK) {
        decltype(wanted == wanted) equal = {0, 0};
        for (int i = 0; i < SCAN_BLOCK; i += 2) {
            Pair pair;
            __builtin_memcpy(&pair, elements + block + i, sizeof pair);
            equal |= pair == wanted;
        }
        if ((equal[0] | equal[1]) != 0) return true;
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
    store_number_result(*call.result, array->elements[array->array_length - 1]);
    array->elements[--array->array_length] = __builtin_nan("");
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
    {TOKEN_PUSH, "push", true, 2, {ARRAY_NAME, {NUMBER, "array name"}}, Result::NONE, forms_of<execute_push, ARRAY, NUMBER>},
    {TOKEN_POP, "pop", true, 1, {ARRAY_NAME}, Result::NUMBER, forms_of<execute_pop, ARRAY>},
    {TOKEN_CONTAINS, "contains", true, 2, {ARRAY_NAME, {NUMBER, "array name"}}, Result::NUMBER, forms_of<execute_contains, ARRAY, NUMBER>},
    {TOKEN_LENGTH, "length", true, 1, {ARRAY_NAME}, Result::NUMBER, forms_of<execute_length, ARRAY>},
    {TOKEN_EOF, nullptr, false, 0, {}, Result::NONE, nullptr},
};
