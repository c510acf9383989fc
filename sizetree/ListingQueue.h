// ListingQueue: the listings of loose files asked for, one FILES entry each,
// made on worker threads and handed back to the tree's thread.
//
// Protocol: the owner (the window's scan session) makes one queue per tree
// and calls everything on the tree's thread; only the listing itself
// (ListLooseFilesAt, sizetree/LooseFiles.h) and `wake` run on the workers.
//   1. Request(files) notes a FILES entry to list (again) and watches it
//      (sizetree/DeletionWatch.h); a request for an entry whose listing
//      waits, runs or is not yet taken is ignored.
//   2. StartWaiting(ledgerOf) starts every noted request: on the calling
//      thread it plans the walk to the folder (sizetree/EntryWalk.h) and
//      takes the files counted elsewhere from ledgerOf(folder); a worker
//      then reaches the folder and lists it as it is now. At most `workers`
//      list at once (a listing is bound by the disk). The owner calls it
//      when nothing that changes the tree runs (a scan, a rescan, a removal):
//      until then requests wait.
//   3. After each listing its worker calls wake(), which must get the tree's
//      thread to call TakeFinished soon (a queued call) and do nothing else.
//      TakeFinished hands over one finished listing whose FILES entry still
//      exists, in the order asked, or nothing; the owner puts it into the
//      tree (PutLooseFiles) or shows its error.
// A listing whose FILES entry, or an ancestor of it, is deleted before it is
// taken (a new scan of its root, a rescan of its folder, a move to the
// trash) is dropped, never handed over: by StartWaiting, TakeFinished or
// DropLost once it is not running. Active() is true from a request until
// its listing is taken or dropped. The tree must outlive the queue; the
// destructor lets running listings end (wake may still be called until it
// returns) and drops the rest.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "sizetree/DeletionWatch.h"
#include "sizetree/EntryWalk.h"
#include "sizetree/LinkLedger.h"
#include "sizetree/LooseFiles.h"
#include "sizetree/SizeTree.h"

struct FinishedListing {
    TTreeEntry* Files = nullptr;  // the FILES entry, still in the tree
    WalkPlan Plan;                // the walk to its folder, to name a refusal
    LooseFileListing Listing;
};

class ListingQueue {
public:
    using LedgerOf = std::function<const LinkLedger&(const TTreeEntry* folder)>;
    // How a worker lists a folder (tests slow it down); empty: ListLooseFilesAt.
    using ListStep = std::function<LooseFileListing(const WalkPlan& plan, const FileIdSet& elsewhere)>;

    ListingQueue(TSizeTree& tree, std::function<void()> wake, unsigned workers = 2, ListStep list = {});
    ~ListingQueue();
    ListingQueue(const ListingQueue&) = delete;
    ListingQueue& operator=(const ListingQueue&) = delete;

    // False when files is no FILES entry below a folder, or is asked for already.
    bool Request(TTreeEntry* files);
    void StartWaiting(const LedgerOf& ledgerOf);
    std::optional<FinishedListing> TakeFinished();
    void DropLost();
    bool Active() const { return !jobs_.empty(); }

private:
    // A started listing: Plan and Elsewhere are set before a worker sees it;
    // Listing and Done are written by the worker, under mutex_.
    struct Work {
        WalkPlan Plan;
        FileIdSet Elsewhere;
        LooseFileListing Listing;
        bool Done = false;
    };
    struct Job {
        TTreeEntry* Files = nullptr;
        std::unique_ptr<DeletionWatch> Watch;
        std::shared_ptr<Work> Started;  // null while it waits
    };

    void WorkerLoop();

    TSizeTree& tree_;
    std::function<void()> wake_;
    ListStep list_;
    unsigned maxWorkers_;
    std::list<Job> jobs_;  // the tree's thread only; in the order asked
    std::mutex mutex_;
    std::condition_variable workCv_;
    std::deque<std::shared_ptr<Work>> queued_;  // guarded: started, no worker yet
    bool stopping_ = false;                     // guarded
    std::vector<std::thread> workers_;          // the tree's thread only
};
