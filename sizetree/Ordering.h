// The two orders of the size tree and the whole-subtree re-sort.
//
// Protocol: a comparator is installed with TSizeTree::SetOnCompare and used by
// SortChildren. SortSubtree orders entry's children, then each child's
// subtree; it processes no messages and creates, deletes or re-captions
// nothing.
#pragma once

#include "sizetree/SizeTree.h"

// Larger Size first; equal sizes compare as 0.
int SortBySize(const TTreeEntry& n1, const TTreeEntry& n2);
// The same by the bytes on disk (Counts().DiskBytes).
int SortByDiskSize(const TTreeEntry& n1, const TTreeEntry& n2);
// The order meant by `order` for the sizes of `kind`: either size order
// becomes the one of kind; the name order stays.
TTVCompareEvent OrderFor(TTVCompareEvent order, SizeKind kind);
// Name ascending as unsigned bytes; a proper prefix first; "" smallest (a
// FILES entry first); the "[N smaller files]" entry, a rest, last.
int SortByName(const TTreeEntry& n1, const TTreeEntry& n2);
// Sorts entry's children, then each child's subtree, parents before their
// children (iteratively: no stack overflow on deep trees).
void SortSubtree(TSizeTree& tree, TTreeEntry* entry);
