#pragma once

// Held by every command that changes the package or repository table, from
// re-reading both tables to saving them: commands of several processes in one
// directory then change the tables one after another, each from the latest
// state. A second process waits for the lock. The lock is an exclusive flock
// on the .adn directory itself, so it leaves no file behind. Taking it again
// in the same process (package code run by an install) only counts the depth:
// the outermost holder keeps it, and the tables are not re-read.
//
// When the lock cannot be taken, LOCK_FAILED is printed and held() is false:
// the command must then change nothing. A stop signal while waiting throws
// Stopped. Whoever takes the lock first removes the temporary files that
// killed runs left in .adn.
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
