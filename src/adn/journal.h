#pragma once

#include <optional>
#include <string>

#include "system/file_beside.h"
#include "system/file_reading.h"

// A package's file and the package table change together, in one commit
// that cannot half-happen. Before the first change the commit writes a
// journal, .adn/journal, with what it needs to undo it: the table as it was
// and whether the package's file was there (the file itself is kept aside
// under a temporary name). Then the file goes into place (or away), then the
// table; removing the journal is the moment the commit holds. A process
// killed at any instant leaves the journal, and the next command that takes
// the lock puts both back as they were: the record and the file always
// agree, in the old state or the new one, wholly.

// One package's change: its new file (null: the file goes) and the table's
// new contents.
struct PackageChange {
    std::string name;
    FileBeside* new_file;
    std::string new_table;
};

// Makes the change under the lock; on failure undoes what it began, prints
// SAVE_FAILED with the path that could not be written, and returns false.
bool commit_package_change(const PackageChange& change);

// Under the lock, before anything else: undoes a commit that a killed process
// left. False, reported, when a journal is there that cannot be read or
// undone: then nothing may change.
bool recover_package_change();

// Says that the journal stands and cannot be undone: RECOVERY_FAILED.
void report_journal_refused();

// The package table as the last finished commit left it, for a reader that
// does not hold the lock: the journal's table while a commit is under way or
// was cut short, else the table's file, read before the journal is looked
// for again. Nothing when a journal is there that cannot be read: it is
// refused like any file that another user could have written (only a
// regular file of this user's, every word as a commit writes it).
std::optional<FileText> read_committed_table();
