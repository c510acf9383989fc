// The Go command: roots replaced and appended, images, the animation, events
// during the scan, closing during a scan.
#include <QTest>
#include <QTimer>
#include <functional>

#include "MainWindowFixture.h"
#include "TempTree.h"
#include "app/BusyAnimation.h"
#include "app/ScanStatusBar.h"
#include "drives/DriveComboBox.h"
#include "sizetree/Ordering.h"

namespace {

// Runs f from inside the next event processing (inside the scan).
void DuringScan(QObject* context, std::function<void()> f)
{
    QTimer::singleShot(0, context, std::move(f));
}

// True when every folder's children stand in the order of compare.
bool Ordered(const TTreeEntry* e, TTVCompareEvent compare)
{
    for (int i = 0; i + 1 < e->ChildCount(); ++i)
        if (compare(*e->ChildAt(i), *e->ChildAt(i + 1)) > 0)
            return false;
    for (int i = 0; i < e->ChildCount(); ++i)
        if (!Ordered(e->ChildAt(i), compare))
            return false;
    return true;
}

class GoTest : public MainWindowTest {
protected:
    GoTest()
    {
        for (const TTempTree* t : {&a, &b}) {
            t->File("big/f1", 3'000'000);
            t->File("mid/sub/f3", 2'000'000);
            t->File("small/f2", 1000);
            t->File("loose", 500'000);
        }
    }
    TTempTree a;
    TTempTree b;
};

}  // namespace

// Each sequence of Go commands and the top-level roots it leaves, in order.
TEST_F(GoTest, SameRootReplacedOthersKeepTheirPlaces)
{
    const std::string A = a.Path();
    const std::string B = b.Path();
    struct Case {
        std::vector<std::string> scans;
        std::vector<std::string> roots;
    };
    const Case cases[] = {
        {{A}, {A}},           {{A, A}, {A}},       {{A, B}, {A, B}}, {{A, B, A}, {B, A}},
        {{A, B, B}, {A, B}},  {{A + "/", A}, {A}},  // the whole root path compared, trailing "/" dropped
        {{A, A + "//"}, {A}},
    };
    for (const Case& c : cases) {
        while (TTreeEntry* e = frm.SizeTree().FirstTopLevelEntry())
            frm.SizeTree().DeleteEntry(e);
        for (const std::string& s : c.scans)
            frm.ScanRoot(s);
        EXPECT_EQ(Roots(), c.roots) << c.scans.size() << " scans";
    }
}

TEST_F(GoTest, SecondScanOfSameRootRemovesTheFirstTree)
{
    frm.ScanRoot(a.Path());
    TTreeEntry* first = frm.SizeTree().FirstTopLevelEntry();
    frm.SizeTree().SetCaption(first, "old tree");
    frm.ScanRoot(b.Path());
    frm.ScanRoot(a.Path());
    ASSERT_EQ(frm.SizeTree().TopLevelCount(), 2);
    TTreeEntry* last = frm.SizeTree().TopLevelAt(1);
    EXPECT_EQ(last->Caption(), a.Path());
    EXPECT_EQ(last->Size(), 5'501'000);
    EXPECT_EQ(frm.Model().rowCount(), 2);
}

TEST_F(GoTest, RootShowsFolderImageDuringScanAndDriveImageAfter)
{
    int imageDuring = -1;
    bool goEnabledDuring = true;
    bool animationShown = false;
    int animationTop = 0;
    DuringScan(&frm, [&] {
        TTreeEntry* root = frm.SizeTree().FirstTopLevelEntry();
        imageDuring = root->ImageIndex();
        goEnabledDuring = frm.btnGo->isEnabled();
        animationShown = frm.Animate->isVisible() && frm.Animate->Active();
        animationTop = frm.Animate->y();
    });
    frm.ScanRoot(a.Path());
    EXPECT_EQ(imageDuring, 0);
    EXPECT_FALSE(goEnabledDuring);
    EXPECT_TRUE(animationShown);
    EXPECT_EQ(animationTop, 406);
    EXPECT_EQ(frm.SizeTree().FirstTopLevelEntry()->ImageIndex(), 1);
    EXPECT_TRUE(frm.btnGo->isEnabled());
    EXPECT_FALSE(frm.Animate->isVisible());
    EXPECT_FALSE(frm.Animate->Active());
    EXPECT_EQ(frm.Animate->Frame(), 0);
}

// After a resize the animation's top is the new outer height minus 74, the
// status bar below not counted.
TEST_F(GoTest, AnimationFollowsTheWindowHeight)
{
    frm.resize(700, 600 + ScanStatusBar::kHeight);
    int top = 0;
    DuringScan(&frm, [&] { top = frm.Animate->y(); });
    frm.ScanRoot(a.Path());
    EXPECT_EQ(top, 600 + TfrmTallowin::kFrameHeight - 74);
    EXPECT_EQ(frm.Animate->x(), 2);
}

TEST_F(GoTest, SelectionMovesWhenItsTreeIsDeleted)
{
    frm.ScanRoot(a.Path());
    frm.ScanRoot(b.Path());
    TTreeEntry* rootA = frm.SizeTree().TopLevelAt(0);
    frm.Tree->setCurrentIndex(frm.Model().IndexOf(Child(rootA, "mid")));
    ASSERT_TRUE(frm.Chart->isVisible());

    frm.ScanRoot(a.Path());  // deletes the tree holding the selection
    QApplication::processEvents();
    const TTreeEntry* current = frm.Model().EntryAt(frm.Tree->currentIndex());
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current, frm.SizeTree().TopLevelAt(0));
    EXPECT_EQ(current->Path(), b.Path());
    EXPECT_TRUE(frm.Tree->selectionModel()->isSelected(frm.Tree->currentIndex()));
}

