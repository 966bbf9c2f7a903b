#include "adn/registry.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "adn/journal.h"
#include "adn/messages.h"
#include "adn/table_lock.h"
#include "adn/text_files.h"
#include "system/file_beside.h"
#include "system/file_reading.h"

Package installed_packages[MAX_PACKAGES];
int package_count = 0;
Repository repositories[MAX_REPOSITORIES];
int repo_count = 0;

namespace {

const char DEFAULT_REPOSITORY[] = ZENTUL_SERVER "/download/adn/";

struct HeldRecord {
    Package record;
    int slot;
};

// Records taken out of the table by updates under way, still written by saves.
std::vector<HeldRecord> held_records;

std::string packages_path() { return adn_path("packages.txt"); }
std::string repositories_path() { return adn_path("repositories.txt"); }

// Fields between runs of '|'; separators at either end give no field.
std::vector<std::string> split_fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (start < line.size()) {
        start = line.find_first_not_of('|', start);
        if (start == std::string::npos) break;
        std::size_t end = line.find('|', start);
        if (end == std::string::npos) end = line.size();
        fields.push_back(line.substr(start, end - start));
        start = end;
    }
    return fields;
}

Package package_from_fields(const std::vector<std::string>& fields) {
    Package package;
    std::string* targets[] = {&package.name, &package.version, &package.repository, &package.installed_at};
    const std::size_t limits[] = {NAME_LIMIT, VERSION_LIMIT, ADDRESS_LIMIT, TIME_LIMIT};
    for (std::size_t i = 0; i < 4 && i < fields.size(); i++) *targets[i] = cut_text(fields[i], limits[i]);
    return package;
}

void add_repository_record(const std::string& url) {
    repositories[repo_count] = Repository{cut_text(url, ADDRESS_LIMIT), repo_count};
    repo_count++;
}

// Why each table cannot be used: empty while it can be.
std::string packages_unreadable;
std::string repositories_unreadable;
// The package table cannot be had for a journal that cannot be undone.
bool journal_unreadable = false;

bool is_usable(const FileText& file) {
    return file.outcome == ReadOutcome::READ || file.outcome == ReadOutcome::MISSING;
}

void load_repositories() {
    repo_count = 0;
    FileText file = read_file_text(repositories_path().c_str(), TABLE_READ);
    repositories_unreadable = is_usable(file) ? "" : read_failure_reason(file, TABLE_READ);
    if (file.outcome == ReadOutcome::MISSING) add_repository_record(DEFAULT_REPOSITORY);
    LineReader lines(file.text);
    std::string line;
    while (repo_count < MAX_REPOSITORIES && lines.next(line)) {
        if (!line.empty()) add_repository_record(line);
    }
}

void load_packages() {
    package_count = 0;
    std::optional<FileText> committed = read_committed_table();
    journal_unreadable = !committed;
    FileText file = committed.value_or(FileText{ReadOutcome::MISSING, {}, 0});
    packages_unreadable = is_usable(file) ? "" : read_failure_reason(file, TABLE_READ);
    LineReader lines(file.text);
    std::string line;
    while (package_count < MAX_PACKAGES && lines.next(line)) {
        std::vector<std::string> fields = split_fields(line);
        if (fields.empty()) continue;
        installed_packages[package_count++] = package_from_fields(fields);
    }
}

// True, after saying why, when the table's file exists but cannot be read.
bool report_unreadable(const std::string& reason, const std::string& path) {
    if (reason.empty()) return false;
    std::printf(adn_text::TABLE_UNREADABLE, path.c_str(), reason.c_str());
    return true;
}

bool report_unreadable_packages() {
    if (!journal_unreadable) return report_unreadable(packages_unreadable, packages_path());
    report_journal_refused();
    return true;
}

// The table as saved: the records in use, and the held ones at their places.
std::vector<const Package*> packages_to_save() {
    std::vector<const Package*> records;
    for (int i = 0; i < package_count; i++) records.push_back(&installed_packages[i]);
    for (const HeldRecord& held : held_records) {
        if (find_package(held.record.name.c_str()) >= 0) continue;  // the new version is in
        std::size_t slot = std::min(static_cast<std::size_t>(held.slot), records.size());
        records.insert(records.begin() + static_cast<std::ptrdiff_t>(slot), &held.record);
    }
    return records;
}

// Writes the file; on failure says so and returns false.
bool save_file(const std::string& path, const std::string& contents) {
    if (replace_file(path, contents)) return true;
    std::printf(adn_text::SAVE_FAILED, path.c_str());
    return false;
}

int find_repository(const char* url) {
    for (int i = 0; i < repo_count; i++) {
        if (repositories[i].url == url) return i;
    }
    return -1;
}

// Priorities are positions: 0, 1, 2, ... in table order.
void renumber_repositories() {
    for (int i = 0; i < repo_count; i++) repositories[i].priority = i;
}

