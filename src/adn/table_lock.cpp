#include "adn/table_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "adn/leftovers.h"
#include "adn/messages.h"
#include "adn/registry.h"
#include "adn/text_files.h"
#include "system/stop_signal.h"

namespace {

int lock_depth = 0;
int locked_directory = -1;  // closing it releases the lock

// Waits for the lock on the open directory; false when it cannot be had.
bool lock_directory(int directory) {
    while (flock(directory, LOCK_EX) != 0) {
        if (errno != EINTR) return false;
        stop_if_signalled();
    }
    return true;
}

void close_directory() {
    if (locked_directory >= 0) close(locked_directory);
    locked_directory = -1;
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
        held_ = locked_directory >= 0 && lock_directory(locked_directory);
    } catch (...) {
        close_directory();
        throw;
    }
    if (!held_) {
        close_directory();
        std::printf(adn_text::LOCK_FAILED, ADN_DIRECTORY);
        return;
    }
    lock_depth = 1;
    remove_leftovers();
    load_tables();
}

TableLock::~TableLock() {
    if (!held_ || --lock_depth > 0) return;
    close_directory();
}
