// The whole-tree re-sort behind the ordering buttons, and the switch between
// apparent sizes and sizes on disk (re-captions and re-sorts), on a tree
// shaped like the scan benchmark's: 100,110 folders, each with a FILES entry.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "sizetree/Ordering.h"
#include "sizetree/ShownSizes.h"
#include "sizetree/SizeTree.h"

#include "XorShift.h"

namespace {

TXorShift sequence{0x9E3779B97F4A7C15ULL};

uint64_t Next()
{
    return sequence.Next();
}

void Fill(TSizeTree& tree, TTreeEntry* parent, int level)
{
    static const int kFanOut[] = {10, 10, 10, 99};
    const int n = level < 4 ? kFanOut[level] : 0;
    for (int i = 0; i < n; ++i) {
        const std::string name = "f" + std::to_string(Next() % 100000);
        TTreeEntry* e = tree.AddDerivedEntry(parent, name, name, static_cast<double>(Next() % 1000000),
                                             TPathKind::pkFolder);
        e->Counts().DiskBytes = Next() % 1000000;
        Fill(tree, e, level + 1);
    }
    TTreeEntry* files = tree.AddDerivedEntry(parent, "[FILES]", "", static_cast<double>(Next() % 1000000),
                                             TPathKind::pkFiles);
    files->Counts().DiskBytes = Next() % 1000000;
}

// Each iteration switches the order, as pressing the other button does.
void BM_SortSubtreeSwitch(benchmark::State& st)
{
    TSizeTree tree;
    TTreeEntry* root = tree.AddChildEntry(nullptr, "/bench", TNode{"/bench", 0, ""});
    Fill(tree, root, 0);
    bool byName = false;
    for (auto _ : st) {
        byName = !byName;
        tree.SetOnCompare(byName ? SortByName : SortBySize);
        SortSubtree(tree, root);
    }
}
BENCHMARK(BM_SortSubtreeSwitch)->Unit(benchmark::kMillisecond);

// Pressing the button that is already down: every folder is checked again.
void BM_SortSubtreeSame(benchmark::State& st)
{
    TSizeTree tree;
    TTreeEntry* root = tree.AddChildEntry(nullptr, "/bench", TNode{"/bench", 0, ""});
    Fill(tree, root, 0);
    SortSubtree(tree, root);
    for (auto _ : st)
        SortSubtree(tree, root);
}
BENCHMARK(BM_SortSubtreeSame)->Unit(benchmark::kMillisecond);

// Sizes on Disk switched on and off: every caption made again, every folder
// re-sorted by the other figure.
void BM_SizesShownSwitch(benchmark::State& st)
{
    TSizeTree tree;
    TTreeEntry* root = tree.AddChildEntry(nullptr, "/bench", TNode{"/bench", 0, ""});
    Fill(tree, root, 0);
    SortSubtree(tree, root);
    bool onDisk = false;
    for (auto _ : st) {
        onDisk = !onDisk;
        ShowSizes(tree, onDisk ? SizeKind::Disk : SizeKind::Apparent);
    }
}
BENCHMARK(BM_SizesShownSwitch)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
