#include <algorithm>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "builtins/call_forms.h"
#include "core/error.h"

namespace {

// The array of the first argument, looked up once the whole argument list
// has been read (they may make the name), which must not be of length
// `refused` (push: full, pop: empty). One place raises every fault of it.
template <int refused = -1>
Variable* array_of(const Call& call) {
    Variable* array = call.arguments[0].array;
    if (array == nullptr || !array->is_array || (refused >= 0 && array->array_length == refused)) [[unlikely]] {
        FaultCode fault = array == nullptr     ? FaultCode::UNDEFINED_ARRAY
                          : !array->is_array   ? FaultCode::NOT_AN_ARRAY
                          : refused == 0       ? FaultCode::ARRAY_EMPTY
                                               : FaultCode::ARRAY_FULL;
        raise_at(call.line, fault, call.arguments[0].text);
    }
    return array;
}

void store_number(Variable* result, double value) {
    result->number = value;
    result->is_string = 0;
}

// A block of elements at a time, two to a vector where there are vectors:
// past the length they are NaN, which equals nothing (a NaN value no element
// either).
bool holds_value(const Variable& array, double value) {
    const double* elements = array.elements;
#ifdef __SSE2__
    const __m128d wanted = _mm_set1_pd(value);
    for (int block = 0; block < array.array_length; block += SCAN_BLOCK) {
        __m128d equal = _mm_setzero_pd();
        for (int i = 0; i < SCAN_BLOCK; i += 2) equal = _mm_or_pd(equal, _mm_cmpeq_pd(_mm_load_pd(elements + block + i), wanted));
        if (_mm_movemask_pd(equal) != 0) return true;
    }
    return false;
#else
    return std::find(elements, elements + array.array_length, value) != elements + array.array_length;
#endif
}

void execute_push(const Call& call) {
    Variable* array = array_of<ARRAY_LIMIT>(call);
    array->elements[array->array_length++] = call.arguments[1].number;
}

void execute_pop(const Call& call) {
    Variable* array = array_of<0>(call);
    store_number(call.result, array->elements[array->array_length - 1]);
    array->elements[--array->array_length] = __builtin_nan("");
}

void execute_contains(const Call& call) {
    Variable* array = array_of(call);
    store_number(call.result, holds_value(*array, call.arguments[1].number) ? 1 : 0);
}

void execute_length(const Call& call) {
    store_number(call.result, array_of(call)->array_length);
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
