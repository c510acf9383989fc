// The read-ahead folder listing: worker threads open, list and measure
// folders ahead of the depth-first scan that consumes them.
//
// Protocol: one thread, the consumer (the UI thread, or the report mode's),
// owns the lister and calls EnterRoot, Enter and Leave as TFolderLister says;
// every listing it gets is exactly what the sequential lister would give.
// Leave below the root only counts; the next Enter lets go of the folders
// left, under the lock it takes anyway. EnterRoot starts the workers (Options.Workers, by
// default as many as the machine has hardware threads, at least 2); the
// destructor, or the next EnterRoot, stops and joins them. Workers never touch the size tree: all
// they share with the consumer is the lister's state under its one mutex.
//
// Order and bounds: workers first list the folder the consumer waits for,
// then the known but unlisted folders that come first in the depth-first
// order. They pause while MaxReadyFolders folders are listed or being
// listed and not yet entered, or while those listings hold MaxReadyBytes.
// Of each folder's subfolders at most MaxChildNodes wait as work items; the
// rest wait as plain listing entries.
//
// Waiting: while Enter or EnterRoot waits for a folder, it calls Options.Wait
// on the consumer's thread every WaitTick. When Wait returns false the lister
// stops: that call and every later Enter return false and the workers end
// (a worker inside a system call finishes that call first).
//
// Descriptors: the root's stays open for the scan; a listed folder keeps its
// descriptor while some of its subfolders are still to be opened, for at most
// MaxKeptFolders folders (least recently listed closed first); each worker
// holds at most two more while it works. A subfolder whose parent's
// descriptor is closed is reached again from the nearest open ancestor, each
// step checked to be the same folder. Below the root no link is followed and
// nothing but folders is opened.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "sizetree/AdaptiveMutex.h"
#include "sizetree/FolderRead.h"
#include "sizetree/Listing.h"

// Lists the open folder fd (on device) into listing; scratch belongs to the
// calling worker. Runs on worker threads, several at once.
using TListStep =
    std::function<void(int fd, uint64_t device, TFolderListing& listing, TListScratch& scratch)>;

struct TReadAheadOptions {
    unsigned Workers = 0;                  // 0: hardware threads, at least 2
    size_t MaxReadyFolders = 4096;
    size_t MaxReadyBytes = size_t{8} << 20;
    size_t MaxKeptFolders = 16;
    size_t MaxChildNodes = 64;             // per folder, made before they start
    std::chrono::milliseconds WaitTick{20};
    std::function<bool()> Wait;            // consumer's thread; false: stop
    TListStep ListStep;                    // empty: ListFolder
};

// Counters for tests and benchmarks.
struct TReadAheadStats {
    int OpenFolders = 0;      // descriptors held right now
    int MostOpenFolders = 0;  // the most held at once
    uint64_t Reopens = 0;     // ancestors opened again
    size_t MostReady = 0;     // the most listed-but-not-entered folders
    uint64_t ConsumerWaits = 0;  // folders not listed yet when asked for
    uint64_t WorkerWaits = 0;    // times a worker found nothing to do
    unsigned Workers = 0;
};

class TReadAheadLister : public TFolderLister {
public:
    explicit TReadAheadLister(TReadAheadOptions options = {});
    ~TReadAheadLister() override;
    TReadAheadLister(const TReadAheadLister&) = delete;
    TReadAheadLister& operator=(const TReadAheadLister&) = delete;

    bool EnterRoot(const std::string& path, TFolderListing& listing) override;
    bool Enter(const TSubfolder& sub, TFolderListing& listing) override;
    void Leave() override;

    TReadAheadStats Stats() const;

private:
    struct TNode;
    struct TPreorder {
        bool operator()(const TNode* a, const TNode* b) const;
    };
    struct TOpenPlan;

    void WorkerLoop();
    TNode* NextTask();
    TOpenPlan PlanOpen(TNode* node);
    int OpenPlanned(TNode* node, TOpenPlan& plan, uint64_t& device, uint64_t& inode);
    void FinishTask(TNode* node, TOpenPlan& plan, int fd, uint64_t device, uint64_t inode,
                    TFolderListing& listing);
    bool Take(TNode* node, TFolderListing& listing, TAdaptiveCondition::TLock& lock);
    void Keep(TNode* node, int fd);
    void MaybeClose(TNode* node);
    void CloseFd(TNode* node);
    void CountOpen(int delta);
    void DropSubtree(TNode* node);
    TNode* MakeChild(TNode* parent, const TSubfolder& sub);
    void MakeNextChild(TNode* parent);
    void DropSeeds(TNode* node, size_t end);
    void Release(TNode* node);
    void LeaveDue();
    void Shutdown();
    void WakeWorkers();
    void WakeConsumer();

    static constexpr size_t kConsumerBatch = 128;  // folders

    TReadAheadOptions options_;
    TListStep listStep_;
    mutable TAdaptiveMutex mutex_;
    TAdaptiveCondition workCv_;  // workers wait for tasks or room
    TAdaptiveCondition doneCv_;  // the consumer waits for wanted_
    std::list<TNode> nodes_;          // every folder the lister knows
    std::set<TNode*, TPreorder> pending_;  // known, not yet started
    std::list<TNode*> kept_;          // folders keeping a descriptor, newest first
    std::vector<TNode*> entered_;     // consumer's thread: entered, not let go
    size_t leavesDue_ = 0;            // consumer only: left, not yet let go
    TNode* wanted_ = nullptr;         // the folder the consumer waits for
    size_t ready_ = 0;                // listed or being listed, not entered
    size_t readyBytes_ = 0;
    unsigned idleWorkers_ = 0;        // workers waiting on workCv_
    bool consumerWaiting_ = false;    // the consumer waits on doneCv_
    bool stopping_ = false;
    TReadAheadStats stats_;
    std::vector<std::thread> workers_;
};
