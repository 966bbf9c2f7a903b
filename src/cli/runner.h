#pragma once

// Runs a source text: reads and cuts out its header line, tokenizes and
// compiles the rest, and runs its statements. A run started while another
// executes (package code run by a script) shares the variables and leaves
// the outer run's program as it was.
void run(const char* source);

// Sets `print_newline` from the header line (1 when there is none).
void parse_config(const char* source);

// A new copy of the source without its header line; the caller frees it.
char* strip_config(const char* source);

// Where the header line starts, or null: it may follow blanks and comment
// lines, but nothing else.
const char* find_header(const char* source);

// Where the header's "nel" that turns print's line feed off stands, or null.
const char* find_nel(const char* header);
