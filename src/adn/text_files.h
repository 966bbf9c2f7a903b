#pragma once

#include <string>
#include <string_view>

// The package manager's directory, under the current working directory.
inline constexpr char ADN_DIRECTORY[] = ".adn";

// A read reads at most this many bytes less one: a longer line is taken in
// pieces, each of which counts as a line of its own.
inline constexpr int LINE_READ_SIZE = 1024;

// ".adn/<file_name>".
std::string adn_path(const std::string& file_name);

// Reads a text line by line the way a line reader with a buffer of
// LINE_READ_SIZE bytes does: each piece ends after a line feed, after
// LINE_READ_SIZE - 1 bytes, or at the end of the text, and is cut at its
// first line feed or NUL byte.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}

    // The next line or piece; false at the end of the text. `ended`, when
    // given, tells whether the piece was the end of its line.
    bool next(std::string& line, bool* ended = nullptr);

private:
    std::string_view text_;
    std::size_t at_ = 0;
};
