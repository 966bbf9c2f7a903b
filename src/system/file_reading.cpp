#include "system/file_reading.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "system/descriptor.h"
#include "system/stop_signal.h"

namespace {

constexpr std::size_t FIRST_STREAM_SIZE = 16 * 1024;

FileText outcome(ReadOutcome kind, int error = 0) { return FileText{kind, {}, error}; }

bool is_allowed(const struct stat& info, const ReadRule& rule) {
    if (rule.own_file_only) return S_ISREG(info.st_mode) && info.st_uid == geteuid() && info.st_nlink == 1;
    if (S_ISREG(info.st_mode)) return true;
    return rule.streams_too && (S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode) || S_ISSOCK(info.st_mode));
}

// Waits until the stream has input or has ended, looking for a stop signal
// at least every STOP_CHECK_MILLISECONDS: a read after it does not block.
void wait_for_input(int descriptor) {
    pollfd stream{descriptor, POLLIN, 0};
    for (;;) {
        stop_if_signalled();
        int ready = poll(&stream, 1, STOP_CHECK_MILLISECONDS);
        if (ready > 0 || (ready < 0 && errno != EINTR)) return;  // the read tells what happened
    }
}

// Reads to the end (or the first NUL, if the rule says so) into `file.text`.
void read_all(int descriptor, std::size_t first_size, bool stream, const ReadRule& rule, FileText& file) {
    std::string& text = file.text;
    std::size_t length = 0;
    text.resize(std::min(first_size, rule.most_bytes + 1));
    for (;;) {
        if (length == text.size()) {
            if (length > rule.most_bytes) break;
            text.resize(std::min(rule.most_bytes + 1, 2 * length));
        }
        if (stream) {
            wait_for_input(descriptor);
        } else {
            stop_if_signalled();
        }
        ssize_t got = read(descriptor, text.data() + length, text.size() - length);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (got < 0) {
            file = outcome(ReadOutcome::FAILED, errno);
            return;
        }
        if (got == 0) break;
        const char* nul = rule.ends_at_nul ? static_cast<const char*>(std::memchr(text.data() + length, '\0', got))
                                           : nullptr;
        if (nul != nullptr) {
            length = static_cast<std::size_t>(nul - text.data());
            break;
        }
        length += static_cast<std::size_t>(got);
    }
    if (length > rule.most_bytes) {
        file = outcome(ReadOutcome::TOO_LARGE);
        return;
    }
    text.resize(length);
    file.outcome = ReadOutcome::READ;
}

FileText read_open_file(int descriptor, const ReadRule& rule) {
    struct stat info {};
    if (fstat(descriptor, &info) != 0) return outcome(ReadOutcome::FAILED, errno);
    if (!is_allowed(info, rule)) return outcome(ReadOutcome::NOT_ALLOWED);
    bool regular = S_ISREG(info.st_mode);
    if (regular && static_cast<std::size_t>(info.st_size) > rule.most_bytes) return outcome(ReadOutcome::TOO_LARGE);
    FileText file;
    read_all(descriptor, regular ? static_cast<std::size_t>(info.st_size) + 1 : FIRST_STREAM_SIZE, !regular, rule,
             file);
    return file;
}

}  // namespace

FileText read_file_text(const char* path, const ReadRule& rule) {
    // Without O_NONBLOCK, opening a FIFO would wait for a writer, deaf to signals.
    Descriptor file(open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | (rule.own_file_only ? O_NOFOLLOW : 0)));
    if (file.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return outcome(ReadOutcome::MISSING, errno);
        return outcome(ReadOutcome::NOT_OPENED, errno);
    }
    // Reads wait for input through poll, which looks for stop signals.
    int flags = fcntl(file.get(), F_GETFL);
    if (flags >= 0) fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK);
    return read_open_file(file.get(), rule);
}

FileText read_standard_input(const ReadRule& rule) { return read_open_file(STDIN_FILENO, rule); }

std::string read_failure_reason(const FileText& file, const ReadRule& rule) {
    switch (file.outcome) {
        case ReadOutcome::NOT_ALLOWED: return "not a regular file";
        case ReadOutcome::TOO_LARGE: return "larger than " + std::to_string(rule.most_bytes / MEBIBYTE) + " MiB";
        case ReadOutcome::MISSING: return std::strerror(ENOENT);
        default: return std::strerror(file.error);
    }
}
