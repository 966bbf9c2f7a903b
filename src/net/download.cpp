#include "net/download.h"

#include <cstdio>
#include <cstdlib>

namespace {

int run_download_command(const char* format, const char* path, const char* address) {
    char command[COMMAND_LIMIT + 1];
    std::string quoted_path = shell_quote_escape(path);
    std::string quoted_address = shell_quote_escape(address);
    int length = std::snprintf(command, sizeof command, format, quoted_path.c_str(), quoted_address.c_str());
    if (length < 0 || static_cast<std::size_t>(length) > COMMAND_LIMIT) return -1;
    std::fflush(stdout);  // the tool's output must not overtake ours
    return std::system(command);
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

int download_file_to_path(const char* address, const char* path) {
    // -f: an HTTP error page is a failure, never a downloaded file.
    if (run_download_command("curl -f -L -o \"%s\" \"%s\" 2>/dev/null", path, address) == 0) return 0;
    if (run_download_command("wget -O \"%s\" \"%s\" 2>/dev/null", path, address) == 0) return 0;
    return 1;
}
