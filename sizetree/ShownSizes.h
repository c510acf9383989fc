// The switch between the two figures the tree shows: the apparent size and
// the bytes on disk (TSizeTree::Shown).
//
// Protocol: UI thread, like every change of the tree; it may run inside a
// scan's event processing, as a re-sort may. ShowSizes re-captions every
// entry below the roots whose caption is final (a folder still under scan
// keeps its mark and gets its caption when it finishes, from the figure
// then shown), tells observers once (CaptionsChanged), swaps a size order in
// force for the one of kind and re-sorts every root's subtree. Nothing is
// scanned, created or deleted; the roots keep their captions and order. A
// tree already showing kind is left as it is.
#pragma once

#include "sizetree/SizeTree.h"

void ShowSizes(TSizeTree& tree, SizeKind kind);
