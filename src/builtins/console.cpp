#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "builtins/arguments.h"
#include "builtins/builtins.h"
#include "core/cursor.h"
#include "core/error.h"
#include "core/variables.h"
#include "expr/evaluate.h"
#include "net/stop_signal.h"

namespace {

constexpr double MICROSECONDS_PER_SECOND = 1000000;
constexpr double MICROSECONDS_PER_MILLISECOND = 1000;
constexpr double RANDOM_LIMIT = 2147483647.0;

// Reads "(" and ")" around a procedure that takes no arguments and closes
// with the plain "Expected ')'".
void read_no_arguments(const char* name) {
    consume_after(TOKEN_LPAREN, name);
    consume(TOKEN_RPAREN, EXPECTED_RPAREN);
}

// The same for one whose ')' message names it.
void read_no_named_arguments(const char* name) {
    consume_after(TOKEN_LPAREN, name);
    consume_after(TOKEN_RPAREN, name);
}

// A pause as an unsigned 32-bit count: none for NaN or below one, cut at the top.
std::uint32_t truncate_to_microseconds(double microseconds) {
    if (!(microseconds >= 1)) return 0;
    if (microseconds >= static_cast<double>(UINT32_MAX)) return UINT32_MAX;
    return static_cast<std::uint32_t>(microseconds);
}

// nanosleep rather than usleep, which may refuse a second or more.
void pause_for(std::uint32_t microseconds) {
    timespec remaining{};
    remaining.tv_sec = static_cast<time_t>(microseconds / 1000000);
    remaining.tv_nsec = static_cast<long>(microseconds % 1000000) * 1000;
    while (nanosleep(&remaining, &remaining) == -1 && errno == EINTR) stop_if_signalled();
}

void execute_pause(const char* name, double microseconds_per_unit) {
    consume_after(TOKEN_LPAREN, name);
    double amount = evaluate();
    consume(TOKEN_RPAREN, EXPECTED_RPAREN);
    pause_for(truncate_to_microseconds(amount * microseconds_per_unit));
}

// Turns off line buffering and echo of the terminal while it lives, so that
// the settings come back however the read ends.
class SingleKeyMode {
public:
    SingleKeyMode() : saved_(tcgetattr(STDIN_FILENO, &settings_) == 0) {
        if (!saved_) return;
        termios single_key = settings_;
        single_key.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &single_key);
    }
    ~SingleKeyMode() {
        if (saved_) tcsetattr(STDIN_FILENO, TCSANOW, &settings_);
    }
    SingleKeyMode(const SingleKeyMode&) = delete;
    SingleKeyMode& operator=(const SingleKeyMode&) = delete;

private:
    termios settings_{};
    bool saved_;
};

int read_key() {
    SingleKeyMode mode;
    return std::getchar();
}

// Each call names a new variable after the slot it is about to take.
void store_random(double value) {
    char name[32];
    std::snprintf(name, sizeof name, "__rand_%d", var_count);
    store_number_result(name, value);
}

const char* kind_of(const Variable* variable) {
    if (variable == nullptr) return "unknown";
    if (variable->is_string) return "string";
    if (variable->is_array) return "array";
    return "number";
}

const char* kind_of_token(int index, const char* name) {
    switch (tokens[index].type) {
        case TOKEN_IDENTIFIER:
            return kind_of(find_variable_at(index));
        case TOKEN_STRING:
            return "string";
        case TOKEN_NUMBER:
            return "number";
        default:
            error_argument("value", name);
    }
}

}  // namespace

void execute_input(const char* name) {
    consume_after(TOKEN_LPAREN, name);
    const char* prompt = "";
    if (check(TOKEN_STRING)) {
        prompt = peek().text;
        step_over();
    }
    consume(TOKEN_RPAREN, EXPECTED_RPAREN);
    std::fputs(prompt, stdout);
    std::fflush(stdout);
    char line[STRING_SIZE];
    if (std::fgets(line, sizeof line, stdin) == nullptr) {
        stop_if_signalled();
        error("Failed to read input");
    }
    line[std::strcspn(line, "\n")] = '\0';
    store_string_result("__input_result", line);
}

void execute_str(const char* name) {
    consume_after(TOKEN_LPAREN, name);
    double value = evaluate();
    consume(TOKEN_RPAREN, EXPECTED_RPAREN);
    char text[STRING_SIZE];
    std::snprintf(text, sizeof text, "%g", value);
    store_string_result("__str_result", text);
}

void execute_sleep(const char* name) { execute_pause(name, MICROSECONDS_PER_SECOND); }

void execute_sleepms(const char* name) { execute_pause(name, MICROSECONDS_PER_MILLISECOND); }

void execute_clear(const char* name) {
    read_no_arguments(name);
    std::fflush(stdout);  // what was written before stays before the clearing
    [[maybe_unused]] int status = std::system("clear");
}

void execute_getch(const char* name) {
    read_no_arguments(name);
    // At the end of input the EOF value, cut to a byte, is stored.
    int code = read_key();
    if (code == EOF) stop_if_signalled();
    char key[2] = {static_cast<char>(static_cast<unsigned char>(code)), '\0'};
    store_string_result("__getch_result", key);
}

void execute_rand(const char* name) {
    read_no_arguments(name);
    store_random(std::rand() / RANDOM_LIMIT);
}

void execute_rand_range(const char* name) {
    consume_after(TOKEN_LPAREN, name);
    double min = evaluate();
    consume(TOKEN_COMMA, EXPECTED_COMMA_BETWEEN);
    double max = evaluate();
    consume(TOKEN_RPAREN, EXPECTED_RPAREN);
    int random = std::rand();
    int span = truncate_to_int(max - min + 1);
    // A span of 0 has no remainder: the value is then min itself.
    double offset = span == 0 ? 0 : random % span;
    store_random(truncate_to_int(min + offset));
}

void execute_time(const char* name) {
    read_no_named_arguments(name);
    std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char text[64] = "";
    if (local == nullptr || std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local) == 0) text[0] = '\0';
    store_string_result("__time_result", text);
}

void execute_timestamp(const char* name) {
    read_no_named_arguments(name);
    store_number_result("__timestamp_result", static_cast<double>(std::time(nullptr)));
}

void execute_type_of(const char* name) {
    consume_after(TOKEN_LPAREN, name);
    const char* kind = kind_of_token(current_token, name);
    step_over();
    consume_after(TOKEN_RPAREN, name);
    store_string_result("__type_of_result", kind);
}
