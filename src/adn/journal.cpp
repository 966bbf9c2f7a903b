#include "adn/journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <algorithm>
#include <optional>

#include "adn/messages.h"
#include "adn/registry.h"
#include "adn/text_files.h"

namespace {

constexpr char JOURNAL_FIRST_LINE[] = "zentul journal 1\n";
constexpr char JOURNAL_LAST_LINE[] = "end\n";
constexpr char NO_TABLE[] = "none";
constexpr char FILE_KEPT[] = "kept";
constexpr char NO_FILE[] = "none";

// What undoing a commit needs.
struct Journal {
    std::string name;
    bool had_file = false;
    std::optional<std::string> table;  // none: there was no table file
};

std::string journal_path() { return adn_path("journal"); }
std::string table_path() { return adn_path("packages.txt"); }
std::string package_path(const std::string& name) { return adn_path(name + ".zep"); }

// Where the old package file waits while the commit is under way.
std::string kept_path(const std::string& name) {
    std::string path = temporary_name_for(package_path(name));
    return path.replace(path.size() - 6, 6, "backup");
}

std::string journal_text(const Journal& journal) {
    std::string text = JOURNAL_FIRST_LINE;
    text += "package " + journal.name + "\n";
    text += std::string("file ") + (journal.had_file ? FILE_KEPT : NO_FILE) + "\n";
    text += "table " + (journal.table ? std::to_string(journal.table->size()) : std::string(NO_TABLE)) + "\n";
    if (journal.table) text += *journal.table;
    return text + JOURNAL_LAST_LINE;
}

// Reads "WORD VALUE\n" at `at`; false when the text is not that.
bool read_field(const std::string& text, std::size_t& at, const char* word, std::string& value) {
    std::string start = std::string(word) + " ";
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos || text.compare(at, start.size(), start) != 0) return false;
    value = text.substr(at + start.size(), end - at - start.size());
    at = end + 1;
    return true;
}

