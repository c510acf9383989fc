// What changed between two snapshots of a root (history/FolderSnapshot.h):
// the folders whose total changed, largest change first; and the change of
// one entry of a tree since a snapshot.
//
// Protocol: pure functions of their arguments; any thread, as long as the
// snapshots (and, for ChangeOfEntry, the tree on its own thread) are not
// changed meanwhile.
//
// Folders are matched by their path below their root, so the two roots
// may have different paths (a saved scan of /srv taken elsewhere, a copy).
// A folder found on one side only is new or removed, listed once with its
// whole total: what lies below it is new or removed with it and is not
// listed again. A folder moved is one removed and one new.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "history/FolderSnapshot.h"
#include "sizetree/SizeTree.h"

// Which total a comparison looks at.
enum class SizeMeasure : uint8_t { Apparent, Disk };

// A change in bytes: a magnitude and its direction.
struct SizeChange {
    bool Decrease = false;
    uint64_t Bytes = 0;
};
SizeChange ChangeBetween(uint64_t then, uint64_t now);

enum class ChangeKind : uint8_t { Changed, New, Removed };

struct FolderChange {
    // The new root's path and the path below it; a removed folder's is
    // under the old root's path.
    std::string Path;
    ChangeKind Kind = ChangeKind::Changed;
    FolderTotals Then;  // zero when new
    FolderTotals Now;   // zero when removed
    // New: its whole size up; removed: its whole size down.
    SizeChange Change(SizeMeasure measure) const;
};

struct CompareOptions {
    SizeMeasure Measure = SizeMeasure::Apparent;
    size_t Most = SIZE_MAX;  // keep the first Most changes
};

// The folders of `now` whose total in the measure differs from `then`, and
// those of one side only, ordered by the change's magnitude, largest first,
// equal ones by the bytes of their Path.
std::vector<FolderChange> CompareSnapshots(const FolderSnapshot& then, const FolderSnapshot& now,
                                           const CompareOptions& options = {});

// The change of one entry of a finished tree since the snapshot `then` of
// its root: a folder's totals then and now, or a FILES entry's (its
// folder's loose files).
struct EntryChange {
    bool Known = false;  // a folder or a FILES entry (listed files are not remembered)
    bool New = false;    // not there then (for a FILES entry: its folder)
    FolderTotals Then;
    FolderTotals Now;
};
EntryChange ChangeOfEntry(const FolderSnapshot& then, const TTreeEntry& entry);
