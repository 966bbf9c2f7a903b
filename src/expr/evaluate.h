#pragma once

// Evaluates one expression at the cursor and leaves the cursor on the first
// token after it.
double evaluate();

double parse_logic_or();
double parse_logic_and();
double parse_comparison();
double parse_term();
double parse_factor();
double parse_unary();
double parse_primary();

// An expression function call; the cursor is on the '(' after the name.
double parse_call(const char* name);

inline bool is_true(double value) { return value != 0; }
