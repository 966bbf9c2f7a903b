#include "adn/leftovers.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <memory>

#include "adn/text_files.h"

namespace {

constexpr std::size_t RANDOM_PART = 6;  // mkstemp's "XXXXXX"

bool is_random_part(const std::string& text) {
    return text.size() == RANDOM_PART &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isalnum(c) != 0; });
}

// `name` is `stem` + "." + a random part.
bool is_temporary_of(const std::string& name, const std::string& stem) {
    return name.size() == stem.size() + 1 + RANDOM_PART && name.compare(0, stem.size(), stem) == 0 &&
           name[stem.size()] == '.' && is_random_part(name.substr(stem.size() + 1));
}

bool is_download_name(const std::string& name) {
    const std::string suffix = ".zep";
    if (name.size() <= 1 + suffix.size() + 1 + RANDOM_PART || name[0] != '.') return false;
    std::string stem = name.substr(0, name.size() - 1 - RANDOM_PART);
    return stem.compare(stem.size() - suffix.size(), suffix.size(), suffix) == 0 && is_temporary_of(name, stem);
}

bool is_regular_file(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

bool is_leftover_name(const std::string& name) {
    return is_download_name(name) || is_temporary_of(name, "packages.txt") ||
           is_temporary_of(name, "repositories.txt");
}

void remove_leftovers() {
    std::unique_ptr<DIR, int (*)(DIR*)> folder(opendir(ADN_DIRECTORY), closedir);
    if (folder == nullptr) return;
    while (const dirent* entry = readdir(folder.get())) {
        std::string path = adn_path(entry->d_name);
        if (is_leftover_name(entry->d_name) && is_regular_file(path)) unlink(path.c_str());
    }
}
