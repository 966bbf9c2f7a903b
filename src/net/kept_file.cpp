#include "net/kept_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

// A fresh, exclusively created file name beside `path`: ".NAME.XXXXXX".
std::string reserve_name_beside(const std::string& path) {
    std::size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string name = folder + "." + base + ".XXXXXX";
    int descriptor = mkstemp(name.data());
    if (descriptor < 0) return "";
    close(descriptor);
    return name;
}

}  // namespace

KeptFile::KeptFile(std::string path) : path_(std::move(path)) {
    struct stat status;
    if (lstat(path_.c_str(), &status) != 0) return;  // nothing there to keep
    if (S_ISDIR(status.st_mode)) {
        directory_ = true;
        return;
    }
    aside_ = reserve_name_beside(path_);
    if (!aside_.empty() && std::rename(path_.c_str(), aside_.c_str()) == 0) return;
    if (!aside_.empty()) unlink(aside_.c_str());
    aside_.clear();
    ready_ = false;
}

KeptFile::~KeptFile() {
    if (kept_ || !ready_ || directory_) return;
    if (!aside_.empty()) {
        std::rename(aside_.c_str(), path_.c_str());
    } else {
        unlink(path_.c_str());  // whatever a failed tool left
    }
}

void KeptFile::keep_new() {
    kept_ = true;
    if (!aside_.empty()) unlink(aside_.c_str());
}
