// The snapshot of a saved scan file (savedscan/SavedScan.h), read straight
// into folder totals: no size tree, no captions. It counts as the tree
// built from the file does (folders' own sizes left out, a file with
// several links once, where it first appears, a folder not entered as
// empty), so it equals SnapshotOfTree of that tree.
//
// Protocol: SnapshotOfSavedScan on any thread; the file is parsed on a
// second thread of its own (savedscan/ParseAhead.h). readFailed (may be
// empty) hears of each folder the file marks unreadable, by path, on the
// calling thread, possibly before a fault is found: a caller that prints
// those holds them until it knows the file is good.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "history/FolderSnapshot.h"
#include "savedscan/ScanFault.h"

struct SavedSnapshot {
    std::optional<FolderSnapshot> Snapshot;  // with the file's time (0 when none)
    std::optional<SavedScanFault> Fault;
};

SavedSnapshot SnapshotOfSavedScan(const std::string& file,
                                  const std::function<void(const std::string& path)>& readFailed = {});
