#include "adn/text_files.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

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

bool read_line(std::FILE* file, std::string& line, bool* ended) {
    char buffer[LINE_READ_SIZE];
    if (std::fgets(buffer, sizeof buffer, file) == nullptr) return false;
    std::size_t length = std::strcspn(buffer, "\n");
    if (ended != nullptr) *ended = buffer[length] == '\n' || std::feof(file);
    buffer[length] = '\0';
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

bool replace_file(const std::string& path, const std::string& contents, TemporaryName naming) {
    // A fresh name for every save: two processes saving at once never share
    // a temporary file, and nothing planted at a known name is followed.
    FileBeside file(path, naming);
    return file.ready() && write_all(file.descriptor(), contents) && file.put_in_place();
}
