#include "sizetree/TrashFolders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#ifndef STATX_ATTR_MOUNT_ROOT
#define STATX_ATTR_MOUNT_ROOT 0x00002000
#endif

namespace {

constexpr int kFolderOpen = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

std::string Joined(const std::string& folder, const std::string& name)
{
    return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

// Opens the trash folder `name` in dirFd, made with mode 0700 when missing;
// an existing one only when it is no link, ours and 0700. shown: its path.
FolderFd OwnFolder(int dirFd, const std::string& name, const std::string& shown, TrashResult& result)
{
    const bool made = mkdirat(dirFd, name.c_str(), 0700) == 0;
    if (!made && errno != EEXIST) {
        result = TrashResult::Refused(TrashFailure::NoTrash, errno, shown);
        return FolderFd();
    }
    FolderFd fd(openat(dirFd, name.c_str(), kFolderOpen));
    struct stat st;
    if (!fd) {
        const int err = errno;
        const bool link = fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
        result = TrashResult::Refused(
            link ? TrashFailure::TrashIsLink
                 : (err == ENOTDIR ? TrashFailure::TrashNotFolder : TrashFailure::NoTrash),
            err, shown);
        return FolderFd();
    }
    if (fstat(fd.Get(), &st) != 0) {
        result = TrashResult::Refused(TrashFailure::NoTrash, errno, shown);
        return FolderFd();
    }
    if (st.st_uid != geteuid()) {
        result = TrashResult::Refused(TrashFailure::TrashNotOurs, 0, shown);
        result.Owner = st.st_uid;
        return FolderFd();
    }
    // One we made may have lost bits to the umask.
    if (made && (st.st_mode & 07777) != 0700 && fchmod(fd.Get(), 0700) == 0)
        st.st_mode = (st.st_mode & ~07777u) | 0700;
    if ((st.st_mode & 07777) != 0700) {
        result = TrashResult::Refused(TrashFailure::TrashOpen, 0, shown);
        result.Mode = st.st_mode & 07777;
        return FolderFd();
    }
    return fd;
}

// The trash folder at trashFd (shown) with its files/ and info/.
std::optional<TrashPlace> WithParts(FolderFd trash, const std::string& shown, size_t relativeNames,
                                    TrashResult& result)
{
    TrashPlace place;
    place.Files = OwnFolder(trash.Get(), "files", Joined(shown, "files"), result);
    if (!place.Files)
        return std::nullopt;
    place.Info = OwnFolder(trash.Get(), "info", Joined(shown, "info"), result);
    if (!place.Info)
        return std::nullopt;
    place.Path = shown;
    place.RelativeNames = relativeNames;
    return place;
}

// Makes the missing folders of an absolute path (mode 0700), then opens it
// (a link the user set there is followed: the data folder is theirs).
FolderFd DataFolder(const std::string& path, TrashResult& result)
{
    for (size_t end = path.find('/', 1); end != std::string::npos; end = path.find('/', end + 1))
        mkdir(path.substr(0, end).c_str(), 0700);
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        result = TrashResult::Refused(TrashFailure::NoTrash, errno, path);
        return FolderFd();
    }
    FolderFd fd(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd)
        result = TrashResult::Refused(TrashFailure::NoTrash, errno, path);
    return fd;
}

// The top folder of the mount that holds the open folder fd: walked up
// with "..", one or two descriptors at a time. levels: how many steps up.
FolderFd TopFolder(int fd, size_t& levels, TrashResult& result, const std::string& shown)
{
    levels = 0;
    FolderFd at(openat(fd, ".", kFolderOpen));
    for (;;) {
        struct statx sx;
        if (!at || statx(at.Get(), "", AT_EMPTY_PATH, STATX_INO, &sx) != 0) {
            result = TrashResult::Refused(TrashFailure::NoTrash, errno, shown);
            return FolderFd();
        }
        const bool told = sx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT;
        if (told && (sx.stx_attributes & STATX_ATTR_MOUNT_ROOT))
            return at;
        FolderFd up(openat(at.Get(), "..", kFolderOpen));
        struct stat above;
        if (!up || fstat(up.Get(), &above) != 0) {
            result = TrashResult::Refused(TrashFailure::NoTrash, errno, shown);
            return FolderFd();
        }
        const uint64_t device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
        // The top of everything (a root that is no mount root, in a chroot);
        // and, without the mount-root attribute (before Linux 5.8), where
        // the device changes.
        if ((device == above.st_dev && sx.stx_ino == above.st_ino) || (!told && device != above.st_dev))
            return at;
        at = std::move(up);
        ++levels;
    }
}

std::optional<TrashPlace> TopFolderTrash(int parentFd, const std::string& itemPath, TrashResult& result)
{
    size_t levels = 0;
    FolderFd top = TopFolder(parentFd, levels, result, LeadingPath(itemPath, 1));
    if (!top)
        return std::nullopt;
    const size_t relativeNames = levels + 1;
    const std::string topPath = LeadingPath(itemPath, relativeNames);
    const std::string uid = std::to_string(geteuid());
    // $top/.Trash, made by the administrator for everyone: a real folder
    // with the sticky bit, holding one folder per user.
    struct stat st;
    if (fstatat(top.Get(), ".Trash", &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode)
        && (st.st_mode & S_ISVTX)) {
        FolderFd shared(openat(top.Get(), ".Trash", kFolderOpen));
        struct stat again;
        if (shared && fstat(shared.Get(), &again) == 0 && again.st_dev == st.st_dev
            && again.st_ino == st.st_ino) {
            const std::string shown = Joined(Joined(topPath, ".Trash"), uid);
            // One that cannot be made there leaves the user's own .Trash-$uid.
            if (mkdirat(shared.Get(), uid.c_str(), 0700) == 0 || errno == EEXIST) {
                FolderFd own = OwnFolder(shared.Get(), uid, shown, result);
                if (!own)
                    return std::nullopt;
                return WithParts(std::move(own), shown, relativeNames, result);
            }
        }
    }
    const std::string shown = Joined(topPath, ".Trash-" + uid);
    FolderFd own = OwnFolder(top.Get(), ".Trash-" + uid, shown, result);
    if (!own)
        return std::nullopt;
    return WithParts(std::move(own), shown, relativeNames, result);
}

}  // namespace

