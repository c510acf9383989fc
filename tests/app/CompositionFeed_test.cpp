// The composition feed: slices from the selected entry's children.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CompositionFeed.h"
#include "app/CompositionChart.h"
#include "sizetree/Scan.h"

namespace {

constexpr double MB = 1e6;

struct Child {
    std::string name;  // "" for a FILES entry
    double bytes;
};

class Feed : public ::testing::Test {
protected:
    TSizeTree tree;
    TChartPanel chart;
    TPieSeries* series = nullptr;

    void SetUp() override { series = &SetUpCompositionChart(chart); }

    TTreeEntry* Folder(const std::string& path, double bytes, const std::vector<Child>& children,
                       TTreeEntry* parent = nullptr)
    {
        TTreeEntry* e = tree.AddChildEntry(parent, "caption", TNode{path, bytes, ""});
        for (const Child& c : children) {
            std::string childPath = path + (path.ends_with("/") ? "" : "/")
                + (c.name.empty() ? "[FILES]" : c.name);
            tree.AddChildEntry(e, "caption", TNode{childPath, c.bytes, c.name});
        }
        return e;
    }

    struct Point {
        std::string label;
        double mb;
    };
    std::vector<Point> Points() const
    {
        std::vector<Point> out;
        for (int i = 0; i < series->Count(); ++i)
            out.push_back({series->PointLabel(i), series->MarkValue(i)});
        return out;
    }
    void ExpectPoints(const std::vector<Point>& expected) const
    {
        auto got = Points();
        ASSERT_EQ(got.size(), expected.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].label, expected[i].label) << i;
            EXPECT_DOUBLE_EQ(got[i].mb, expected[i].mb) << i;
        }
    }
};

TEST_F(Feed, SmallChildrenGoIntoOtherInTreeOrder)
{
    TTreeEntry* e = Folder(
        "/data", 100 * MB,
        {{"a", 60 * MB}, {"b", 30 * MB}, {"c", 5 * MB}, {"d", 3 * MB}, {"e", 1.5 * MB}, {"f", 0.5 * MB}});
    FeedCompositionChart(chart, *series, e);
    ExpectPoints({{"a", 60}, {"b", 30}, {"c", 5}, {"d", 3}, {"Other", 2}});
    EXPECT_EQ(chart.Title().Text(), std::vector<std::string>{"/data"});
    EXPECT_TRUE(chart.Visible());
    // Automatic colours: the palette by position.
    EXPECT_EQ(series->PointColor(0), clRed);
    EXPECT_EQ(series->PointColor(4), clWhite);
}

TEST_F(Feed, ShareLineAtExactlyTwoPercent)
{
    struct {
        double child;
        bool ownSlice;
    } cases[] = {
        {2 * MB, true},
        {1999999, false},
        {2000001, true},
        {0, false},
    };
    for (auto c : cases) {
        TTreeEntry* e = Folder("/x", 100 * MB, {{"big", 100 * MB - c.child}, {"edge", c.child}});
        FeedCompositionChart(chart, *series, e);
        auto pts = Points();
        if (c.ownSlice) {
            ASSERT_EQ(pts.size(), 2u) << c.child;
            EXPECT_EQ(pts[1].label, "edge");
        } else {
            ASSERT_EQ(pts.size(), c.child > 0 ? 2u : 1u) << c.child;
            EXPECT_EQ(pts.back().label, c.child > 0 ? "Other" : "big");
        }
    }
}

TEST_F(Feed, AllChildrenBelowTwoPercentMakeOneOther)
{
    std::vector<Child> children;
    for (int i = 0; i < 60; ++i)
        children.push_back({"c" + std::to_string(i), 1 * MB});
    TTreeEntry* e = Folder("/many", 60 * MB, children);
    FeedCompositionChart(chart, *series, e);
    ExpectPoints({{"Other", 60}});
}

TEST_F(Feed, EmptyFolderKeepsItsSizeZero)
{
    TTreeEntry* e = Folder("/empty", 0, {});
    FeedCompositionChart(chart, *series, e);
    EXPECT_EQ(series->Count(), 0);
    EXPECT_EQ(chart.Title().Text(), std::vector<std::string>{"/empty"});
    EXPECT_TRUE(chart.Visible());
    EXPECT_EQ(e->Node().Size, 0.0);
}

