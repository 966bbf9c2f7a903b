#pragma once

// Executes the statement at the cursor and leaves the cursor after it.
void execute_statement();

// The same, always by reading the statement's tokens.
void walk_statement();

void execute_var();

struct Variable;
// Gives a declared variable its value: the string literal's text when there
// is one, else the number.
void set_declared_value(Variable* variable, const char* text, double number);
void execute_print();
void execute_if();
void execute_while();
void execute_for();

// Set while a for loop's update clause runs: its assignment ends at ')'.
extern int in_for_loop_update;

// 1 while `print` ends its output with a line feed; the script's header line
// can turn it off.
extern int print_newline;
