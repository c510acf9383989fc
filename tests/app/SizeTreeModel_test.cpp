// The item model over the size tree: structure, notifications, persistent
// indexes across reorders, byte captions shown as text.
#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include "app/Glyphs.h"
#include "app/SizeTreeModel.h"
#include "sizetree/Ordering.h"

namespace {

class ModelTest : public testing::Test {
protected:
    ModelTest()
        : model(tree, TreeImages()), tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning)
    {
        tree.SetOnCompare(SortBySize);
    }

    TTreeEntry* Add(TTreeEntry* parent, const std::string& name, double size)
    {
        const std::string path = parent ? parent->Path() + "/" + name : name;
        return tree.AddChildEntry(parent, name, TNode{path, size, parent ? name : ""});
    }

    TSizeTree tree;
    SizeTreeModel model;
    QAbstractItemModelTester tester;
};

}  // namespace

TEST_F(ModelTest, RowsAndParentsFollowTheTree)
{
    TTreeEntry* r1 = Add(nullptr, "/a", 0);
    TTreeEntry* r2 = Add(nullptr, "/b", 0);
    TTreeEntry* x = Add(r1, "x", 1);
    TTreeEntry* y = Add(x, "y", 1);
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.rowCount(model.IndexOf(r1)), 1);
    EXPECT_EQ(model.rowCount(model.IndexOf(r2)), 0);
    EXPECT_EQ(model.EntryAt(model.index(0, 0, model.index(0, 0, model.index(0, 0)))), y);
    EXPECT_EQ(model.parent(model.IndexOf(y)), model.IndexOf(x));
    EXPECT_FALSE(model.parent(model.IndexOf(r2)).isValid());
    EXPECT_FALSE(model.index(1, 0, model.IndexOf(r1)).isValid());
    EXPECT_FALSE(model.index(0, 1).isValid());
    EXPECT_FALSE(model.flags(model.IndexOf(x)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.flags(model.IndexOf(x)) & Qt::ItemIsDragEnabled);
}

TEST_F(ModelTest, InsertChangeAndRemoveAreSignalled)
{
    TTreeEntry* r = Add(nullptr, "/a", 0);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    TTreeEntry* x = Add(r, "x", 1);
    Add(r, "z", 2);
    tree.SetCaption(x, "caption");
    tree.SetImageIndex(x, 2);
    tree.DeleteEntry(x);
    ASSERT_EQ(inserted.count(), 2);
    EXPECT_EQ(inserted[1][1].toInt(), 1);  // second child appended at row 1
    EXPECT_EQ(changed.count(), 2);
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed[0][1].toInt(), 0);
    EXPECT_EQ(model.rowCount(model.IndexOf(r)), 1);
    EXPECT_EQ(model.data(model.index(0, 0, model.IndexOf(r)), Qt::DisplayRole).toString(), "z");
}

// Persistent indexes (the view's current entry, expanded entries) follow
// their entries through a reorder of their parent's children.
TEST_F(ModelTest, PersistentIndexesFollowEntriesThroughReorder)
{
    TTreeEntry* r = Add(nullptr, "/a", 0);
    std::vector<TTreeEntry*> kids;
    // By size c, b, a; by name a, b, c: the two orders differ.
    for (auto [name, size] : {std::pair{"c", 3.0}, std::pair{"a", 1.0}, std::pair{"b", 2.0}})
        kids.push_back(Add(r, name, size));
    TTreeEntry* grandchild = Add(kids[0], "g", 1);
    std::vector<QPersistentModelIndex> held;
    for (TTreeEntry* k : kids)
        held.emplace_back(model.IndexOf(k));
    const QPersistentModelIndex heldGrandchild(model.IndexOf(grandchild));

    struct Case {
        TTVCompareEvent compare;
        std::vector<int> rows;  // rows of c, a, b afterwards
    };
    const Case cases[] = {{SortBySize, {0, 2, 1}}, {SortByName, {2, 0, 1}}};
    tree.SetOnCompare(SortBySize);
    for (const Case& c : cases) {
        tree.SetOnCompare(c.compare);
        SortSubtree(tree, r);
        for (size_t i = 0; i < kids.size(); ++i) {
            EXPECT_EQ(held[i].row(), c.rows[i]) << i;
            EXPECT_EQ(model.EntryAt(held[i]), kids[i]) << i;
        }
        EXPECT_EQ(heldGrandchild.parent(), QModelIndex(held[0]));
    }
}

TEST_F(ModelTest, CaptionBytesShownAsTextInvalidSequencesReplaced)
{
    struct Case {
        std::string bytes;
        QString shown;
    };
    const Case cases[] = {
        {"plain", QStringLiteral("plain")},
        {"caf\xc3\xa9", QString::fromUtf8("café")},
        {"\xff", QString(QChar(0xFFFD))},
        {"a\xc3", QStringLiteral("a") + QChar(0xFFFD)},
        {"\xc0\xafx", QString(2, QChar(0xFFFD)) + QStringLiteral("x")},  // overlong "/"
        {std::string("nul\0in", 6), QString::fromUtf8("nul\0in", 6)},
    };
    TTreeEntry* r = Add(nullptr, "/a", 0);
    for (const Case& c : cases) {
        TTreeEntry* e = tree.AddChildEntry(r, c.bytes, TNode{"/a/x", 0, "x"});
        EXPECT_EQ(model.data(model.IndexOf(e), Qt::DisplayRole).toString(), c.shown);
        EXPECT_EQ(e->Caption(), c.bytes);  // the data stays as it was
    }
}

// Normal picture by image index; a selected entry always shows picture 0.
TEST_F(ModelTest, ImagesByIndexWithFolderWhenSelected)
{
    const auto images = TreeImages();
    TTreeEntry* r = Add(nullptr, "/a", 0);
    for (int index : {0, 1, 2}) {
        tree.SetImageIndex(r, index);
        const auto icon = model.data(model.IndexOf(r), Qt::DecorationRole).value<QIcon>();
        EXPECT_EQ(icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32),
                  images[static_cast<size_t>(index)].convertToFormat(QImage::Format_ARGB32))
            << index;
        EXPECT_EQ(
            icon.pixmap(QSize(16, 16), QIcon::Selected).toImage().convertToFormat(QImage::Format_ARGB32),
            images[0].convertToFormat(QImage::Format_ARGB32))
            << index;
    }
}

// A deep chain and a wide folder keep index() and parent() consistent (no
// model tester here: it re-checks the whole model at every insertion).
TEST(Model, DeepAndWideTrees)
{
    TSizeTree tree;
    tree.SetOnCompare(SortBySize);
    SizeTreeModel model(tree, TreeImages());
    auto Add = [&](TTreeEntry* parent, const std::string& name, double size) {
        return tree.AddChildEntry(parent, name, TNode{"/p/" + name, size, name});
    };
    TTreeEntry* e = Add(nullptr, "/deep", 0);
    for (int i = 0; i < 2000; ++i)
        e = Add(e, "d", 1);
    EXPECT_EQ(model.EntryAt(model.parent(model.IndexOf(e)))->ChildAt(0), e);
    TTreeEntry* w = Add(nullptr, "/wide", 0);
    for (int i = 0; i < 5000; ++i)
        Add(w, "f" + std::to_string(i), i);
    EXPECT_EQ(model.rowCount(model.IndexOf(w)), 5000);
    EXPECT_EQ(model.EntryAt(model.index(4999, 0, model.IndexOf(w)))->Name(), "f4999");
    tree.SortChildren(w);
    EXPECT_EQ(model.EntryAt(model.index(0, 0, model.IndexOf(w)))->Name(), "f4999");
}
