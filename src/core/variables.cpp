#include "core/variables.h"

#include <algorithm>
#include <cstring>

#include "core/error.h"

Variable vars[VARIABLE_LIMIT];
int var_count = 0;

namespace {

char texts[VARIABLE_LIMIT + 2][TEXT_ROOM];  // the last two: free at first, and the stand-in's
char* free_text = texts[VARIABLE_LIMIT];
alignas(16) double elements[VARIABLE_LIMIT + 1][ELEMENT_ROOM];
Variable stand_in;

// Finds a name's slot without comparing it with every name: an open-address
// table of slot + 1 (0: free) at the name's hash, then the following
// entries. A name is entered once, when its variable is made.
constexpr unsigned NAME_INDEX_SIZE = 1024;  // a power of two, four times the slots
short name_index[NAME_INDEX_SIZE];

unsigned hash_of(const char* name) {
    unsigned hash = 2166136261u;
    for (; *name != '\0'; name++) hash = (hash ^ static_cast<unsigned char>(*name)) * 16777619u;
    return hash;
}

void enter_name(int slot) {
    unsigned at = hash_of(vars[slot].name) & (NAME_INDEX_SIZE - 1);
    while (name_index[at] != 0) at = (at + 1) & (NAME_INDEX_SIZE - 1);
    name_index[at] = static_cast<short>(slot + 1);
}

}  // namespace

void reset_variables() {
    std::memset(vars, 0, sizeof vars);
    std::memset(name_index, 0, sizeof name_index);
    var_count = 0;
    free_text = texts[VARIABLE_LIMIT];
    stand_in.string = nullptr;
}

int copy_text(char* field, int capacity, const char* text) {
    std::size_t length = strnlen(text, static_cast<std::size_t>(capacity - 1));
    std::memmove(field, text, length);
    field[length] = '\0';
    return static_cast<int>(length);
}

void set_text(Variable* variable, const char* text, int length) {
    length = std::min(length, STRING_SIZE - 1);
    std::memmove(variable->string, text, static_cast<std::size_t>(length));
    variable->string[length] = '\0';
    variable->length = length;
    variable->is_string = 1;
}

void set_text(Variable* variable, const char* text) {
    variable->length = copy_text(variable->string, STRING_SIZE, text);
    variable->is_string = 1;
}

char* text_under_construction() { return free_text; }

void take_text(Variable* variable, int length) {
    length = std::min(length, STRING_SIZE - 1);
    std::swap(free_text, variable->string);
    variable->string[length] = '\0';
    variable->length = length;
    variable->is_string = 1;
}

Variable* stand_in_variable() {
    if (stand_in.string == nullptr) {
        stand_in = Variable{0, 0, 0, 0, 0, {}, texts[VARIABLE_LIMIT + 1], elements[VARIABLE_LIMIT]};
    }
    return &stand_in;
}

Variable* find_variable(const char* name) {
    for (unsigned at = hash_of(name) & (NAME_INDEX_SIZE - 1); name_index[at] != 0;
         at = (at + 1) & (NAME_INDEX_SIZE - 1)) {
        Variable* variable = &vars[name_index[at] - 1];
        if (std::strcmp(variable->name, name) == 0) return variable;
    }
    return nullptr;
}

Variable* find_or_create_variable(const char* name, int line) {
    Variable* variable = find_variable(name);
    if (variable != nullptr) return variable;
    if (var_count == VARIABLE_LIMIT) raise_at(line, FaultCode::TOO_MANY_VARIABLES, VARIABLE_LIMIT);
    variable = &vars[var_count];
    *variable = Variable{0, 0, 0, 0, 0, {}, texts[var_count], elements[var_count]};
    copy_text(variable->name, NAME_SIZE, name);
    enter_name(var_count++);
    return variable;
}

Variable* look_up_defined(const NameRef& name) {
    Variable* variable = name.find();
    if (variable == nullptr) raise_at(name.line, FaultCode::UNDEFINED_VARIABLE, name.name);
    return variable;
}

Variable* result_variable(const NameRef& name) {
    if (name.variable == nullptr) name.variable = find_or_create_variable(name.name, name.line);
    return name.variable;
}

void store_string_result(const NameRef& name, const char* text) {
    set_text(result_variable(name), text);
}

void store_number_result(const NameRef& name, double value) {
    Variable* variable = result_variable(name);
    variable->number = value;
    variable->is_string = 0;
}
