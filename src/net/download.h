#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdio>
#include <string>

#include "net/download_limits.h"
#include "system/file_beside.h"

// The longest shell command the program runs; one that would need more is
// never run, since cutting it would lose its closing quote or redirection.
inline constexpr std::size_t COMMAND_LIMIT = 1023;

// The text with a backslash before each '"', '$', '`' and '\', so that it
// stands literally between double quotes in a shell command.
std::string shell_quote_escape(const char* text);

// An address that a tool would take for one of its options.
bool looks_like_option(const char* address);

// Runs "curl", then "wget" when curl does not succeed, to fetch `address`
// into `file`, each tool watched and held to `caps` (net/download_limits.h).
// Returns 0 when one of them succeeded, otherwise 1. An address that looks
// like an option, or a file that is not ready, fails without running
// anything. Throws Stopped (system/stop_signal.h) when a signal asks to stop or
// a tool was interrupted; the fallback is then not run.
int download_into(const char* address, FileBeside& file, const DownloadCaps& caps);

// Downloads `address` beside `path` and puts it in place when that
// succeeded: after a failure or an interruption `path` is as it was. What
// killed runs left in the target's folder is swept first.
int download_replacing_file(const char* address, const char* path);

// The same, held to `caps`, returning a descriptor open on the downloaded
// file (the caller closes it), or -1 on failure: whatever stands at `path`
// later, the descriptor reads the bytes that were downloaded.
int download_and_open(const char* address, const char* path, const DownloadCaps& caps);

// Runs a query command with its standard output going to `answer`, watched
// like a download and ended past `most_bytes`; true when it succeeded.
bool run_query(const char* command, std::FILE* answer, off_t most_bytes);
