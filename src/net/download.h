#pragma once

#include <cstddef>
#include <string>

// The longest shell command the program runs; one that would need more is
// never run, since cutting it would lose its closing quote or redirection.
inline constexpr std::size_t COMMAND_LIMIT = 1023;

// The text with a backslash before each '"', '$', '`' and '\', so that it
// stands literally between double quotes in a shell command.
std::string shell_quote_escape(const char* text);

// An address that a tool would take for one of its options.
bool looks_like_option(const char* address);

// Runs "curl", then "wget" when curl does not succeed, to fetch `address`
// into `path`. Returns 0 when one of them ended with status 0, otherwise 1.
// An address that looks like an option fails without running anything.
// Throws CommandInterrupted (net/shell_command.h) when a tool was stopped by
// the user; the fallback is then not run.
int download_file_to_path(const char* address, const char* path);

// The same, but a failure or an interruption leaves the file at `path`
// exactly as it was before.
int download_replacing_file(const char* address, const char* path);
