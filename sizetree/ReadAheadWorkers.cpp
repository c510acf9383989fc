// The read-ahead lister's workers and the descriptors they share.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <optional>
#include <utility>

#include "sizetree/FolderRead.h"
#include "sizetree/ReadAheadLister.h"
#include "sizetree/ReadAheadNode.h"

namespace {

// Approximate heap bytes of a finished listing, with room for a second copy
// of its names (child nodes and seeds).
size_t ListingBytes(const TFolderListing& listing)
{
    size_t bytes = listing.Subfolders.capacity() * sizeof(TSubfolder)
        + listing.LinkedFiles.capacity() * sizeof(TLinkedFile);
    for (const TSubfolder& s : listing.Subfolders)
        if (s.Name.capacity() > 15)
            bytes += 2 * (s.Name.capacity() + 1);
    bytes += listing.Files.capacity() * sizeof(TListedFile);
    for (const TListedFile& f : listing.Files)
        if (f.Name.capacity() > 15)
            bytes += f.Name.capacity() + 1;
    return bytes;
}

}  // namespace

// ---- descriptors ----------------------------------------------------------

void ReadAheadLister::CountOpen(int delta)
{
    stats_.OpenFolders += delta;
    stats_.MostOpenFolders = std::max(stats_.MostOpenFolders, stats_.OpenFolders);
}

void ReadAheadLister::Keep(Folder* node, int fd)
{
    if (kept_.size() >= options_.MaxKeptFolders) {
        for (auto it = kept_.rbegin(); it != kept_.rend(); ++it) {
            if ((*it)->FdUsers == 0) {
                CloseFd(*it);
                break;
            }
        }
    }
    if (kept_.size() >= options_.MaxKeptFolders) {
        close(fd);
        CountOpen(-1);
        return;
    }
    node->Fd = fd;
    kept_.push_front(node);
    node->KeptPos = kept_.begin();
    node->InKept = true;
}

void ReadAheadLister::MaybeClose(Folder* node)
{
    if (node->Fd >= 0 && node->Parent && node->FdUsers == 0 && node->UnstartedChildren == 0)
        CloseFd(node);
}

void ReadAheadLister::CloseFd(Folder* node)
{
    close(node->Fd);
    node->Fd = -1;
    CountOpen(-1);
    if (node->InKept) {
        kept_.erase(node->KeptPos);
        node->InKept = false;
    }
}

// ---- workers --------------------------------------------------------------

// Sets how many workers take tasks, starting threads as needed (under the
// lock).
void ReadAheadLister::Resize(unsigned active)
{
    const bool more = active > active_;
    active_ = active;
    while (workers_.size() < active_) {
        const unsigned index = static_cast<unsigned>(workers_.size());
        workers_.emplace_back([this, index] { WorkerLoop(index); });
    }
    stats_.Workers = std::max(stats_.Workers, static_cast<unsigned>(workers_.size()));
    if (more) {
        spareCv_.notify_all();
        workCv_.notify_all();
    }
}

// Folders wait that a free worker would start now (under the lock).
bool ReadAheadLister::WorkQueued() const
{
    return !pending_.empty() && ready_ - pending_.size() < options_.MaxReadyFolders
        && readyBytes_ < options_.MaxReadyBytes;
}

ReadAheadLister::Folder* ReadAheadLister::NextTask()
{
    if (wanted_ && wanted_->State == TaskState::Pending)
        return wanted_;
    if (pending_.empty() || ready_ - pending_.size() >= options_.MaxReadyFolders
        || readyBytes_ >= options_.MaxReadyBytes)
        return nullptr;
    return *pending_.begin();
}