TEST_F(Feed, ZeroSizedFolderWithZeroChildrenAndWithChildrenSoFar)
{
    // Empty subfolders: no points at all.
    TTreeEntry* e = Folder("/zeros", 0, {{"a", 0}, {"b", 0}});
    FeedCompositionChart(chart, *series, e);
    EXPECT_EQ(series->Count(), 0);
    EXPECT_EQ(e->Node().Size, 0.0);
    // Selected during its scan: the folder's own sum is still 0 while a
    // child already has its size; the child gets its slice.
    TTreeEntry* f = Folder("/scanning", 0, {{"done", 3 * MB}});
    FeedCompositionChart(chart, *series, f);
    ExpectPoints({{"done", 3}});
    EXPECT_EQ(f->Node().Size, 0.0);
}

// An unlisted FILES entry has no points; a listed one divides among its
// files as a folder among its children.
TEST_F(Feed, FilesEntryShowsItsListedFiles)
{
    TTreeEntry* folder = Folder("/usr/share", 10 * MB, {{"", 4 * MB}, {"doc", 6 * MB}});
    series->Add(1, "stale");
    FeedCompositionChart(chart, *series, folder->ChildAt(0));
    EXPECT_EQ(chart.Title().Text(), std::vector<std::string>{"/usr/share/[FILES]"});
    EXPECT_EQ(series->Count(), 0);

    TTreeEntry* files = Folder("/data", 100 * MB, {{"", 100 * MB}})->ChildAt(0);
    for (const Child& c : std::vector<Child>{
             {"a", 60 * MB}, {"b", 30 * MB}, {"c", 5 * MB}, {"d", 3 * MB}, {"e", 1.5 * MB}, {"f", 0.5 * MB}})
        tree.AddDerivedEntry(files, "caption", c.name, c.bytes, TPathKind::pkFile, 2);
    FeedCompositionChart(chart, *series, files);
    EXPECT_EQ(chart.Title().Text(), std::vector<std::string>{"/data/[FILES]"});
    ExpectPoints({{"a", 60}, {"b", 30}, {"c", 5}, {"d", 3}, {"Other", 2}});

    // The rest of a long listing is labelled with its name.
    TTreeEntry* many = Folder("/many", 100 * MB, {{"", 100 * MB}})->ChildAt(0);
    tree.AddDerivedEntry(many, FolderCaptionText(60 * MB, "big"), "big", 60 * MB, TPathKind::pkFile, 2);
    const std::string rest = "[20000 smaller files]";
    tree.AddDerivedEntry(many, FolderCaptionText(40 * MB, rest), rest, 40 * MB, TPathKind::pkSmallerFiles, 2);
    FeedCompositionChart(chart, *series, many);
    ExpectPoints({{"big", 60}, {"[20000 smaller files]", 40}});
}

TEST_F(Feed, DriveRootLabelsTopLevelFoldersAndFiles)
{
    TTreeEntry* root = Folder("/", 50 * MB, {{"home", 30 * MB}, {"usr", 15 * MB}, {"", 5 * MB}});
    FeedCompositionChart(chart, *series, root);
    EXPECT_EQ(chart.Title().Text(), std::vector<std::string>{"/"});
    ExpectPoints({{"home", 30}, {"usr", 15}, {"[FILES]", 5}});
}

TEST_F(Feed, MarkStyleSwitchedBeforeFirstSelectionPersists)
{
    EXPECT_FALSE(chart.Visible());
    ShowMarksAsValue(*series);
    EXPECT_EQ(series->Marks().Style(), smsValue);
    EXPECT_FALSE(chart.Visible());
    FeedCompositionChart(chart, *series, Folder("/a", 10 * MB, {{"b", 10 * MB}}));
    EXPECT_EQ(series->Marks().Style(), smsValue);
    ShowMarksAsPercent(*series);
    EXPECT_EQ(series->Marks().Style(), smsPercent);
}

TEST_F(Feed, NoSelectionChangesNothing)
{
    FeedCompositionChart(chart, *series, Folder("/kept", 10 * MB, {{"b", 10 * MB}}));
    FeedCompositionChart(chart, *series, nullptr);
    EXPECT_EQ(chart.Title().Text(), std::vector<std::string>{"/kept"});
    ExpectPoints({{"b", 10}});
}

TEST_F(Feed, ValuesAreUnroundedMegabytes)
{
    TTreeEntry* e = Folder("/odd", 1234567, {{"x", 1234567}});
    FeedCompositionChart(chart, *series, e);
    ExpectPoints({{"x", 1.234567}});
}

}  // namespace
