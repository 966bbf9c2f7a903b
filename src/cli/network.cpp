#include "cli/network.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "cli/version.h"
#include "cli/words.h"
#include "net/download.h"
#include "net/shell_command.h"
#include "net/tool_watch.h"
#include "system/descriptor.h"
#include "system/file_beside.h"
#include "system/leftovers.h"
#include "system/stop_signal.h"

namespace {

#if defined(__APPLE__)
constexpr const char* PLATFORM_NAME = "macos";
constexpr const char* FILE_SUFFIX = ".pkg";
#elif defined(_WIN32)
constexpr const char* PLATFORM_NAME = "windows";
constexpr const char* FILE_SUFFIX = ".exe";
#elif defined(__linux__)
constexpr const char* PLATFORM_NAME = "linux";
constexpr const char* FILE_SUFFIX = ".tar.gz";
#else
constexpr const char* PLATFORM_NAME = "unknown";
constexpr const char* FILE_SUFFIX = ".tar.gz";
#endif

constexpr const char* VERSION_ADDRESS = ZENTUL_SERVER "/download/version.txt";
constexpr char INSTALLED_PROGRAM[] = "/usr/local/bin/zentul";
constexpr const char* UPDATE_FILES_BASE = ZENTUL_SERVER "/download";

// The lengths to which the texts built here are cut.
constexpr std::size_t UPDATE_NAME_LIMIT = 127;     // a version and a file name
constexpr std::size_t UPDATE_ADDRESS_LIMIT = 511;  // an address and a local path
constexpr std::size_t VERSION_COMMAND_LIMIT = 511;

constexpr std::size_t FIRST_OUTPUT_SIZE = 4096;
constexpr std::size_t OUTPUT_GROWTH = 4096;
constexpr std::size_t PIECE_SIZE = 1024;
// A longer answer is no version: reading it would only eat memory.
constexpr std::size_t ANSWER_LIMIT = 64 * 1024;

using OutputBuffer = std::unique_ptr<char, decltype(&std::free)>;

std::string cut_to(std::string text, std::size_t limit) {
    if (text.size() > limit) text.resize(limit);
    return text;
}

// The text between double quotes, standing literally in a shell command.
std::string quoted(const char* text) { return "\"" + shell_quote_escape(text) + "\""; }

// Standard output goes first, so that both streams keep their order when they
// end in one place.
int report_failure(const char* message) {
    std::fflush(stdout);
    std::fputs(message, stderr);
    return 1;
}

int report_fetch_failure() {
    report_failure("Error: Cannot fetch version information.\n");
    return report_failure("Please check your internet connection.\n");
}

// Everything the answer holds, NUL-terminated; empty when memory runs out or
// the answer is longer than ANSWER_LIMIT.
OutputBuffer read_whole_output(FILE* answer) {
    std::size_t capacity = FIRST_OUTPUT_SIZE;
    std::size_t length = 0;
    OutputBuffer output(static_cast<char*>(std::malloc(capacity)), &std::free);
    char piece[PIECE_SIZE];
    while (output) {
        std::size_t got = std::fread(piece, 1, sizeof piece, answer);
        if (got == 0) break;
        if (length + got > ANSWER_LIMIT) return OutputBuffer(nullptr, &std::free);
        if (length + got > capacity - 2) {  // keeps room for the closing NUL
            capacity = length + got + OUTPUT_GROWTH;
            char* larger = static_cast<char*>(std::realloc(output.get(), capacity));
            if (larger == nullptr) return OutputBuffer(nullptr, &std::free);
            output.release();
            output.reset(larger);
        }
        std::memcpy(output.get() + length, piece, got);
        length += got;
    }
    if (output) output.get()[length] = '\0';
    return output;
}

void strip_line_ends(char* text) {
    std::size_t length = std::strlen(text);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n')) text[--length] = '\0';
}

// Asks the server for the latest version; false when the answer cannot be had.
bool fetch_latest_version(std::string& latest) {
    std::string command = cut_to("curl -s -f -g --connect-timeout 30 --max-time 60 \"" +
                                     shell_quote_escape(VERSION_ADDRESS) + "\" 2>/dev/null",
                                 VERSION_COMMAND_LIMIT);
    std::unique_ptr<FILE, decltype(&std::fclose)> answer(std::tmpfile(), &std::fclose);
    if (answer == nullptr || !run_query(command.c_str(), answer.get(), ANSWER_LIMIT)) return false;
    std::rewind(answer.get());
    OutputBuffer output = read_whole_output(answer.get());
    if (!output) return false;
    strip_line_ends(output.get());
    latest = cut_to(output.get(), UPDATE_NAME_LIMIT);
    return true;
}

void print_versions(const char* latest, const char* requested) {
    std::printf("Current version: %s\n", VERSION);
    std::printf("Latest version: %s\n", latest);
    if (requested != nullptr) std::printf("Target version specified: %s\n", requested);
    std::printf("Detected OS: %s\n", PLATFORM_NAME);
}

// The copy of the new program beside the installed one: removed, when this
// program may, unless it was renamed over the old one.
class CopyBeside {
public:
    CopyBeside(std::string path, bool removable) : path_(std::move(path)), removable_(removable) {}
    ~CopyBeside() {
        if (removable_) unlink(path_.c_str());
    }
    CopyBeside(const CopyBeside&) = delete;
    CopyBeside& operator=(const CopyBeside&) = delete;
    void renamed() { removable_ = false; }

private:
    std::string path_;
    bool removable_;
};

// Status of the platform's install steps; 0 where there are none. The
// archive is read from `archive`, the file as it was downloaded, and
// unpacked in a private folder of its own, removed afterwards. The program
// is copied beside the installed one and renamed over it: a stop before the
// rename leaves the old program, and the rename, once begun, is waited for,
// so that its status tells which program is in place.
int run_install_steps(const char* local_path, int archive) {
    PrivateFolder folder("/tmp", "zentul-update");
    bool as_root = geteuid() == 0;
    // The copy's name takes the random part of the private folder's.
    std::string beside = temporary_name_for(INSTALLED_PROGRAM);
    beside.replace(beside.size() - RANDOM_PART_LENGTH, RANDOM_PART_LENGTH,
                   folder.path(), folder.path().size() - RANDOM_PART_LENGTH, RANDOM_PART_LENGTH);
    InstallSteps steps = install_steps(PLATFORM_NAME, local_path, folder.path().c_str(), beside.c_str(), as_root);
    if (steps.copy.empty()) return 0;
    std::printf("%s\n", is(PLATFORM_NAME, "macos") ? "Installing package..." : "Extracting...");
    if (!folder.ready() || lseek(archive, 0, SEEK_SET) != 0) return NOT_RUN_STATUS;
    CopyBeside copy(beside, as_root && !steps.rename.empty());
    int status = run_tool_in_foreground(steps.copy.c_str(), archive);
    if (status != 0 || steps.rename.empty()) return status;
    status = run_tool_in_foreground(steps.rename.c_str(), -1, false);
    if (status == 0) copy.renamed();
    return status;
}

int download_and_install(const char* version) {
    std::string file_name = cut_to(std::string("Zentul-") + version + FILE_SUFFIX, UPDATE_NAME_LIMIT);
    std::string address = cut_to(
        std::string(UPDATE_FILES_BASE) + "/" + update_directory(PLATFORM_NAME) + "/" + file_name, UPDATE_ADDRESS_LIMIT);
    std::string local_path = cut_to("/tmp/" + file_name, UPDATE_ADDRESS_LIMIT);
    std::printf("Downloading: %s\n", address.c_str());
    Descriptor archive(download_and_open(address.c_str(), local_path.c_str(), UPDATE_CAPS));
    if (archive.get() < 0) return report_failure("Error: Failed to download update.\n");
    std::printf("Downloaded to: %s\n", local_path.c_str());
    if (run_install_steps(local_path.c_str(), archive.get()) != 0) {
        stop_if_signalled();  // the old program stays: the signal's status says so
        return report_failure("Error: Installation failed.\n");
    }
    std::printf("Installation complete!\n");
    return 0;
}

bool is_version_character(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '+' || c == '-';
}

// A name with the temporary files' mark, which a sweep would take for one
// of them: true after saying so.
bool refuses_reserved_name(const char* file_name) {
    if (!carries_temporary_mark(file_name)) return false;
    std::fflush(stdout);
    std::fprintf(stderr, "Error: File name reserved for temporary files: %s\n", file_name);
    return true;
}

// The text after the address's last '/', or `fallback` when it has none.
const char* file_name_of(const char* address, const char* fallback) {
    const char* slash = std::strrchr(address, '/');
    return slash != nullptr ? slash + 1 : fallback;
}

}  // namespace

