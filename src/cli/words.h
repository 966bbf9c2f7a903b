#pragma once

#include <cstring>

// True when the whole text is the word, compared exactly.
inline bool is(const char* text, const char* word) { return std::strcmp(text, word) == 0; }

inline bool is_either(const char* text, const char* word, const char* short_word) {
    return is(text, word) || is(text, short_word);
}
