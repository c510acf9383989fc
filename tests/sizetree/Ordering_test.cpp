#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScanHelpers.h"
#include "sizetree/Ordering.h"
#include "sizetree/SizeTree.h"

namespace {

struct TOrderCase {
    const char* A;
    const char* B;
    int Expected;
};

int CompareNames(const std::string& a, const std::string& b)
{
    TSizeTree tree;
    TTreeEntry* root = tree.AddChildEntry(nullptr, "R", TNode{"/", 0, ""});
    TTreeEntry* ea = tree.AddDerivedEntry(root, "", a, 0, TPathKind::pkFolder);
    TTreeEntry* eb = tree.AddDerivedEntry(root, "", b, 0, TPathKind::pkFolder);
    return SortByName(*ea, *eb);
}

TEST(SortByName, BytewiseUnsignedCaseSensitive)
{
    const TOrderCase cases[] = {
        {"B", "a", -1},       {"a", "B", 1},      {"Zeta", "alpha", -1},
        {"abc", "abcd", -1},  {"abcd", "abc", 1}, {"abc", "abc", 0},
        {"", "a", -1},        {"", "", 0},        {"z", "\xc3\xa9", -1},  // bytes above 127 last
        {"\x7f", "\x80", -1}, {"[FILES]", "", 1}, {"a\nb", "a b", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CompareNames(c.A, c.B), c.Expected) << c.A << " vs " << c.B;
}

TEST(SortBySize, LargerFirstEqualIsZero)
{
    struct TCase {
        double A, B;
        int Expected;
    };
    const TCase cases[] = {{1, 2, 1}, {2, 1, -1}, {5, 5, 0}, {0, 0, 0}, {1.0, 0, -1}, {9e15, 9e15 + 2, 1}};
    for (const auto& c : cases) {
        TSizeTree tree;
        TTreeEntry* root = tree.AddChildEntry(nullptr, "R", TNode{"/", 0, ""});
        TTreeEntry* a = tree.AddDerivedEntry(root, "", "a", c.A, TPathKind::pkFolder);
        TTreeEntry* b = tree.AddDerivedEntry(root, "", "b", c.B, TPathKind::pkFolder);
        EXPECT_EQ(SortBySize(*a, *b), c.Expected) << c.A << " vs " << c.B;
    }
}

// Builds: root{ big{x 1, y 3}, [FILES] 5, small 2, B 4 }
struct TSample {
    TSizeTree Tree;
    TTreeEntry* Root;
    TSample()
    {
        Root = Tree.AddChildEntry(nullptr, "R", TNode{"/r", 0, ""});
        TTreeEntry* big = Tree.AddDerivedEntry(Root, "big", "big", 10, TPathKind::pkFolder);
        Tree.AddDerivedEntry(big, "x", "x", 1, TPathKind::pkFolder);
        Tree.AddDerivedEntry(big, "y", "y", 3, TPathKind::pkFolder);
        Tree.AddDerivedEntry(Root, "[FILES]", "", 5, TPathKind::pkFiles);
        Tree.AddDerivedEntry(Root, "small", "small", 2, TPathKind::pkFolder);
        Tree.AddDerivedEntry(Root, "B", "B", 4, TPathKind::pkFolder);
    }
    std::vector<std::string> Captions(TTreeEntry* e) const
    {
        std::vector<std::string> out;
        for (int i = 0; i < e->ChildCount(); ++i)
            out.push_back(e->ChildAt(i)->Caption());
        return out;
    }
};

TEST(SortSubtree, ByNameThenBySizeReordersEveryLevel)
{
    TSample s;
    s.Tree.SetOnCompare(SortByName);
    SortSubtree(s.Tree, s.Root);
    EXPECT_EQ(s.Captions(s.Root), (std::vector<std::string>{"[FILES]", "B", "big", "small"}));
    EXPECT_EQ(s.Captions(s.Root->ChildAt(2)), (std::vector<std::string>{"x", "y"}));
    s.Tree.SetOnCompare(SortBySize);
    SortSubtree(s.Tree, s.Root);
    EXPECT_EQ(s.Captions(s.Root), (std::vector<std::string>{"big", "[FILES]", "B", "small"}));
    EXPECT_EQ(s.Captions(s.Root->ChildAt(0)), (std::vector<std::string>{"y", "x"}));
}

// Parents are ordered before their children, each entry once.
TEST(SortSubtree, ParentsFirstEachOnce)
{
    class TOrderLog : public TTreeObserver {
    public:
        std::vector<std::string> Sorted;
        void ChildrenAboutToBeReordered(TTreeEntry* p) override { Sorted.push_back(p->Caption()); }
        void EntryAboutToBeAdded(TTreeEntry*, int) override {}
        void EntryAdded(TTreeEntry*) override {}
        void EntryChanged(TTreeEntry*) override {}
        void ChildrenReordered(TTreeEntry*) override {}
        void EntryAboutToBeDeleted(TTreeEntry*) override {}
        void EntryDeleted(TTreeEntry*, int) override {}
    } log;
    TSample s;
    s.Tree.AddObserver(&log);
    SortSubtree(s.Tree, s.Root);
    EXPECT_EQ(log.Sorted, (std::vector<std::string>{"R", "big"}));
    s.Tree.RemoveObserver(&log);
}

TEST(SortSubtree, DeepChainAndEmptyTree)
{
    TSizeTree tree;
    SortSubtree(tree, tree.FirstTopLevelEntry());  // nothing to do
    TTreeEntry* root = tree.AddChildEntry(nullptr, "R", TNode{"/r", 0, ""});
    TTreeEntry* e = root;
    for (int i = 0; i < 50000; ++i) {
        tree.AddDerivedEntry(e, "f", "", 1, TPathKind::pkFiles);
        e = tree.AddDerivedEntry(e, "d", "d", 2, TPathKind::pkFolder);
    }
    tree.SetOnCompare(SortByName);
    SortSubtree(tree, root);
    EXPECT_EQ(root->ChildAt(0)->Caption(), "f");
    tree.SetOnCompare(SortBySize);
    SortSubtree(tree, root);
    EXPECT_EQ(root->ChildAt(0)->Caption(), "d");
}

// Siblings the comparator calls equal stand in the order of their names'
// bytes, whatever order they came in: one tree, one order.
TEST(SortChildren, TiesStandInNameOrder)
{
    const std::vector<std::string> names = {"b", "\xc3\xa9", "", "B", "z", "a"};
    for (const bool reversed : {false, true}) {
        TSizeTree tree;
        TTreeEntry* root = tree.AddChildEntry(nullptr, "R", TNode{"/r", 0, ""});
        for (size_t i = 0; i < names.size(); ++i) {
            const std::string& name = names[reversed ? names.size() - 1 - i : i];
            tree.AddDerivedEntry(root, name, name, name == "z" ? 9 : 5, TPathKind::pkFolder);
        }
        tree.SortChildren(root);
        EXPECT_EQ(ChildCaptions(root), (std::vector<std::string>{"z", "", "B", "a", "b", "\xc3\xa9"}));
    }
}

}  // namespace
