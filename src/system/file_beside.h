#pragma once

#include <sys/types.h>

#include <string>

// How the temporary file beside a target is named: ".NAME.XXXXXX", hidden
// from listings, or "NAME.XXXXXX".
enum class TemporaryName { HIDDEN, SUFFIXED };

// A fresh file beside a target, for a download or a save to write into:
// named after the target's file name, in the target's folder, created
// exclusively (mkstemp) with the mode of an ordinary new file. The target stays untouched until
// put_in_place() renames the file over it, which replaces a symbolic link
// there rather than writing through it. A file never put in place is removed
// when this object ends: after a failed or interrupted download the target
// is as it was.
class FileBeside {
public:
    explicit FileBeside(const std::string& target, TemporaryName naming = TemporaryName::HIDDEN);
    ~FileBeside();
    FileBeside(const FileBeside&) = delete;
    FileBeside& operator=(const FileBeside&) = delete;

    // False when the file could not be made, or a directory stands at the
    // target, where no file can be put.
    bool ready() const { return descriptor_ >= 0; }
    const std::string& path() const { return path_; }
    int descriptor() const { return descriptor_; }
    // Empties the file for another try.
    void empty();
    // Flushes the file to the disk and renames it over the target; false,
    // with the file removed, when that fails.
    bool put_in_place();

private:
    void remove();

    std::string target_;
    std::string path_;
    int descriptor_ = -1;
};