void ReadAheadLister::WorkerLoop(unsigned index)
{
    TListScratch scratch;
    // One list step in every PoolSizer::kSample is timed for the sizer.
    std::chrono::steady_clock::time_point lastSample;
    std::chrono::steady_clock::time_point lastStep;  // the last step's end
    // At the last timed step; first read with the first task, so that an idle
    // worker holds no descriptor beyond its folders.
    std::optional<int64_t> deviceBytes;
    std::unique_lock lock(mutex_);
    for (;;) {
        Folder* node = nullptr;
        while (!stopping_ && !(node = index < active_ ? NextTask() : nullptr)) {
            if (index >= active_) {
                spareCv_.wait(lock);
                continue;
            }
            ++idleWorkers_;
            sizer_.NoteIdle();
            WakeConsumer();  // the read-ahead runs dry: take what is ready
            ++stats_.WorkerWaits;
            workCv_.wait(lock);
            --idleWorkers_;
        }
        if (stopping_)
            return;
        pending_.erase(node);
        node->State = TaskState::Running;
        ++node->Refs;
        OpenPlan plan = PlanOpen(node);
        lock.unlock();

        if (!deviceBytes)
            deviceBytes = DeviceBytesRead();
        const bool timed = lastStep - lastSample >= PoolSizer::kSample;
        std::chrono::steady_clock::time_point begin;
        ThreadTimes before;
        if (timed) {
            before = ThreadTimesNow();
            begin = std::chrono::steady_clock::now();
        }
        uint64_t device = node->Device;
        uint64_t inode = node->Inode;
        TFolderListing listing;
        const int fd = OpenPlanned(node, plan, device, inode);
        if (fd >= 0) {
            const MountDir* mounts = node->Parent ? node->Mounts : &plan.Route.Mounts;
            try {
                listStep_(fd, FolderPlace{device, LooksAtSubfolders(mounts)}, listing, scratch);
            } catch (...) {
                // Out of memory midway: what was read stays, as for a failed
                // read, and the folder says its listing was abandoned.
                listing.Error = kReadAbandoned;
            }
        } else {
            listing.Error = plan.Error;
        }
        ThreadTimes after;
        TimedStep step;
        if (timed) {
            const int64_t bytes = DeviceBytesRead();
            step.ReadDevice = bytes > *deviceBytes && *deviceBytes >= 0;
            deviceBytes = bytes;
            after = ThreadTimesNow();
        }
        lastStep = std::chrono::steady_clock::now();  // one clock read per folder

        lock.lock();
        FinishTask(node, plan, fd, device, inode, listing);
        if (timed) {
            lastSample = lastStep;
            step.Wall = std::chrono::duration_cast<std::chrono::nanoseconds>(lastStep - begin).count();
            step.Run = after.Run - before.Run;
            step.Queued = after.Queued - before.Queued;
            // A step that never blocked did not sleep: what it neither ran
            // nor queued for was taken by the host (a virtual machine), and
            // reads as time on the CPU, which more workers would not help.
            if (after.Blocks == before.Blocks)
                step.Run = std::max(step.Run, step.Wall - step.Queued);
            const unsigned active = sizer_.Add(step, lastStep, WorkQueued());
            if (active != active_ && !stopping_)
                Resize(active);
        }
    }
}

// Pins the nearest open ancestor (under the lock).
ReadAheadLister::OpenPlan ReadAheadLister::PlanOpen(Folder* node)
{
    OpenPlan plan;
    if (!node->Parent) {
        plan.RootFd = std::exchange(openedRoot_, -1);
        return plan;
    }
    Folder* a = node->Parent;
    while (a->Fd < 0) {  // the root's stays open while it has descendants
        plan.Steps.push_back(a);
        a = a->Parent;
    }
    std::reverse(plan.Steps.begin(), plan.Steps.end());
    ++a->FdUsers;
    plan.Anchor = a;
    plan.AnchorFd = a->Fd;
    --node->Parent->UnstartedChildren;
    MakeNextChild(node->Parent);
    stats_.Reopens += plan.Steps.size();
    // Descriptors this worker will hold, counted now so the figure is a bound.
    CountOpen(plan.Steps.empty() ? 1 : 2);
    return plan;
}

