#pragma once

#include <string>

// Sets aside the file at a path before a download writes there, so that a
// failed or interrupted download leaves the path as it was: the old file back
// under its name, or no file when there was none. The old file is moved, not
// copied, to a fresh name in the same folder.
class KeptFile {
public:
    explicit KeptFile(std::string path);
    // Puts the old file back unless the new one was kept.
    ~KeptFile();
    KeptFile(const KeptFile&) = delete;
    KeptFile& operator=(const KeptFile&) = delete;

    // False when an old file was there and could not be set aside: then the
    // download must not run.
    bool ready() const { return ready_; }
    // The download succeeded: the old file is dropped.
    void keep_new();

private:
    std::string path_;
    std::string aside_;  // where the old file waits; empty when there was none
    bool ready_ = true;
    bool kept_ = false;
    bool directory_ = false;  // a directory stands at the path: never touched
};
