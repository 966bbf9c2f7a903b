#include "system/file_beside.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace {

// The temporary name in the folder of `target`, ready for mkstemp.
std::string name_beside(const std::string& target, TemporaryName naming) {
    if (naming == TemporaryName::SUFFIXED) return target + ".XXXXXX";
    std::size_t slash = target.rfind('/');
    std::size_t base = slash == std::string::npos ? 0 : slash + 1;
    return target.substr(0, base) + "." + target.substr(base) + ".XXXXXX";
}

bool is_directory(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// The mode a file created the ordinary way gets: 0666 less the umask.
mode_t readable_file_mode() {
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

FileBeside::FileBeside(const std::string& target, TemporaryName naming)
    : target_(target), path_(name_beside(target, naming)) {
    if (is_directory(target)) return;
    descriptor_ = mkstemp(path_.data());
    if (descriptor_ < 0) return;
    // No tool started meanwhile, by package code for one, holds the file open.
    if (fcntl(descriptor_, F_SETFD, FD_CLOEXEC) != 0 || fchmod(descriptor_, readable_file_mode()) != 0) remove();
}

FileBeside::~FileBeside() { remove(); }

void FileBeside::empty() {
    if (!ready()) return;
    [[maybe_unused]] int emptied = ftruncate(descriptor_, 0);  // else the next tool's own opening empties it
}

bool FileBeside::put_in_place() {
    if (!ready()) return false;
    bool placed = fsync(descriptor_) == 0 && std::rename(path_.c_str(), target_.c_str()) == 0;
    if (!placed) {
        remove();
        return false;
    }
    close(descriptor_);
    descriptor_ = -1;
    return true;
}

void FileBeside::remove() {
    if (!ready()) return;
    unlink(path_.c_str());
    close(descriptor_);
    descriptor_ = -1;
}
