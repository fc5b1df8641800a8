#include "SFileSystem.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/vfs.h>

namespace zell::file {

namespace {

struct FileSystemName {
    uint32_t first;
    uint32_t last;
    const char* name;
};

constexpr FileSystemName kNames[] = {
    {0xEF53, 0xEF53, "ext2/3"},
    {0xADFF, 0xADFF, "affs"},
    {0xF995E849, 0xF995E849, "hpfs"},
    {0x9660, 0x9660, "iso"},
    {0x137F, 0x137F, "minix"},
    {0x2468, 0x2468, "minix"},
    {0x2478, 0x2478, "minix"},
    {0x4D44, 0x4D44, "msdos"},
    {0x564C, 0x564C, "ncp"},
    {0x6969, 0x6969, "nfs"},
    {0x5346544E, 0x5346544E, "ntfs"},
    {0x9FA0, 0x9FA0, "proc"},
    {0x52654973, 0x52654973, "reiserfs"},
    {0x517B, 0x517B, "smb"},
    {0x012FF7B4, 0x012FF7B7, "sysv"},
    {0x11954, 0x11954, "ufs"},
    {0x58465342, 0x58465342, "xfs"},
};

const char* NameOf(uint32_t magic) {
    for (const FileSystemName& n : kNames)
        if (magic >= n.first && magic <= n.last) return n.name;
    return "unknown";
}

} // namespace

bool SFileSystem::GetFileSystem(const char* path, char* out) {
    struct statfs info;
    bool ok = path && statfs(path, &info) == 0;
    // f_type is a signed word on i386; the magic numbers are its unsigned reading.
    const char* name = ok ? NameOf(static_cast<uint32_t>(info.f_type)) : "unknown (error)";
    if (out) strcpy(out, name);
    return ok;
}

int SFileSystem::GetDriveSpace(const char* path, long long& total, long long& free) {
    total = free = 0;
    if (!path) return EFAULT;
    struct statfs info;
    if (statfs(path, &info) != 0) return errno;
    total = static_cast<long long>(info.f_blocks) * static_cast<long long>(info.f_bsize);
    free = static_cast<long long>(info.f_bavail) * static_cast<long long>(info.f_bsize);
    return 0;
}

void SFileSystem::Root(char* out) {
    if (out) strcpy(out, "/");
}

void SFileSystem::Home(char* out, unsigned int size) {
    if (!out || size == 0) return;
    const char* home = getenv("HOME");
    snprintf(out, size, "%s", home ? home : "");
}

} // namespace zell::file
