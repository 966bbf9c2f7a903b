#pragma once

#include <string>

// True for a name this program gives its temporary files and folders:
// "." + a name + TEMPORARY_MARK + six letters or digits.
bool is_temporary_name(const std::string& name);

// Removes from `folder` what killed runs of this program left there: files
// and folders with a temporary name, owned by this user, that no process
// holds locked. A file still in use is always locked by its maker, so a
// running command's file is never taken.
void sweep_leftovers(const std::string& folder);

// A fresh folder "PARENT/.STEM" + TEMPORARY_MARK + "XXXXXX", private to this
// user and locked like a temporary file; removed with its contents when this
// object ends.
class PrivateFolder {
public:
    PrivateFolder(const std::string& parent, const std::string& stem);
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    bool ready() const { return descriptor_ >= 0; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    int descriptor_ = -1;  // holds the lock
};
