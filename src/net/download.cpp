#include "net/download.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "net/tool_watch.h"
#include "system/leftovers.h"

namespace {

using Clock = std::chrono::steady_clock;

// -g: an address is taken as it stands, never expanded from {..} or [..].
// -f: an HTTP error page is a failure, never a downloaded file. The tools
// give up on a server that does not connect within 30 seconds; wget tries
// twice instead of twenty times.
constexpr char FIRST_DOWNLOAD[] =
    "curl -f -L -g --connect-timeout 30 --speed-limit 1 --speed-time 60 -o \"%s\" \"%s\" 2>/dev/null";
constexpr char FALLBACK_DOWNLOAD[] = "wget --timeout=30 --tries=2 -O \"%s\" \"%s\" 2>/dev/null";

// The command, or "" when it would be longer than COMMAND_LIMIT.
std::string download_command(const char* format, const std::string& path, const char* address) {
    char command[COMMAND_LIMIT + 1];
    std::string quoted_path = shell_quote_escape(path.c_str());
    std::string quoted_address = shell_quote_escape(address);
    int length = std::snprintf(command, sizeof command, format, quoted_path.c_str(), quoted_address.c_str());
    if (length < 0 || static_cast<std::size_t>(length) > COMMAND_LIMIT) return "";
    return command;
}

// Says on standard error which limit ended a tool.
void report_limit(ToolOutcome outcome, const char* address, const DownloadCaps& caps) {
    std::fflush(stdout);
    if (outcome == ToolOutcome::STALLED) {
        std::fprintf(stderr, "Error: under %lld KiB arrived for %s in %lld seconds\n",
                     static_cast<long long>(STALL_BYTES / 1024), address, static_cast<long long>(STALL_WINDOW.count()));
    } else if (outcome == ToolOutcome::TOO_LARGE) {
        std::fprintf(stderr, "Error: the answer for %s passed the limit of %lld MiB\n", address,
                     static_cast<long long>(caps.most_bytes / (1024 * 1024)));
    } else if (outcome == ToolOutcome::TOO_LONG) {
        std::fprintf(stderr, "Error: the download of %s passed the limit of %lld seconds\n", address,
                     static_cast<long long>(caps.longest.count()));
    }
}

bool ends_all_tries(ToolOutcome outcome) {
    return outcome == ToolOutcome::TOO_LARGE || outcome == ToolOutcome::TOO_LONG;
}

Clock::time_point deadline_of(const DownloadCaps& caps) {
    return caps.longest.count() > 0 ? Clock::now() + caps.longest : Clock::time_point::max();
}

}  // namespace

std::string shell_quote_escape(const char* text) {
    std::string escaped;
    for (const char* c = text; *c != '\0'; c++) {
        if (*c == '"' || *c == '$' || *c == '`' || *c == '\\') escaped += '\\';
        escaped += *c;
    }
    return escaped;
}

bool looks_like_option(const char* address) { return address[0] == '-'; }

int download_into(const char* address, FileBeside& file, const DownloadCaps& caps) {
    if (looks_like_option(address) || !file.ready()) return 1;
    ToolWatch watch{file.descriptor(), false, caps.most_bytes, deadline_of(caps)};
    for (const char* format : {FIRST_DOWNLOAD, FALLBACK_DOWNLOAD}) {
        std::string command = download_command(format, file.path(), address);
        if (command.empty()) continue;  // too long to run: the shorter fallback may be
        file.empty();
        ToolOutcome outcome = run_watched_tool(command.c_str(), watch);
        if (outcome == ToolOutcome::SUCCEEDED) return 0;
        report_limit(outcome, address, caps);
        if (ends_all_tries(outcome)) return 1;
    }
    return 1;
}

int download_replacing_file(const char* address, const char* path) {
    int file = download_and_open(address, path, FILE_CAPS);
    if (file < 0) return 1;
    close(file);
    return 0;
}

int download_and_open(const char* address, const char* path, const DownloadCaps& caps) {
    sweep_leftovers(folder_of(path));
    FileBeside file(path);
    if (download_into(address, file, caps) != 0) return -1;
    int kept = fcntl(file.descriptor(), F_DUPFD_CLOEXEC, 0);
    if (kept >= 0 && file.put_in_place()) return kept;
    if (kept >= 0) close(kept);
    return -1;
}

bool run_query(const char* command, std::FILE* answer, off_t most_bytes) {
    ToolWatch watch{fileno(answer), true, most_bytes, Clock::time_point::max()};
    return run_watched_tool(command, watch) == ToolOutcome::SUCCEEDED;
}
