#include "net/received_bytes.h"

#include <dirent.h>
#include <linux/inet_diag.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <linux/sock_diag.h>
#include <linux/tcp.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>

namespace {

using Inodes = std::set<std::uint64_t>;
using Folder = std::unique_ptr<DIR, int (*)(DIR*)>;

bool is_number(const char* text) { return *text != '\0' && std::strspn(text, "0123456789") == std::strlen(text); }

// The process group of a process, from /proc/PID/stat ("PID (NAME) STATE PPID PGRP ...").
pid_t group_of(const std::string& pid) {
    std::FILE* stat = std::fopen(("/proc/" + pid + "/stat").c_str(), "r");
    if (stat == nullptr) return -1;
    char text[512];
    std::size_t length = std::fread(text, 1, sizeof text - 1, stat);
    std::fclose(stat);
    text[length] = '\0';
    const char* after_name = std::strrchr(text, ')');
    int parent = 0, group = -1;
    char state = 0;
    if (after_name == nullptr || std::sscanf(after_name + 1, " %c %d %d", &state, &parent, &group) != 3) return -1;
    return group;
}

void add_sockets_of(const std::string& pid, Inodes& inodes) {
    std::string folder = "/proc/" + pid + "/fd";
    Folder descriptors(opendir(folder.c_str()), closedir);
    if (descriptors == nullptr) return;
    while (const dirent* entry = readdir(descriptors.get())) {
        char target[64];
        ssize_t length = readlink((folder + "/" + entry->d_name).c_str(), target, sizeof target - 1);
        if (length <= 0) continue;
        target[length] = '\0';
        unsigned long long inode = 0;
        if (std::sscanf(target, "socket:[%llu]", &inode) == 1) inodes.insert(inode);
    }
}

Inodes sockets_of_group(pid_t group) {
    Inodes inodes;
    Folder processes(opendir("/proc"), closedir);
    if (processes == nullptr) return inodes;
    while (const dirent* entry = readdir(processes.get())) {
        if (is_number(entry->d_name) && group_of(entry->d_name) == group) add_sockets_of(entry->d_name, inodes);
    }
    return inodes;
}

// The bytes received by a socket's statistics message, or -1 without them.
long long bytes_received_of(const inet_diag_msg* message, std::size_t length) {
    std::size_t attributes_length = length - NLMSG_ALIGN(sizeof *message);
    for (const rtattr* attribute = reinterpret_cast<const rtattr*>(message + 1);
         RTA_OK(attribute, attributes_length); attribute = RTA_NEXT(attribute, attributes_length)) {
        if (attribute->rta_type != INET_DIAG_INFO) continue;
        if (RTA_PAYLOAD(attribute) < offsetof(tcp_info, tcpi_bytes_received) + sizeof(std::uint64_t)) return -1;
        tcp_info info{};
        std::memcpy(&info, RTA_DATA(attribute), std::min<std::size_t>(RTA_PAYLOAD(attribute), sizeof info));
        return static_cast<long long>(info.tcpi_bytes_received);
    }
    return -1;
}

// Asks for every TCP socket of one address family with its statistics, and
// hands those of `inodes` to `take`.
template <typename Take>
void read_statistics(int link, unsigned char family, const Inodes& inodes, Take take) {
    struct {
        nlmsghdr header;
        inet_diag_req_v2 request;
    } query{};
    query.header.nlmsg_len = sizeof query;
    query.header.nlmsg_type = SOCK_DIAG_BY_FAMILY;
    query.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    query.request.sdiag_family = family;
    query.request.sdiag_protocol = IPPROTO_TCP;
    query.request.idiag_ext = 1 << (INET_DIAG_INFO - 1);
    query.request.idiag_states = ~0u;
    if (send(link, &query, sizeof query, 0) < 0) return;
    alignas(nlmsghdr) char buffer[32768];
    for (;;) {
        ssize_t got = recv(link, buffer, sizeof buffer, 0);
        if (got <= 0) return;
        std::size_t left = static_cast<std::size_t>(got);
        for (const nlmsghdr* header = reinterpret_cast<const nlmsghdr*>(buffer); NLMSG_OK(header, left);
             header = NLMSG_NEXT(header, left)) {
            if (header->nlmsg_type == NLMSG_DONE || header->nlmsg_type == NLMSG_ERROR) return;
            const auto* message = static_cast<const inet_diag_msg*>(NLMSG_DATA(header));
            if (inodes.count(message->idiag_inode) == 0) continue;
            long long received = bytes_received_of(message, header->nlmsg_len - NLMSG_HDRLEN);
            if (received >= 0) take(message->idiag_inode, static_cast<std::uint64_t>(received));
        }
    }
}

}  // namespace

std::uint64_t ReceivedBytes::total() {
    Inodes inodes = group_ > 0 ? sockets_of_group(group_) : Inodes{};
    if (!inodes.empty()) {
        int link = socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG);
        if (link >= 0) {
            auto take = [this](std::uint64_t inode, std::uint64_t received) {
                std::uint64_t& known = by_socket_[inode];
                if (received > known) known = received;
            };
            read_statistics(link, AF_INET, inodes, take);
            read_statistics(link, AF_INET6, inodes, take);
            close(link);
        }
    }
    std::uint64_t sum = 0;
    for (const auto& [inode, received] : by_socket_) sum += received;
    return sum;
}
