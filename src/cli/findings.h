#pragma once

#include <string>

// The silent traps that `zentul --check` points at, by code; each has its
// entry under Surprises in docs/language.md. A warning's message is the
// trap's text, "%s" standing for the name or text concerned; an error that a
// trap explains carries the trap's code too.
#define ZENTUL_TRAPS(ROW)                                                                                          \
    ROW(STRING_COPY, "string-copy",                                                                                \
        "`%s` may hold a string, but copying it copies its number (0): copy a text with substring(%s, 0, 1023)")  \
    ROW(STRING_COMPARE, "string-compare",                                                                          \
        "`%s` may hold a string, but a comparison compares its number (0), never its text")                       \
    ROW(STRING_NUMBER, "string-number", "`%s` may hold a string, which reads as a number as 0 (or its last number)") \
    ROW(MAYBE_UNDEFINED, "maybe-undefined",                                                                        \
        "`%s` may not be set here: it is set only in a branch, or only later in a loop")                          \
    ROW(LONG_NAME, "long-name", "a name is cut after 63 characters: the rest is read as a token of its own")      \
    ROW(MISPLACED_HEADER, "misplaced-header", "`sg<` is a header only on the first line, after comment lines")    \
    ROW(HEADER_UNCLOSED, "header-unclosed",                                                                        \
        "the header line has no '>': \"nel\" anywhere after it turns print's line feed off")                      \
    ROW(RESERVED_NAME, "reserved-name", "a reserved word cannot name a variable")                                 \
    ROW(PRINT_CALL, "print-call", "a print argument cannot call a function")                                      \
    ROW(RAND_IN_LOOP, "rand-in-loop",                                                                              \
        "each rand makes a new variable, so a loop fills the table of 256: draw one seed, compute the rest")      \
    ROW(TOO_MANY_NAMES, "too-many-names",                                                                          \
        "this is the 257th variable the script can make, and the table holds 256: reuse variables")              \
    ROW(UNCLOSED_BLOCK, "unclosed-block", "this '{' is never closed: the block runs to the end of the file")      \
    ROW(EMPTY_CONDITION, "empty-condition", "the for loop has no condition, so its body never runs")              \
    ROW(CRLF_PACKAGE, "crlf-package",                                                                              \
        "the marker line ends in a carriage return, so the package runs no code: save it with line feeds")        \
    ROW(NO_CODE, "no-code", "the package has no code after a `zentul:` line: it installs and runs nothing")       \
    ROW(VERSION_BLANK, "version-blank",                                                                            \
        "`version:` without a blank loses a character and records `%s`: write `version: ` and the version")      \
    ROW(LONG_LINE, "long-line",                                                                                    \
        "a line over 1023 bytes is read in pieces and the rest of it runs as code: split the line")               \
    ROW(UNSET_IN_PACKAGE, "unset-in-package",                                                                      \
        "`%s` is set nowhere in the package: the script that installs it must set it first")

enum class Trap : unsigned char {
#define ZENTUL_TRAP_NAME(name, code, message) name,
    ZENTUL_TRAPS(ZENTUL_TRAP_NAME)
#undef ZENTUL_TRAP_NAME
    NONE,
};

const char* trap_code(Trap trap);

// One line of a check's report: "FILE:LINE: error: MESSAGE" (what a run
// reaching that place reports, with " [CODE]" when a trap explains it) or
// "FILE:LINE: warning: MESSAGE [CODE]".
struct Finding {
    int line;
    bool error;
    std::string message;
    Trap trap = Trap::NONE;
};

// The warning of the trap at that line, about `text`.
Finding warning(int line, Trap trap, const std::string& text = "");
