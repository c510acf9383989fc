// Whether a FILES entry's loose files are still to be listed.
//
// Protocol: a pure function of the entry, on the tree's thread. The tree
// model asks it before it offers an entry's children; the window before it
// asks for a listing.
#pragma once

#include "sizetree/SizeTree.h"

// True when entry is a FILES entry whose loose files can be listed and are
// not: the scan counted files in its folder, which could be read, and no
// listing of them failed.
inline bool FilesToList(const TTreeEntry& entry)
{
    return entry.IsFiles() && entry.ChildCount() == 0 && entry.Counts().Files > 0 && entry.Parent()
        && entry.Parent()->ReadError() == 0 && entry.ReadError() == 0;
}