// Opens node (without the lock). Names, devices and inodes of nodes never
// change once made, so they are read here freely.
int ReadAheadLister::OpenPlanned(Folder* node, OpenPlan& plan, uint64_t& device, uint64_t& inode)
{
    if (!node->Parent) {
        const int fd = plan.RootFd >= 0 ? plan.RootFd : OpenRootFolder(node->Name);
        if (fd < 0 || !FolderIdentity(fd, device, inode)) {
            plan.Error = ReadErrorOfErrno(errno);
            if (fd >= 0)
                close(fd);
            return -1;
        }
        plan.Route = RouteOf(fd);
        return fd;
    }
    int from = plan.AnchorFd;
    for (Folder* step : plan.Steps) {
        const int fd = OpenSubfolder(from, step->Name, route_.NoCrossing);
        const int openError = errno;
        if (plan.ParentFd >= 0)
            close(plan.ParentFd);
        plan.ParentFd = -1;
        if (fd < 0) {
            plan.Error = ReadErrorOfErrno(openError);
            return -1;
        }
        if (!IsFolder(fd, step->Device, step->Inode)) {
            close(fd);
            plan.Error = kReadReplaced;
            return -1;
        }
        plan.ParentFd = fd;
        from = fd;
    }
    const int fd = OpenSubfolder(from, node->Name, route_.NoCrossing);
    if (fd < 0)
        plan.Error = ReadErrorOfOpen(errno);
    return fd;
}

// Publishes a listing (under the lock).
void ReadAheadLister::FinishTask(Folder* node, OpenPlan& plan, int fd, uint64_t device, uint64_t inode,
                                 TFolderListing& listing)
{
    if (!node->Parent)
        CountOpen(1);
    if (fd < 0)
        CountOpen(-1);
    if (Folder* anchor = plan.Anchor) {
        --anchor->FdUsers;
        MaybeClose(anchor);
    }
    if (plan.ParentFd >= 0) {
        Folder* parent = node->Parent;
        if (!stopping_ && parent->Fd < 0 && parent->UnstartedChildren > 0) {
            Keep(parent, plan.ParentFd);
        } else {
            close(plan.ParentFd);
            CountOpen(-1);
        }
    } else if (!plan.Steps.empty()) {
        CountOpen(-1);
    }
    if (node->Parent)
        MaybeClose(node->Parent);
    if (node->Cancelled || stopping_) {
        if (fd >= 0) {
            close(fd);
            CountOpen(-1);
        }
        node->State = TaskState::Done;
        Release(node);
        return;
    }

    node->Device = device;
    node->Inode = inode;
    node->Opened = fd >= 0;
    if (!node->Parent && fd >= 0) {
        route_ = std::move(plan.Route);
        node->Mounts = &route_.Mounts;
    }
    node->Listing = std::move(listing);
    uint32_t enterable = 0;
    for (const TSubfolder& sub : node->Listing.Subfolders) {
        if (sub.OtherFileSystem)
            continue;
        ++enterable;
        if (node->Children.size() < options_.MaxChildNodes)
            MakeChild(node, sub);
        else
            node->Seeds.push_back(sub);
    }
    node->UnstartedChildren = enterable;
    if (fd >= 0) {
        if (!node->Parent)
            node->Fd = fd;  // the root's stays open: the anchor of every reopening
        else if (!node->Children.empty())
            Keep(node, fd);
        else {
            close(fd);
            CountOpen(-1);
        }
    }
    node->Bytes = sizeof(Folder) + ListingBytes(node->Listing) + node->Children.size() * (sizeof(Folder) + 64)
        + node->Seeds.capacity() * sizeof(TSubfolder);
    readyBytes_ += node->Bytes;
    node->State = TaskState::Done;
    stats_.MostReady = std::max(stats_.MostReady, ready_ - pending_.size());
    Release(node);
    WakeConsumer();
    if (!node->Children.empty())
        WakeWorkers();
}

// Wakes the waiting consumer once its folder is listed and it will find a
// batch of listings ready, or the workers are running dry: one wake-up per
// batch rather than per folder. (A bounded wait also ends by itself.)
void ReadAheadLister::WakeConsumer()
{
    if (!consumerWaiting_ || !wanted_ || wanted_->State != TaskState::Done)
        return;
    const size_t inFlight = ready_ - pending_.size();
    if (inFlight >= kConsumerBatch || inFlight + 1 >= options_.MaxReadyFolders || idleWorkers_ > 0
        || pending_.empty()) {
        consumerWaiting_ = false;
        doneCv_.notify_one();
    }
}
