#include "sizetree/ReadAheadLister.h"

#include <unistd.h>

#include <algorithm>
#include <exception>
#include <utility>

#include "sizetree/FolderRead.h"

enum class TTaskState : uint8_t { Pending, Running, Done };

// A folder the lister knows: listed, being listed or still to be listed.
struct TReadAheadLister::TNode {
    TNode* Parent = nullptr;  // kept alive by this node's reference
    std::list<TNode>::iterator Self;
    std::string Name;         // the root: its path
    uint64_t Device = 0;
    uint64_t Inode = 0;
    uint32_t Depth = 0;
    uint32_t Index = 0;       // among the parent's Children
    // One for the consumer until it leaves or drops the folder, one per child
    // node, one while a worker lists it.
    int Refs = 1;
    TTaskState State = TTaskState::Pending;
    bool Cancelled = false;   // dropped before it was entered
    bool Opened = false;
    int Fd = -1;
    int FdUsers = 0;          // workers opening a subfolder from Fd
    uint32_t UnstartedChildren = 0;
    bool InKept = false;
    std::list<TNode*>::iterator KeptPos;
    TFolderListing Listing;
    size_t Bytes = 0;         // counted in readyBytes_ while not entered
    std::vector<TNode*> Children;  // enterable subfolders in listing order
    size_t Cursor = 0;        // consumer: the next child to enter
};

// How a worker reaches a folder: from Anchor's descriptor (pinned) through
// Steps, the closed ancestors between Anchor and the folder.
struct TReadAheadLister::TOpenPlan {
    TNode* Anchor = nullptr;
    int AnchorFd = -1;
    std::vector<TNode*> Steps;
    int ParentFd = -1;  // the folder's parent, opened again along the way
};

namespace {

// Approximate heap bytes of a finished listing and its child nodes.
size_t ListingBytes(const TFolderListing& listing, size_t nodeBytes)
{
    size_t bytes = listing.Subfolders.capacity() * sizeof(TSubfolder)
        + listing.LinkedFiles.capacity() * sizeof(TLinkedFile);
    for (const TSubfolder& s : listing.Subfolders) {
        if (s.Name.capacity() > 15)
            bytes += s.Name.capacity() + 1;
        if (!s.OtherFileSystem)
            bytes += nodeBytes + s.Name.size();
    }
    return bytes;
}

}  // namespace

bool TReadAheadLister::TPreorder::operator()(const TNode* a, const TNode* b) const
{
    if (a == b)
        return false;
    while (a->Depth > b->Depth) {
        a = a->Parent;
        if (a == b)
            return false;  // b is an ancestor of the first: b comes first
    }
    while (b->Depth > a->Depth) {
        b = b->Parent;
        if (a == b)
            return true;
    }
    while (a->Parent != b->Parent) {
        a = a->Parent;
        b = b->Parent;
    }
    return a->Index < b->Index;
}

TReadAheadLister::TReadAheadLister(TReadAheadOptions options) : options_(std::move(options))
{
    if (options_.ListStep)
        listStep_ = options_.ListStep;
    else
        listStep_ = [](int fd, uint64_t device, TFolderListing& listing, TListScratch& scratch) {
            ListFolder(fd, device, listing, scratch);
        };
    if (options_.Workers == 0)
        options_.Workers = std::max(2u, std::thread::hardware_concurrency());
    options_.MaxReadyFolders = std::max<size_t>(options_.MaxReadyFolders, 1);
    if (options_.WaitTick <= std::chrono::milliseconds::zero())
        options_.WaitTick = std::chrono::milliseconds(1);
}

TReadAheadLister::~TReadAheadLister() { Shutdown(); }

void TReadAheadLister::Shutdown()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    workCv_.notify_all();
    for (std::thread& t : workers_)
        t.join();
    workers_.clear();
    for (TNode& n : nodes_)
        if (n.Fd >= 0)
            close(n.Fd);
    nodes_.clear();
    pending_.clear();
    kept_.clear();
    entered_.clear();
    wanted_ = nullptr;
    ready_ = 0;
    readyBytes_ = 0;
    stats_.OpenFolders = 0;
}

TReadAheadStats TReadAheadLister::Stats() const
{
    std::lock_guard lock(mutex_);
    TReadAheadStats s = stats_;
    s.Workers = options_.Workers;
    return s;
}

// ---- consumer -------------------------------------------------------------

bool TReadAheadLister::EnterRoot(const std::string& path, TFolderListing& listing)
{
    listing.Clear();
    Shutdown();
    std::unique_lock lock(mutex_);
    stopping_ = false;
    TNode& root = nodes_.emplace_back();
    root.Self = std::prev(nodes_.end());
    root.Name = path;
    pending_.insert(&root);
    ++ready_;
    workers_.reserve(options_.Workers);
    for (unsigned i = 0; i < options_.Workers; ++i)
        workers_.emplace_back([this] { WorkerLoop(); });
    return Take(&root, listing, lock);
}

