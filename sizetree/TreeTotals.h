// What one entry adds to its ancestors, and the step that changes a scanned
// root by such an amount: shared by rescans, removals and listed files.
//
// Protocol: UI thread, on entries of a scanned root; size-tree internal (not
// for the window).
#pragma once

#include <cstdint>
#include <string>

#include "sizetree/SizeTree.h"

// What an entry adds to each of its ancestors.
struct Contribution {
    double Size = 0;
    int64_t DiskBytes = 0;
    int64_t Files = 0;
    int64_t Folders = 0;
    int64_t Unreadable = 0;

    Contribution() = default;
    explicit Contribution(const TTreeEntry& e);
    Contribution Negated() const;
    Contribution& operator-=(const Contribution& o);
};

// True for an entry that stands for a folder (a root included), not for
// loose files.
bool IsFolderEntry(const TTreeEntry& e);

// Adds delta to entry and every ancestor (counts clamped to their range).
void ApplyToAncestors(TTreeEntry* entry, const Contribution& delta);

// Re-captions entry and its ancestors below the root and re-sorts each among
// its siblings.
void Recaption(TSizeTree& tree, TTreeEntry* entry);