// The size of a table as the journal writes it: plain decimal digits, no
// sign, blank, leading zero or anything after them, and no more than the
// text can hold.
std::optional<std::size_t> table_size(const std::string& digits, std::size_t most) {
    if (digits.empty() || digits.size() > std::to_string(most).size() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    std::size_t size = std::stoul(digits);
    if (size > most || std::to_string(size) != digits) return std::nullopt;  // a leading zero is no number written
    return size;
}

// The journal as commit_package_change writes it, word for word; anything
// else is no journal of this program's, and nothing may be done after it.
std::optional<Journal> parse_journal(const std::string& text) {
    Journal journal;
    std::string file, table;
    std::size_t at = sizeof JOURNAL_FIRST_LINE - 1;
    if (text.compare(0, at, JOURNAL_FIRST_LINE) != 0 || !read_field(text, at, "package", journal.name) ||
        !read_field(text, at, "file", file) || !read_field(text, at, "table", table) ||
        !is_valid_package_name(journal.name) || (file != FILE_KEPT && file != NO_FILE)) {
        return std::nullopt;
    }
    journal.had_file = file == FILE_KEPT;
    if (table != NO_TABLE) {
        std::optional<std::size_t> size = table_size(table, text.size() - at);
        if (!size) return std::nullopt;
        journal.table = text.substr(at, *size);
        at += *size;
    }
    if (text.compare(at, std::string::npos, JOURNAL_LAST_LINE) != 0) return std::nullopt;
    return journal;
}

// The folder's entries reach the disk: a rename or a removal is then kept.
// The journal goes only after every rename it undoes has been synced so. A
// file system that cannot sync a folder gives no more than it gives: its
// failure stops nothing. Always true, to follow each rename.
bool sync_folder() {
    file_step(FileStep::SYNC_FOLDER, ADN_DIRECTORY);
    int folder = open(ADN_DIRECTORY, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return true;
    fsync(folder);
    close(folder);
    return true;
}

bool remove_file(const std::string& path) {
    file_step(FileStep::REMOVE, path);
    return unlink(path.c_str()) == 0 || errno == ENOENT;
}

bool move_file(const std::string& from, const std::string& to) {
    file_step(FileStep::RENAME, to);
    return std::rename(from.c_str(), to.c_str()) == 0 && sync_folder();
}

bool replace_and_sync(const std::string& path, const std::string& contents) {
    return replace_file(path, contents) && sync_folder();
}

bool exists(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0;
}

// The old file goes aside: linked when the package stays in place until its
// new file replaces it, moved when it is to go.
bool set_file_aside(const std::string& name, bool replaced) {
    std::string kept = kept_path(name);
    if (is_directory(package_path(name)) || !remove_file(kept)) return false;
    file_step(FileStep::LINK, kept);
    if (replaced && link(package_path(name).c_str(), kept.c_str()) == 0) return sync_folder();
    return move_file(package_path(name), kept);
}

bool write_journal(const Journal& journal) { return replace_and_sync(journal_path(), journal_text(journal)); }

// Puts the file and the table back as the journal has them, then removes
// the journal. Every step can be done again: a process killed while undoing
// leaves the journal for the next one.
bool undo(const Journal& journal) {
    std::string path = package_path(journal.name);
    std::string kept = kept_path(journal.name);
    bool undone = true;
    if (!journal.had_file) {
        undone = remove_file(path);
    } else if (exists(kept)) {
        undone = move_file(kept, path) && remove_file(kept);  // the same file under both names: the move does nothing
    }
    if (journal.table) {
        undone = undone && replace_and_sync(table_path(), *journal.table);
    } else {
        undone = undone && remove_file(table_path()) && sync_folder();
    }
    return undone && remove_file(journal_path());
}

std::optional<Journal> read_journal(bool& present) {
    FileText file = read_file_text(journal_path().c_str(), JOURNAL_READ);
    present = file.outcome != ReadOutcome::MISSING;
    if (file.outcome != ReadOutcome::READ) return std::nullopt;
    return parse_journal(file.text);
}

// The steps after the journal: false at the first that fails, with the
// path it could not write. A removal saves the table first, a placement
// puts the file first: between the two, a file may lack its record, never a
// record its file.
bool apply_change(const PackageChange& change, const Journal& journal, std::string& failed_path) {
    bool removal = change.new_file == nullptr;
    failed_path = table_path();
    if (removal && !replace_and_sync(table_path(), change.new_table)) return false;
    failed_path = package_path(change.name);
    if (journal.had_file && !set_file_aside(change.name, !removal)) return false;
    if (!removal && !(change.new_file->put_in_place() && sync_folder())) return false;
    failed_path = table_path();
    return removal || replace_and_sync(table_path(), change.new_table);
}

}  // namespace

bool commit_package_change(const PackageChange& change) {
    Journal journal{change.name, exists(package_path(change.name)), std::nullopt};
    FileText table = read_file_text(table_path().c_str(), TABLE_READ);
    if (table.outcome == ReadOutcome::READ) journal.table = table.text;
    std::string failed_path = table_path();  // the journal is part of saving the table
    bool committed = (table.outcome == ReadOutcome::READ || table.outcome == ReadOutcome::MISSING) &&
                     write_journal(journal) && apply_change(change, journal, failed_path) &&
                     remove_file(journal_path());
    if (committed) {
        sync_folder();
        remove_file(kept_path(change.name));
        return true;
    }
    if (exists(journal_path())) undo(journal);
    std::printf(adn_text::SAVE_FAILED, failed_path.c_str());
    return false;
}

void report_journal_refused() { std::printf(adn_text::RECOVERY_FAILED, journal_path().c_str()); }

bool recover_package_change() {
    bool present = false;
    std::optional<Journal> journal = read_journal(present);
    if (!present) return true;
    if (journal && undo(*journal)) return true;
    report_journal_refused();
    return false;
}

std::optional<FileText> read_committed_table() {
    bool present = false;
    std::optional<Journal> journal = read_journal(present);
    if (!present) {
        file_step(FileStep::READ, table_path());
        FileText table = read_file_text(table_path().c_str(), TABLE_READ);
        // A commit that began meanwhile may have changed the table, and may
        // yet be undone: then its journal holds the table that counts.
        journal = read_journal(present);
        if (!present) return table;
    }
    if (!journal) return std::nullopt;
    if (!journal->table) return FileText{ReadOutcome::MISSING, {}, ENOENT};
    return FileText{ReadOutcome::READ, *journal->table, 0};
}
