#include "ReadAheadCompare.h"

#include <dirent.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdint>
#include <utility>
#include <thread>
#include <vector>

#include "sizetree/DirLister.h"

namespace {

std::unique_ptr<TScanResult> NewRoot(const std::string& path)
{
    auto r = std::make_unique<TScanResult>();
    r->Root = r->Tree.AddChildEntry(nullptr, path, TNode{path, 0, ""});
    return r;
}

std::string Describe(const TTreeEntry* e)
{
    return "\"" + e->Path() + "\" (" + e->Caption() + ")";
}

}  // namespace

std::unique_ptr<TScanResult> ScanSequential(const std::string& path, const TScanHooks& hooks)
{
    auto r = NewRoot(path);
    DirLister lister;
    ScanFolderWith(r->Tree, r->Root, hooks, lister);
    return r;
}

std::unique_ptr<TScanResult> ScanReadAhead(const std::string& path, ReadAheadOptions options,
                                           const TScanHooks& hooks)
{
    auto r = NewRoot(path);
    ReadAheadLister lister(std::move(options));
    ScanFolderWith(r->Tree, r->Root, hooks, lister);
    return r;
}

std::string FirstDifference(const TTreeEntry* a, const TTreeEntry* b)
{
    std::vector<std::pair<const TTreeEntry*, const TTreeEntry*>> stack{{a, b}};
    while (!stack.empty()) {
        auto [x, y] = stack.back();
        stack.pop_back();
        if (x->Caption() != y->Caption())
            return "caption " + Describe(x) + " vs " + Describe(y);
        if (x->ImageIndex() != y->ImageIndex())
            return "image of " + Describe(x);
        if (x->Name() != y->Name() || x->Path() != y->Path())
            return "name or path " + Describe(x) + " vs " + Describe(y);
        if (std::bit_cast<uint64_t>(x->Size()) != std::bit_cast<uint64_t>(y->Size()))
            return "size of " + Describe(x) + ": " + std::to_string(x->Size()) + " vs "
                + std::to_string(y->Size());
        if (x->ReadError() != y->ReadError())
            return "read error of " + Describe(x) + ": " + std::to_string(x->ReadError()) + " vs "
                + std::to_string(y->ReadError());
        const EntryCounts& cx = x->Counts();
        const EntryCounts& cy = y->Counts();
        if (cx.DiskBytes != cy.DiskBytes || cx.Files != cy.Files || cx.Folders != cy.Folders
            || cx.UnreadableBelow != cy.UnreadableBelow)
            return "counts of " + Describe(x);
        if (x->ChildCount() != y->ChildCount())
            return "child count of " + Describe(x);
        for (int i = x->ChildCount() - 1; i >= 0; --i)
            stack.emplace_back(x->ChildAt(i), y->ChildAt(i));
    }
    return "";
}

namespace {

int ListedThreads()
{
    int n = 0;
    if (DIR* d = opendir("/proc/self/task")) {
        while (dirent* e = readdir(d))
            n += e->d_name[0] != '.';
        closedir(d);
    }
    return n;
}

}  // namespace

int ThreadCount()
{
    // A thread just joined can still be listed for a moment: the kernel wakes
    // the joiner before it takes the thread out of the process. A thread
    // left behind is still there at the later looks.
    int n = ListedThreads();
    for (const int ms : {2, 10}) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        n = std::min(n, ListedThreads());
    }
    return n;
}
