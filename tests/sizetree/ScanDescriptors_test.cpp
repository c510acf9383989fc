#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ScanHelpers.h"
#include "TempTree.h"
#include "sizetree/DirLister.h"

namespace {

// Every folder: its Size is the sum of its children's.
void ExpectSums(const TTreeEntry* e)
{
    double sum = 0;
    for (int i = 0; i < e->ChildCount(); ++i) {
        sum += e->ChildAt(i)->Size();
        ExpectSums(e->ChildAt(i));
    }
    if (e->ChildCount() > 0) {
        EXPECT_EQ(e->Size(), sum) << e->Path();
    }
}

// Listing order is the file system's: find a folder name and a creation
// order for which the chain's folder is not listed after both leaves.
struct TPlan {
    std::string Chain, Leaf1, Leaf2;
    bool ChainFirst;
};

bool ChainListedBeforeALeaf(TTempTree& t, const TPlan& p, int probe)
{
    const std::string dir = "probe" + std::to_string(probe);
    t.Dir(dir);
    if (p.ChainFirst)
        t.Dir(dir + "/" + p.Chain);
    t.Dir(dir + "/" + p.Leaf1);
    t.Dir(dir + "/" + p.Leaf2);
    if (!p.ChainFirst)
        t.Dir(dir + "/" + p.Chain);
    std::vector<std::string> order;
    if (DIR* d = opendir((t.Root() + "/" + dir).c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.')
                order.push_back(e->d_name);
        closedir(d);
    }
    return order.size() == 3 && order.back() != p.Chain;
}

// 40 levels, each with two leaves beside the next level: returning from deep
// below, the walk must reopen folders whose descriptors it closed to enter
// their remaining subfolders.
TEST(ScanFolder, ReopensFoldersBeyondTheDescriptorWindow)
{
    TTempTree t;
    const TPlan plans[] = {{"a", "b", "c", true},  {"b", "a", "c", true},  {"c", "a", "b", true},
                           {"a", "b", "c", false}, {"b", "a", "c", false}, {"c", "a", "b", false}};
    const TPlan* plan = nullptr;
    for (int i = 0; i < 6 && !plan; ++i)
        if (ChainListedBeforeALeaf(t, plans[i], i))
            plan = &plans[i];
    if (!plan)
        GTEST_SKIP() << "this file system lists the probe folders in no usable order";
    TTempTree tree40;
    const int levels = 40;
    std::vector<std::string> rels;
    std::string rel;
    for (int i = 0; i < levels; ++i) {
        rel += (i ? "/" : "") + plan->Chain;
        rels.push_back(rel);
    }
    auto leaves = [&](const std::string& r) {
        tree40.Dir(r + "/" + plan->Leaf1);
        tree40.File(r + "/" + plan->Leaf1 + "/f", 1000);
        tree40.Dir(r + "/" + plan->Leaf2);
        tree40.File(r + "/" + plan->Leaf2 + "/f", 10);
    };
    if (plan->ChainFirst) {  // every level's next level, then the leaves
        for (const std::string& r : rels)
            tree40.Dir(r);
        for (const std::string& r : rels)
            leaves(r);
    } else {  // every level's leaves, then its next level
        for (const std::string& r : rels) {
            tree40.Dir(r);
            leaves(r);
        }
    }
    const int baseline = OpenDescriptorCount();
    TSizeTree tree;
    TTreeEntry* root = tree.AddChildEntry(nullptr, "R", TNode{tree40.Root(), 0, ""});
    {
        DirLister lister;
        ScanFolderWith(tree, root, TScanHooks{}, lister);
        EXPECT_GT(lister.ReopenCount(), 0);
        EXPECT_EQ(lister.OpenFolderCount(), 0);
    }
    EXPECT_EQ(OpenDescriptorCount(), baseline);
    const TTreeEntry* e = Child(root, plan->Chain);
    for (int i = 0; i < levels; ++i) {
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->Size(), 1010.0 * (levels - i)) << i;
        EXPECT_EQ(Child(e, plan->Leaf1)->Size(), 1000) << i;
        EXPECT_EQ(Child(e, plan->Leaf2)->Size(), 10) << i;
        e = Child(e, plan->Chain);
    }
}

// Folders renamed, removed and replaced while the scan runs: it ends, every
// folder adds up, and no descriptor is left open.
TEST(ScanFolder, TreeChangingDuringTheScan)
{
    for (int at : {3, 10, 25, 40}) {
        TTempTree t;
        std::string rel;
        for (int i = 0; i < 30; ++i) {
            rel += (i ? "/" : "") + std::string("d") + std::to_string(i);
            t.Dir(rel);
            t.Dir(rel + "/side");
            t.File(rel + "/side/f", 700);
            t.File(rel + "/f", 300);
        }
        int calls = 0;
        TScanHooks hooks;
        hooks.ProcessPendingMessages = [&] {
            if (++calls != at)
                return;
            // Swap a shallow folder for an empty one, and drop a deep side.
            const std::string d0 = t.Root() + "/d0";
            std::rename((d0 + "/d1").c_str(), (t.Root() + "/moved").c_str());
            mkdir((d0 + "/d1").c_str(), 0755);
            std::remove((t.Root() + "/moved/d2/side/f").c_str());
            rmdir((t.Root() + "/moved/d2/side").c_str());
        };
        hooks.EventInterval = {};
        const int baseline = OpenDescriptorCount();
        TScanned s(t.Root(), hooks);
        EXPECT_EQ(OpenDescriptorCount(), baseline);
        EXPECT_GT(calls, at - 1);
        ExpectSums(s.Root);
    }
}

}  // namespace
