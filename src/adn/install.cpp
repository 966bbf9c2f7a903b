#include "adn/install.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "adn/journal.h"
#include "adn/messages.h"
#include "adn/package_file.h"
#include "adn/registry.h"
#include "adn/table_lock.h"
#include "adn/text_files.h"
#include "net/download.h"
#include "system/file_beside.h"
#include "system/file_reading.h"

namespace {

constexpr std::size_t MAX_INSTALL_DEPTH = 16;
constexpr char DEFAULT_VERSION[] = "1.0.0";
constexpr char VERSION_PREFIX[] = "version:";
constexpr std::size_t VERSION_PREFIX_LENGTH = sizeof VERSION_PREFIX - 1;

// What installing from one repository came to.
enum class InstallOutcome { INSTALLED, FAILED, TRY_NEXT_REPOSITORY };

// Names of the installs under way, outermost first: package code can start
// installs of its own.
std::vector<std::string> installs_under_way;

class InstallUnderWay {
public:
    explicit InstallUnderWay(const char* name) { installs_under_way.emplace_back(name); }
    ~InstallUnderWay() { installs_under_way.pop_back(); }
    InstallUnderWay(const InstallUnderWay&) = delete;
    InstallUnderWay& operator=(const InstallUnderWay&) = delete;
};

std::string package_path(const std::string& name) { return adn_path(name + ".zep"); }

bool refuse_invalid_name(const char* name) {
    if (is_valid_package_name(name)) return false;
    std::printf(adn_text::INVALID_PACKAGE_NAME, name);
    return true;
}

// A package that installs itself, directly or through others, would
// otherwise recurse until the stack gives out.
bool refuse_runaway_install(const char* name) {
    if (std::find(installs_under_way.begin(), installs_under_way.end(), name) != installs_under_way.end()) {
        std::printf(adn_text::INSTALL_UNDER_WAY, name);
        return true;
    }
    if (installs_under_way.size() >= MAX_INSTALL_DEPTH) {
        std::printf(adn_text::INSTALLS_TOO_DEEP, name);
        return true;
    }
    return false;
}

std::string current_time_text() {
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    char text[TIME_LIMIT + 1];
    std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return std::string(text, length);
}

// A "version:" line sets the version to its text from the tenth character,
// cut before anything that would break a line of packages.txt.
void apply_version_line(const std::string& line, std::string& version) {
    if (line.compare(0, VERSION_PREFIX_LENGTH, VERSION_PREFIX) != 0) return;
    if (line.size() <= VERSION_PREFIX_LENGTH + 1) return;
    std::string text = line.substr(VERSION_PREFIX_LENGTH + 1);
    auto end = std::find_if(text.begin(), text.end(),
                            [](char c) { return c == '|' || is_unsafe_byte(static_cast<unsigned char>(c)); });
    text.erase(end, text.end());
    if (!text.empty()) version = cut_text(text, VERSION_LIMIT);
}

std::string package_version(const std::string& contents) {
    std::string version = DEFAULT_VERSION;
    LineReader lines(contents);
    std::string line;
    while (lines.next(line)) apply_version_line(line, version);
    return version;
}

// Records the package and puts its file in place, in one commit; false,
// with the record taken back, when that fails.
bool commit_install(FileBeside& download, const std::string& name, const std::string& version,
                    const std::string& url) {
    installed_packages[package_count++] =
        Package{cut_text(name, NAME_LIMIT), version, cut_text(url, ADDRESS_LIMIT), current_time_text()};
    if (commit_package_change(PackageChange{name, &download, packages_text()})) return true;
    installed_packages[--package_count] = Package{};
    return false;
}

// Takes the record out of the table, closing the gap, and returns it.
Package take_out_record(int slot) {
    Package record = installed_packages[slot];
    std::move(installed_packages + slot + 1, installed_packages + package_count, installed_packages + slot);
    installed_packages[--package_count] = Package{};
    return record;
}

// Puts a record back at `slot` (or at the end, when the table is shorter now).
void put_back_record(const Package& record, int slot) {
    slot = std::min(slot, package_count);
    std::move_backward(installed_packages + slot, installed_packages + package_count,
                       installed_packages + package_count + 1);
    installed_packages[slot] = record;
    package_count++;
}

int download_package(const std::string& name, const std::string& url, FileBeside& download) {
    std::string address = url + name + ".zep";
    std::string path = package_path(name);
    std::printf(adn_text::DOWNLOADING, name.c_str(), address.c_str());
    if (address.size() > ADDRESS_LIMIT || path.size() > ADDRESS_LIMIT) return -1;
    if (download_into(address.c_str(), download, PACKAGE_CAPS) != 0) return -1;
    std::printf(adn_text::DOWNLOADED, path.c_str());
    return 0;
}

// The next repository is tried when this one does not deliver a readable
// file. The download waits beside the package's place while its version is
// read and its code runs, and takes that place only when all went well: a
// failure, a script error or a stop leaves the place as it was.
InstallOutcome install_from(const std::string& name, const std::string& url) {
    std::string path = package_path(name);
    FileBeside download(path);
    if (download_package(name, url, download) != 0) return InstallOutcome::TRY_NEXT_REPOSITORY;
    FileText package = read_file_text(download.path().c_str(), PACKAGE_READ);
    if (package.outcome != ReadOutcome::READ) return InstallOutcome::TRY_NEXT_REPOSITORY;
    std::string version = package_version(package.text);
    print_text_line(adn_text::RUNNING_PACKAGE_CODE);
    if (run_package_text(package.text, path.c_str()) != 0) return InstallOutcome::FAILED;  // its code never ran
    if (package_count >= MAX_PACKAGES) {  // filled by the package's own code
        print_text_line(adn_text::PACKAGE_TABLE_FULL);
        return InstallOutcome::FAILED;
    }
    if (!commit_install(download, name, version, url)) return InstallOutcome::FAILED;
    std::printf(adn_text::INSTALLED, name.c_str(), version.c_str());
    return InstallOutcome::INSTALLED;
}

// The table slot of an installed package with a valid name; -1, reported, otherwise.
int installed_slot(const char* name) {
    if (refuse_invalid_name(name)) return -1;
    int slot = find_package(name);
    if (slot < 0) std::printf(adn_text::NOT_INSTALLED, name);
    return slot;
}

// Puts an update's old record back: the table's file kept it all along.
void restore_record(const Package& record, int slot) {
    release_record_on_disk(record.name);
    if (package_count < MAX_PACKAGES) put_back_record(record, slot);  // else filled meanwhile by package code
}

// Removal, then a fresh install; on failure, or when a script error or a
// signal stops it, the old record is put back. The removal is made in
// memory only: the file keeps the old record until the new one is committed
// together with the new package file, and the old package file stays until
// then.
int reinstall_package(const char* name, int slot) {
    Package record = installed_packages[slot];
    int status;
    hold_record_on_disk(record, slot);
    try {
        take_out_record(slot);
        std::printf(adn_text::REMOVED, name);
        status = install_package(name);
    } catch (...) {
        restore_record(record, slot);
        throw;
    }
    if (status == 0) {
        release_record_on_disk(record.name);
        return 0;
    }
    restore_record(record, slot);
    std::printf(adn_text::UPDATE_FAILED, name);
    return -1;
}

}  // namespace

