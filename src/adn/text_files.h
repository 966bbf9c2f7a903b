#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "system/file_beside.h"

// The package manager's directory, under the current working directory.
inline constexpr char ADN_DIRECTORY[] = ".adn";

// A read reads at most this many bytes less one: a longer line is taken in
// pieces, each of which counts as a line of its own.
inline constexpr int LINE_READ_SIZE = 1024;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using OpenFile = std::unique_ptr<std::FILE, FileCloser>;

OpenFile open_file(const std::string& path, const char* mode);

// ".adn/<file_name>".
std::string adn_path(const std::string& file_name);

// Reads the next line (or piece of a long line), cut at its first line feed.
// Returns false at the end of the file. `ended`, when given, tells whether
// the piece was the end of its line.
bool read_line(std::FILE* file, std::string& line, bool* ended = nullptr);

// Reads the whole file into `contents`; false when it cannot be opened.
bool read_whole_file(const std::string& path, std::string& contents);

// Writes `contents` to a freshly created temporary file beside `path`
// ("NAME.XXXXXX" unless told otherwise), flushes it to the disk and renames
// it over `path`, so that readers see either the old file or the new one
// whole. On failure the temporary file is removed, the old file stays, and
// the result is false.
bool replace_file(const std::string& path, const std::string& contents,
                  TemporaryName naming = TemporaryName::SUFFIXED);
