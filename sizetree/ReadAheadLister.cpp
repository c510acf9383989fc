#include "sizetree/ReadAheadLister.h"

#include <unistd.h>

#include <algorithm>
#include <utility>

#include "sizetree/ReadAheadNode.h"

bool ReadAheadLister::Preorder::operator()(const Folder* a, const Folder* b) const
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

ReadAheadLister::ReadAheadLister(ReadAheadOptions options) : options_(std::move(options))
{
    if (options_.ListStep)
        listStep_ = options_.ListStep;
    else
        listStep_ = [](int fd, const FolderPlace& place, TFolderListing& listing, TListScratch& scratch) {
            ListFolder(fd, place, listing, scratch);
        };
    if (options_.Workers == 0)
        options_.Workers = std::max(2u, std::thread::hardware_concurrency());
    if (options_.MaxWorkers == 0)
        options_.MaxWorkers = 16;
    options_.MaxWorkers = std::max(options_.MaxWorkers, options_.Workers);
    options_.MaxReadyFolders = std::max<size_t>(options_.MaxReadyFolders, 1);
    options_.MaxChildNodes = std::max<size_t>(options_.MaxChildNodes, 1);
}

ReadAheadLister::~ReadAheadLister()
{
    Shutdown();
    if (openedRoot_ >= 0)
        close(openedRoot_);
}

void ReadAheadLister::SetOpenedRoot(int fd)
{
    std::lock_guard lock(mutex_);
    if (openedRoot_ >= 0)
        close(openedRoot_);
    openedRoot_ = fd;
}

void ReadAheadLister::Shutdown()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    workCv_.notify_all();
    spareCv_.notify_all();
    for (std::thread& t : workers_)
        t.join();
    workers_.clear();
    for (Folder& n : nodes_)
        if (n.Fd >= 0)
            close(n.Fd);
    nodes_.clear();
    pending_.clear();
    kept_.clear();
    entered_.clear();
    leavesDue_ = 0;
    wanted_ = nullptr;
    root_ = nullptr;
    ready_ = 0;
    readyBytes_ = 0;
    stats_.OpenFolders = 0;
}

ReadAheadStats ReadAheadLister::Stats() const
{
    std::lock_guard lock(mutex_);
    ReadAheadStats s = stats_;
    return s;
}

// ---- consumer -------------------------------------------------------------

// Stops the last scan's workers and starts new ones at path.
void ReadAheadLister::StartRoot(const std::string& path)
{
    Shutdown();
    std::lock_guard lock(mutex_);
    stopping_ = false;
    Folder& root = nodes_.emplace_back();
    root.Self = std::prev(nodes_.end());
    root.Name = path;
    pending_.insert(&root);
    ++ready_;
    root_ = &root;
    sizer_ = PoolSizer(options_.Workers, options_.MaxWorkers);
    active_ = 0;
    workers_.reserve(options_.MaxWorkers);
    Resize(sizer_.Active());
}

// root_ changes on the consumer's thread only, and a node's name never.
bool ReadAheadLister::RootReady(const std::string& path, std::chrono::nanoseconds limit)
{
    if (!root_ || root_->Name != path)
        StartRoot(path);
    std::unique_lock lock(mutex_);
    return WaitListed(root_, limit, lock);
}

bool ReadAheadLister::EnterRoot(const std::string& path, TFolderListing& listing)
{
    listing.Clear();
    if (!root_ || root_->Name != path)
        StartRoot(path);
    std::unique_lock lock(mutex_);
    Folder* root = root_;
    root_ = nullptr;
    return Take(root, listing, lock);
}

bool ReadAheadLister::Ready(const TSubfolder& sub, std::chrono::nanoseconds limit)
{
    std::unique_lock lock(mutex_);
    LeaveDue();
    if (stopping_ || entered_.empty() || sub.OtherFileSystem)
        return true;  // Enter fails at once
    Folder* node = FindChild(sub);
    return !node || WaitListed(node, limit, lock);
}

