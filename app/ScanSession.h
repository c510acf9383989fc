// ScanSession: the window's scanned roots and what runs on them. It owns the
// size tree, one link ledger per root (sizetree/LinkLedger.h) and the
// listings of loose files (sizetree/ListingQueue.h); it runs scans (Go),
// rescans (F5), moves to the trash (Delete), re-sorts and listings, keeps
// one busy state for all of them and says what changed by its signals. It
// has no widgets: the window draws, asks and shows.
//
// Protocol: the window makes one session, builds its model over Tree() and
// hands it a SelectionKeeper (app/SelectionKeeper.h) before the first scan.
// Everything runs on the UI thread, but the listings themselves.
//
// Busy state: one scan at a time (a scan, a rescan or a move); it processes
// events at most every 10 ms (sizetree/Scan.h), and meanwhile Go is ignored,
// Rescan and MoveToTrash are refused (Notice says why), a listing asked for
// waits and a finished one is held until the scan ends, and a re-sort may
// run, which leaves the animation to the scan. Scanning() says whether a
// scan runs; Busy() whether the busy animation is shown: while a scan, a
// re-sort or a listing runs (a listing from its request until it is put or
// dropped). Working(true) comes at the start of every scan, rescan, move and
// re-sort, and when a listing asked for makes an idle session busy;
// Working(false) when the last of them has ended.
//
// Signals: ScanStarted and ScanFinished frame every scan, rescan and move
// (Go is disabled in between); ScanSampled comes from its event hook, just
// before events are processed. SizesChanged follows every rescan, move and
// listing put: the selected entry's chart and entry line follow. Notice is a
// line for the status bar, Warning one for a dialog.
//
// A listing travels in two hops each way: WantFiles (the model's
// FilesWanted, or a FILES entry selected) queues itself once, since a
// request may come from inside a change of the tree, then hands the entry to
// the queue, whose worker lists it; the worker wakes the session by a queued
// call, which puts the listing into the tree and says so.
#pragma once

#include <QModelIndex>
#include <QObject>
#include <QString>
#include <map>
#include <string>

#include "sizetree/LinkLedger.h"
#include "sizetree/ListingQueue.h"
#include "sizetree/Rescan.h"
#include "sizetree/Scan.h"
#include "sizetree/SizeTree.h"

class SelectionKeeper;

class ScanSession : public QObject {
    Q_OBJECT
public:
    ScanSession();
    ~ScanSession() override;

    TSizeTree& Tree() { return tree_; }
    void SetSelection(SelectionKeeper& keeper) { keeper_ = &keeper; }

    // Go, in two steps: AddRoot takes out the roots of the same path
    // (trailing "/" dropped), appends a new root and returns it (nothing
    // while a scan runs, or for an empty path); ScanRoot(root) scans it busy
    // and gives it the drive image.
    TTreeEntry* AddRoot(std::string path);
    void ScanRoot(TTreeEntry* root);
    // The scan of entry alone, framed by ScanStarted and ScanFinished.
    void ScanFolder(TTreeEntry* entry);
    void SortSubtree(TTreeEntry* entry);
    // Sets the comparator and orders every root with it.
    void Resort(TTVCompareEvent compare);
    // F5: a folder scanned again in place; on a FILES entry, a listed file
    // or the smaller files, the folder's files listed afresh.
    void Rescan(TTreeEntry* entry);
    // Delete, once the user agreed (app/EntryTrash.h judges first).
    void MoveToTrash(TTreeEntry* entry);
    // Lists the FILES entry at index, after the current event, when its
    // files are still to be listed (sizetree/FilesToList.h).
    void WantFiles(const QModelIndex& index);
    // Ends a running scan at its next folder.
    void RequestStop();

    bool Scanning() const { return scanning_; }
    bool Busy() const { return scanning_ || resorts_ > 0 || listings_.Active(); }
    bool ListingFiles() const { return listings_.Active(); }

signals:
    void Working(bool on);
    void ScanStarted(const std::string& path);
    void ScanSampled(const ScanProgress& progress);
    void ScanFinished(const ScanProgress& progress);
    void SizesChanged();
    void Notice(const QString& text);
    void Warning(const QString& text);

private:
    void BeginScan();
    void EndScan();
    // Runs change (a rescan or a removal) as a scan, the selection kept.
    void RunBusy(const std::string& path, const std::function<void(const TreeChangeHooks&)>& change);
    TScanHooks ScanHooks(ScanProgress& progress);
    LinkLedger& LedgerOf(const TTreeEntry* entry);
    // Lists (again) the loose files of a FILES entry.
    void ListFiles(TTreeEntry* files);
    // Starts the listings that wait and puts the finished ones, unless a
    // scan runs (then lost ones are dropped only).
    void ResumeListings();
    void PutListing(FinishedListing finished);
    // Working(on) when Busy() changed since wasBusy.
    void Settle(bool wasBusy);

    // Declared before the queue, whose watches observe it.
    TSizeTree tree_;
    std::map<const TTreeEntry*, LinkLedger> ledgers_;  // per root
    ListingQueue listings_;
    SelectionKeeper* keeper_ = nullptr;
    bool scanning_ = false;
    int resorts_ = 0;
    bool stopRequested_ = false;
};
