// libFuzzer target: runs each input twice in-process, once through the
// program's engine and once through the reference interpreter in
// tests/oracle, and stops the fuzzer when the two differ in standard output,
// error report or status. Any crash or sanitizer report stops it too. Every
// run has a step budget, so inputs with loops end.
//
// A line "#package" in an input starts the code of a package "p", served
// from a folder through file:// addresses, so that adn(install p) and
// adn(update p) run package code in the middle of a script; package commands
// in other inputs are skipped, as are texts that could block, pause, clear
// the screen, write files or read the clock.
//
// Each script and package is checked as well (zentul --check): the check must
// not crash, and for a script without packages, a fault of the text that the
// run meets must be among the errors it lists, with the run's message and line
// (a statement's own line for a fault met before it read a token). A script
// without if, while and for is followed exactly: the check's first error is
// then the run's fault when the text or the names decide it, and a run that
// ends cleanly or by another fault has no error listed before it.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "adn/package_file.h"
#include "adn/registry.h"
#include "core/error.h"
#include "core/steps.h"
#include "core/variables.h"
#include "oracle/oracle.h"
#include "cli/checker.h"
#include "cli/runner.h"
#include "lexer/token.h"

namespace {

// Package commands start download tools, which take milliseconds: inputs with
// them get a smaller budget, so that loops of them end in time.
constexpr long STEP_BUDGET = 20000;
constexpr long PACKAGE_STEP_BUDGET = 60;
constexpr char PACKAGE_MARKER[] = "#package\n";

const char* const skipped_words[] = {
    "sleep", "clear", "write_file", "append_file", "time", "mirror", nullptr,
};

bool is_safe(const std::string& text) {
    for (const char* const* word = skipped_words; *word != nullptr; word++) {
        if (text.find(*word) != std::string::npos) return false;
    }
    return true;
}

struct Outcome {
    std::string output;
    std::string error;  // the error report, or how the run ended otherwise
    std::optional<ScriptError> failure;
};

// A fresh package directory, with one repository in a folder of its own
// that holds package p when the input has one.
void set_up_packages(const std::string& package_code) {
    namespace fs = std::filesystem;
    fs::remove_all(".adn");
    fs::remove_all("site");
    fs::create_directories("site");
    if (!package_code.empty()) std::ofstream("site/p.zep") << "version: 2.0\nzentul:\n" << package_code;
    fs::create_directories(".adn");
    std::ofstream(".adn/repositories.txt") << "file://" << fs::current_path().string() << "/site/\n";
    init_adn();
}

// What `body` writes to standard output.
template <typename Body>
std::string caught_output(Body body) {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* caught = open_memstream(&buffer, &size);
    std::FILE* saved = stdout;
    stdout = caught;
    body();
    std::fflush(caught);
    stdout = saved;
    std::fclose(caught);
    std::string output(buffer, size);
    std::free(buffer);
    return output;
}

// Runs the script from a fresh start, with standard output caught.
Outcome run_once(const std::string& script, const std::string& package_code, void (*runner)(const char*),
                 bool uses_packages, [[maybe_unused]] long budget) {
    if (uses_packages) set_up_packages(package_code);
    reset_variables();
    run_package_code = runner;
#ifdef ZENTUL_STEP_BUDGET
    steps_left = budget;
#endif
    std::srand(1);
    Outcome outcome;
    outcome.output = caught_output([&] {
        try {
            runner(script.c_str());
        } catch (const ScriptError& failure) {
            outcome.error = "[Error at line " + std::to_string(failure.line) + "] " + failure.message;
            outcome.failure = failure;
        }
#ifdef ZENTUL_STEP_BUDGET
        catch (const StepBudgetExhausted&) {
            outcome.error = "(step budget exhausted)";
        }
#endif
    });
    return outcome;
}

// What `zentul --check` finds in a file of the text.
std::vector<Finding> checked(const char* name, const std::string& text) {
    std::ofstream(name, std::ios::binary) << text;
    std::vector<Finding> findings;
    caught_output([&] { findings = check_file(name); });
    return findings;
}

// Whether the text the check has just tokenized runs each statement once, in order.
bool is_straight() {
    return std::none_of(tokens, tokens + token_count, [](const Token& token) {
        return token.type == TOKEN_IF || token.type == TOKEN_WHILE || token.type == TOKEN_FOR;
    });
}

[[noreturn]] void differ(const std::string& script, const std::string& what, const std::vector<Finding>& errors) {
    std::fprintf(stderr, "--- input:\n%s\n--- %s; the check found:\n", script.c_str(), what.c_str());
    for (const Finding& error : errors) std::fprintf(stderr, "%d: %s\n", error.line, error.message.c_str());
    std::abort();
}

// Holds the check of a script without packages to the run's outcome.
void compare_check(const std::string& script, const Outcome& run) {
    std::vector<Finding> findings = checked("input.zen", script);
    std::erase_if(findings, [](const Finding& finding) { return !finding.error; });
    bool straight = is_straight();
    if (!run.failure) {
        if (straight && run.error.empty() && !findings.empty()) differ(script, "the run ended cleanly", findings);
        return;
    }
    const Fault& fault = run.failure->fault;
    int line = fault.line > 0 ? run.failure->line : fault.own_line;
    DecidedBy decider = decided_by(fault.code);
    auto is_run_fault = [&](const Finding& finding) {
        return finding.line == line && finding.message == run.failure->message;
    };
    std::string what = "the run failed at line " + std::to_string(line) + ": " + run.failure->message;
    if (decider == DecidedBy::TEXT && std::none_of(findings.begin(), findings.end(), is_run_fault)) {
        differ(script, what, findings);
    }
    if (!straight) return;
    bool first = !findings.empty() && is_run_fault(findings[0]);
    if ((decider == DecidedBy::TEXT || decider == DecidedBy::NAMES) && !first) differ(script, what, findings);
    if (!findings.empty() && findings[0].line < line) differ(script, what, findings);
}

void report(const char* label, const Outcome& outcome) {
    std::fprintf(stderr, "--- %s output:\n%s\n--- %s error: %s\n", label, outcome.output.c_str(), label,
                 outcome.error.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Reading input finds its end at once, and the package files go to a
    // folder of their own.
    if (std::freopen("/dev/null", "r", stdin) == nullptr) std::abort();
    std::filesystem::path folder = std::filesystem::temp_directory_path() / ("zentul_fuzz." + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);
    std::atexit([] {
        std::filesystem::path here = std::filesystem::current_path();
        std::filesystem::current_path(here.parent_path());
        std::filesystem::remove_all(here);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    if (!is_safe(text)) return 0;
    std::string script = text;
    std::string package_code;
    std::size_t marker = text.find(PACKAGE_MARKER);
    if (marker != std::string::npos) {
        script = text.substr(0, marker);
        package_code = text.substr(marker + sizeof PACKAGE_MARKER - 1);
    }
    bool uses_packages = marker != std::string::npos;
    if (!uses_packages && (text.find("adn") != std::string::npos || text.find("adm") != std::string::npos)) return 0;
    long budget = uses_packages ? PACKAGE_STEP_BUDGET : STEP_BUDGET;
    Outcome reference = run_once(script, package_code, oracle::run, uses_packages, budget);
    Outcome engine = run_once(script, package_code, run, uses_packages, budget);
    if (reference.output != engine.output || reference.error != engine.error) {
        std::fprintf(stderr, "--- input:\n%s\n", text.c_str());
        report("reference", reference);
        report("engine", engine);
        std::abort();
    }
    if (uses_packages) {
        checked("input.zep", "version: 2.0\nzentul:\n" + package_code);
        checked("input.zen", script);
    } else {
        compare_check(script, engine);
    }
    return 0;
}
