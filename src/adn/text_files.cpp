#include "adn/text_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

// The mode a file created the ordinary way gets: 0666 less the umask.
mode_t readable_file_mode() {
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

OpenFile open_file(const std::string& path, const char* mode) {
    return OpenFile(std::fopen(path.c_str(), mode));
}

std::string adn_path(const std::string& file_name) {
    return std::string(ADN_DIRECTORY) + "/" + file_name;
}

bool read_line(std::FILE* file, std::string& line) {
    char buffer[LINE_READ_SIZE];
    if (std::fgets(buffer, sizeof buffer, file) == nullptr) return false;
    buffer[std::strcspn(buffer, "\n")] = '\0';
    line = buffer;
    return true;
}

bool read_whole_file(const std::string& path, std::string& contents) {
    OpenFile file = open_file(path, "rb");
    if (file == nullptr) return false;
    contents.clear();
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) contents.append(buffer, got);
    return std::ferror(file.get()) == 0;
}

bool replace_file(const std::string& path, const std::string& contents) {
    // A fresh name for every save: two processes saving at once never share
    // a temporary file, and nothing planted at a known name is followed.
    std::string temporary = path + ".XXXXXX";
    int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) return false;
    bool saved = fchmod(descriptor, readable_file_mode()) == 0 && write_all(descriptor, contents) &&
                 fsync(descriptor) == 0;
    saved = close(descriptor) == 0 && saved;
    if (!saved || std::rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}
