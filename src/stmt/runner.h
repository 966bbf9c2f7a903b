#pragma once

// Runs a source text: reads and cuts out its header line, tokenizes the rest
// and executes its statements. A run started while another executes (package
// code run by a script) leaves the outer run's tokens and cursor as they were.
void run(const char* source);

// Sets `print_newline` from the header line (1 when there is none).
void parse_config(const char* source);

// A new copy of the source without its header line; the caller frees it.
char* strip_config(const char* source);