int install_package(const char* name) {
    if (refuse_invalid_name(name)) return -1;
    TableLock lock;
    if (!lock.held()) return -1;
    if (is_package_installed(name)) {
        std::printf(adn_text::ALREADY_INSTALLED, name);
        return 0;
    }
    if (refuse_runaway_install(name)) return -1;
    if (package_count >= MAX_PACKAGES) {
        print_text_line(adn_text::PACKAGE_TABLE_FULL);
        return -1;
    }
    InstallUnderWay under_way(name);
    for (int i = 0; i < repo_count; i++) {
        std::string url = repositories[i].url;  // package code may change the table
        InstallOutcome outcome = install_from(name, url);
        if (outcome == InstallOutcome::INSTALLED) return 0;
        if (outcome == InstallOutcome::FAILED) return -1;
    }
    std::printf(adn_text::NOT_FOUND, name);
    return -1;
}

int update_package(const char* name) {
    TableLock lock;
    if (!lock.held()) return -1;
    int slot = installed_slot(name);
    if (slot < 0) return -1;
    std::printf(adn_text::UPDATING, name);
    return reinstall_package(name, slot);
}

// The record and the file go in one commit; a file already gone is no error.
int remove_package(const char* name) {
    TableLock lock;
    if (!lock.held()) return -1;
    int slot = installed_slot(name);
    if (slot < 0) return -1;
    Package record = take_out_record(slot);
    if (!commit_package_change(PackageChange{name, nullptr, packages_text()})) {
        put_back_record(record, slot);
        return -1;
    }
    std::printf(adn_text::REMOVED, name);
    return 0;
}
