#include "cli/command_line.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "adn/install.h"
#include "adn/package_file.h"
#include "adn/registry.h"
#include "cli/checker.h"
#include "cli/network.h"
#include "cli/script_file.h"
#include "cli/version.h"
#include "cli/words.h"
#include "cli/runner.h"

namespace {

enum Usage { USAGE_A = 1, USAGE_B = 2, USAGE_BOTH = USAGE_A | USAGE_B };

// Text B lists it among the options; text A, which leaves it out there, under "Also".
constexpr char INSTALL_LIBRARY_ROW[] = "  -i <url>        Download and install a .zinc library";

const struct {
    const char* text;
    int in;
} usage_rows[] = {
    {"Usage: zentul [options] <script>", USAGE_BOTH},
    {"Options:", USAGE_BOTH},
    {"  -v, --version   Show version information", USAGE_BOTH},
    {"  -u [version]    Update to latest or specified version", USAGE_BOTH},
    {"  -d <url>        Download and save a file (e.g., .zinc library)", USAGE_A},
    {"  -d <url>        Download and save a file", USAGE_B},
    {INSTALL_LIBRARY_ROW, USAGE_B},
    {"  <script.zen>    Run a Zentul script file", USAGE_BOTH},
    {"\nADN Package Manager:", USAGE_BOTH},
    {"  adn install <package>   Install a package", USAGE_BOTH},
    {"  adn i <package>         Install a package (short)", USAGE_BOTH},
    {"  adn update <package>    Update a package", USAGE_BOTH},
    {"  adn u <package>         Update a package (short)", USAGE_BOTH},
    {"  adn remove <package>    Remove a package", USAGE_BOTH},
    {"  adn r <package>         Remove a package (short)", USAGE_BOTH},
    {"  adn list                List installed packages", USAGE_BOTH},
    {"  adn ls                  List installed packages (short)", USAGE_BOTH},
    {"\nADN Repository Manager:", USAGE_BOTH},
    {"  adm mirror <url>        Add a mirror repository", USAGE_BOTH},
    {"  adm list                List repositories", USAGE_BOTH},
    {"  adm ls                  List repositories (short)", USAGE_BOTH},
    {"\nIn scripts:", USAGE_A},
    {"  adn(install package), adn(update package), adn(remove package), adn(list)", USAGE_A},
    {"  adm(mirror url), adm(list)", USAGE_A},
    // What the rows above leave out, the same in both texts.
    {"\nAlso:", USAGE_BOTH},
    {"  --check <file>  Check scripts and packages for faults, running nothing", USAGE_BOTH},
    {"  -h, --help      Show this usage", USAGE_BOTH},
    {INSTALL_LIBRARY_ROW, USAGE_A},
    {"  <package.zep>   Run a package file's code without installing it", USAGE_BOTH},
    {"  -               Run the script read from standard input", USAGE_BOTH},
    {"  adm remove <url>        Remove a repository", USAGE_BOTH},
    {"  adm rm <url>            Remove a repository (short)", USAGE_BOTH},
    {"  adm(remove url)         Remove a repository, in scripts", USAGE_BOTH},
    {nullptr, 0},
};

void print_usage(Usage which) {
    std::printf("Zentul %s\n", VERSION);
    for (auto* row = usage_rows; row->text != nullptr; row++) {
        if (row->in & which) std::printf("%s\n", row->text);
    }
}

int report_missing(const char* first, const char* second) {
    std::printf("%s\n%s\n", first, second);
    return 1;
}

// A package command needing a name: runs it, or reports the missing name.
int run_with_name(int argc, char** argv, int (*command)(const char*), const char* usage) {
    if (argc < 4) return report_missing("Error: Package name required", usage);
    return command(argv[3]);
}

int run_adn_command(int argc, char** argv) {
    if (argc < 3) return report_missing("Error: ADN command required", "Usage: zentul adn <command> [args]");
    const char* word = argv[2];
    if (is_either(word, "install", "i")) {
        return run_with_name(argc, argv, install_package, "Usage: zentul adn install <package>");
    }
    if (is_either(word, "update", "u")) {
        return run_with_name(argc, argv, update_package, "Usage: zentul adn update <package>");
    }
    if (is_either(word, "remove", "r")) {
        return run_with_name(argc, argv, remove_package, "Usage: zentul adn remove <package>");
    }
    if (is_either(word, "list", "ls")) return list_packages();
    std::printf("Error: Unknown ADN command: %s\n", word);
    std::printf("Available commands: install, update, remove, list\n");
    return 1;
}

int run_adm_command(int argc, char** argv) {
    if (argc < 3) return report_missing("Error: ADM command required", "Usage: zentul adm <command> [args]");
    const char* word = argv[2];
    if (is(word, "mirror")) {
        if (argc < 4) return report_missing("Error: Repository URL required", "Usage: zentul adm mirror <url>");
        return add_repository(argv[3]);
    }
    if (is_either(word, "remove", "rm")) {
        if (argc < 4) return report_missing("Error: Repository URL required", "Usage: zentul adm remove <url>");
        return remove_repository(argv[3]);
    }
    if (is_either(word, "list", "ls")) return list_repositories();
    std::printf("Error: Unknown ADM command: %s\n", word);
    std::printf("Available commands: mirror, remove, list\n");
    return 1;
}

bool ends_with_zep(const char* path) {
    const char* dot = std::strrchr(path, '.');
    return dot != nullptr && is(dot, ".zep");
}

int run_single_argument(const char* argument) {
    if (is_either(argument, "-v", "--version")) {
        std::printf("Zentul %s\n", VERSION);
        std::printf("A simple interpreted programming language\n");
        return 0;
    }
    if (is_either(argument, "--help", "-h")) {
        print_usage(USAGE_A);
        return 0;
    }
    if (is(argument, "-u")) return update_zentul(nullptr);
    if (ends_with_zep(argument)) return execute_zep_package(argument);
    run_file(argument);
    return 0;
}

// `--check` runs nothing and makes nothing, not even .adn; without a file it
// is bad usage, with the check's status for an error.
int run_check(int argc, char** argv) {
    if (argc < 3) {
        report_missing("Error: File to check required", "Usage: zentul --check <file>...");
        return 2;
    }
    return check_files(argc - 2, argv + 2);
}

}  // namespace

int run_command_line(int argc, char** argv) {
    if (argc >= 2 && is(argv[1], "--check")) return run_check(argc, argv);
    run_package_code = run;
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    init_adn();
    if (argc < 2) {
        print_usage(USAGE_A);
        return 0;
    }
    if (is(argv[1], "adn")) return run_adn_command(argc, argv);
    if (is(argv[1], "adm")) return run_adm_command(argc, argv);
    if (argc == 2) return run_single_argument(argv[1]);
    if (is(argv[1], "-u")) return update_zentul(argv[2]);
    if (is(argv[1], "-d")) return download_file(argv[2]);
    if (is(argv[1], "-i")) return install_library(argv[2]);
    print_usage(USAGE_B);
    return 1;
}
