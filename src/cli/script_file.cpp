#include "cli/script_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "core/error.h"
#include "cli/runner.h"

namespace {

constexpr std::size_t FIRST_STREAM_SIZE = 16 * 1024;
// An endless stream (`zentul <(yes)`) must not eat all memory; a
// regular file has its size and is read whole.
constexpr std::size_t STREAM_LIMIT = 64 * 1024 * 1024;

class OpenDescriptor {
public:
    explicit OpenDescriptor(int descriptor) : descriptor_(descriptor) {}
    ~OpenDescriptor() {
        if (descriptor_ >= 0) close(descriptor_);
    }
    OpenDescriptor(const OpenDescriptor&) = delete;
    OpenDescriptor& operator=(const OpenDescriptor&) = delete;
    int get() const { return descriptor_; }

private:
    int descriptor_;
};

// Reads until the end of the file or its first NUL byte, growing `text` as
// needed; false on a read error or when more than `limit` bytes come first.
bool read_script_text(int descriptor, std::size_t first_size, std::size_t limit, std::string& text) {
    std::size_t length = 0;
    text.resize(first_size);
    for (;;) {
        if (length == text.size()) {
            if (length > limit) return false;
            text.resize(std::min(limit + 1, 2 * length));
        }
        ssize_t got = read(descriptor, text.data() + length, text.size() - length);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) break;
        const void* nul = std::memchr(text.data() + length, '\0', static_cast<std::size_t>(got));
        if (nul != nullptr) {
            length = static_cast<std::size_t>(static_cast<const char*>(nul) - text.data());
            break;
        }
        length += static_cast<std::size_t>(got);
    }
    text.resize(length);
    return length <= limit;
}

}  // namespace

void run_file(const char* path) { run(read_script_file(path).c_str()); }

std::string read_script_file(const char* path) {
    OpenDescriptor file(open(path, O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) fail(FaultCode::CANNOT_OPEN_FILE, path);
    struct stat info;
    if (fstat(file.get(), &info) != 0 || S_ISDIR(info.st_mode)) fail(FaultCode::CANNOT_READ_FILE, path);
    bool regular = S_ISREG(info.st_mode);
    std::string text;
    try {
        std::size_t first_size = regular ? static_cast<std::size_t>(info.st_size) + 1 : FIRST_STREAM_SIZE;
        std::size_t limit = regular ? SIZE_MAX / 2 : STREAM_LIMIT;
        if (!read_script_text(file.get(), first_size, limit, text)) fail(FaultCode::CANNOT_READ_FILE, path);
    } catch (const std::bad_alloc&) {
        fail(FaultCode::OUT_OF_MEMORY);
    }
    return text;
}
