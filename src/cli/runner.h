#pragma once

extern const char* const VERSION;

// 1 while `print` ends its output with a line feed.
extern int print_newline;

void run_file(const char* path);
void run(const char* source);
void parse_config(const char* source);
char* strip_config(const char* source);
