// ScanSession: the window's scanned roots and what runs on them. It owns the
// size tree, a link ledger per root (sizetree/LinkLedger.h) and the listings
// of loose files (sizetree/ListingQueue.h); it runs scans (Go), rescans (F5),
// moves to the trash (Delete), re-sorts and listings, keeps one busy state
// for all of them and tells what changed by its signals. No widgets.
//
// Protocol: the window makes one, builds its model over Tree() and hands it a
// SelectionKeeper before the first scan. Everything runs on the UI thread
// but the listings themselves. One scan runs at a time (a scan, a rescan or
// a move), processing events at most every 10 ms (sizetree/Scan.h);
// meanwhile Go is ignored, Rescan and MoveToTrash are refused (Notice says
// why), listings asked for wait and finished ones are held until it ends,
// and a re-sort may run. Busy() (the busy animation shows) while a scan, a
// re-sort or a listing runs, a listing from its request until it is put or
// dropped. Working(true) comes at the start of every scan, rescan, move and
// re-sort and when a listing makes an idle session busy, Working(false) when
// the last of them ends. ScanStarted and ScanFinished frame every scan,
// rescan and move; ScanSampled comes from its event hook, just before events
// are processed. SizesChanged follows every rescan, move and listing put.
// Notice is for the status bar, Warning for a dialog.
//
// A listing travels in two hops each way: WantFiles queues itself once (a
// request may come from inside a change of the tree) and hands the entry to
// the queue's worker; the worker wakes the session by a queued call, which
// puts the files into the tree and says so.
//
// Every root scan that ends unstopped (Go, or F5 on a root) is handed to its
// ScanMemory (app/ScanMemory.h): remembered unless the window said not to,
// and the root compared with its earlier scan from then on.
#pragma once

#include <QModelIndex>
#include <QObject>
#include <map>
#include <string>

#include "app/ScanMemory.h"
#include "sizetree/LinkLedger.h"
#include "sizetree/ListingQueue.h"
#include "sizetree/Ordering.h"
#include "sizetree/Rescan.h"
#include "sizetree/Scan.h"
#include "sizetree/SizeTree.h"

class SelectionKeeper;

class ScanSession : public QObject {
    Q_OBJECT
public:
    ScanSession();

    TSizeTree& Tree() { return tree_; }
    void SetSelection(SelectionKeeper& keeper) { keeper_ = &keeper; }

    // Go, in two steps: AddRoot takes out the roots of that path (trailing
    // "/" dropped) and appends a new one (nothing while a scan runs, or for
    // an empty path); ScanRoot scans it, busy, and gives it the drive image.
    TTreeEntry* AddRoot(std::string path);
    void ScanRoot(TTreeEntry* root);
    void ScanFolder(TTreeEntry* entry);
    void SortSubtree(TTreeEntry* entry) { ::SortSubtree(tree_, entry); }
    void Resort(TTVCompareEvent compare);
    // A folder scanned again in place; on a FILES entry, a listed file or
    // the smaller files, the folder's files listed afresh.
    void Rescan(TTreeEntry* entry);
    // Once the user agreed (app/EntryTrash.h judges first).
    void MoveToTrash(TTreeEntry* entry);
    // Lists the FILES entry at index later, if still to be listed.
    void WantFiles(const QModelIndex& index);
    // Ends a running scan at its next folder.
    void RequestStop() { stopRequested_ = scanning_; }

    bool Scanning() const { return scanning_; }
    bool Busy() const { return scanning_ || resorts_ > 0 || listings_.Active(); }
    bool ListingFiles() const { return listings_.Active(); }

    // Remembered scans and what each root is compared with.
    ScanMemory& Memory() { return memory_; }
    // The root at a path (trailing "/" as AddRoot keeps it), or null.
    TTreeEntry* RootAt(const std::string& path);
    // The entry at a path below an existing root, or null.
    TTreeEntry* EntryAt(const std::string& path);
    // Compares the root at savedRoot's path with savedRoot as it is now
    // (a saved scan opened in the window, before F5 scans it afresh), or
    // with a saved scan's file read on the worker.
    void ShowChangesAgainst(const TTreeEntry& savedRoot, const std::string& savedFile);
    void ShowChangesAgainst(const std::string& rootPath, const std::string& savedFile);

signals:
    void Working(bool on);
    void ScanStarted(const std::string& path);
    void ScanSampled(const ScanProgress& progress);
    void ScanFinished(const ScanProgress& progress);
    void SizesChanged();
    void Notice(const QString& text);
    void Warning(const QString& text);

private:
    // Runs scan busy, then lets the listings go on.
    void RunBusy(const std::function<void()>& scan);
    // A rescan or removal as a scan, the selection kept.
    void ChangeBusy(const std::string& path, const std::function<void(const TreeChangeHooks&)>& change);
    TScanHooks ScanHooks(ScanProgress& progress);
    LinkLedger& LedgerOf(const TTreeEntry* entry) { return ledgers_[entry->Root()]; }
    void ListFiles(TTreeEntry* files);
    // Starts the waiting listings and puts the finished ones; during a scan
    // drops the lost ones only.
    void ResumeListings();
    void PutListing(FinishedListing finished);
    // Working(on) when Busy() changed since wasBusy.
    void Settle(bool wasBusy);
    // After a root's scan or rescan that ran to its end.
    void RememberRoot(const std::string& path, int64_t scanTime);

    // Declared before the queue, whose watches observe it.
    TSizeTree tree_;
    std::map<const TTreeEntry*, LinkLedger> ledgers_;
    ListingQueue listings_;
    SelectionKeeper* keeper_ = nullptr;
    ScanMemory memory_;
    bool scanning_ = false;
    int resorts_ = 0;
    bool stopRequested_ = false;
};