const char* update_directory(const char* platform_name) {
    if (is(platform_name, "windows")) return "exe";
    if (is(platform_name, "macos")) return "pkg";
    return "deb";
}

InstallSteps install_steps(const char* platform_name, const char* local_path, const char* folder,
                           const char* beside, bool as_root) {
    std::string sudo = as_root ? "" : "sudo ";
    if (is(platform_name, "macos")) {
        return {cut_to(sudo + "installer -pkg " + quoted(local_path) + " -target /", COMMAND_LIMIT), ""};
    }
    if (!is(platform_name, "linux")) return {"", ""};
    // Only a regular file that the unpacking made is installed.
    return {cut_to("cd " + quoted(folder) + " && tar -xzf - --no-same-owner && [ -f zentul ] && [ ! -L zentul ] && " +
                       sudo + "cp zentul " + quoted(beside),
                   COMMAND_LIMIT),
            cut_to(sudo + "mv -f -T " + quoted(beside) + " " + INSTALLED_PROGRAM, COMMAND_LIMIT)};
}

bool is_valid_version_text(const char* version) {
    if (*version == '\0' || carries_temporary_mark(version)) return false;
    for (const char* c = version; *c != '\0'; c++) {
        if (!is_version_character(*c)) return false;
    }
    return true;
}

