#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "builtins/call_forms.h"
#include "core/error.h"
#include "core/numbers.h"
#include "system/standard_streams.h"
#include "system/stop_signal.h"

namespace {

constexpr double MICROSECONDS_PER_SECOND = 1000000;
constexpr double MICROSECONDS_PER_MILLISECOND = 1000;
constexpr double RANDOM_LIMIT = 2147483647.0;

// A pause as an unsigned 32-bit count: none for NaN or below one, cut at the top.
std::uint32_t truncate_to_microseconds(double microseconds) {
    if (!(microseconds >= 1)) return 0;
    if (microseconds >= static_cast<double>(UINT32_MAX)) return UINT32_MAX;
    return static_cast<std::uint32_t>(microseconds);
}

// nanosleep rather than usleep, which may refuse a second or more.
void pause_for(std::uint32_t microseconds) {
    flush_output();
    timespec remaining{};
    remaining.tv_sec = static_cast<time_t>(microseconds / 1000000);
    remaining.tv_nsec = static_cast<long>(microseconds % 1000000) * 1000;
    while (nanosleep(&remaining, &remaining) == -1 && errno == EINTR) stop_if_signalled();
}

// Reads one key with the terminal's line buffering and echo off, and its
// settings back afterwards.
int read_key() {
    flush_output();
    termios saved{};
    bool is_terminal = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (is_terminal) {
        termios single_key = saved;
        single_key.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &single_key);
    }
    int key = std::getchar();
    if (is_terminal) tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    return key;
}

// Each call names a new variable after the slot it is about to take.
void store_random(const Call& call, double value) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%d", call.result_name, var_count);
    store_number_result(NameRef{name, call.line}, value);
}

void execute_input(const Call& call) {
    std::fputs(call.arguments[0].text, stdout);
    flush_output();
    char line[STRING_SIZE];
    if (std::fgets(line, sizeof line, stdin) == nullptr) {
        stop_if_signalled();
        raise_at(call.line, FaultCode::INPUT_FAILED);
    }
    line[std::strcspn(line, "\n")] = '\0';
    set_text(call.result, line);
}

void execute_str(const Call& call) {
    char text[NUMBER_TEXT_SIZE];
    format_number(call.arguments[0].number, text);
    set_text(call.result, text);
}

void execute_sleep(const Call& call) {
    pause_for(truncate_to_microseconds(call.arguments[0].number * MICROSECONDS_PER_SECOND));
}

void execute_sleepms(const Call& call) {
    pause_for(truncate_to_microseconds(call.arguments[0].number * MICROSECONDS_PER_MILLISECOND));
}

void execute_clear(const Call&) {
    flush_output();  // what was written before stays before the clearing
    [[maybe_unused]] int status = std::system("clear");
}

void execute_getch(const Call& call) {
    // At the end of input the EOF value, cut to a byte, is stored.
    int code = read_key();
    if (code == EOF) stop_if_signalled();
    char key[2] = {static_cast<char>(static_cast<unsigned char>(code)), '\0'};
    set_text(call.result, key);
}

void execute_rand(const Call& call) { store_random(call, std::rand() / RANDOM_LIMIT); }

void execute_rand_range(const Call& call) {
    double min = call.arguments[0].number;
    double max = call.arguments[1].number;
    int random = std::rand();
    int span = truncate_to_int(max - min + 1);
    // A span of 0 has no remainder: the value is then min itself.
    double offset = span == 0 ? 0 : random % span;
    store_random(call, truncate_to_int(min + offset));
}

void execute_time(const Call& call) {
    std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char text[64] = "";
    if (local == nullptr || std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local) == 0) text[0] = '\0';
    set_text(call.result, text);
}

void execute_timestamp(const Call& call) {
    call.result->number = static_cast<double>(std::time(nullptr));
    call.result->is_string = 0;
}

void execute_type_of(const Call& call) { set_text(call.result, call.arguments[0].text); }

using enum ArgumentKind;

}  // namespace

int truncate_to_int(double value) {
    if (std::isnan(value)) return 0;
    if (value <= INT_MIN) return INT_MIN;
    if (value >= INT_MAX) return INT_MAX;
    return static_cast<int>(value);
}

const Procedure console_procedures[] = {
    {TOKEN_IDENTIFIER, "input", false, 1, {{PROMPT}}, Result::TEXT, forms_of<execute_input, PROMPT>},
    {TOKEN_IDENTIFIER, "str", false, 1, {{NUMBER}}, Result::TEXT, forms_of<execute_str, NUMBER>},
    {TOKEN_SLEEP, "sleep", false, 1, {{NUMBER}}, Result::NONE, forms_of<execute_sleep, NUMBER>},
    {TOKEN_SLEEPMS, "sleepms", false, 1, {{NUMBER}}, Result::NONE, forms_of<execute_sleepms, NUMBER>},
    {TOKEN_CLEAR, "clear", false, 0, {}, Result::NONE, forms_of<execute_clear>},
    {TOKEN_GETCH, "getch", false, 0, {}, Result::TEXT, forms_of<execute_getch>},
    {TOKEN_RAND, "rand", false, 0, {}, Result::RANDOM, forms_of<execute_rand>},
    {TOKEN_RAND_RANGE, "rand_range", false, 2, {{NUMBER}, {NUMBER}}, Result::RANDOM, forms_of<execute_rand_range, NUMBER, NUMBER>},
    {TOKEN_TIME, "time", true, 0, {}, Result::TEXT, forms_of<execute_time>},
    {TOKEN_TIMESTAMP, "timestamp", true, 0, {}, Result::NUMBER, forms_of<execute_timestamp>},
    {TOKEN_TYPE_OF, "type_of", true, 1, {{VALUE, nullptr, "value"}}, Result::TEXT, forms_of<execute_type_of, VALUE>},
    {TOKEN_EOF, nullptr, false, 0, {}, Result::NONE, nullptr},
};
