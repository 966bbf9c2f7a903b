#include "adn/table_lock.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>

#include "adn/journal.h"
#include "adn/messages.h"
#include "adn/registry.h"
#include "adn/text_files.h"
#include "system/leftovers.h"
#include "system/stop_signal.h"

namespace {

constexpr std::chrono::seconds WAIT_BEFORE_TELLING{1};
constexpr int LOCK_TRY_MILLISECONDS = 50;

int lock_depth = 0;
int locked_directory = -1;  // closing it releases the lock

// Waits for the lock on the open directory, looking for a stop signal
// between tries; false when it cannot be had.
bool lock_directory(int directory) {
    auto start = std::chrono::steady_clock::now();
    bool told = false;
    while (flock(directory, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) return false;
        stop_if_signalled();
        if (!told && std::chrono::steady_clock::now() - start >= WAIT_BEFORE_TELLING) {
            std::fflush(stdout);
            std::fprintf(stderr, adn_text::WAITING_FOR_LOCK, ADN_DIRECTORY);
            told = true;
        }
        poll(nullptr, 0, LOCK_TRY_MILLISECONDS);  // a signal ends the pause early
    }
    return true;
}

void close_directory() {
    if (locked_directory >= 0) close(locked_directory);
    locked_directory = -1;
    lock_depth = 0;
}

// What the first holder does before the command may change anything.
bool prepare_tables() {
    bool recovered = recover_package_change();
    if (recovered) sweep_leftovers(ADN_DIRECTORY);
    load_tables();
    return recovered && !report_unreadable_tables();
}

}  // namespace

TableLock::TableLock() {
    if (lock_depth > 0) {
        lock_depth++;
        held_ = true;
        return;
    }
    // Close-on-exec: no tool holds the lock, only a tool's guard until the
    // tool is gone (net/guarded_tool.h).
    locked_directory = open(ADN_DIRECTORY, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    try {
        if (locked_directory < 0 || !lock_directory(locked_directory)) {
            close_directory();
            std::printf(adn_text::LOCK_FAILED, ADN_DIRECTORY);
            return;
        }
        lock_depth = 1;
        held_ = prepare_tables();
        stop_if_signalled();  // nothing has changed yet: stop now rather than after
    } catch (...) {
        close_directory();
        throw;
    }
    if (!held_) close_directory();
}

TableLock::~TableLock() {
    if (!held_ || --lock_depth > 0) return;
    close_directory();
}