bool ReadAheadLister::Enter(const TSubfolder& sub, TFolderListing& listing)
{
    listing.Clear();
    std::unique_lock lock(mutex_);
    LeaveDue();
    if (stopping_ || entered_.empty() || sub.OtherFileSystem)
        return false;
    Folder* node = FindChild(sub);
    if (!node)
        return false;
    ++entered_.back()->Cursor;
    return Take(node, listing, lock);
}

// The node of sub, a subfolder of the folder entered last, made from its
// seed if need be; null when unknown. The subfolders before it that were
// passed over are never needed: dropped. Leaves the cursor on it (under the
// lock).
ReadAheadLister::Folder* ReadAheadLister::FindChild(const TSubfolder& sub)
{
    Folder* parent = entered_.back();
    std::vector<Folder*>& children = parent->Children;
    auto matches = [&](const std::string& name, uint64_t inode) {
        return name == sub.Name && inode == sub.Inode;
    };
    size_t i = parent->Cursor;
    while (i < children.size() && !(children[i] && matches(children[i]->Name, children[i]->Inode)))
        ++i;
    if (i == children.size()) {
        size_t j = parent->NextSeed;
        const std::vector<TSubfolder>& seeds = parent->Seeds;
        while (j < seeds.size() && !matches(seeds[j].Name, seeds[j].Inode))
            ++j;
        if (j == seeds.size())
            return nullptr;
        DropSeeds(parent, j);
        MakeChild(parent, seeds[parent->NextSeed++]);
    }
    for (; parent->Cursor < i; ++parent->Cursor)
        if (Folder* skipped = children[parent->Cursor])
            DropSubtree(skipped);
    return children[i];
}

// Mostly only counts: the folders left are let go at the next Enter, under
// the lock that Enter takes anyway, so the consumer locks once per folder, not
// twice. Leaving the root lets go at once: nothing stays held after a scan.
// (entered_ changes on the consumer's thread only.)
void ReadAheadLister::Leave()
{
    if (++leavesDue_ < entered_.size())
        return;
    std::lock_guard lock(mutex_);
    LeaveDue();
}

// Lets go of the folders left since the last call (under the lock).
void ReadAheadLister::LeaveDue()
{
    if (leavesDue_ == 0)
        return;
    for (; leavesDue_ > 0 && !entered_.empty(); --leavesDue_) {
        Folder* node = entered_.back();
        entered_.pop_back();
        DropSeeds(node, node->Seeds.size());
        while (node->Cursor < node->Children.size())
            if (Folder* child = node->Children[node->Cursor++])
                DropSubtree(child);
        Release(node);
    }
    leavesDue_ = 0;
    WakeWorkers();
}

// Wakes idle workers when there is work for them and, while the read-ahead
// is full, only once a quarter of it has been consumed: fewer wake-ups.
void ReadAheadLister::WakeWorkers()
{
    if (idleWorkers_ == 0 || stopping_)
        return;
    const size_t inFlight = ready_ - pending_.size();
    const size_t resume = options_.MaxReadyFolders - options_.MaxReadyFolders / 4;
    if (wanted_ && wanted_->State == TaskState::Pending)
        workCv_.notify_all();
    else if (!pending_.empty() && inFlight <= resume && readyBytes_ < options_.MaxReadyBytes)
        workCv_.notify_all();
}

// Waits at most limit (nanoseconds::max(): for good) until node is listed,
// and makes it the workers' first task meanwhile; true once it is.
bool ReadAheadLister::WaitListed(Folder* node, std::chrono::nanoseconds limit, AdaptiveCondition::Lock& lock)
{
    if (node->State == TaskState::Done)
        return true;
    if (wanted_ != node) {
        wanted_ = node;
        ++stats_.ConsumerWaits;
        WakeWorkers();
    }
    const bool forever = limit == std::chrono::nanoseconds::max();
    const auto deadline = forever ? std::chrono::steady_clock::time_point::max()
                                  : std::chrono::steady_clock::now() + limit;
    while (node->State != TaskState::Done) {
        consumerWaiting_ = true;
        std::cv_status status = std::cv_status::no_timeout;
        if (forever)
            doneCv_.wait(lock);
        else
            status = doneCv_.wait_until(lock, deadline);
        consumerWaiting_ = false;
        if (status == std::cv_status::timeout)
            return node->State == TaskState::Done;
    }
    return true;
}

