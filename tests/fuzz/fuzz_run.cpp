// libFuzzer target: runs each input twice in-process, once read from its
// tokens by the walker and once with compiling on, and stops the fuzzer when
// the two differ in standard output, error report or status. Any crash or
// sanitizer report stops it too. Every run has a step budget, so inputs with
// loops end. Texts that could block, pause, touch the network or the shell,
// write files or read the clock are skipped.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/compiling.h"
#include "core/error.h"
#include "core/steps.h"
#include "core/variables.h"
#include "stmt/runner.h"

namespace {

constexpr long STEP_BUDGET = 20000;

const char* const skipped_words[] = {
    "sleep", "clear", "adn", "adm", "write_file", "append_file", "time", nullptr,
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
};

// Runs the text from a fresh start, with standard output caught.
Outcome run_once(const std::string& text, bool compiling) {
    reset_variables();
    compiling_enabled = compiling;
    steps_left = STEP_BUDGET;
    std::srand(1);
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* caught = open_memstream(&buffer, &size);
    std::FILE* saved = stdout;
    stdout = caught;
    Outcome outcome;
    try {
        run(text.c_str());
    } catch (const ScriptError& failure) {
        outcome.error = "[Error at line " + std::to_string(failure.line) + "] " + failure.message;
    } catch (const StepBudgetExhausted&) {
        outcome.error = "(step budget exhausted)";
    }
    std::fflush(caught);
    stdout = saved;
    std::fclose(caught);
    outcome.output.assign(buffer, size);
    std::free(buffer);
    return outcome;
}

void report(const char* label, const Outcome& outcome) {
    std::fprintf(stderr, "--- %s output:\n%s\n--- %s error: %s\n", label, outcome.output.c_str(), label,
                 outcome.error.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    if (!is_safe(text)) return 0;
    Outcome walked = run_once(text, false);
    Outcome compiled = run_once(text, true);
    if (walked.output != compiled.output || walked.error != compiled.error) {
        report("walker", walked);
        report("compiled", compiled);
        std::abort();
    }
    return 0;
}
