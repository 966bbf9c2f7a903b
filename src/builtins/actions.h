#pragma once

#include "builtins/procedures.h"

// What each built-in procedure does once its arguments are read. Each stores
// its result, if any, in its result variable.

// Console, timing and random.
void execute_input(const Call& call);
void execute_str(const Call& call);
void execute_sleep(const Call& call);
void execute_sleepms(const Call& call);
void execute_clear(const Call& call);
void execute_getch(const Call& call);
void execute_rand(const Call& call);
void execute_rand_range(const Call& call);
void execute_time(const Call& call);
void execute_timestamp(const Call& call);
void execute_type_of(const Call& call);

// Strings.
void execute_upper(const Call& call);
void execute_lower(const Call& call);
void execute_trim(const Call& call);
void execute_substring(const Call& call);
void execute_char_at(const Call& call);
void execute_replace(const Call& call);
void execute_split(const Call& call);

// Arrays.
void execute_push(const Call& call);
void execute_pop(const Call& call);
void execute_contains(const Call& call);
void execute_length(const Call& call);

// Files.
void execute_read_file(const Call& call);
void execute_write_file(const Call& call);
void execute_append_file(const Call& call);

// Truncates toward zero, clamped to the int range; NaN gives 0.
int truncate_to_int(double value);