int update_zentul(const char* version) {
    std::printf("Checking for updates...\n");
    std::string latest;
    if (!fetch_latest_version(latest)) return report_fetch_failure();
    print_versions(latest.c_str(), version);
    const char* wanted = version != nullptr ? version : latest.c_str();
    if (!is_valid_version_text(wanted)) return report_failure("Error: Invalid version text.\n");
    return download_and_install(wanted);
}

int download_file(const char* url) {
    if (looks_like_option(url)) return report_failure("Error: Invalid address.\n");
    const char* file_name = file_name_of(url, "download");
    if (refuses_reserved_name(file_name)) return 1;
    std::printf("Downloading: %s\n", url);
    std::string local_path = cut_to(std::string("/tmp/") + file_name, UPDATE_ADDRESS_LIMIT);
    std::printf("Saving to: %s\n", local_path.c_str());
    if (download_replacing_file(url, local_path.c_str()) != 0) return report_failure("Download failed!\n");
    std::printf("Download complete!\n");
    return 0;
}

int install_library(const char* url) {
    if (looks_like_option(url)) return report_failure("Error: Invalid address.\n");
    const char* file_name = file_name_of(url, "library.zinc");
    if (refuses_reserved_name(file_name)) return 1;
    std::printf("Installing Zentul library...\n");
    if (std::strstr(file_name, ".zinc") == nullptr) {
        return report_failure("Error: Only .zinc files are supported.\n");
    }
    std::string library_path = cut_to(std::string("inc/") + file_name, UPDATE_ADDRESS_LIMIT);
    std::printf("Downloading: %s\n", url);
    std::printf("Installing to: %s\n", library_path.c_str());
    if (download_replacing_file(url, library_path.c_str()) != 0) return report_failure("Installation failed!\n");
    std::printf("Library installed successfully!\n");
    std::printf("Use '&inc<%s>' in your script to include it.\n", file_name);
    return 0;
}
