// The read-ahead folder listing: worker threads open, list and measure
// folders ahead of the depth-first scan that consumes them.
//
// Protocol: one thread, the consumer (the UI thread, or the report mode's),
// owns the lister and calls RootReady, EnterRoot, Ready, Enter and Leave as
// TFolderLister says; every listing it gets is exactly what the sequential
// lister would give. Leave below the root only counts; the next Ready or
// Enter lets go of the folders left, under the lock it takes anyway.
// RootReady (or EnterRoot, when not asked before) starts the workers; the
// destructor, or the next root, stops and joins them. Workers never touch the
// size tree: all they share with the consumer is the lister's state under its
// one mutex.
//
// Pool: a scan starts with Options.Workers workers (by default as many as
// the machine has hardware threads, at least 2). While they wait on the
// device (sleep in the kernel, have blocks read) and folders wait to be
// listed, more are started or woken, up to Options.MaxWorkers (16 by
// default: 8 to 16 keep a local disk's queue full on a cold cache, and on a
// file system that answers each request after a round trip, where each
// worker keeps one in flight, 32 gained no more than 16; beyond that they
// only crowd the cores and the lock. Each costs a stack and at most two
// descriptors); when the work is on the CPU, the extra ones are let idle. sizetree/ReadAheadPool.h says how
// it tells. The bounds below hold for the whole pool, whatever its size.
//
// Order and bounds: workers first list the folder the consumer waits for,
// then the known but unlisted folders that come first in the depth-first
// order. They pause while MaxReadyFolders folders are listed or being
// listed and not yet entered, or while those listings hold MaxReadyBytes.
// Of each folder's subfolders at most MaxChildNodes wait as work items; the
// rest wait as plain listing entries.
//
// Route: the worker that opens the root fixes the scan's route
// (sizetree/ScanRoute.h) before it lists it: how subfolders are opened, and
// which folders' listings look at each subfolder; each node made below keeps
// its place in the route's mount tree.
//
// Waiting: Ready and RootReady wait at most their limit for the folder (and
// make it the one the workers list first); Enter and EnterRoot wait as long
// as it takes. A consumer that stops simply destroys the lister: the workers
// end (a worker inside a system call finishes that call first).
//
// Descriptors: the root's stays open for the scan; a listed folder keeps its
// descriptor while some of its subfolders are still to be opened, for at most
// MaxKeptFolders folders (least recently listed closed first); each worker
// holds at most two more while it works, and one more for a moment when it
// measures its times. A subfolder whose parent's descriptor is closed is
// reached again from the nearest open ancestor, each step checked to be the
// same folder. Below the root no link is followed and nothing but folders is
// opened.
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
#include "sizetree/ReadAheadPool.h"
#include "sizetree/ScanRoute.h"

// Lists the open folder fd (at place) into listing; scratch belongs to the
// calling worker. Runs on worker threads, several at once.
using FolderListStep =
    std::function<void(int fd, const FolderPlace& place, TFolderListing& listing, TListScratch& scratch)>;

struct ReadAheadOptions {
    unsigned Workers = 0;     // to start; 0: hardware threads, at least 2
    unsigned MaxWorkers = 0;  // the pool's bound; 0: 16; never below Workers
    size_t MaxReadyFolders = 4096;
    size_t MaxReadyBytes = size_t{8} << 20;
    size_t MaxKeptFolders = 16;
    size_t MaxChildNodes = 64;  // per folder, made before they start
    FolderListStep ListStep;    // empty: ListFolder
};

// Counters for tests and benchmarks.
struct ReadAheadStats {
    int OpenFolders = 0;         // descriptors held right now
    int MostOpenFolders = 0;     // the most held at once
    uint64_t Reopens = 0;        // ancestors opened again
    size_t MostReady = 0;        // the most listed-but-not-entered folders
    uint64_t ConsumerWaits = 0;  // folders not listed yet when asked for
    uint64_t WorkerWaits = 0;    // times a worker found nothing to do
    unsigned Workers = 0;        // the most worker threads at once
};

