// Shared helpers of the scan tests.
#pragma once

#include <string>
#include <vector>

#include "sizetree/DirLister.h"
#include "sizetree/Scan.h"
#include "sizetree/SizeTree.h"

// The scan's walk with the sequential lister: hooks.ProcessPendingMessages
// runs exactly once per folder, never while waiting, so tests of the walk can
// count its calls whatever the machine's load.
inline void ScanFolderSequential(TSizeTree& tree, TTreeEntry* entry, const TScanHooks& hooks)
{
    DirLister lister;
    ScanFolderWith(tree, entry, hooks, lister);
}

enum class TEngine { ReadAhead, Sequential };

// A tree with one root entry for path, scanned with hooks: by ScanFolder
// (read-ahead), or by ScanFolderSequential.
struct TScanned {
    TSizeTree Tree;
    TTreeEntry* Root = nullptr;
    explicit TScanned(const std::string& path, const TScanHooks& hooks = {},
                      TEngine engine = TEngine::ReadAhead)
    {
        Root = Tree.AddChildEntry(nullptr, path, TNode{path, 0, ""});
        if (engine == TEngine::Sequential)
            ScanFolderSequential(Tree, Root, hooks);
        else
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
