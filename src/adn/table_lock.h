#pragma once

// Held by every command that changes the package or repository table, from
// re-reading both tables to saving them: commands of several processes in one
// directory then change the tables one after another, each from the latest
// state. A second process waits for the lock, and says so on standard error
// once it has waited a second. The lock is an exclusive flock on the .adn
// directory itself, so it leaves no file behind. Taking it again in the same
// process (package code run by an install) only counts the depth: the
// outermost holder keeps it, and the tables are not re-read.
//
// Whoever takes the lock first undoes a commit that a killed run left
// (adn/journal.h), removes the temporary files that killed runs left in .adn,
// and re-reads both tables. held() is false, after a message, when the lock
// cannot be taken, the journal cannot be undone, or a table cannot be read:
// the command must then change nothing. A stop signal while waiting, or
// before the command has begun, throws Stopped.
class TableLock {
public:
    TableLock();
    ~TableLock();
    TableLock(const TableLock&) = delete;
    TableLock& operator=(const TableLock&) = delete;

    bool held() const { return held_; }

private:
    bool held_ = false;
};
