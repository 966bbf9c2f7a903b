#include "net/download.h"

#include <cstdio>

#include "net/kept_file.h"
#include "net/shell_command.h"

namespace {

// The tools give up on a server that does not connect within 30 seconds or
// sends nothing for 60; wget tries twice instead of twenty times.
constexpr char FIRST_DOWNLOAD[] =
    "curl -f -L --connect-timeout 30 --speed-limit 1 --speed-time 60 -o \"%s\" \"%s\" 2>/dev/null";
constexpr char FALLBACK_DOWNLOAD[] = "wget --timeout=30 --tries=2 -O \"%s\" \"%s\" 2>/dev/null";

int run_download_command(const char* format, const char* path, const char* address) {
    char command[COMMAND_LIMIT + 1];
    std::string quoted_path = shell_quote_escape(path);
    std::string quoted_address = shell_quote_escape(address);
    int length = std::snprintf(command, sizeof command, format, quoted_path.c_str(), quoted_address.c_str());
    if (length < 0 || static_cast<std::size_t>(length) > COMMAND_LIMIT) return -1;
    return run_shell_command(command);
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

int download_file_to_path(const char* address, const char* path) {
    if (looks_like_option(address)) return 1;
    // -f: an HTTP error page is a failure, never a downloaded file.
    if (run_download_command(FIRST_DOWNLOAD, path, address) == 0) return 0;
    if (run_download_command(FALLBACK_DOWNLOAD, path, address) == 0) return 0;
    return 1;
}

int download_replacing_file(const char* address, const char* path) {
    KeptFile old_file(path);
    if (!old_file.ready()) return 1;
    if (download_file_to_path(address, path) != 0) return 1;
    old_file.keep_new();
    return 0;
}