TEST_F(GoTest, SelectionBecomesEmptyWhenNoOtherEntryRemains)
{
    frm.ScanRoot(a.Path());
    TTreeEntry* rootA = frm.SizeTree().TopLevelAt(0);
    frm.Tree->setCurrentIndex(frm.Model().IndexOf(Child(rootA, "big")));
    frm.ScanRoot(a.Path());
    QApplication::processEvents();
    // The new root is not selected: nothing else was left to move to.
    EXPECT_EQ(frm.Model().EntryAt(frm.Tree->currentIndex()), nullptr);
    EXPECT_FALSE(frm.Tree->selectionModel()->hasSelection());
    EXPECT_TRUE(frm.Chart->isVisible());  // nothing hides the chart again
}

// A re-sort from inside the scan orders what is there; folders finished later
// use the new comparator, so the whole tree ends in name order.
TEST_F(GoTest, ResortStartedInsideAScan)
{
    bool sawPartialTree = false;
    DuringScan(&frm, [&] {
        sawPartialTree = frm.Scanning();
        frm.btnByName->click();
    });
    frm.ScanRoot(a.Path());
    EXPECT_TRUE(sawPartialTree);
    TTreeEntry* root = frm.SizeTree().FirstTopLevelEntry();
    EXPECT_TRUE(Ordered(root, &SortByName));
    EXPECT_EQ(root->ChildAt(0)->Caption(), "       0.5 MB  [FILES]");
    EXPECT_EQ(root->Size(), 5'501'000);
    EXPECT_FALSE(frm.Animate->isVisible());

    frm.btnBySize->click();
    EXPECT_TRUE(Ordered(root, &SortBySize));
    EXPECT_EQ(root->ChildAt(0)->Name(), "big");
}

// The busy animation keeps playing after a re-sort inside a scan, since the
// scan still runs.
TEST_F(GoTest, AnimationStaysOnAfterResortInsideAScan)
{
    bool playingAfterResort = false;
    DuringScan(&frm, [&] {
        frm.btnByName->click();
        playingAfterResort = frm.Animate->isVisible() && frm.Animate->Active();
    });
    frm.ScanRoot(a.Path());
    EXPECT_TRUE(playingAfterResort);
    EXPECT_FALSE(frm.Animate->isVisible());
}

// Closing the window during a scan stops the scan at its next folder.
TEST_F(GoTest, CloseDuringScanStopsTheScan)
{
    TTempTree wide;
    for (int i = 0; i < 200; ++i)
        wide.Dir("d" + std::to_string(i) + "/x");
    DuringScan(&frm, [&] { frm.close(); });
    frm.ScanRoot(wide.Path());
    EXPECT_FALSE(frm.Scanning());
    EXPECT_LT(frm.SizeTree().FirstTopLevelEntry()->ChildCount(), 10);
    EXPECT_TRUE(frm.btnGo->isEnabled());
    EXPECT_FALSE(frm.isVisible());
}

TEST_F(GoTest, GoIgnoredWhileAScanRuns)
{
    DuringScan(&frm, [&] { frm.ScanRoot(b.Path()); });
    frm.ScanRoot(a.Path());
    EXPECT_EQ(Roots(), std::vector<std::string>{a.Path()});
}

// Ctrl+O from the tree asks for a folder; Go then scans that folder as a root.
TEST_F(GoTest, FolderChosenWithCtrlOIsScannedByGo)
{
    int asked = 0;
    frm.cbxDrive->SetFolderDialog([&](QWidget*, const std::string&) {
        ++asked;
        return b.Path("mid");
    });
    frm.Tree->setFocus();
    QTest::keyClick(frm.Tree, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(frm.cbxDrive->SelectedDrive(), b.Path("mid"));
    frm.btnGo->click();
    EXPECT_EQ(Roots(), std::vector<std::string>{b.Path("mid")});
    const TTreeEntry* root = frm.SizeTree().TopLevelAt(0);
    EXPECT_EQ(root->Size(), 2'000'000);
    EXPECT_EQ(root->ImageIndex(), 1);
}
