// FindEntry: the entry of a tree that a path names, as Path() gives it.
//
// Protocol: the tree's thread; reads the tree only. A root matches its own
// path, and the paths that go on from it with "/" (so a root "x/u" never
// matches "x/uXz/..."); below it each name in turn matches a folder entry
// of that name, and the last one may also be "[FILES]" (the FILES entry) or
// the name of a listed file. Of several roots that hold the path, the first
// in the tree's order wins. The smaller files' entry, whose path is its
// folder's, is never found.
#pragma once

#include <string_view>

#include "sizetree/SizeTree.h"

TTreeEntry* FindEntry(const TSizeTree& tree, std::string_view path);
// The same within one root (a top-level entry) only.
TTreeEntry* FindEntryIn(TTreeEntry* root, std::string_view path);
