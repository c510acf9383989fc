#include "sizetree/FolderRead.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>

#ifndef STATX_ATTR_MOUNT_ROOT
#define STATX_ATTR_MOUNT_ROOT 0x00002000
#endif
#ifndef STATX_ATTR_AUTOMOUNT
#define STATX_ATTR_AUTOMOUNT 0x00001000
#endif

namespace {

constexpr size_t kBufferBytes = 64 * 1024;
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;
constexpr unsigned kStatxMask = STATX_TYPE | STATX_NLINK | STATX_INO | STATX_SIZE | STATX_BLOCKS;
constexpr int kStatxFlags = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT;

}  // namespace

// statx where it works; fstatat where a sandbox refuses it.
bool LookAtName(int fd, const char* name, NameLook& look, TListScratch& scratch)
{
    bool& useStatx = scratch.UseStatx;
    if (useStatx) {
        struct statx sx;
        if (statx(fd, name, kStatxFlags, kStatxMask, &sx) == 0) {
            look.IsFolder = S_ISDIR(sx.stx_mode);
            look.OtherFileSystemRoot = ((sx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT)
                                        && (sx.stx_attributes & STATX_ATTR_MOUNT_ROOT))
                || (sx.stx_attributes & STATX_ATTR_AUTOMOUNT);
            look.Device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
            look.Inode = sx.stx_ino;
            look.Size = sx.stx_size;
            look.DiskBytes = sx.stx_blocks * 512;
            look.Links = sx.stx_nlink;
            return true;
        }
        if (errno != ENOSYS && errno != EPERM)
            return false;
        useStatx = false;
    }
    struct stat st;
    if (fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT) != 0)
        return false;
    look.IsFolder = S_ISDIR(st.st_mode);
    look.Device = static_cast<uint64_t>(st.st_dev);
    look.Inode = static_cast<uint64_t>(st.st_ino);
    look.Size = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
    look.DiskBytes = st.st_blocks > 0 ? static_cast<uint64_t>(st.st_blocks) * 512 : 0;
    look.Links = static_cast<uint64_t>(st.st_nlink);
    return true;
}

ssize_t ReadNameRecords(int fd, std::vector<char>& buffer)
{
    if (buffer.size() < kBufferBytes)
        buffer.resize(kBufferBytes);
    return getdents64(fd, buffer.data(), buffer.size());
}

int OpenRootFolder(const std::string& path)
{
    return open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
}

int OpenSubfolder(int parentFd, const std::string& name, bool noCrossing)
{
    if (!noCrossing)
        return openat(parentFd, name.c_str(), kFolderFlags);
    open_how how{};
    how.flags = kFolderFlags;
    how.resolve = RESOLVE_NO_XDEV;
    return static_cast<int>(syscall(SYS_openat2, parentFd, name.c_str(), &how, sizeof how));
}

uint8_t ReadErrorOfOpen(int err)
{
    return err == EXDEV ? 0 : ReadErrorOfErrno(err);
}

bool FolderIdentity(int fd, uint64_t& device, uint64_t& inode)
{
    struct stat st;
    if (fstat(fd, &st) != 0)
        return false;
    if (!S_ISDIR(st.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    device = static_cast<uint64_t>(st.st_dev);
    inode = static_cast<uint64_t>(st.st_ino);
    return true;
}

bool IsFolder(int fd, uint64_t device, uint64_t inode)
{
    uint64_t dev = 0;
    uint64_t ino = 0;
    return FolderIdentity(fd, dev, ino) && dev == device && ino == inode;
}

namespace {

template <bool kNameFiles>
void ListFolderAs(int fd, const FolderPlace& place, TFolderListing& listing, TListScratch& scratch)
{
    const uint64_t device = place.Device;
    const uint8_t ended = ForEachName(fd, scratch, [&](const char* name, unsigned char type, uint64_t inode) {
        if (type == DT_DIR && !place.LookAtSubfolders) {
            listing.Subfolders.push_back(TSubfolder{name, device, inode, false});
            return;
        }
        NameLook look;
        if (!LookAtName(fd, name, look, scratch)) {
            // Cannot be looked at (vanished, or the folder is not
            // searchable): a folder still gets its entry, a file adds 0.
            // Only a name gone meanwhile leaves the listing whole.
            if (errno != ENOENT && !listing.Error)
                listing.Error = ReadErrorOfErrno(errno);
            if (type == DT_DIR) {
                listing.Subfolders.push_back(TSubfolder{name, device, inode, false});
            } else {
                ++listing.SingleLinkFiles;
                if constexpr (kNameFiles)
                    listing.Files.push_back(TListedFile{name, 0, 0, device, inode, 0,
                                                        static_cast<uint32_t>(listing.Subfolders.size())});
            }
            return;
        }
        if (look.IsFolder) {
            listing.Subfolders.push_back(
                TSubfolder{name, look.Device, look.Inode, look.Device != device || look.OtherFileSystemRoot});
            return;
        }
        if (look.Links > 1) {
            listing.LinkedFiles.push_back(TLinkedFile{look.Device, look.Inode, look.Size, look.DiskBytes,
                                                      static_cast<uint32_t>(listing.Subfolders.size())});
        } else {
            listing.SingleLinkTotal += look.Size;
            listing.SingleLinkDiskBytes += look.DiskBytes;
            ++listing.SingleLinkFiles;
        }
        if constexpr (kNameFiles)
            listing.Files.push_back(TListedFile{name, look.Size, look.DiskBytes, look.Device, look.Inode,
                                                look.Links,
                                                static_cast<uint32_t>(listing.Subfolders.size())});
    });
    if (ended && !listing.Error)
        listing.Error = ended;  // ended early
}

}  // namespace

void ListFolder(int fd, const FolderPlace& place, TFolderListing& listing, TListScratch& scratch)
{
    if (place.NameFiles)
        ListFolderAs<true>(fd, place, listing, scratch);
    else
        ListFolderAs<false>(fd, place, listing, scratch);
}
