#pragma once

#include <cstddef>

// What each kind of file read from a path may hold, and where it may come
// from. A file over its limit is refused whole: nothing of it is used.
struct ReadRule {
    std::size_t most_bytes;
    bool streams_too;  // a pipe, a terminal or a device besides regular files
    bool ends_at_nul;  // a NUL byte ends the text; the rest is not read
    // Only a regular file of the running user's, with no other name, and
    // never through a link: a file that another user could have written or
    // pointed elsewhere is not read.
    bool own_file_only = false;
};

inline constexpr std::size_t MEBIBYTE = 1024 * 1024;

// A script, given on the command line or checked: from a regular file, a
// pipe or a terminal (`zentul -`, `zentul /dev/stdin`).
inline constexpr ReadRule SCRIPT_READ{64 * MEBIBYTE, true, true};
// A package file: one that a download left, or a .zep named on the command
// line. As large as a package answer may be.
inline constexpr ReadRule PACKAGE_READ{16 * MEBIBYTE, false, false};
// The package and repository tables: 100 lines of at most 1,183 bytes, or
// 10 of at most 1,024, with room to spare.
inline constexpr ReadRule TABLE_READ{1 * MEBIBYTE, false, false};
// The package commit journal: a table and a few lines. What it says is
// acted on (files put back or removed), so only this user's own file counts.
inline constexpr ReadRule JOURNAL_READ{2 * MEBIBYTE, false, false, true};

// How long a wait for input goes before it looks for a stop signal again.
inline constexpr int STOP_CHECK_MILLISECONDS = 100;
