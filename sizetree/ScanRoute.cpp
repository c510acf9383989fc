#include "sizetree/ScanRoute.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "mounts/MountTable.h"
#include "sizetree/FolderRead.h"

namespace {

// File systems whose folder records name each subfolder as it is.
bool RecordsTrusted(int fd)
{
    struct statfs fs;
    if (fstatfs(fd, &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case EXT4_SUPER_MAGIC:  // also ext2 and ext3
    case XFS_SUPER_MAGIC:
    case TMPFS_MAGIC:
        return true;
    default:
        return false;
    }
}

// The path the kernel gives the open folder fd; empty when it has none.
std::string PathOf(int fd)
{
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    std::string path(PATH_MAX, '\0');
    const ssize_t n = readlink(link.c_str(), path.data(), path.size());
    if (n <= 0 || static_cast<size_t>(n) >= path.size() || path[0] != '/')
        return std::string();
    path.resize(static_cast<size_t>(n));
    if (path.ends_with(" (deleted)"))
        return std::string();
    return path;
}

}  // namespace

ScanRoute RouteOf(int rootFd)
{
    ScanRoute route;
    route.Mounts.Everywhere = true;
    const int probe = OpenSubfolder(rootFd, ".", true);
    if (probe < 0)
        return route;  // no openat2 here (an old kernel, a sandbox)
    close(probe);
    route.NoCrossing = true;
    std::string mountInfo;
    const std::string path = PathOf(rootFd);
    if (!RecordsTrusted(rootFd) || path.empty() || ReadOwnMountTable(mountInfo) != 0)
        return route;
    route.Mounts = MountsBelow(ParseMountTable(mountInfo), path);
    return route;
}
