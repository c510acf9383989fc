#include "sizetree/DirLister.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>

#ifndef STATX_ATTR_MOUNT_ROOT
#define STATX_ATTR_MOUNT_ROOT 0x00002000
#endif
#ifndef STATX_ATTR_AUTOMOUNT
#define STATX_ATTR_AUTOMOUNT 0x00001000
#endif

namespace {

constexpr size_t kBufferBytes = 64 * 1024;
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;
constexpr unsigned kStatxMask = STATX_TYPE | STATX_NLINK | STATX_INO | STATX_SIZE;
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

bool SameFolder(int fd, uint64_t device, uint64_t inode)
{
    struct stat st;
    return fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && static_cast<uint64_t>(st.st_dev) == device
        && static_cast<uint64_t>(st.st_ino) == inode;
}

}  // namespace

struct TLook {
    bool IsFolder = false;
    bool OtherFileSystemRoot = false;  // a mount root or an automount point
    uint64_t Device = 0;
    uint64_t Inode = 0;
    uint64_t Size = 0;
    uint64_t Links = 0;
};

// statx where it works; fstatat where a sandbox refuses it.
bool TDirLister::Look(int fd, const char* name, TLook& look)
{
    if (useStatx_) {
        struct statx sx;
        if (statx(fd, name, kStatxFlags, kStatxMask, &sx) == 0) {
            look.IsFolder = S_ISDIR(sx.stx_mode);
            look.OtherFileSystemRoot = ((sx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT)
                                        && (sx.stx_attributes & STATX_ATTR_MOUNT_ROOT))
                || (sx.stx_attributes & STATX_ATTR_AUTOMOUNT);
            look.Device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
            look.Inode = sx.stx_ino;
            look.Size = sx.stx_size;
            look.Links = sx.stx_nlink;
            return true;
        }
        if (errno != ENOSYS && errno != EPERM)
            return false;
        useStatx_ = false;
    }
    struct stat st;
    if (fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT) != 0)
        return false;
    look.IsFolder = S_ISDIR(st.st_mode);
    look.OtherFileSystemRoot = false;
    look.Device = static_cast<uint64_t>(st.st_dev);
    look.Inode = static_cast<uint64_t>(st.st_ino);
    look.Size = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
    look.Links = static_cast<uint64_t>(st.st_nlink);
    return true;
}

TDirLister::TDirLister(bool useStatx) : buffer_(kBufferBytes), useStatx_(useStatx) {}

TDirLister::~TDirLister()
{
    for (TLevel& level : levels_)
        CloseLevel(level);
}

void TDirLister::CloseLevel(TLevel& level)
{
    if (level.Fd >= 0) {
        close(level.Fd);
        level.Fd = -1;
        --openCount_;
    }
}

void TDirLister::EnforceLimit()
{
    // Close the shallowest open folders first; the root and the folder entered
    // last stay open. Levels below lowestOpen_ are closed already, so each
    // level is passed over once per time it is opened.
    for (; openCount_ > kMaxOpenFolders && lowestOpen_ + 1 < levels_.size(); ++lowestOpen_)
        CloseLevel(levels_[lowestOpen_]);
}

bool TDirLister::EnsureTopOpen()
{
    const size_t top = levels_.size() - 1;
    if (levels_[top].Fd >= 0)
        return true;
    size_t open = top;
    while (levels_[open].Fd < 0)
        --open;  // the root is always open
    lowestOpen_ = std::min(lowestOpen_, open + 1);
    for (size_t k = open + 1; k <= top; ++k) {
        TLevel& level = levels_[k];
        const int fd = openat(levels_[k - 1].Fd, level.Name.c_str(), kFolderFlags);
        if (fd < 0)
            return false;
        level.Fd = fd;
        ++openCount_;
        ++reopenCount_;
        if (!SameFolder(fd, level.Device, level.Inode)) {
            CloseLevel(level);  // replaced since it was listed
            return false;
        }
    }
    EnforceLimit();
    return true;
}

bool TDirLister::EnterRoot(const std::string& path, TFolderListing& listing)
{
    listing.Clear();
    for (TLevel& level : levels_)
        CloseLevel(level);
    levels_.clear();
    lowestOpen_ = 1;
    // The root is what the user named: a symbolic link to a folder is followed.
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st;
    if (fstat(fd, &st) != 0) {
        close(fd);
        return false;
    }
    levels_.push_back(TLevel{fd, std::string(), static_cast<uint64_t>(st.st_dev),
                             static_cast<uint64_t>(st.st_ino)});
    ++openCount_;
    List(fd, levels_.back().Device, listing);
    return true;
}

bool TDirLister::Enter(const TSubfolder& sub, TFolderListing& listing)
{
    listing.Clear();
    if (levels_.empty() || sub.OtherFileSystem || !EnsureTopOpen())
        return false;
    const int fd = openat(levels_.back().Fd, sub.Name.c_str(), kFolderFlags);
    if (fd < 0)
        return false;
    levels_.push_back(TLevel{fd, sub.Name, sub.Device, sub.Inode});
    ++openCount_;
    List(fd, sub.Device, listing);
    if (listing.Subfolders.empty())
        CloseLevel(levels_.back());  // a leaf never opens anything below it
    else
        EnforceLimit();
    return true;
}

void TDirLister::Leave()
{
    if (levels_.empty())
        return;
    CloseLevel(levels_.back());
    levels_.pop_back();
    lowestOpen_ = std::max<size_t>(1, std::min(lowestOpen_, levels_.size()));
}

void TDirLister::List(int fd, uint64_t device, TFolderListing& listing)
{
    for (;;) {
        const ssize_t got = getdents64(fd, buffer_.data(), buffer_.size());
        if (got <= 0)
            return;  // end of the listing, or an error that ends it
        for (ssize_t pos = 0; pos < got;) {
            const char* record = buffer_.data() + pos;
            const auto* d = reinterpret_cast<const TDirent64*>(record);
            const char* name = record + offsetof(TDirent64, Name);
            pos += d->RecLen;
            if (IsDotOrDotDot(name))
                continue;
            TLook look;
            if (!Look(fd, name, look)) {
                // Cannot be looked at (vanished, or the folder is not
                // searchable): a folder still gets its entry, a file adds 0.
                if (d->Type == DT_DIR)
                    listing.Subfolders.push_back(TSubfolder{name, device, d->Ino, false});
                continue;
            }
            if (look.IsFolder) {
                listing.Subfolders.push_back(TSubfolder{
                    name, look.Device, look.Inode, look.Device != device || look.OtherFileSystemRoot});
            } else if (look.Links > 1) {
                listing.LinkedFiles.push_back(TLinkedFile{
                    look.Device, look.Inode, look.Size, static_cast<uint32_t>(listing.Subfolders.size())});
            } else {
                listing.SingleLinkTotal += look.Size;
            }
        }
    }
}
