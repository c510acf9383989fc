#include "sizetree/FolderRead.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
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

// getdents64 record layout (the kernel's struct linux_dirent64).
struct TDirent64 {
    uint64_t Ino;
    int64_t Off;
    unsigned short RecLen;
    unsigned char Type;
    char Name[1];
};

bool IsDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// What the listing learns of one name.
struct TLook {
    bool IsFolder = false;
    bool OtherFileSystemRoot = false;  // a mount root or an automount point
    uint64_t Device = 0;
    uint64_t Inode = 0;
    uint64_t Size = 0;  // bytes
    uint64_t DiskBytes = 0;  // blocks x 512
    uint64_t Links = 0;
};

// statx where it works; fstatat where a sandbox refuses it.
bool Look(int fd, const char* name, TLook& look, bool& useStatx)
{
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

}  // namespace

int OpenRootFolder(const std::string& path)
{
    return open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
}

int OpenSubfolder(int parentFd, const std::string& name)
{
    return openat(parentFd, name.c_str(), kFolderFlags);
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

void ListFolder(int fd, uint64_t device, TFolderListing& listing, TListScratch& scratch)
{
    std::vector<char>& buffer = scratch.Buffer;
    if (buffer.size() < kBufferBytes)
        buffer.resize(kBufferBytes);
    for (;;) {
        const ssize_t got = getdents64(fd, buffer.data(), buffer.size());
        if (got < 0 && !listing.Error)
            listing.Error = ReadErrorOfErrno(errno);  // ended early
        if (got <= 0)
            return;
        for (ssize_t pos = 0; pos < got;) {
            const char* record = buffer.data() + pos;
            const auto* d = reinterpret_cast<const TDirent64*>(record);
            const char* name = record + offsetof(TDirent64, Name);
            pos += d->RecLen;
            if (IsDotOrDotDot(name))
                continue;
            TLook look;
            if (!Look(fd, name, look, scratch.UseStatx)) {
                // Cannot be looked at (vanished, or the folder is not
                // searchable): a folder still gets its entry, a file adds 0.
                // Only a name gone meanwhile leaves the listing whole.
                if (errno != ENOENT && !listing.Error)
                    listing.Error = ReadErrorOfErrno(errno);
                if (d->Type == DT_DIR)
                    listing.Subfolders.push_back(TSubfolder{name, device, d->Ino, false});
                else
                    ++listing.SingleLinkFiles;
                continue;
            }
            if (look.IsFolder) {
                listing.Subfolders.push_back(TSubfolder{
                    name, look.Device, look.Inode, look.Device != device || look.OtherFileSystemRoot});
            } else if (look.Links > 1) {
                listing.LinkedFiles.push_back(TLinkedFile{look.Device, look.Inode, look.Size, look.DiskBytes,
                                                          static_cast<uint32_t>(listing.Subfolders.size())});
            } else {
                listing.SingleLinkTotal += look.Size;
                listing.SingleLinkDiskBytes += look.DiskBytes;
                ++listing.SingleLinkFiles;
            }
        }
    }
}
