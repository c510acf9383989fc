// Rescan and removal of one entry of a scanned root, leaving the whole root
// as a fresh scan of it would.
//
// Protocol: on the UI thread, for a root scanned with `ledger` (its
// LinkLedger, sizetree/LinkLedger.h), never while a scan of that root runs.
// Both keep the ledger up to date, tell the caller before entries go (so a
// selection can move off them), then change every ancestor's size and
// counts by the difference, rewrite the captions below the root and re-sort
// each changed entry among its siblings with the comparator in force.
// A file with several links stays counted once, at the first place of the
// depth-first walk: when a removal takes away the place that counted a file
// still linked elsewhere, or a rescan finds other links inside the folder
// than before, the whole root is rescanned (only then is the exact place
// unknown). The scans run with hooks.Scan, so events keep flowing.
#pragma once

#include <functional>
#include <optional>

#include "sizetree/EntryWalk.h"
#include "sizetree/LinkLedger.h"
#include "sizetree/Scan.h"
#include "sizetree/SizeTree.h"

struct TreeChangeHooks {
    TScanHooks Scan;
    // entry's children are about to go (a rescan); may be empty.
    std::function<void(TTreeEntry* entry)> ChildrenAboutToGo;
    // entry with its subtree is about to go (a removal); may be empty.
    std::function<void(TTreeEntry* entry)> SubtreeAboutToGo;
};

struct RescanResult {
    bool Rescanned = false;
    // Why a folder below the root was not rescanned: the walk to it found a
    // folder on the way (or itself) no longer the one scanned.
    std::optional<WalkRefusal> Refusal;
    explicit operator bool() const { return Rescanned; }
};

// Scans the folder entry (a root or a folder below one; not a FILES entry)
// again in place. A root is scanned afresh from its path; a folder below
// is reached by the walk of sizetree/EntryWalk.h, and left as it was when
// the walk refuses. Not rescanned either: a FILES entry, and a scan that
// lost the entry (deleted from inside the hooks; the ledger is then
// emptied, its places being gone).
RescanResult RescanEntry(TSizeTree& tree, TTreeEntry* entry, LinkLedger& ledger,
                         const TreeChangeHooks& hooks);

// Takes the entry (not a root, not a "[N smaller files]" entry) with its
// subtree out of the tree, as if what it stands for had gone from disk. A
// listed file that another link counted changes no size; a FILES entry left
// at 0 bytes goes too, as a fresh scan shows none.
void RemoveScannedEntry(TSizeTree& tree, TTreeEntry* entry, LinkLedger& ledger, const TreeChangeHooks& hooks);
