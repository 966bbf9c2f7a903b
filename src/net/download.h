#pragma once

#include <cstddef>
#include <string>

// The longest shell command the program runs; one that would need more is
// never run, since cutting it would lose its closing quote or redirection.
inline constexpr std::size_t COMMAND_LIMIT = 1023;

// The text with a backslash before each '"', '$', '`' and '\', so that it
// stands literally between double quotes in a shell command.
std::string shell_quote_escape(const char* text);

// Runs "curl", then "wget" when curl does not succeed, to fetch `address`
// into `path`. Returns 0 when one of them ended with status 0, otherwise 1.
int download_file_to_path(const char* address, const char* path);