// Without the slash a package's address runs into the repository's last
// folder name ("http://host/repogreet.zep").
void warn_without_slash(const char* url) {
    std::size_t length = std::strlen(url);
    if (length == 0 || url[length - 1] == '/') return;
    std::fflush(stdout);  // so that both streams keep their order in one place
    std::fprintf(stderr, adn_text::REPOSITORY_WITHOUT_SLASH, url);
}

// A '|' or a control byte would break the one-address-per-line file; a
// leading '-' would reach the download tools as an option.
bool is_valid_repository_address(const char* url) {
    if (*url == '\0' || *url == '-') return false;
    for (const char* c = url; *c != '\0'; c++) {
        if (*c == '|' || is_unsafe_byte(static_cast<unsigned char>(*c))) return false;
    }
    return true;
}

}  // namespace

bool is_valid_package_name(const std::string& name) {
    if (name.empty() || name.size() > NAME_LIMIT || name == "." || name == ".." || carries_temporary_mark(name)) {
        return false;
    }
    return std::none_of(name.begin(), name.end(), [](char c) {
        return c == '/' || c == '\\' || c == '|' || is_unsafe_byte(static_cast<unsigned char>(c));
    });
}

std::string cut_text(const std::string& text, std::size_t limit) {
    return text.size() > limit ? text.substr(0, limit) : text;
}

void load_tables() {
    load_repositories();
    load_packages();
}

void init_adn() {
    mkdir(ADN_DIRECTORY, 0755);  // already there, or not makeable: go on
    load_tables();
}

std::string packages_text() {
    std::string contents;
    for (const Package* package : packages_to_save()) {
        contents += package->name + "|" + package->version + "|" + package->repository + "|" +
                    package->installed_at + "\n";
    }
    return contents;
}

bool save_packages() { return save_file(packages_path(), packages_text()); }

bool report_unreadable_tables() {
    bool packages = report_unreadable_packages();
    return report_unreadable(repositories_unreadable, repositories_path()) || packages;
}

bool save_repositories() {
    std::string contents;
    for (int i = 0; i < repo_count; i++) contents += repositories[i].url + "\n";
    return save_file(repositories_path(), contents);
}

void hold_record_on_disk(const Package& record, int slot) { held_records.push_back(HeldRecord{record, slot}); }

void release_record_on_disk(const std::string& name) {
    std::erase_if(held_records, [&name](const HeldRecord& held) { return held.record.name == name; });
}

int find_package(const char* name) {
    for (int i = 0; i < package_count; i++) {
        if (installed_packages[i].name == name) return i;
    }
    return -1;
}

int is_package_installed(const char* name) { return find_package(name) >= 0 ? 1 : 0; }

int add_repository(const char* url) {
    TableLock lock;
    if (!lock.held()) return -1;
    if (repo_count >= MAX_REPOSITORIES) {
        print_text_line(adn_text::REPOSITORY_TABLE_FULL);
        return -1;
    }
    if (!is_valid_repository_address(url)) {
        std::printf(adn_text::INVALID_REPOSITORY, url);
        return -1;
    }
    if (find_repository(url) >= 0) {
        print_text_line(adn_text::REPOSITORY_EXISTS);
        return 0;
    }
    add_repository_record(url);
    if (!save_repositories()) {
        repositories[--repo_count] = Repository{};
        return -1;
    }
    std::printf(adn_text::REPOSITORY_ADDED, url);
    warn_without_slash(url);
    return 0;
}

int remove_repository(const char* url) {
    TableLock lock;
    if (!lock.held()) return -1;
    int slot = find_repository(url);
    if (slot < 0) {
        std::printf(adn_text::NO_SUCH_REPOSITORY, url);
        return 1;
    }
    std::vector<Repository> before(repositories, repositories + repo_count);
    std::move(repositories + slot + 1, repositories + repo_count, repositories + slot);
    repositories[--repo_count] = Repository{};
    if (!save_repositories()) {
        std::copy(before.begin(), before.end(), repositories);
        repo_count++;
        return -1;
    }
    renumber_repositories();
    std::printf(adn_text::REPOSITORY_REMOVED, url);
    return 0;
}

int list_packages() {
    if (report_unreadable_packages()) return -1;
    if (package_count == 0) {
        print_text_line(adn_text::NO_PACKAGES);
        return 0;
    }
    std::printf(adn_text::PACKAGES_HEADING, package_count);
    for (int i = 0; i < package_count; i++) {
        std::printf(adn_text::PACKAGE_ENTRY, installed_packages[i].name.c_str(),
                    installed_packages[i].version.c_str());
    }
    return 0;
}

int list_repositories() {
    if (report_unreadable(repositories_unreadable, repositories_path())) return -1;
    std::printf(adn_text::REPOSITORIES_HEADING, repo_count);
    for (int i = 0; i < repo_count; i++) {
        std::printf(adn_text::REPOSITORY_ENTRY, repositories[i].url.c_str(), repositories[i].priority);
    }
    return 0;
}
