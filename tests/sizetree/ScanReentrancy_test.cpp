#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScanHelpers.h"
#include "TempTree.h"
#include "sizetree/Ordering.h"

namespace {

void MakeTree(TTempTree& t)
{
    const char* names[] = {"Beta", "alpha", "Zed", "mid"};
    int n = 0;
    for (const char* a : names) {
        t.Dir(a);
        t.File(std::string(a) + "/f", 100000 * static_cast<uint64_t>(++n));
        for (const char* b : names) {
            t.Dir(std::string(a) + "/" + b);
            t.File(std::string(a) + "/" + b + "/f", 10000 * static_cast<uint64_t>(++n));
        }
    }
}

// Every folder's children in the comparator's order; the same captions as a
// scan without interference.
void ExpectOrdered(const TTreeEntry* e, TTVCompareEvent compare)
{
    for (int i = 1; i < e->ChildCount(); ++i)
        EXPECT_LE(compare(*e->ChildAt(i - 1), *e->ChildAt(i)), 0) << e->ChildAt(i)->Caption();
    for (int i = 0; i < e->ChildCount(); ++i)
        ExpectOrdered(e->ChildAt(i), compare);
}

void Flatten(const TTreeEntry* e, std::vector<std::string>& out, const std::string& indent)
{
    for (int i = 0; i < e->ChildCount(); ++i) {
        out.push_back(indent + e->ChildAt(i)->Caption());
        Flatten(e->ChildAt(i), out, indent + "  ");
    }
}

std::vector<std::string> SortedLines(const TTreeEntry* e)
{
    std::vector<std::string> lines;
    Flatten(e, lines, "");
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The ordering buttons pressed in the middle of a scan (install a comparator,
// re-sort everything), and a bare switch of the comparator, which orders only
// the folders completed after it. Sequential, so that the callback runs
// exactly once per folder.
TEST(ScanFolder, ReorderingDuringTheScan)
{
    TTempTree t;
    MakeTree(t);
    TScanned plain(t.Root());
    struct TCase {
        TTVCompareEvent Compare;
        bool ResortAll;
    };
    const TCase cases[] = {{SortByName, true}, {SortBySize, true}, {SortByName, false}};
    for (const TCase& c : cases) {
        for (int at : {2, 7, 15, 21}) {
            TSizeTree tree;
            TTreeEntry* root = tree.AddChildEntry(nullptr, "R", TNode{t.Root(), 0, ""});
            int calls = 0;
            TScanHooks hooks;
            hooks.ProcessPendingMessages = [&] {
                if (++calls != at)
                    return;
                tree.SetOnCompare(c.Compare);
                if (c.ResortAll)
                    for (TTreeEntry* e = tree.FirstTopLevelEntry(); e; e = tree.NextSibling(e))
                        SortSubtree(tree, e);
            };
            hooks.EventInterval = {};
            if (c.Compare == SortBySize)
                tree.SetOnCompare(SortByName);  // so that the press changes the order
            ScanFolderSequential(tree, root, hooks);
            EXPECT_EQ(calls, 21);
            if (c.ResortAll)
                ExpectOrdered(root, c.Compare);
            for (int i = 1; i < root->ChildCount(); ++i)  // the root completes last
                EXPECT_LE(c.Compare(*root->ChildAt(i - 1), *root->ChildAt(i)), 0);
            EXPECT_EQ(SortedLines(root), SortedLines(plain.Root));
            EXPECT_EQ(root->Size(), plain.Root->Size());
        }
    }
}

}  // namespace