// Waits until node is listed, then hands its listing over.
bool ReadAheadLister::Take(Folder* node, TFolderListing& listing, AdaptiveCondition::Lock& lock)
{
    WaitListed(node, std::chrono::nanoseconds::max(), lock);
    wanted_ = nullptr;
    --ready_;
    readyBytes_ -= node->Bytes;
    node->Bytes = 0;
    WakeWorkers();  // room for more read-ahead
    if (!node->Opened) {
        listing.Error = node->Listing.Error;
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
void ReadAheadLister::DropSubtree(Folder* node)
{
    std::vector<Folder*> order;  // preorder: ancestors before descendants
    std::vector<Folder*> stack{node};
    while (!stack.empty()) {
        Folder* n = stack.back();
        stack.pop_back();
        order.push_back(n);
        for (auto it = n->Children.rbegin(); it != n->Children.rend(); ++it)
            if (*it)
                stack.push_back(*it);
    }
    for (Folder* n : order) {
        n->Cancelled = true;
        --ready_;
        DropSeeds(n, n->Seeds.size());
        if (n->State == TaskState::Pending) {
            pending_.erase(n);
            if (n->Parent && --n->Parent->UnstartedChildren == 0)
                MaybeClose(n->Parent);
        } else if (n->State == TaskState::Done) {
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

// A child node for sub, last among parent's children, waiting to be listed.
ReadAheadLister::Folder* ReadAheadLister::MakeChild(Folder* parent, const TSubfolder& sub)
{
    Folder& child = nodes_.emplace_back();
    child.Self = std::prev(nodes_.end());
    child.Parent = parent;
    child.Name = sub.Name;
    child.Device = sub.Device;
    child.Inode = sub.Inode;
    child.Depth = parent->Depth + 1;
    child.Index = static_cast<uint32_t>(parent->Children.size());
    child.Mounts = MountDirBelow(parent->Mounts, sub.Name);
    parent->Children.push_back(&child);
    ++parent->Refs;
    pending_.insert(&child);
    ++ready_;
    return &child;
}

// One more of parent's seeds becomes a node (a sibling has started).
void ReadAheadLister::MakeNextChild(Folder* parent)
{
    if (parent->Cancelled || parent->NextSeed >= parent->Seeds.size())
        return;
    MakeChild(parent, parent->Seeds[parent->NextSeed++]);
    if (parent->NextSeed == parent->Seeds.size()) {
        parent->NextSeed = 0;
        std::vector<TSubfolder>().swap(parent->Seeds);
    }
}

// Seeds from NextSeed up to end will never be entered.
void ReadAheadLister::DropSeeds(Folder* node, size_t end)
{
    if (end <= node->NextSeed)
        return;
    node->UnstartedChildren -= static_cast<uint32_t>(end - node->NextSeed);
    node->NextSeed = end;
    if (node->NextSeed == node->Seeds.size()) {
        node->NextSeed = 0;
        std::vector<TSubfolder>().swap(node->Seeds);
    }
    MaybeClose(node);
}

// Drops one reference; frees the node, and then its parent in turn, when
// none is left.
void ReadAheadLister::Release(Folder* node)
{
    while (node && --node->Refs == 0) {
        Folder* parent = node->Parent;
        if (node->Fd >= 0)
            CloseFd(node);
        if (parent && node->Index < parent->Children.size() && parent->Children[node->Index] == node)
            parent->Children[node->Index] = nullptr;
        nodes_.erase(node->Self);
        node = parent;
    }
}
