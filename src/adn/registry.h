#pragma once

#include <cstddef>
#include <string>

inline constexpr int MAX_PACKAGES = 100;
inline constexpr int MAX_REPOSITORIES = 10;

// Longest text each field keeps; longer texts are cut silently.
inline constexpr std::size_t NAME_LIMIT = 63;
inline constexpr std::size_t VERSION_LIMIT = 31;
inline constexpr std::size_t ADDRESS_LIMIT = 1023;
inline constexpr std::size_t TIME_LIMIT = 63;

struct Package {
    std::string name;
    std::string version;
    std::string repository;    // base address that delivered the package
    std::string installed_at;  // local time, "%Y-%m-%d %H:%M:%S"
};

struct Repository {
    std::string url;  // base address; a package lies at url + name + ".zep"
    int priority;     // position when loaded or added; shown, never used
};

// Slots 0 to count-1 are in use, without gaps: packages in order of
// installation, repositories in the order downloads try them.
extern Package installed_packages[MAX_PACKAGES];
extern int package_count;
extern Repository repositories[MAX_REPOSITORIES];
extern int repo_count;

// A control byte: it would break a line of a table.
inline bool is_unsafe_byte(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

// A name becomes a file name in .adn, part of an address and a table line:
// 1 to NAME_LIMIT bytes, not "." or "..", without '/', '\\', '|', a control
// byte or the temporary files' mark.
bool is_valid_package_name(const std::string& name);

// The text cut to at most `limit` bytes.
std::string cut_text(const std::string& text, std::size_t limit);

// Creates .adn and loads both registries; runs on every invocation.
void init_adn();
// Loads both registries afresh from their files.
void load_tables();
// Each rewrites its file whole from the table; when that fails, prints
// SAVE_FAILED with the file's path and returns false.
bool save_packages();
bool save_repositories();
// The package table's file as save_packages() writes it.
std::string packages_text();
// A table whose file exists but cannot be read (no permission, no regular
// file, too large) is loaded empty and must never be listed or saved: true,
// after printing TABLE_UNREADABLE for each, when there is one.
bool report_unreadable_tables();

// An update takes the old record out of the table before it installs the new
// version. Until the update releases it, every save still writes the old
// record at its old slot (unless a record of that name is in the table), so
// the file never lacks the package.
void hold_record_on_disk(const Package& record, int slot);
void release_record_on_disk(const std::string& name);

// 1 when a package of exactly that name is in the table, else 0.
int is_package_installed(const char* name);
// The package's slot, or -1.
int find_package(const char* name);

// Each prints its listing and returns 0, or -1 when its table cannot be read.
int list_packages();
int list_repositories();
// 0 when added or already present, -1 when refused. An added address that
// does not end in '/' is warned about on standard error.
int add_repository(const char* url);
// Takes the address out of the table and saves it; the others keep their
// order and get their positions as priorities. 0 when removed, 1 when no
// repository has exactly that address, -1 when the table could not be saved
// (then nothing changes). Removing the last address, the default one
// included, leaves an empty repositories.txt: no repository at all.
int remove_repository(const char* url);
