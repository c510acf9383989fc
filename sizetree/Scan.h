// ScanFolder: walks a folder depth first into the size tree.
//
// Protocol: the owner (the main window, or the report mode) creates a root
// entry whose Node().Path names a folder, then calls ScanFolder once on the
// UI thread. ScanFolder calls hooks.ProcessPendingMessages at the start of
// every folder; that callback may run arbitrary UI code (re-sort the tree,
// switch OnCompare, read sizes) but must not delete entries of the tree under
// scan. When hooks.StopRequested returns true the scan unwinds at once and
// returns; the partial tree stays valid (owned by the tree as always).
#pragma once

#include <functional>

#include "sizetree/SizeTree.h"

struct TScanHooks {
    std::function<void()> ProcessPendingMessages;  // may be empty
    std::function<bool()> StopRequested;           // may be empty
};

void ScanFolder(TSizeTree& tree, TTreeEntry* entry, const TScanHooks& hooks);

// The megabyte figure of a caption: tenths of a MB, right-aligned in ten.
std::string SizeCaptionText(double bytes);
