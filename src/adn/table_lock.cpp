#include "adn/table_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "adn/registry.h"
#include "adn/text_files.h"

namespace {

int lock_depth = 0;
int locked_directory = -1;  // closing it releases the lock

}  // namespace

TableLock::TableLock() {
    if (lock_depth++ > 0) return;
    // Close-on-exec: a download tool left running must not keep the lock.
    locked_directory = open(ADN_DIRECTORY, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // Without the directory nothing can be saved, and the save reports that.
    if (locked_directory >= 0) {
        while (flock(locked_directory, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    load_tables();
}

TableLock::~TableLock() {
    if (--lock_depth > 0) return;
    if (locked_directory >= 0) close(locked_directory);
    locked_directory = -1;
}
