#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The rules of a package file (.zep) that reading and installing it follow,
// and that checking it asks.
namespace zep {

// The code section begins after the first line that is exactly the marker.
inline constexpr char CODE_MARKER[] = "zentul:";

// The most code a package runs; a longer code section is refused.
inline constexpr std::size_t CODE_LIMIT = 40959;

// A line that begins with the prefix gives the package's version, written
// from the second character after it: the one right after the prefix is
// skipped, whatever it is.
inline constexpr std::string_view VERSION_PREFIX = "version:";

inline bool is_version_line(const std::string& line) { return line.starts_with(VERSION_PREFIX); }

// The version text such a line records, before it is cut for packages.txt.
inline std::string version_written(const std::string& line) {
    return line.size() > VERSION_PREFIX.size() + 1 ? line.substr(VERSION_PREFIX.size() + 1) : "";
}

}  // namespace zep
