#pragma once

#include <string>

#include "system/read_limits.h"

// The one way this program reads a file named by a path: scripts, package
// files, the package tables, the journal. The file is opened without
// blocking (a FIFO with no writer does not hold the program), must be of a
// kind the rule allows (a link to one is followed, unless the rule takes
// only the user's own file), is read up to the rule's
// limit, and a stop signal ends a wait for input at once (Stopped).
enum class ReadOutcome {
    READ,
    MISSING,      // no such file (or a folder on the way is no folder)
    NOT_ALLOWED,  // a folder, a FIFO, a device... where only regular files are read;
                  // another user's file where only the user's own is
    TOO_LARGE,    // over the rule's limit
    NOT_OPENED,   // no permission, a loop of links...
    FAILED,       // an error while reading
};

struct FileText {
    ReadOutcome outcome = ReadOutcome::FAILED;
    std::string text;
    int error = 0;  // the errno of NOT_OPENED and FAILED
};

FileText read_file_text(const char* path, const ReadRule& rule);

// Reads the already open standard input as a stream by the same rule.
FileText read_standard_input(const ReadRule& rule);

// Why a file could not be read, in a few words: the system's text for
// NOT_OPENED and FAILED ("Permission denied"), else "not a regular file", "larger than N MiB".
std::string read_failure_reason(const FileText& file, const ReadRule& rule);
