#pragma once

#include <sys/types.h>

#include <string>

// The mark in every temporary file or folder this program makes:
// ".NAME.zentul-tmp.XXXXXX", beside the file it is for. While in use, each
// is held under an exclusive flock by the process that made it, so that a
// sweep (system/leftovers.h) can tell a file in use from one that a killed
// run left.
inline constexpr char TEMPORARY_MARK[] = ".zentul-tmp.";
// The six letters or digits after the mark, "XXXXXX" in a name not yet made.
inline constexpr std::size_t RANDOM_PART_LENGTH = 6;

// A name that carries the mark is never a target of this program's own: a
// sweep could take it for a temporary file.
inline bool carries_temporary_mark(const std::string& name) {
    return name.find(TEMPORARY_MARK) != std::string::npos;
}

// True when a folder (not a link to one) stands at `path`.
bool is_directory(const std::string& path);

// The folder that holds `path`: "." for a bare name, "/" for one at the root.
std::string folder_of(const std::string& path);

// True when the open file or folder is locked by this process and still
// stands at `path`: a sweep that took it between its making and its locking
// has removed it, or is about to.
bool lock_as_own(int descriptor, const std::string& path);

// The name of a temporary file for `target` (a path), in the target's folder:
// the target's file name is cut so that the name stays within 255 bytes.
std::string temporary_name_for(const std::string& target);

// A fresh file beside a target, for a download or a save to write into,
// created exclusively (mkstemp), locked, and given the mode of the file it
// will replace when this user owns that file, else of an ordinary new file. The target stays untouched until
// put_in_place() renames the file over it, which replaces a symbolic link
// there rather than writing through it. A file never put in place is removed
// when this object ends: after a failed or interrupted download the target
// is as it was.
class FileBeside {
public:
    explicit FileBeside(const std::string& target);
    ~FileBeside();
    FileBeside(const FileBeside&) = delete;
    FileBeside& operator=(const FileBeside&) = delete;

    // False when the file could not be made, or a directory stands at the
    // target, where no file can be put.
    bool ready() const { return descriptor_ >= 0; }
    const std::string& path() const { return path_; }
    const std::string& target() const { return target_; }
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

// Writes `contents` to a FileBeside and puts it in place, so that readers
// see either the old file or the new one whole. On failure the temporary
// file is removed, the old file stays, and the result is false.
bool replace_file(const std::string& path, const std::string& contents);

// The steps that put files in place or take them away, the syncs of their
// folder that make them last, and the reading of a table outside the lock.
enum class FileStep { RENAME, LINK, REMOVE, SYNC_FOLDER, READ };

// Called before each such step with the path it acts on: tests set it to
// slow the steps down, to record their order, or to end the process there,
// so that every moment between two steps can be tried.
extern void (*before_file_step)(FileStep step, const std::string& path);
inline void file_step(FileStep step, const std::string& path) {
    if (before_file_step != nullptr) before_file_step(step, path);
}
