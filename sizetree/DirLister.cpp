#include "sizetree/DirLister.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "sizetree/FolderRead.h"

DirLister::DirLister(bool useStatx)
{
    scratch_.UseStatx = useStatx;
}

DirLister::~DirLister()
{
    for (Level& level : levels_)
        CloseLevel(level);
    if (openedRoot_ >= 0)
        close(openedRoot_);
}

void DirLister::SetOpenedRoot(int fd)
{
    if (openedRoot_ >= 0)
        close(openedRoot_);
    openedRoot_ = fd;
}

void DirLister::CloseLevel(Level& level)
{
    if (level.Fd >= 0) {
        close(level.Fd);
        level.Fd = -1;
        --openCount_;
    }
}

void DirLister::EnforceLimit()
{
    // Close the shallowest open folders first; the root and the folder entered
    // last stay open. Levels below lowestOpen_ are closed already, so each
    // level is passed over once per time it is opened.
    for (; openCount_ > kMaxOpenFolders && lowestOpen_ + 1 < levels_.size(); ++lowestOpen_)
        CloseLevel(levels_[lowestOpen_]);
}

uint8_t DirLister::EnsureTopOpen()
{
    const size_t top = levels_.size() - 1;
    if (levels_[top].Fd >= 0)
        return 0;
    size_t open = top;
    while (levels_[open].Fd < 0)
        --open;  // the root is always open
    lowestOpen_ = std::min(lowestOpen_, open + 1);
    for (size_t k = open + 1; k <= top; ++k) {
        Level& level = levels_[k];
        const int fd = OpenSubfolder(levels_[k - 1].Fd, level.Name, route_.NoCrossing);
        if (fd < 0)
            return ReadErrorOfErrno(errno);
        level.Fd = fd;
        ++openCount_;
        ++reopenCount_;
        if (!IsFolder(fd, level.Device, level.Inode)) {
            CloseLevel(level);
            return kReadReplaced;
        }
    }
    EnforceLimit();
    return 0;
}

bool DirLister::EnterRoot(const std::string& path, TFolderListing& listing)
{
    listing.Clear();
    for (Level& level : levels_)
        CloseLevel(level);
    levels_.clear();
    lowestOpen_ = 1;
    // The root is what the user named: a symbolic link to a folder is followed.
    const int fd = openedRoot_ >= 0 ? std::exchange(openedRoot_, -1) : OpenRootFolder(path);
    if (fd < 0) {
        listing.Error = ReadErrorOfErrno(errno);
        return false;
    }
    uint64_t device = 0;
    uint64_t inode = 0;
    if (!FolderIdentity(fd, device, inode)) {
        listing.Error = ReadErrorOfErrno(errno);
        close(fd);
        return false;
    }
    route_ = RouteOf(fd);
    levels_.push_back(Level{fd, std::string(), device, inode, &route_.Mounts});
    ++openCount_;
    ListFolder(fd, FolderPlace{device, LooksAtSubfolders(&route_.Mounts)}, listing, scratch_);
    return true;
}

bool DirLister::Enter(const TSubfolder& sub, TFolderListing& listing)
{
    listing.Clear();
    if (levels_.empty() || sub.OtherFileSystem)
        return false;
    listing.Error = EnsureTopOpen();
    if (listing.Error)
        return false;
    const int fd = OpenSubfolder(levels_.back().Fd, sub.Name, route_.NoCrossing);
    if (fd < 0) {
        listing.Error = ReadErrorOfOpen(errno);
        return false;
    }
    const MountDir* mounts = MountDirBelow(levels_.back().Mounts, sub.Name);
    levels_.push_back(Level{fd, sub.Name, sub.Device, sub.Inode, mounts});
    ++openCount_;
    ListFolder(fd, FolderPlace{sub.Device, LooksAtSubfolders(mounts)}, listing, scratch_);
    if (listing.Subfolders.empty())
        CloseLevel(levels_.back());  // a leaf never opens anything below it
    else
        EnforceLimit();
    return true;
}

void DirLister::Leave()
{
    if (levels_.empty())
        return;
    CloseLevel(levels_.back());
    levels_.pop_back();
    lowestOpen_ = std::max<size_t>(1, std::min(lowestOpen_, levels_.size()));
}
