#include "builtins/procedures.h"

#include "builtins/call_forms.h"

#include <cstring>

namespace {

const Procedure* const libraries[] = {console_procedures, string_procedures, array_procedures, file_procedures};

}  // namespace

void Procedure::perform(Call& call, const NameRef& result_name) const {
    for (int i = 0; i < argument_count; i++) {
        if (arguments[i].kind == ArgumentKind::ARRAY) call.arguments[i].array = find_variable(call.arguments[i].text);
    }
    bool named = result != Result::NONE && result != Result::RANDOM;
    bool room = !named || result_name.find() != nullptr || var_count < VARIABLE_LIMIT;
    call.result = !named ? nullptr : room ? result_variable(result_name) : stand_in_variable();
    call.result_name = result_name.name;
    call.line = result_name.line;
    forms->perform(call);
    if (!room) result_variable(result_name);
}

const Procedure* find_procedure(TokenType kind, const char* text) {
    for (const Procedure* library : libraries) {
        for (const Procedure* procedure = library; procedure->name != nullptr; procedure++) {
            if (procedure->token != kind) continue;
            if (kind != TOKEN_IDENTIFIER || std::strcmp(procedure->name, text) == 0) return procedure;
        }
    }
    return nullptr;
}

std::string result_name(const Procedure& procedure) {
    if (procedure.result == Result::NONE) return "";
    return "__" + std::string(procedure.result == Result::RANDOM ? "rand" : procedure.name) +
           (procedure.result == Result::RANDOM ? "_" : "_result");
}

bool names_random_result(const char* name) {
    static const std::string prefix = result_name(*find_procedure(TOKEN_RAND, ""));
    if (std::strncmp(name, prefix.c_str(), prefix.size()) != 0) return false;
    const char* number = name + prefix.size();
    return std::strspn(number, "0123456789") == std::strlen(number);
}

const char* kind_of(const Variable* variable) {
    if (variable == nullptr) return "unknown";
    if (variable->is_string) return "string";
    if (variable->is_array) return "array";
    return "number";
}