namespace {

// Where the slash before path's last `names` names stands.
size_t SlashBefore(const std::string& path, size_t names)
{
    size_t end = path.size();
    for (size_t i = 0; i < names && end > 0; ++i) {
        const size_t slash = path.rfind('/', end - 1);
        end = slash == std::string::npos ? 0 : slash;
    }
    return end;
}

}  // namespace

std::string TrailingNames(const std::string& path, size_t names)
{
    return path.substr(std::min(SlashBefore(path, names) + 1, path.size()));
}

std::string LeadingPath(const std::string& path, size_t names)
{
    const size_t end = SlashBefore(path, names);
    return end == 0 ? std::string("/") : path.substr(0, end);
}

std::optional<TrashPlace> OpenTrashFor(int parentFd, uint64_t parentDevice, const std::string& itemPath,
                                       const std::string& dataHome, TrashResult& result)
{
    if (dataHome.empty() || dataHome.front() != '/') {
        result = TrashResult::Refused(TrashFailure::NoDataHome, 0, dataHome);
        return std::nullopt;
    }
    FolderFd data = DataFolder(dataHome, result);
    if (!data)
        return std::nullopt;
    // The home trash serves its own device: the trash folder's, or the data
    // folder's where the trash is still to be made.
    struct stat st;
    if (fstatat(data.Get(), "Trash", &st, AT_SYMLINK_NOFOLLOW) != 0 && fstat(data.Get(), &st) != 0) {
        result = TrashResult::Refused(TrashFailure::NoTrash, errno, dataHome);
        return std::nullopt;
    }
    if (static_cast<uint64_t>(st.st_dev) != parentDevice)
        return TopFolderTrash(parentFd, itemPath, result);
    const std::string shown = Joined(dataHome, "Trash");
    FolderFd trash = OwnFolder(data.Get(), "Trash", shown, result);
    if (!trash)
        return std::nullopt;
    return WithParts(std::move(trash), shown, 0, result);
}
