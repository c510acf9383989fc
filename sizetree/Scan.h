// ScanFolder: walks a folder depth first into the size tree.
//
// Protocol: the owner (the main window, or the report mode) creates a root
// entry whose Path names a folder, then calls ScanFolder once on the UI
// thread. The tree itself must outlive the call.
//
// Events: each folder's start is one loop on the calling thread, until the
// folder's listing is ready: run hooks.ProcessPendingMessages if
// hooks.EventInterval has passed since it last ran, then check that neither
// the entry under scan nor an ancestor was deleted and that
// hooks.StopRequested is false, then wait for the listing until the next run
// is due. So the callback runs at the first folder, then at most once per
// EventInterval, also while the scan waits for a slow folder. The throttle
// lives here alone, not in the callback: only the scan knows when it is about
// to wait, and ends each wait when the next run is due; so the callback may
// simply process every pending event.
// It may run arbitrary UI code (re-sort the tree, switch OnCompare, read
// sizes, delete other trees). If it deletes the entry under scan or one of
// its ancestors, the scan stops without touching them again. When
// StopRequested returns true the scan returns at once; the partial tree
// stays valid (owned by the tree as always), unfinished folders keeping
// their provisional captions and partial sizes.
//
// Each folder entry gets its children in listing order (subfolders with the
// caption name + " <--", replaced by the size caption once their scan is
// done; then a FILES entry with image 2 when its loose files total more than
// 0 bytes) and is sorted with the comparator in force when it completes. The
// scan stays on the root's file system: a subfolder on another one is shown
// with size 0 and not entered. A file with several links counts once per scan,
// where the depth-first walk meets it first.
//
// Besides the size each entry gets its Counts (disk usage, files, folders,
// folders below that could not be read) and, for a folder that could not be
// opened or whose listing failed midway, its ReadError: such a folder keeps
// the size the rules above give it (0, or what was counted up to then).
//
// The files with several links go into a LinkLedger (sizetree/LinkLedger.h):
// the overloads without one keep a ledger for the call alone. A scan of a
// folder inside an already scanned root (a rescan, sizetree/Rescan.h) takes
// that root's ledger, so files counted elsewhere are not counted again. Each
// folder entry keeps the device and inode of the folder it listed.
//
// ScanOpenedFolder scans a folder that the caller has opened and checked
// (a rescan below a root reaches it through sizetree/EntryWalk.h): the scan
// lists that descriptor, takes it over, and the entry keeps its identity;
// the others open the entry's path and record the folder it names.
//
// ScanFolder lists with the read-ahead lister (sizetree/ReadAheadLister.h):
// worker threads list folders ahead; they are joined before it returns.
// ScanFolderWith takes any lister; DirLister (sizetree/DirLister.h) is the
// sequential one, on the calling thread alone.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "sizetree/LinkLedger.h"
#include "sizetree/Listing.h"
#include "sizetree/SizeTree.h"

// Running totals of a scan for a progress display: updated once per folder,
// read by the hooks on the same thread.
struct ScanProgress {
    uint64_t Bytes = 0;      // apparent bytes of the files counted so far
    uint64_t DiskBytes = 0;  // their blocks x 512
    uint64_t Files = 0;
    uint64_t Folders = 0;     // folders met below the root
    uint64_t Unreadable = 0;  // folders that could not be read (fully)
    // The folder started last; valid only inside the hooks.
    const TTreeEntry* Current = nullptr;
};

struct TScanHooks {
    std::function<void()> ProcessPendingMessages;  // may be empty
    std::function<bool()> StopRequested;           // may be empty
    // Once per folder that could not be read (fully), in scan order, after its
    // ReadError is set; may be empty.
    std::function<void(const TTreeEntry& folder)> ReadFailed;
    ScanProgress* Progress = nullptr;  // kept up to date when given
    // The least time between two runs of ProcessPendingMessages; zero: at
    // every folder, and every millisecond of a wait (tests).
    std::chrono::milliseconds EventInterval{10};
};

void ScanFolder(TSizeTree& tree, TTreeEntry* entry, const TScanHooks& hooks);
void ScanFolder(TSizeTree& tree, TTreeEntry* entry, const TScanHooks& hooks, LinkLedger& ledger);
void ScanOpenedFolder(TSizeTree& tree, TTreeEntry* entry, int folderFd, const TScanHooks& hooks,
                      LinkLedger& ledger);
// The same with another listing source.
void ScanFolderWith(TSizeTree& tree, TTreeEntry* entry, const TScanHooks& hooks, TFolderLister& lister);
void ScanFolderWith(TSizeTree& tree, TTreeEntry* entry, const TScanHooks& hooks, TFolderLister& lister,
                    LinkLedger& ledger);

// The megabyte figure of a caption: tenths of a MB (ties to even, counted in
// 64 bits), right-aligned in ten characters.
std::string SizeCaptionText(double bytes);
// The final caption of a folder entry below a root: the figure, " MB  ",
// the name.
std::string FolderCaptionText(double bytes, const std::string& name);
// What a folder's caption says while its scan runs: the name and this mark.
inline constexpr std::string_view kProvisionalMark = " <--";
// The final caption of an entry below a root, from the figure the tree
// shows (TSizeTree::Shown): folders, listed files and the smaller files
// "size MB  name", a FILES entry "size MB  [FILES]".
std::string FinalCaption(const TSizeTree& tree, const TTreeEntry& e);
// The same into out, replacing what it held (its room is kept: no
// allocation when a caption of the same length was there).
void SetFinalCaptionText(std::string& out, const TSizeTree& tree, const TTreeEntry& e);
// As the scan of a folder below a root ends (a scan's or a saved scan's):
// its final caption, its totals added to its parent's.
void FinishSubfolder(TSizeTree& tree, TTreeEntry* child);
// Counts that stop at their type's end rather than wrap.
uint32_t SaturatingSum(uint32_t a, uint32_t b);
uint64_t SaturatingSum64(uint64_t a, uint64_t b);
// True for a folder whose scan has not finished (its caption has the mark).
bool HasProvisionalCaption(const TTreeEntry& e);
