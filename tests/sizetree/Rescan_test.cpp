// Rescan and removal of one entry: the whole root afterwards equals a fresh
// scan of it, entry by entry, hard links included.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "ReadAheadCompare.h"
#include "TempTree.h"
#include "sizetree/EntryLookup.h"
#include "sizetree/Rescan.h"

namespace {

// Folders holding links to the same files before, inside and after each
// other in any walk order. Every file has its own power-of-two size, so no
// two siblings ever tie and the order is the one a fresh scan gives.
class RescanTest : public testing::Test {
protected:
    RescanTest()
    {
        uint64_t size = 1000;
        auto file = [&](const std::string& rel) { t.File(rel, size *= 2); };
        file("a/a.bin");
        file("a/x/shared1");  // linked from b and b/c
        file("b/b.bin");
        file("b/c/c.bin");
        file("b/c/shared2");  // linked from a/x, d and e
        file("b/d/d.bin");
        file("e/e.bin");
        file("e/shared3");  // linked from a and b/d
        file("f.bin");
        t.HardLink("a/x/shared1", "b/one");
        t.HardLink("a/x/shared1", "b/c/one");
        t.HardLink("b/c/shared2", "a/x/two");
        t.HardLink("b/c/shared2", "b/d/two");
        t.HardLink("b/c/shared2", "e/two");
        t.HardLink("e/shared3", "a/three");
        t.HardLink("e/shared3", "b/d/three");
        root = tree.AddChildEntry(nullptr, t.Path(), TNode{t.Path(), 0, ""});
        ScanFolder(tree, root, {}, ledger);
        hooks.ChildrenAboutToGo = [this](TTreeEntry* e) { cleared.push_back(e->Path()); };
        hooks.SubtreeAboutToGo = [this](TTreeEntry* e) { removed.push_back(e->Path()); };
    }

    // The entry at a path relative to the root ("" the root).
    TTreeEntry* Find(const std::string& rel) const { return FindEntry(tree, t.Path(rel)); }

    std::string DifferenceFromFreshScan()
    {
        const auto fresh = ScanSequential(t.Path());
        return FirstDifference(root, fresh->Root);
    }

    TTempTree t;
    TSizeTree tree;
    LinkLedger ledger;
    TTreeEntry* root = nullptr;
    TreeChangeHooks hooks;
    std::vector<std::string> cleared;  // paths whose children went
    std::vector<std::string> removed;
};

TEST_F(RescanTest, RescanOfAnUnchangedFolderEqualsAFreshScanAndScansThatFolderAlone)
{
    ASSERT_EQ(DifferenceFromFreshScan(), "");
    EXPECT_EQ(ledger.size(), 3u);
    for (const char* rel : {"b/c", "a/x", "b", "e", "a", "b/d", ""}) {
        SCOPED_TRACE(rel);
        cleared.clear();
        TTreeEntry* e = Find(rel);
        ASSERT_NE(e, nullptr);
        ASSERT_TRUE(RescanEntry(tree, e, ledger, hooks));
        EXPECT_EQ(DifferenceFromFreshScan(), "");
        EXPECT_EQ(cleared, std::vector<std::string>{t.Path(rel)});  // no whole-root fallback
        EXPECT_EQ(ledger.size(), 3u);
    }
    TTreeEntry* bc = Find("b/c");
    TTreeEntry* files = bc->ChildAt(bc->ChildCount() - 1);  // the smallest: 8000 < 64000
    ASSERT_TRUE(files->IsFiles());
    EXPECT_FALSE(RescanEntry(tree, files, ledger, hooks));
}

TEST_F(RescanTest, RescanAfterChangesOnDiskEqualsAFreshScan)
{
    // A new file: the folder and every ancestor grow, re-sorted.
    t.File("b/c/new.bin", 1u << 30);
    ASSERT_TRUE(RescanEntry(tree, Find("b/c"), ledger, hooks));
    EXPECT_EQ(DifferenceFromFreshScan(), "");
    EXPECT_EQ(root->ChildAt(0)->Name(), "b");
    // Links gone and added inside a folder: counted where a fresh walk
    // meets them first, through a rescan of the root.
    std::filesystem::remove(t.Path("b/c/shared2"));
    std::filesystem::remove(t.Path("b/c/one"));
    t.HardLink("e/shared3", "b/c/three");
    cleared.clear();
    ASSERT_TRUE(RescanEntry(tree, Find("b/c"), ledger, hooks));
    EXPECT_EQ(DifferenceFromFreshScan(), "");
    EXPECT_EQ(cleared.back(), t.Path());
    // A folder gone with its links: its own rescan is refused, as the walk
    // finds no folder there; its parent's drops it.
    std::filesystem::remove_all(t.Path("b/d"));
    const RescanResult gone = RescanEntry(tree, Find("b/d"), ledger, hooks);
    ASSERT_TRUE(gone.Refusal);
    EXPECT_EQ(gone.Refusal->Error, ENOENT);
    ASSERT_TRUE(RescanEntry(tree, Find("b"), ledger, hooks));
    EXPECT_EQ(Find("b/d"), nullptr);
    EXPECT_EQ(DifferenceFromFreshScan(), "");
}

TEST_F(RescanTest, RemovalEqualsAFreshScanOfWhatIsLeft)
{
    // Plain subtraction where the folder's linked files are linked inside
    // alone or counted elsewhere; a rescan of the root where a file it
    // counted is linked elsewhere too.
    // shared2 is counted in b/c or a/x, whichever the walk meets first: one
    // of the first two removals needs the root's rescan.
    const std::vector<std::string> order = {"b/c", "a/x", "e", "b"};
    int rootRescans = 0;
    for (const std::string& rel : order) {
        SCOPED_TRACE(rel);
        removed.clear();
        cleared.clear();
        TTreeEntry* e = Find(rel);
        ASSERT_NE(e, nullptr);
        std::filesystem::remove_all(t.Path(rel));
        RemoveScannedEntry(tree, e, ledger, hooks);
        EXPECT_EQ(removed, std::vector<std::string>{t.Path(rel)});
        EXPECT_EQ(DifferenceFromFreshScan(), "");
        EXPECT_EQ(Find(rel), nullptr);
        rootRescans += cleared == std::vector<std::string>{t.Path()};
    }
    EXPECT_GE(rootRescans, 1);
    RemoveScannedEntry(tree, root, ledger, hooks);  // a root stays
    EXPECT_EQ(tree.TopLevelCount(), 1);
}

}  // namespace
