#pragma once

// Built-in procedure statements. Each is entered with the cursor on the token
// after its name and returns with the cursor after its ')'.

// Console, timing and random.
void execute_input();
void execute_str();
void execute_sleep();
void execute_sleepms();
void execute_clear();
void execute_getch();
void execute_rand();
void execute_rand_range();
void execute_time();
void execute_timestamp();
void execute_type_of();

// Strings.
void execute_upper();
void execute_lower();
void execute_trim();
void execute_substring();
void execute_char_at();
void execute_replace();
void execute_split();

// Arrays.
void execute_push();
void execute_pop();
void execute_contains();
void execute_length();

// Files.
void execute_read_file();
void execute_write_file();
void execute_append_file();
