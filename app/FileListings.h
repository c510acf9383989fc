// FileListings: the window's listings of loose files, one FILES entry at a
// time, asked for by expanding or selecting the entry (or F5 on it).
//
// Protocol: the main window owns one FileListings, created after its tree and
// destroyed before it; everything but the listing itself runs on the UI
// thread. Request(files) takes the folder's linked files counted elsewhere
// from the root's ledger and, on a worker thread, reaches the folder by the
// checked walk of sizetree/EntryWalk.h and lists it (always: a folder of a
// few files on a slow or hung file system costs as much as a large one, and
// one path is one path to test); a folder no longer the one scanned lists
// nothing and says which folder changed. The result comes back as a
// queued call, and is put into the tree through hooks.Change. A request for
// an entry whose listing runs already is ignored. A deletion watch follows
// each entry: when it or an ancestor goes meanwhile (a new Go of its root, a
// rescan of its folder, a move to the trash), the listing is dropped.
// While hooks.Busy() (a scan, rescan or removal runs), requests wait and
// finished listings are held; Resume(), called when that work ends, starts
// and puts them. hooks.Working(true) when the first listing starts, (false)
// when the last one is put or dropped. Destruction waits for running
// listings to end. Nothing is kept for entries nobody asked for.
#pragma once

#include <QObject>
#include <QThreadPool>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "sizetree/DeletionWatch.h"
#include "sizetree/LinkLedger.h"
#include "sizetree/LooseFiles.h"
#include "sizetree/Rescan.h"
#include "sizetree/SizeTree.h"

// True when entry is a FILES entry whose loose files can be listed and are
// not: the scan counted files in its folder, which could be read, and no
// listing of them failed.
bool FilesToList(const TTreeEntry& entry);

struct FileListingHooks {
    std::function<bool()> Busy;
    std::function<LinkLedger&(const TTreeEntry*)> LedgerOf;
    // Runs change, the put, keeping the selection; then refreshes the views.
    std::function<void(const std::function<void(const TreeChangeHooks&)>& change)> Change;
    std::function<void(bool working)> Working;
    std::function<void(const QString& text)> Notice;  // a listing failed, and why
};

class FileListings : public QObject {
    Q_OBJECT
public:
    FileListings(TSizeTree& tree, FileListingHooks hooks);
    ~FileListings() override;

    // Lists (again) the loose files of a FILES entry.
    void Request(TTreeEntry* files);
    // True while a listing waits, runs or waits to be put.
    bool Active() const { return !jobs_.empty(); }
    void Resume();

private:
    struct Outcome {
        WalkPlan Plan;  // made before the worker starts
        LooseFileListing Listing;
    };
    struct Job {
        TTreeEntry* Files;
        std::unique_ptr<DeletionWatch> Watch;
        std::shared_ptr<Outcome> Result;  // written by the worker
        bool Started = false;
        bool Done = false;
    };

    void Start(Job& job, uint64_t id);
    void Finished(uint64_t id);
    void Put(std::map<uint64_t, Job>::iterator at);
    void Settle(bool wasActive);

    TSizeTree& tree_;
    FileListingHooks hooks_;
    std::map<uint64_t, Job> jobs_;
    uint64_t nextId_ = 0;
    QThreadPool pool_;
};
