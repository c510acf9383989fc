// Shared helpers of the scan tests.
#pragma once

#include <string>
#include <vector>

#include "sizetree/Scan.h"
#include "sizetree/SizeTree.h"

// A tree with one root entry for path, scanned with hooks.
struct TScanned {
    TSizeTree Tree;
    TTreeEntry* Root = nullptr;
    explicit TScanned(const std::string& path, const TScanHooks& hooks = {})
    {
        Root = Tree.AddChildEntry(nullptr, path, TNode{path, 0, ""});
        ScanFolder(Tree, Root, hooks);
    }
};

// The child of e with that Name (a FILES entry: name ""), or nullptr.
inline TTreeEntry* Child(const TTreeEntry* e, const std::string& name)
{
    for (int i = 0; i < e->ChildCount(); ++i)
        if (e->ChildAt(i)->Name() == name)
            return e->ChildAt(i);
    return nullptr;
}

inline std::vector<std::string> ChildCaptions(const TTreeEntry* e)
{
    std::vector<std::string> out;
    for (int i = 0; i < e->ChildCount(); ++i)
        out.push_back(e->ChildAt(i)->Caption());
    return out;
}

// Number of descriptors this process has open.
int OpenDescriptorCount();
