// ListingQueue: the listings of loose files asked for, one FILES entry each,
// made on worker threads and handed back to the tree's thread.
//
// Protocol: the owner (the window's scan session) calls everything on the
// tree's thread, which must outlive the queue; only the listing itself
// (ListLooseFilesAt, sizetree/LooseFiles.h) and `wake` run on the workers.
//   1. Request(files) notes a FILES entry and watches it; a request for an
//      entry whose listing waits, runs or is not yet taken is ignored. A
//      request may bring its own ListStep (the files of a saved scan are
//      read from its file, not the disk); it runs on a worker as the
//      queue's own would.
//   2. StartWaiting(ledgerOf), called when nothing changes the tree (no
//      scan, rescan or removal runs; till then requests wait), plans the
//      walk to each noted folder (sizetree/EntryWalk.h) and takes the files
//      counted elsewhere from ledgerOf(folder); a worker then lists it as it
//      is now, at most `workers` at once (a listing is bound by the disk).
//   3. After each listing its worker calls wake(), which must only get the
//      tree's thread to call TakeFinished soon (a queued call). TakeFinished
//      hands over one finished listing, in the order asked, or nothing.
// A listing whose FILES entry or an ancestor went before it was taken (a new
// scan of its root, a rescan of its folder, a move to the trash) is dropped,
// never handed over: by StartWaiting, TakeFinished or DropLost, once it is
// not running. Active() from a request until its listing is taken or
// dropped. The destructor lets running listings end (wake may come until it
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

    // False when files is no FILES entry, or asked for already. list: how
    // this one is listed; empty: as the queue lists.
    bool Request(TTreeEntry* files, ListStep list = {});
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
        ListStep List;  // empty: the queue's
        LooseFileListing Listing;
        bool Done = false;
    };
    struct Job {
        TTreeEntry* Files = nullptr;
        std::unique_ptr<DeletionWatch> Watch;
        ListStep List;
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
