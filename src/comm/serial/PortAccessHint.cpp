#include "comm/serial/PortAccessHint.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
constexpr mode_t kGroupReadWrite = S_IRGRP | S_IWGRP;
}  // namespace

std::string PortAccessHint::For(const std::string& device)
{
    if (faccessat(AT_FDCWD, device.c_str(), R_OK | W_OK, AT_EACCESS) == 0 || errno != EACCES)
        return std::string();
    struct stat info {};
    if (stat(device.c_str(), &info) != 0)
        return std::string();
    const std::string group = GroupName(info.st_gid);
    // Joining root's group, or a group that may not use the device, would not help.
    if ((info.st_mode & kGroupReadWrite) != kGroupReadWrite || info.st_gid == 0)
        return device + " may be used by its owner only; ask the administrator to give it to the group \"dialout\"";
    return device + " belongs to the group \"" + group + "\", whose members may use it. Join the group with\n"
           "    sudo usermod -aG " + group + " $USER\n"
           "then log out and log in again: a new group takes effect at the next login.";
}

void PortAccessHint::Report(const std::string& device)
{
    const std::string hint = For(device);
    if (!hint.empty())
        std::fprintf(stderr, "kavro serial: %s\n", hint.c_str());
}

// The group's name, or its number when the system does not know it.
std::string PortAccessHint::GroupName(unsigned int groupId)
{
    long size = sysconf(_SC_GETGR_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    struct group entry {};
    struct group* found = nullptr;
    while (getgrgid_r(groupId, &entry, buffer.data(), buffer.size(), &found) == ERANGE && buffer.size() < (1u << 20))
        buffer.resize(buffer.size() * 2);
    return found != nullptr ? std::string(found->gr_name) : std::to_string(groupId);
}
