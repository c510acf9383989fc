#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sizetree/Ordering.h"
#include "sizetree/SizeTree.h"

namespace {

// Writes every notification as one line, with rows where they matter.
class TRecorder : public TTreeObserver {
public:
    std::vector<std::string> Log;

    void EntryAboutToBeAdded(TTreeEntry* parent, int row) override
    {
        Log.push_back("about-add " + Name(parent) + " " + std::to_string(row));
    }
    void EntryAdded(TTreeEntry* e) override { Log.push_back("added " + e->Caption()); }
    void EntryChanged(TTreeEntry* e) override { Log.push_back("changed " + e->Caption()); }
    void ChildrenAboutToBeReordered(TTreeEntry* p) override { Log.push_back("about-reorder " + Name(p)); }
    void ChildrenReordered(TTreeEntry* p) override { Log.push_back("reordered " + Name(p)); }
    void EntryAboutToBeDeleted(TTreeEntry* e) override { Log.push_back("about-delete " + e->Caption()); }
    void EntryDeleted(TTreeEntry* p, int row) override
    {
        Log.push_back("deleted " + Name(p) + " " + std::to_string(row));
    }

private:
    static std::string Name(TTreeEntry* e) { return e ? e->Caption() : "<top>"; }
};

TNode Record(std::string path, double size, std::string name)
{
    return TNode{std::move(path), size, std::move(name)};
}

TEST(SizeTree, NotifiesEveryChangeInOrder)
{
    TSizeTree tree;
    TRecorder rec;
    tree.AddObserver(&rec);
    TTreeEntry* root = tree.AddChildEntry(nullptr, "R", Record("/r", 0, ""));
    TTreeEntry* a = tree.AddChildEntry(root, "a", Record("/r/a", 1, "a"));
    tree.AddChildEntry(root, "b", Record("/r/b", 2, "b"));
    tree.SetCaption(a, "a2");
    tree.SetImageIndex(a, 2);
    tree.SortChildren(root);  // by size: b first
    tree.SortChildren(root);  // already in order: silent
    tree.DeleteEntry(a);
    tree.RemoveObserver(&rec);
    tree.AddChildEntry(root, "c", Record("/r/c", 0, "c"));
    const std::vector<std::string> expected = {
        "about-add <top> 0", "added R",    "about-add R 0",   "added a",     "about-add R 1",   "added b",
        "changed a2",        "changed a2", "about-reorder R", "reordered R", "about-delete a2", "deleted R 1",
    };
    EXPECT_EQ(rec.Log, expected);
    ASSERT_EQ(root->ChildCount(), 2);
    EXPECT_EQ(root->ChildAt(0)->Caption(), "b");
    EXPECT_EQ(root->ChildAt(1)->Caption(), "c");
    EXPECT_EQ(root->ChildAt(1)->Row(), 1);
}

TEST(SizeTree, RowsFollowDeletionAndSorting)
{
    TSizeTree tree;
    TTreeEntry* root = tree.AddChildEntry(nullptr, "R", Record("/r", 0, ""));
    std::vector<TTreeEntry*> kids;
    for (int i = 0; i < 5; ++i)
        kids.push_back(tree.AddChildEntry(root, std::to_string(i), Record("", i, std::to_string(i))));
    tree.DeleteEntry(kids[1]);
    tree.SortChildren(root);
    for (int i = 0; i < root->ChildCount(); ++i) {
        EXPECT_EQ(root->ChildAt(i)->Row(), i);
        EXPECT_EQ(root->ChildAt(i)->Parent(), root);
    }
    EXPECT_EQ(root->ChildAt(0)->Caption(), "4");
    EXPECT_EQ(tree.NextSibling(root->ChildAt(3)), nullptr);
}

TEST(SizeTree, TopLevelKeepsScanOrderAndDeletesWholeSubtrees)
{
    TSizeTree tree;
    TTreeEntry* x = tree.AddChildEntry(nullptr, "X", Record("/x", 0, ""));
    TTreeEntry* y = tree.AddChildEntry(nullptr, "Y", Record("/y", 9, ""));
    TTreeEntry* deep = x;
    for (int i = 0; i < 20000; ++i)  // deletion must not recurse
        deep = tree.AddChildEntry(deep, "d", Record("", 0, "d"));
    tree.SortChildren(nullptr);
    EXPECT_EQ(tree.FirstTopLevelEntry(), x);
    EXPECT_EQ(tree.NextSibling(x), y);
    tree.DeleteEntry(x);
    EXPECT_EQ(tree.TopLevelCount(), 1);
    EXPECT_EQ(tree.TopLevelAt(0), y);
    EXPECT_EQ(y->Row(), 0);
    // Freed entries are reused without stale state.
    TTreeEntry* z = tree.AddChildEntry(y, "z", Record("/y/z", 0, "z"));
    EXPECT_EQ(z->ChildCount(), 0);
    EXPECT_EQ(z->ImageIndex(), 0);
    EXPECT_EQ(z->Node().Path, "/y/z");
}

// Paths follow from the parent unless the record says otherwise.
TEST(SizeTree, RecordsReadAsGiven)
{
    struct TCase {
        const char* RootPath;
        const char* Name;
        const char* ChildPath;
    };
    const TCase cases[] = {
        {"/", "usr", "/usr"},
        {"/mnt/disk", "a", "/mnt/disk/a"},
        {"/mnt/disk/", "a", "/mnt/disk/a"},
        {"/mnt/disk", "", "/mnt/disk/[FILES]"},
        {"/mnt/disk", "a", "/elsewhere/a"},  // kept as given
        {"/mnt/disk", "a", "/mnt/disk/b"},   // kept as given
        {"", "a", "/a"},
    };
    for (const TCase& c : cases) {
        TSizeTree tree;
        TTreeEntry* root = tree.AddChildEntry(nullptr, "R", Record(c.RootPath, 0, ""));
        TTreeEntry* child = tree.AddChildEntry(root, "c", Record(c.ChildPath, 7, c.Name));
        EXPECT_EQ(child->Node().Path, c.ChildPath) << c.ChildPath;
        EXPECT_EQ(child->Node().Name, c.Name);
        EXPECT_EQ(child->Node().Size, 7);
        EXPECT_EQ(root->Node().Path, c.RootPath);
    }
}

TEST(SizeTree, DerivedPathsAndOneSizeOfRecord)
{
    TSizeTree tree;
    TTreeEntry* root = tree.AddChildEntry(nullptr, "R", Record("/m", 0, ""));
    TTreeEntry* a = tree.AddDerivedEntry(root, "a", "a", 0, TPathKind::pkFolder);
    TTreeEntry* b = tree.AddDerivedEntry(a, "b", std::string("b\nc\xff", 4), 0, TPathKind::pkFolder);
    TTreeEntry* f = tree.AddDerivedEntry(b, "[FILES]", "", 5, TPathKind::pkFiles);
    EXPECT_EQ(f->Node().Path, std::string("/m/a/b\nc\xff/[FILES]", 17));
    EXPECT_EQ(f->Node().Name, "");
    EXPECT_EQ(b->Name(), std::string("b\nc\xff", 4));
    // The record read after SetSize holds the size; names stay as given.
    a->SetSize(3);
    EXPECT_EQ(a->Node().Size, 3);
    a->SetSize(1.0);
    EXPECT_EQ(a->Node().Size, 1.0);
    EXPECT_EQ(b->Node().Name, std::string("b\nc\xff", 4));
    EXPECT_EQ(SortBySize(*a, *b), -1);
}

}  // namespace
