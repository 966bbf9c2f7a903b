#include "adn/text_files.h"

#include <cstring>

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
    std::string temporary = path + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
    written = std::fclose(file) == 0 && written;
    if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}
