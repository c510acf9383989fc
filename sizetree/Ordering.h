// The two orders of the size tree and the whole-subtree re-sort.
#pragma once

#include "sizetree/SizeTree.h"

// Larger Size first; equal sizes compare as 0.
int SortBySize(const TTreeEntry& n1, const TTreeEntry& n2);
// Name ascending as unsigned bytes; a proper prefix first; "" smallest.
int SortByName(const TTreeEntry& n1, const TTreeEntry& n2);
// Sorts entry's children, then each child's subtree (iteratively: no stack
// overflow on deep trees).
void SortSubtree(TSizeTree& tree, TTreeEntry* entry);
