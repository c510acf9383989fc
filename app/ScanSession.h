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
// A saved scan (savedscan/SavedScan.h) opened by OpenSavedScan is a root of
// its own, marked here as saved: it is read as a scan runs (busy, events
// processed at most every 10 ms, SavedScanOpening before and
// SavedScanOpened after, no ScanStarted or ScanFinished), its files are
// listed from the file, and nothing in it is rescanned or moved (Notice says
// why), but for F5 on its root: that scans the folder it names when it is a
// folder here, beside it, then SavedRootRescanned, then the saved root goes.
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
#include <memory>
#include <optional>
#include <string>

#include "app/ScanMemory.h"
#include "sizetree/LinkLedger.h"
#include "sizetree/ListingQueue.h"
#include "sizetree/Ordering.h"
#include "sizetree/Rescan.h"
#include "sizetree/Scan.h"
#include "sizetree/SizeTree.h"

class SavedFiles;
class SelectionKeeper;

// What marks a root as read from a saved scan.
struct SavedRoot {
    std::string File;                         // as it was given
    std::shared_ptr<const SavedFiles> Files;  // its folders' files, read again from File
    std::optional<int64_t> SavedAt;           // Unix seconds: the file's timestamp, else its mtime
};

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
    // Orders the whole tree anew: by name, or by size (either size order
    // means the one of the figure shown).
    void Resort(TTVCompareEvent compare);
    // Switches the figure the tree shows (sizetree/ShownSizes.h), busy as a
    // re-sort; no rescan. The chart is the window's to feed again.
    void ShowSizes(SizeKind kind);
    // A folder scanned again in place; on a FILES entry, a listed file or
    // the smaller files, the folder's files listed afresh.
    void Rescan(TTreeEntry* entry);
    // Once the user agreed (app/EntryTrash.h judges first).
    void MoveToTrash(TTreeEntry* entry);
    // Lists the FILES entry at index later, if still to be listed.
    void WantFiles(const QModelIndex& index);
    // Reads a saved scan as a new root (nothing while a scan runs); once it
    // is read, the other roots of its path go. A file that is no saved scan
    // changes nothing: Notice says why.
    void OpenSavedScan(const std::string& file);
    // The saved scan entry belongs to; null for a scanned one.
    const SavedRoot* SavedRootOf(const TTreeEntry& entry) const;
    // Why Move to Trash does not apply to entry now; "" when it does.
    QString TrashRefusal(const TTreeEntry& entry) const;
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
    void SavedScanOpening(const std::string& file);
    // root: the saved scan read, or null when it was not (Notice says why).
    void SavedScanOpened(const TTreeEntry* root);
    // F5 on a saved root: its folder scanned anew; saved is still in the
    // tree and goes right after this returns.
    void SavedRootRescanned(const TTreeEntry& saved, TTreeEntry* scanned);
    void Warning(const QString& text);

private:
    // Runs scan busy, then lets the listings go on.
    void RunBusy(const std::function<void()>& scan);
    // A rescan or removal as a scan, the selection kept.
    void ChangeBusy(const std::string& path, const std::function<void(const TreeChangeHooks&)>& change);
    TScanHooks ScanHooks(ScanProgress& progress);
    LinkLedger& LedgerOf(const TTreeEntry* entry) { return ledgers_[entry->Root()]; }
    // Takes a root out with what the session keeps of it.
    void DropRoot(TTreeEntry* root);
    // Drops every root of path but keep.
    void DropRoots(const std::string& path, const TTreeEntry* keep);
    void RescanSavedRoot(TTreeEntry* saved);
    void ListFiles(TTreeEntry* files);
    // Starts the waiting listings and puts the finished ones; during a scan
    // drops the lost ones only.
    void ResumeListings();
    void PutListing(FinishedListing finished);
    // Runs a whole-tree change that processes no events, busy as a re-sort.
    void RunResort(const std::function<void()>& change);
    // Working(on) when Busy() changed since wasBusy.
    void Settle(bool wasBusy);
    // After a root's scan or rescan that ran to its end.
    void RememberRoot(const std::string& path, int64_t scanTime);

    // Declared before the queue, whose watches observe it.
    TSizeTree tree_;
    std::map<const TTreeEntry*, LinkLedger> ledgers_;
    std::map<const TTreeEntry*, SavedRoot> savedRoots_;
    ListingQueue listings_;
    SelectionKeeper* keeper_ = nullptr;
    ScanMemory memory_;
    bool scanning_ = false;
    int resorts_ = 0;
    bool stopRequested_ = false;
};
