#pragma once

// Fills `tokens` from a NUL-terminated source text, ending with a TOKEN_EOF
// token. Lexical errors stop the run through `error`.
void tokenize(const char* source);
