#pragma once

#include <optional>
#include <string>
#include <utility>

#include "builtins/procedures.h"
#include "core/error.h"
#include "core/reader.h"
#include "expr/nodes.h"

// One argument of a compiled call, as written: an expression, a literal, or
// a name.
struct CallArgument {
    ArgumentKind kind{};
    const Node* expression = nullptr;
    const double* value = nullptr;  // a settled number's, where a constant or a name keeps it
    const char* text = nullptr;     // a literal's text, or type_of's word for a literal
    int length = 0;
    NameRef name{};        // a name, when one was written
    bool copied = false;   // a string variable that a later argument may store into: copied as read
};

// A procedure statement: its arguments are read in order, a fault among them
// stops it after those before, and the procedure acts at its ')'. A call that
// runs again settles into the form that its procedure's row made for the way
// each argument is written (see `forms_of`).
struct CallStatement : StatementOf<CallStatement> {
    const Procedure* procedure = nullptr;
    CallArgument operands[MAX_ARGUMENTS]{};
    int operand_count = 0;
    NameRef result_name{};  // of `result`, at the ')' line; keeps its variable once made
    int line = 0;
    Landing landing;  // after the ';'
    std::optional<Fault> fault;
    std::string result;
    Reader::Ending ending{};
    bool settles = false;
    mutable bool ran = false;

    static Landing run(const CallStatement& s);
};

// How a settled call reads an argument of `kind` written the other way or
// not: a number evaluated, or read where its value is kept; a string from its
// variable, or as the literal; type_of's word for a name's variable, or for a
// literal; an array's variable. The variables of names were found as the
// call first ran.
template <ArgumentKind kind, bool other_way>
[[gnu::always_inline]] inline void fetch(const CallArgument& operand, ArgumentValue& value) {
    if constexpr (kind == ArgumentKind::NUMBER) {
        value.number = other_way ? evaluate(operand.expression) : *operand.value;
    } else if constexpr (kind == ArgumentKind::ARRAY) {
        value.text = operand.name.name;
        value.array = operand.name.variable;
    } else if constexpr (kind == ArgumentKind::VALUE) {
        value.text = other_way ? kind_of(operand.name.find()) : operand.text;
    } else if constexpr (kind == ArgumentKind::STRING) {
        if (other_way) {
            const Variable* variable = operand.name.variable;
            if (!variable->is_string) [[unlikely]] {
                raise_at(operand.name.line, FaultCode::NOT_A_STRING, operand.name.name);
            }
            value.text = variable->string;
            value.length = variable->length;
        } else {
            value.text = operand.text;
            value.length = operand.length;
        }
    } else {
        value.text = operand.text;
        value.length = operand.length;
    }
}

// A procedure's settled forms, by the ways its arguments are written: bit i
// of the index is set when argument i is written the other way.
struct CallForms {
    ArgumentKind kinds[MAX_ARGUMENTS];
    void (*perform)(const Call& call);
    void (*settle[1 << MAX_ARGUMENTS])(const Statement& statement);
};

template <void (*perform)(const Call&), ArgumentKind... kinds>
struct FormsOf {
    template <int ways, std::size_t... i>
    [[gnu::flatten]] static void act_on(const CallStatement& s, std::index_sequence<i...>) {
        Call call;
        (fetch<kinds, ((ways >> i) & 1) != 0>(s.operands[i], call.arguments[i]), ...);
        call.result = s.result_name.variable;  // made as the call first ran
        call.result_name = s.result_name.name;
        call.line = s.line;
        perform(call);
    }
    template <int ways>
    static void act(const CallStatement& s) {
        act_on<ways>(s, std::make_index_sequence<sizeof...(kinds)>());
    }
    static constexpr int WAYS = 1 << sizeof...(kinds);
    static constexpr CallForms forms = [] {
        return [&]<int... ways>(std::integer_sequence<int, ways...>) {
            return CallForms{{kinds...}, perform, {settle_on<CallStatement, act<ways % WAYS>>...}};
        }(std::make_integer_sequence<int, 1 << MAX_ARGUMENTS>());
    }();
};

// A procedure row's `perform` and its forms, for arguments of `kinds`.
template <void (*perform)(const Call&), ArgumentKind... kinds>
constexpr const CallForms* forms_of = &FormsOf<perform, kinds...>::forms;
