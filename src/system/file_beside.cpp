#include "system/file_beside.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

void (*before_file_step)(FileStep, const std::string&) = nullptr;

namespace {

constexpr std::size_t NAME_MAX_BYTES = 255;
constexpr char RANDOM_PART[] = "XXXXXX";
static_assert(sizeof RANDOM_PART - 1 == RANDOM_PART_LENGTH);
// A temporary name whose file another process took first is tried afresh.
constexpr int CREATION_TRIES = 8;

// The mode of the regular file at `target` when this user owns it, or the
// one a file created the ordinary way gets: 0666 less the umask. A file
// that another user planted gives nothing: its mode was not this user's
// choice.
mode_t mode_for(const std::string& target) {
    struct stat status {};
    if (lstat(target.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == geteuid()) {
        return status.st_mode & 0777;
    }
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool write_all(int descriptor, const std::string& contents) {
    const char* next = contents.data();
    std::size_t left = contents.size();
    while (left > 0) {
        ssize_t written = write(descriptor, next, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        next += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

bool is_directory(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string folder_of(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return path.substr(0, slash == 0 ? 1 : slash);
}

bool lock_as_own(int descriptor, const std::string& path) {
    if (flock(descriptor, LOCK_EX | LOCK_NB) != 0) return false;
    struct stat opened {}, named {};
    return fstat(descriptor, &opened) == 0 && lstat(path.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
}

std::string temporary_name_for(const std::string& target) {
    std::size_t slash = target.rfind('/');
    std::size_t base = slash == std::string::npos ? 0 : slash + 1;
    std::string file_name = target.substr(base);
    std::size_t room = NAME_MAX_BYTES - 1 - (sizeof TEMPORARY_MARK - 1) - RANDOM_PART_LENGTH;
    if (file_name.size() > room) file_name.resize(room);
    return target.substr(0, base) + "." + file_name + TEMPORARY_MARK + RANDOM_PART;
}

FileBeside::FileBeside(const std::string& target) : target_(target) {
    if (is_directory(target)) return;
    mode_t mode = mode_for(target);
    for (int tries = 0; tries < CREATION_TRIES && descriptor_ < 0; tries++) {
        path_ = temporary_name_for(target);
        descriptor_ = mkostemp(path_.data(), O_CLOEXEC);
        if (descriptor_ < 0) return;
        if (lock_as_own(descriptor_, path_)) break;
        close(descriptor_);  // taken by a sweep: its name is gone, or soon will be
        descriptor_ = -1;
    }
    if (descriptor_ >= 0 && fchmod(descriptor_, mode) != 0) remove();
}

FileBeside::~FileBeside() { remove(); }

void FileBeside::empty() {
    if (!ready()) return;
    [[maybe_unused]] int emptied = ftruncate(descriptor_, 0);  // else the next tool's own opening empties it
}

bool FileBeside::put_in_place() {
    if (!ready()) return false;
    file_step(FileStep::RENAME, target_);
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

bool replace_file(const std::string& path, const std::string& contents) {
    FileBeside file(path);
    return file.ready() && write_all(file.descriptor(), contents) && file.put_in_place();
}
