#pragma once

#include <string>

#include "core/variables.h"
#include "lexer/token.h"

// The built-in procedure statements: how their arguments are written, and
// what each does with their values. Each file of this folder holds a library:
// its procedures' table of rows and their bodies.

enum class ArgumentKind {
    NUMBER,   // an expression
    STRING,   // a string literal, or a name of a string variable
    LITERAL,  // a string literal
    ARRAY,    // a name, looked up once the list is read
    VALUE,    // one name, string literal or number (type_of)
    PROMPT,   // an optional string literal (input)
};

struct ArgumentForm {
    ArgumentKind kind;
    // The ',' before the argument: "Expected ',' after <after>"; null for the
    // first argument, and for "Expected ',' between arguments".
    const char* after = nullptr;
    // The missing argument: "Expected <what> for <procedure>()", for a
    // literal "Expected string argument for <what>".
    const char* what = nullptr;
    // An empty literal fails the call at its ')': "Delimiter cannot be empty".
    bool refuses_empty = false;
};

constexpr int MAX_ARGUMENTS = 3;

// The value of one argument. A string is read where it stands, with its
// length, unless a later argument could change it. An array is looked up
// once the whole list is read: its variable (null for none), and its name in
// `text`.
struct ArgumentValue {
    double number;
    const char* text;  // a string's text; the kind of a value (type_of); an array's name
    int length;        // of the text
    Variable* array;
};

// What a procedure gets: its arguments, the variable its result goes to, and
// the line of the ')', where its effects and failures take place. rand names
// a new variable after `result_name` at each call.
struct Call {
    ArgumentValue arguments[MAX_ARGUMENTS];
    Variable* result;
    const char* result_name;
    int line;
};

// What a procedure leaves in its result variable "__<name>_result" ("__rand_N"
// for RANDOM, after the slot it takes).
enum class Result { NONE, NUMBER, TEXT, ARRAY, RANDOM };

struct CallForms;

struct Procedure {
    TokenType token;  // TOKEN_IDENTIFIER for input and str, which are names
    const char* name;
    bool names_itself_at_close;  // "Expected ')' after <name>", else "Expected ')'"
    int argument_count;
    ArgumentForm arguments[MAX_ARGUMENTS];
    Result result;
    // What the procedure does, and the forms in which a call of it settles
    // (builtins/call_forms.h), for arguments of the kinds above.
    const CallForms* forms;

    // Does it, the arrays of the arguments and the result variable found or
    // made first. When the table has no room for the result variable, the
    // procedure stores into a stand-in, and the variable fails to be made
    // once it has run.
    void perform(Call& call, const NameRef& result_name) const;
};

// The libraries, each ending with a row without a name.
extern const Procedure console_procedures[];  // console, timing and random
extern const Procedure string_procedures[];
extern const Procedure array_procedures[];
extern const Procedure file_procedures[];

// The procedure a statement's first token names (input and str by name), or null.
const Procedure* find_procedure(TokenType kind, const char* text);

// The name of the procedure's result variable ("__rand_" for RANDOM, which
// adds a number); empty for NONE.
std::string result_name(const Procedure& procedure);

// Whether the name is one that rand and rand_range give their results, or
// those names' common beginning.
bool names_random_result(const char* name);

// type_of's word for a variable: "string", "array", "number", or "unknown".
const char* kind_of(const Variable* variable);

// Truncates toward zero, clamped to the int range; NaN gives 0.
int truncate_to_int(double value);
