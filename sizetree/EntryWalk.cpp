#include "sizetree/EntryWalk.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "sizetree/FolderRead.h"

FolderFd& FolderFd::operator=(FolderFd&& other) noexcept
{
    if (this != &other)
        Reset(other.Release());
    return *this;
}

int FolderFd::Release()
{
    return std::exchange(fd_, -1);
}

void FolderFd::Reset(int fd)
{
    if (fd_ >= 0)
        close(fd_);
    fd_ = fd;
}

std::string WalkPlan::PathAt(size_t depth) const
{
    std::string path = RootPath;
    for (size_t i = 0; i < depth && i < Steps.size(); ++i) {
        if (!path.ends_with('/'))
            path += '/';
        path += Steps[i].Name;
    }
    return path;
}

const TTreeEntry& FolderOf(const TTreeEntry& entry)
{
    const TTreeEntry* e = &entry;
    if ((e->IsListedFile() || e->IsSmallerFiles()) && e->Parent())
        e = e->Parent();
    if (e->IsFiles() && e->Parent())
        e = e->Parent();
    return *e;
}

WalkPlan PlanWalk(const TTreeEntry& folder)
{
    WalkPlan plan;
    const TTreeEntry* e = &folder;
    for (; e->Parent(); e = e->Parent())
        plan.Steps.push_back(WalkStep{e->Name(), e->Device(), e->Inode()});
    plan.RootPath = e->Path();
    plan.RootDevice = e->Device();
    plan.RootInode = e->Inode();
    std::reverse(plan.Steps.begin(), plan.Steps.end());
    return plan;
}

namespace {

// What a failed open means for the walk: something else stands there now,
// or the folder could not be opened for errno's reason.
WalkRefusal RefusalOf(size_t depth, int err)
{
    const bool replaced = err == ELOOP || err == ENOTDIR || err == EXDEV;
    return WalkRefusal{depth, replaced ? 0 : err};
}

// A subfolder by name without following a link or entering a mount;
// openat alone where openat2 is refused (an old kernel, a sandbox).
int OpenStep(int parentFd, const std::string& name)
{
    const int fd = OpenSubfolder(parentFd, name, true);
    if (fd >= 0 || (errno != ENOSYS && errno != EPERM))
        return fd;
    return OpenSubfolder(parentFd, name, false);
}

}  // namespace

WalkResult OpenWalk(const WalkPlan& plan)
{
    WalkResult result;
    FolderFd at(OpenRootFolder(plan.RootPath));
    if (!at) {
        result.Refusal = RefusalOf(0, errno);
        return result;
    }
    if ((plan.RootDevice == 0 && plan.RootInode == 0)
        || !IsFolder(at.Get(), plan.RootDevice, plan.RootInode)) {
        result.Refusal = WalkRefusal{0, 0};
        return result;
    }
    for (size_t i = 0; i < plan.Steps.size(); ++i) {
        const WalkStep& step = plan.Steps[i];
        FolderFd next(OpenStep(at.Get(), step.Name));
        if (!next) {
            result.Refusal = RefusalOf(i + 1, errno);
            return result;
        }
        if (!IsFolder(next.Get(), step.Device, step.Inode)) {
            result.Refusal = WalkRefusal{i + 1, 0};
            return result;
        }
        at = std::move(next);
    }
    result.Folder = std::move(at);
    return result;
}

const TTreeEntry& EntryAtDepth(const TTreeEntry& entry, size_t depth)
{
    std::vector<const TTreeEntry*> chain;
    for (const TTreeEntry* e = &entry; e; e = e->Parent())
        chain.push_back(e);
    return depth < chain.size() ? *chain[chain.size() - 1 - depth] : entry;
}
