// Temporary: stands in until the built-in procedures land. Delete this file.
#include "builtins/builtins.h"
#include "core/error.h"
#define PENDING(name) \
    void name() { error("not built yet: %s", #name); }
PENDING(execute_input) PENDING(execute_str) PENDING(execute_sleep) PENDING(execute_sleepms)
PENDING(execute_clear) PENDING(execute_getch) PENDING(execute_rand) PENDING(execute_rand_range)
PENDING(execute_time) PENDING(execute_timestamp) PENDING(execute_type_of) PENDING(execute_upper)
PENDING(execute_lower) PENDING(execute_trim) PENDING(execute_substring) PENDING(execute_char_at)
PENDING(execute_replace) PENDING(execute_split) PENDING(execute_push) PENDING(execute_pop)
PENDING(execute_contains) PENDING(execute_length) PENDING(execute_read_file)
PENDING(execute_write_file) PENDING(execute_append_file)