bool TReadAheadLister::Enter(const TSubfolder& sub, TFolderListing& listing)
{
    listing.Clear();
    std::unique_lock lock(mutex_);
    if (stopping_ || entered_.empty() || sub.OtherFileSystem)
        return false;
    TNode* parent = entered_.back();
    std::vector<TNode*>& children = parent->Children;
    for (size_t i = parent->Cursor; i < children.size(); ++i) {
        TNode* child = children[i];
        if (!child || child->Name != sub.Name || child->Inode != sub.Inode)
            continue;
        // Subfolders passed over are never needed.
        for (; parent->Cursor < i; ++parent->Cursor)
            if (TNode* skipped = children[parent->Cursor])
                DropSubtree(skipped);
        ++parent->Cursor;
        return Take(child, listing, lock);
    }
    return false;
}

void TReadAheadLister::Leave()
{
    std::lock_guard lock(mutex_);
    if (entered_.empty())
        return;
    TNode* node = entered_.back();
    entered_.pop_back();
    while (node->Cursor < node->Children.size())
        if (TNode* child = node->Children[node->Cursor++])
            DropSubtree(child);
    Release(node);
    workCv_.notify_all();
}

// Waits until node is listed, then hands its listing over.
bool TReadAheadLister::Take(TNode* node, TFolderListing& listing, std::unique_lock<std::mutex>& lock)
{
    if (node->State == TTaskState::Pending) {
        wanted_ = node;
        workCv_.notify_all();
    }
    auto deadline = std::chrono::steady_clock::now() + options_.WaitTick;
    while (node->State != TTaskState::Done) {
        wanted_ = node;
        if (doneCv_.wait_until(lock, deadline) != std::cv_status::timeout)
            continue;
        if (node->State == TTaskState::Done)
            break;
        if (options_.Wait) {
            lock.unlock();
            const bool go = options_.Wait();
            lock.lock();
            if (!go)
                stopping_ = true;
        }
        if (stopping_) {
            wanted_ = nullptr;
            workCv_.notify_all();
            return false;
        }
        deadline = std::chrono::steady_clock::now() + options_.WaitTick;
    }
    wanted_ = nullptr;
    --ready_;
    readyBytes_ -= node->Bytes;
    node->Bytes = 0;
    workCv_.notify_all();  // room for more read-ahead
    if (!node->Opened) {
        Release(node);
        return false;
    }
    listing = std::move(node->Listing);
    node->Listing = TFolderListing();
    entered_.push_back(node);
    return true;
}

// Marks node and everything below it as never to be entered and frees what
// can be freed now; a folder being listed is freed by its worker.
void TReadAheadLister::DropSubtree(TNode* node)
{
    std::vector<TNode*> order;  // preorder: ancestors before descendants
    std::vector<TNode*> stack{node};
    while (!stack.empty()) {
        TNode* n = stack.back();
        stack.pop_back();
        order.push_back(n);
        for (auto it = n->Children.rbegin(); it != n->Children.rend(); ++it)
            if (*it)
                stack.push_back(*it);
    }
    for (TNode* n : order) {
        n->Cancelled = true;
        --ready_;
        if (n->State == TTaskState::Pending) {
            pending_.erase(n);
            if (n->Parent && --n->Parent->UnstartedChildren == 0)
                MaybeClose(n->Parent);
        } else if (n->State == TTaskState::Done) {
            readyBytes_ -= n->Bytes;
            n->Bytes = 0;
            n->Listing = TFolderListing();
        }
    }
    // Descendants first, so that no node is freed while a later one in the
    // list still needs it.
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        Release(*it);
}

// Drops one reference; frees the node, and then its parent in turn, when
// none is left.
void TReadAheadLister::Release(TNode* node)
{
    while (node && --node->Refs == 0) {
        TNode* parent = node->Parent;
        if (node->Fd >= 0)
            CloseFd(node);
        if (parent && node->Index < parent->Children.size() && parent->Children[node->Index] == node)
            parent->Children[node->Index] = nullptr;
        nodes_.erase(node->Self);
        node = parent;
    }
}

// ---- descriptors ----------------------------------------------------------

void TReadAheadLister::CountOpen(int delta)
{
    stats_.OpenFolders += delta;
    stats_.MostOpenFolders = std::max(stats_.MostOpenFolders, stats_.OpenFolders);
}

void TReadAheadLister::Keep(TNode* node, int fd)
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

void TReadAheadLister::MaybeClose(TNode* node)
{
    if (node->Fd >= 0 && node->Parent && node->FdUsers == 0 && node->UnstartedChildren == 0)
        CloseFd(node);
}

void TReadAheadLister::CloseFd(TNode* node)
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

