#include "sizetree/ListingQueue.h"

#include <algorithm>
#include <utility>

ListingQueue::ListingQueue(TSizeTree& tree, std::function<void()> wake, unsigned workers, ListStep list)
    : tree_(tree), wake_(std::move(wake)), list_(std::move(list)), maxWorkers_(std::max(workers, 1u))
{
    if (!list_)
        list_ = [](const WalkPlan& plan, const FileIdSet& elsewhere) {
            return ListLooseFilesAt(plan, elsewhere);
        };
}

ListingQueue::~ListingQueue()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    workCv_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
}

bool ListingQueue::Request(TTreeEntry* files, ListStep list)
{
    if (!files || !files->IsFiles() || !files->Parent())
        return false;
    // A lost job's entry may be gone and its address taken by another.
    for (const Job& job : jobs_)
        if (job.Files == files && !job.Watch->Lost())
            return false;
    jobs_.push_back(Job{files, std::make_unique<DeletionWatch>(tree_, files), std::move(list), nullptr});
    return true;
}

void ListingQueue::StartWaiting(const LedgerOf& ledgerOf)
{
    DropLost();
    std::vector<std::shared_ptr<Work>> started;
    for (Job& job : jobs_) {
        if (job.Started)
            continue;
        const TTreeEntry* folder = job.Files->Parent();
        job.Started = std::make_shared<Work>();
        job.Started->Plan = PlanWalk(*folder);
        job.Started->Elsewhere = LinksCountedElsewhere(ledgerOf(folder), folder);
        job.Started->List = std::move(job.List);
        started.push_back(job.Started);
    }
    if (started.empty())
        return;
    {
        std::lock_guard lock(mutex_);
        queued_.insert(queued_.end(), started.begin(), started.end());
    }
    workCv_.notify_all();
    for (size_t i = 0; i < started.size() && workers_.size() < maxWorkers_; ++i)
        workers_.emplace_back([this] { WorkerLoop(); });
}

std::optional<FinishedListing> ListingQueue::TakeFinished()
{
    DropLost();
    std::lock_guard lock(mutex_);
    for (auto at = jobs_.begin(); at != jobs_.end(); ++at) {
        if (!at->Started || !at->Started->Done)
            continue;
        FinishedListing finished{at->Files, std::move(at->Started->Plan), std::move(at->Started->Listing)};
        jobs_.erase(at);
        return finished;
    }
    return std::nullopt;
}

void ListingQueue::DropLost()
{
    std::lock_guard lock(mutex_);
    jobs_.remove_if([](const Job& job) { return job.Watch->Lost() && (!job.Started || job.Started->Done); });
}

void ListingQueue::WorkerLoop()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        workCv_.wait(lock, [this] { return stopping_ || !queued_.empty(); });
        if (stopping_)
            return;
        const std::shared_ptr<Work> work = std::move(queued_.front());
        queued_.pop_front();
        lock.unlock();
        const ListStep& list = work->List ? work->List : list_;
        LooseFileListing listing = list(work->Plan, work->Elsewhere);
        lock.lock();
        work->Listing = std::move(listing);
        work->Done = true;
        lock.unlock();
        wake_();
        lock.lock();
    }
}
