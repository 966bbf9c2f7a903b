#pragma once

#include "lexer/token.h"

// Moving over blocks and headers, the same for the walker and for compiled
// statements. A block's first token is the one after its '{'.

// Index of the '}' that closes the block, or of the end token when the block
// is never closed.
int block_end(int body_start);

// Index of the first token after the block.
int after_block(int body_start);

// Moves the cursor past the block at the cursor without looking inside.
void skip_block();

// Runs the statements of the block at the cursor up to its '}' and steps
// over the '}'.
void execute_block();

// Runs statements while the cursor is before `end`, stopping at the end token.
void execute_body(int end);

// An if's else part, read from the cursor after the if's block: skipped
// when the condition held, run when not, and nothing when no else follows.
void run_else_part(bool condition);

// Index of the first token of `type`, or of the end token, from `start` on.
int scan_to(int start, TokenType type);

// Index of the ';' that ends a for loop's init clause starting at `start`:
// a declaration or an assignment runs to the first ';', anything else must
// be the ';' itself.
int for_init_end(int start);