TReadAheadLister::TNode* TReadAheadLister::NextTask()
{
    if (wanted_ && wanted_->State == TTaskState::Pending)
        return wanted_;
    if (pending_.empty() || ready_ - pending_.size() >= options_.MaxReadyFolders
        || readyBytes_ >= options_.MaxReadyBytes)
        return nullptr;
    return *pending_.begin();
}

void TReadAheadLister::WorkerLoop()
{
    TListScratch scratch;
    std::unique_lock lock(mutex_);
    for (;;) {
        TNode* node = nullptr;
        workCv_.wait(lock, [&] { return stopping_ || (node = NextTask()) != nullptr; });
        if (stopping_)
            return;
        pending_.erase(node);
        node->State = TTaskState::Running;
        ++node->Refs;
        TOpenPlan plan = PlanOpen(node);
        lock.unlock();

        uint64_t device = node->Device;
        uint64_t inode = node->Inode;
        TFolderListing listing;
        const int fd = OpenPlanned(node, plan, device, inode);
        if (fd >= 0) {
            try {
                listStep_(fd, device, listing, scratch);
            } catch (const std::exception&) {
                // Out of memory midway: what was read stays, as for a failed read.
            }
        }

        lock.lock();
        FinishTask(node, plan, fd, device, inode, listing);
    }
}

// Pins the nearest open ancestor (under the lock).
TReadAheadLister::TOpenPlan TReadAheadLister::PlanOpen(TNode* node)
{
    TOpenPlan plan;
    if (!node->Parent)
        return plan;
    TNode* a = node->Parent;
    while (a->Fd < 0) {  // the root's stays open while it has descendants
        plan.Steps.push_back(a);
        a = a->Parent;
    }
    std::reverse(plan.Steps.begin(), plan.Steps.end());
    ++a->FdUsers;
    plan.Anchor = a;
    plan.AnchorFd = a->Fd;
    --node->Parent->UnstartedChildren;
    stats_.Reopens += plan.Steps.size();
    // Descriptors this worker will hold, counted now so the figure is a bound.
    CountOpen(plan.Steps.empty() ? 1 : 2);
    return plan;
}

// Opens node (without the lock). Names, devices and inodes of nodes never
// change once made, so they are read here freely.
int TReadAheadLister::OpenPlanned(TNode* node, TOpenPlan& plan, uint64_t& device, uint64_t& inode)
{
    if (!node->Parent) {
        const int fd = OpenRootFolder(node->Name);
        if (fd >= 0 && !FolderIdentity(fd, device, inode)) {
            close(fd);
            return -1;
        }
        return fd;
    }
    int from = plan.AnchorFd;
    for (TNode* step : plan.Steps) {
        const int fd = OpenSubfolder(from, step->Name);
        if (plan.ParentFd >= 0)
            close(plan.ParentFd);
        plan.ParentFd = -1;
        if (fd < 0)
            return -1;
        if (!IsFolder(fd, step->Device, step->Inode)) {
            close(fd);  // replaced since it was listed
            return -1;
        }
        plan.ParentFd = fd;
        from = fd;
    }
    return OpenSubfolder(from, node->Name);
}

// Publishes a listing (under the lock).
void TReadAheadLister::FinishTask(TNode* node, TOpenPlan& plan, int fd, uint64_t device,
                                  uint64_t inode, TFolderListing& listing)
{
    if (!node->Parent)
        CountOpen(1);
    if (fd < 0)
        CountOpen(-1);
    if (TNode* anchor = plan.Anchor) {
        --anchor->FdUsers;
        MaybeClose(anchor);
    }
    if (plan.ParentFd >= 0) {
        TNode* parent = node->Parent;
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
        node->State = TTaskState::Done;
        Release(node);
        return;
    }

    node->Device = device;
    node->Inode = inode;
    node->Opened = fd >= 0;
    node->Listing = std::move(listing);
    size_t index = 0;
    auto hint = pending_.end();
    for (const TSubfolder& sub : node->Listing.Subfolders) {
        if (sub.OtherFileSystem)
            continue;
        TNode& child = nodes_.emplace_back();
        child.Self = std::prev(nodes_.end());
        child.Parent = node;
        child.Name = sub.Name;
        child.Device = sub.Device;
        child.Inode = sub.Inode;
        child.Depth = node->Depth + 1;
        child.Index = static_cast<uint32_t>(index++);
        node->Children.push_back(&child);
        ++node->Refs;
        hint = std::next(pending_.insert(hint, &child));
        ++ready_;
    }
    node->UnstartedChildren = static_cast<uint32_t>(node->Children.size());
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
    node->Bytes = sizeof(TNode) + ListingBytes(node->Listing, sizeof(TNode) + 64);
    readyBytes_ += node->Bytes;
    node->State = TTaskState::Done;
    stats_.MostReady = std::max(stats_.MostReady, ready_ - pending_.size());
    Release(node);
    if (node == wanted_)
        doneCv_.notify_one();
    if (!node->Children.empty())
        workCv_.notify_all();
}