class ReadAheadLister : public TFolderLister {
public:
    explicit ReadAheadLister(ReadAheadOptions options = {});
    ~ReadAheadLister() override;
    ReadAheadLister(const ReadAheadLister&) = delete;
    ReadAheadLister& operator=(const ReadAheadLister&) = delete;

    bool EnterRoot(const std::string& path, TFolderListing& listing) override;
    void SetOpenedRoot(int fd) override;
    bool Enter(const TSubfolder& sub, TFolderListing& listing) override;
    void Leave() override;
    bool RootReady(const std::string& path, std::chrono::nanoseconds limit) override;
    bool Ready(const TSubfolder& sub, std::chrono::nanoseconds limit) override;

    ReadAheadStats Stats() const;

private:
    struct Folder;
    struct Preorder {
        bool operator()(const Folder* a, const Folder* b) const;
    };
    struct OpenPlan;

    void WorkerLoop(unsigned index);
    Folder* NextTask();
    bool WorkQueued() const;
    void Resize(unsigned active);
    void StartWorker();
    OpenPlan PlanOpen(Folder* node);
    int OpenPlanned(Folder* node, OpenPlan& plan, uint64_t& device, uint64_t& inode);
    void FinishTask(Folder* node, OpenPlan& plan, int fd, uint64_t device, uint64_t inode,
                    TFolderListing& listing);
    void StartRoot(const std::string& path);
    Folder* FindChild(const TSubfolder& sub);
    bool WaitListed(Folder* node, std::chrono::nanoseconds limit, AdaptiveCondition::Lock& lock);
    bool Take(Folder* node, TFolderListing& listing, AdaptiveCondition::Lock& lock);
    void Keep(Folder* node, int fd);
    void MaybeClose(Folder* node);
    void CloseFd(Folder* node);
    void CountOpen(int delta);
    void DropSubtree(Folder* node);
    Folder* MakeChild(Folder* parent, const TSubfolder& sub);
    void MakeNextChild(Folder* parent);
    void DropSeeds(Folder* node, size_t end);
    void Release(Folder* node);
    void LeaveDue();
    void Shutdown();
    void WakeWorkers();
    void WakeConsumer();

    static constexpr size_t kConsumerBatch = 128;  // folders

    ReadAheadOptions options_;
    FolderListStep listStep_;
    mutable AdaptiveMutex mutex_;
    AdaptiveCondition workCv_;             // workers wait for tasks or room
    AdaptiveCondition doneCv_;             // the consumer waits for wanted_
    AdaptiveCondition spareCv_;            // workers beyond active_ wait to be needed
    std::list<Folder> nodes_;              // every folder the lister knows
    std::set<Folder*, Preorder> pending_;  // known, not yet started
    std::list<Folder*> kept_;              // folders keeping a descriptor, newest first
    std::vector<Folder*> entered_;         // consumer's thread: entered, not let go
    ScanRoute route_;                      // set once the root is listed; nodes point into it
    size_t leavesDue_ = 0;                 // consumer only: left, not yet let go
    Folder* wanted_ = nullptr;             // the folder the consumer waits for
    Folder* root_ = nullptr;               // started, not yet entered
    int openedRoot_ = -1;                  // SetOpenedRoot's, until the root's worker takes it
    size_t ready_ = 0;                     // listed or being listed, not entered
    size_t readyBytes_ = 0;
    unsigned idleWorkers_ = 0;  // workers waiting on workCv_
    PoolSizer sizer_{1, 1};
    unsigned active_ = 0;           // workers 0 .. active_ - 1 take tasks
    bool consumerWaiting_ = false;  // the consumer waits on doneCv_
    bool stopping_ = false;
    ReadAheadStats stats_;
    std::vector<std::thread> workers_;
};
