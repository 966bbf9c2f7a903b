#pragma once

// Built-in procedure statements. Each is entered with the cursor on the token
// after its name, gets that name (from which its messages are built) and
// returns with the cursor after its ')'.

// Console, timing and random.
void execute_input(const char* name);
void execute_str(const char* name);
void execute_sleep(const char* name);
void execute_sleepms(const char* name);
void execute_clear(const char* name);
void execute_getch(const char* name);
void execute_rand(const char* name);
void execute_rand_range(const char* name);
void execute_time(const char* name);
void execute_timestamp(const char* name);
void execute_type_of(const char* name);

// Strings.
void execute_upper(const char* name);
void execute_lower(const char* name);
void execute_trim(const char* name);
void execute_substring(const char* name);
void execute_char_at(const char* name);
void execute_replace(const char* name);
void execute_split(const char* name);

// Arrays.
void execute_push(const char* name);
void execute_pop(const char* name);
void execute_contains(const char* name);
void execute_length(const char* name);

// Files.
void execute_read_file(const char* name);
void execute_write_file(const char* name);
void execute_append_file(const char* name);
