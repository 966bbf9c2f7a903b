#pragma once

#include <sys/types.h>

#include <cstdint>
#include <map>

// The bytes that the processes of one group have received over TCP, read
// from the system's socket statistics: what a tool has taken in, also while
// it still holds it in its own buffers rather than in the file it writes. A
// socket that closed keeps counting with what it had received. Where the
// system cannot tell, the count stays 0.
class ReceivedBytes {
public:
    explicit ReceivedBytes(pid_t group) : group_(group) {}
    std::uint64_t total();

private:
    pid_t group_;
    std::map<std::uint64_t, std::uint64_t> by_socket_;  // by the socket's inode
};
