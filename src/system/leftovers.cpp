#include "system/leftovers.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>

#include "system/file_beside.h"

namespace {

constexpr std::size_t MARK_LENGTH = sizeof TEMPORARY_MARK - 1;
// A folder that a sweep took between its making and its locking is made afresh.
constexpr int CREATION_TRIES = 8;

void remove_entry(const std::string& path, bool folder) {
    std::error_code ignored;
    if (folder) {
        std::filesystem::remove_all(path, ignored);  // links inside are removed, never followed
    } else {
        unlink(path.c_str());
    }
}

// Removes the file or folder at `path` when it is this user's and nobody
// holds its lock; it is removed only if it still stands at that name.
void remove_if_orphan(const std::string& path) {
    int descriptor = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return;
    struct stat opened {};
    bool orphan = fstat(descriptor, &opened) == 0 && opened.st_uid == geteuid() &&
                  (S_ISREG(opened.st_mode) || S_ISDIR(opened.st_mode)) && lock_as_own(descriptor, path);
    if (orphan) remove_entry(path, S_ISDIR(opened.st_mode));
    close(descriptor);
}

}  // namespace

bool is_temporary_name(const std::string& name) {
    if (name.size() < 2 + MARK_LENGTH + RANDOM_PART_LENGTH || name[0] != '.') return false;
    std::size_t mark = name.size() - RANDOM_PART_LENGTH - MARK_LENGTH;
    return name.compare(mark, MARK_LENGTH, TEMPORARY_MARK) == 0 &&
           std::all_of(name.end() - RANDOM_PART_LENGTH, name.end(), [](unsigned char c) { return std::isalnum(c) != 0; });
}

void sweep_leftovers(const std::string& folder) {
    std::unique_ptr<DIR, int (*)(DIR*)> listing(opendir(folder.c_str()), closedir);
    if (listing == nullptr) return;
    while (const dirent* entry = readdir(listing.get())) {
        if (is_temporary_name(entry->d_name)) remove_if_orphan(folder + "/" + entry->d_name);
    }
}

PrivateFolder::PrivateFolder(const std::string& parent, const std::string& stem) {
    for (int tries = 0; tries < CREATION_TRIES && descriptor_ < 0; tries++) {
        path_ = parent + "/." + stem + TEMPORARY_MARK + "XXXXXX";
        if (mkdtemp(path_.data()) == nullptr) return;  // made with mode 0700
        descriptor_ = open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (descriptor_ >= 0 && lock_as_own(descriptor_, path_)) return;
        if (descriptor_ >= 0) close(descriptor_);  // taken by a sweep, which removes it
        descriptor_ = -1;
    }
}

PrivateFolder::~PrivateFolder() {
    if (!ready()) return;
    remove_entry(path_, true);
    close(descriptor_);
}
