#pragma once

#include <sys/types.h>

#include <chrono>

// The caps on downloads, held by watching the file the tool writes and what
// it receives while it runs, whichever tool it is.

// How often the file is looked at.
inline constexpr std::chrono::milliseconds WATCH_INTERVAL{100};

// A tool that receives less than STALL_BYTES in any STALL_WINDOW is ended,
// as that tool's failure. What it received is counted every
// RECEIVED_SAMPLE_INTERVAL.
inline constexpr off_t STALL_BYTES = 1024;
inline constexpr std::chrono::seconds STALL_WINDOW{60};
inline constexpr std::chrono::seconds RECEIVED_SAMPLE_INTERVAL{1};

// A package answer over PACKAGE_SIZE_LIMIT bytes, or a package download
// lasting over PACKAGE_TIME_LIMIT with both tools, is ended and fails.
inline constexpr off_t PACKAGE_SIZE_LIMIT = 16 * 1024 * 1024;
inline constexpr std::chrono::seconds PACKAGE_TIME_LIMIT{300};

// What a download may take: a size (0: any) and a time (0: any).
struct DownloadCaps {
    off_t most_bytes;
    std::chrono::seconds longest;
};

inline constexpr DownloadCaps PACKAGE_CAPS{PACKAGE_SIZE_LIMIT, PACKAGE_TIME_LIMIT};
// An update archive over UPDATE_SIZE_LIMIT bytes is ended and fails: a
// release archive is a tenth of that.
inline constexpr off_t UPDATE_SIZE_LIMIT = 128 * 1024 * 1024;
inline constexpr DownloadCaps UPDATE_CAPS{UPDATE_SIZE_LIMIT, std::chrono::seconds{0}};
// Other files are only kept from stalling.
inline constexpr DownloadCaps FILE_CAPS{0, std::chrono::seconds{0}};
