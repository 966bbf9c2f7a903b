#pragma once

// Held by every command that changes the package or repository table, from
// re-reading both tables to saving them: commands of several processes in one
// directory then change the tables one after another, each from the latest
// state. A second process waits for the lock. The lock is an exclusive flock
// on the .adn directory itself, so it leaves no file behind. Taking it again
// in the same process (package code run by an install) only counts the depth:
// the outermost holder keeps it, and the tables are not re-read.
class TableLock {
public:
    TableLock();
    ~TableLock();
    TableLock(const TableLock&) = delete;
    TableLock& operator=(const TableLock&) = delete;
};
