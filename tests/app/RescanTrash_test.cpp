// Rescan (F5) and Move to Trash (Delete) on the selected entry: afterwards the
// tree, the selection, the chart and the status bar match a fresh scan;
// refusals and a failing trash change nothing. The trash is a private one
// under a temporary HOME and XDG_DATA_HOME.
#include <QTest>
#include <QTimer>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>

#include "MainWindowFixture.h"
#include "ReadAheadCompare.h"
#include "TempTree.h"
#include "app/CompositionChart.h"
#include "app/CompositionFeed.h"
#include "app/EntryActions.h"
#include "app/BusyAnimation.h"
#include "app/ScanStatusBar.h"
#include "chart/PieSeries.h"

namespace {

namespace fs = std::filesystem;

// Sets an environment variable for the test's lifetime.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name)
    {
        if (qEnvironmentVariableIsSet(name))
            old_ = qgetenv(name);
        qputenv(name, QByteArray::fromStdString(value));
    }
    ~ScopedEnv()
    {
        if (old_)
            qputenv(name_, *old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    std::optional<QByteArray> old_;
};

class RescanTrashTest : public MainWindowTest {
protected:
    RescanTrashTest()
    {
        // Sizes of distinct powers of two: no two siblings tie.
        t.File("Videos/old/clip.mp4", 4'096'000);
        t.File("Videos/old/cut.mp4", 1'024'000);
        t.File("Videos/new/take.mp4", 2'048'000);
        t.File("Videos/loose.txt", 16'000);
        t.File("Music/song.ogg", 512'000);
        t.File("keep/shared", 256'000);
        t.HardLink("keep/shared", "Videos/old/shared");  // linked from both sides
        t.HardLink("keep/shared", "Music/shared");
        frm.SetTrashDialogs(
            [this](const QString& q) {
                questions.push_back(q.toStdString());
                return answer;
            },
            [this](const QString& m) { warnings.push_back(m.toStdString()); });
        frm.ScanRoot(t.Path());
        root = frm.SizeTree().TopLevelAt(0);
        frm.Tree->setFocus();
    }

    TTreeEntry* At(const std::string& rel)
    {
        TTreeEntry* e = root;
        for (size_t from = 0; e && from < rel.size();) {
            size_t to = rel.find('/', from);
            to = to == std::string::npos ? rel.size() : to;
            e = Child(e, rel.substr(from, to - from));
            from = to + 1;
        }
        return e;
    }

    void Select(TTreeEntry* e) { frm.Tree->setCurrentIndex(frm.Model().IndexOf(e)); }
    TTreeEntry* Selected() { return frm.Model().EntryAt(frm.Tree->currentIndex()); }

    // The tree, the chart and the entry line against a fresh scan of the root.
    void ExpectAsAFreshScan()
    {
        auto fresh = ScanSequential(t.Path());
        fresh->Tree.SetImageIndex(fresh->Root, 1);
        EXPECT_EQ(FirstDifference(root, fresh->Root), "");
        TTreeEntry* selected = Selected();
        ASSERT_NE(selected, nullptr);
        const TTreeEntry* match = fresh->Root;
        std::string rel = selected->Path().substr(t.Path().size());
        for (size_t from = 1; match && from < rel.size();) {
            size_t to = rel.find('/', from);
            to = to == std::string::npos ? rel.size() : to;
            const std::string name = rel.substr(from, to - from);
            const TTreeEntry* next = nullptr;
            for (int i = 0; i < match->ChildCount(); ++i)
                if (match->ChildAt(i)->Name() == name)
                    next = match->ChildAt(i);
            match = next;
            from = to + 1;
        }
        ASSERT_NE(match, nullptr) << selected->Path();
        TChartPanel chart;
        TPieSeries& series = SetUpCompositionChart(chart);
        FeedCompositionChart(chart, series, match);
        EXPECT_EQ(frm.Chart->Panel().Title().Text(), chart.Title().Text());
        ASSERT_EQ(frm.PieSeries->Count(), series.Count());
        for (int i = 0; i < series.Count(); ++i) {
            EXPECT_EQ(frm.PieSeries->PointLabel(i), series.PointLabel(i));
            EXPECT_EQ(frm.PieSeries->MarkValue(i), series.MarkValue(i));
        }
        frm.StatusBar->ShowEntry(match);
        const QString expected = frm.StatusBar->EntryText();
        frm.StatusBar->ShowEntry(selected);
        EXPECT_EQ(frm.StatusBar->EntryText(), expected);
    }

    std::string TrashFiles() const { return home.Path("data/Trash/files"); }

    TTempTree t;
    TTempTree home;
    ScopedEnv homeEnv{"HOME", home.Path()};
    ScopedEnv dataEnv{"XDG_DATA_HOME", home.Path("data")};
    TTreeEntry* root = nullptr;
    bool answer = true;
    std::vector<std::string> questions;
    std::vector<std::string> warnings;
};

}  // namespace

TEST_F(RescanTrashTest, DeleteMovesTheFolderToTheTrashAndTheTreeEqualsAFreshScan)
{
    const double before = root->Size();
    Select(At("Videos/old"));
    QTest::keyClick(frm.Tree, Qt::Key_Delete);
    ASSERT_EQ(questions.size(), 1u);
    const std::string figure = frm.StatusBar->Bytes(5'120'000 + (questions[0].find("5.4") != std::string::npos) * 256'000).toStdString();
    EXPECT_EQ(questions[0], "Move '" + t.Path("Videos/old") + "' (" + figure + ") to the trash?");
    EXPECT_TRUE(warnings.empty());
    EXPECT_TRUE(fs::exists(TrashFiles() + "/old/clip.mp4"));
    EXPECT_FALSE(fs::exists(t.Path("Videos/old")));
    EXPECT_EQ(At("Videos/old"), nullptr);
    EXPECT_LT(root->Size(), before);
    ExpectAsAFreshScan();
    EXPECT_NE(frm.StatusBar->NoticeText().indexOf(QStringLiteral("to the trash")), -1);

    // Declined: nothing moves.
    answer = false;
    Select(At("Music"));
    QTest::keyClick(frm.Tree, Qt::Key_Delete);
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_TRUE(fs::exists(t.Path("Music")));
    ExpectAsAFreshScan();
}

TEST_F(RescanTrashTest, F5RescansInPlaceKeepingTheSelection)
{
    Select(At("Videos/new"));
    t.File("Videos/new/more.mp4", 8'192'000);  // "new" becomes the biggest
    t.HardLink("keep/shared", "Videos/new/shared");
    QTest::keyClick(frm.Tree, Qt::Key_F5);
    EXPECT_EQ(Selected(), At("Videos/new"));
    EXPECT_EQ(At("Videos")->ChildAt(0), At("Videos/new"));
    ExpectAsAFreshScan();
    EXPECT_TRUE(frm.btnGo->isEnabled());
    EXPECT_FALSE(frm.Animate->isVisible());

    // A selection inside the rescanned folder moves up to it.
    TTreeEntry* inner = At("Videos/new");
    Select(inner->ChildAt(inner->ChildCount() - 1));  // its FILES entry
    fs::remove(t.Path("Videos/new/more.mp4"));
    TTreeEntry* videos = At("Videos");
    frm.RescanEntry(videos);
    EXPECT_EQ(Selected(), videos);
    ExpectAsAFreshScan();

    // The root itself, through the menu.
    Select(root);
    t.File("Music/more.ogg", 32'000);
    frm.Actions->Rescan->trigger();
    EXPECT_EQ(Selected(), root);
    ExpectAsAFreshScan();
}

// Every refusal leaves the tree and the disk as they were, with its reason
// in the status bar; no question is asked.
TEST_F(RescanTrashTest, RefusalsChangeNothing)
{
    TTreeEntry* videos = At("Videos");
    TTreeEntry* files = nullptr;
    for (int i = 0; i < videos->ChildCount(); ++i)
        if (videos->ChildAt(i)->IsFiles())
            files = videos->ChildAt(i);
    ASSERT_NE(files, nullptr);
    // "new" replaced on disk by another folder of the same name.
    fs::rename(t.Path("Videos/new"), t.Path("away"));
    t.Dir("Videos/new");

    struct Case {
        const char* what;
        TTreeEntry* entry;
        Qt::Key key;
        bool duringScan;
        const char* reason;
    };
    const Case cases[] = {
        {"trash while scanning", At("Music"), Qt::Key_Delete, true, "a scan is running"},
        {"rescan while scanning", At("Music"), Qt::Key_F5, true, "a scan is running"},
        {"trash a root", root, Qt::Key_Delete, false, "is a scanned root"},
        {"trash a FILES entry", files, Qt::Key_Delete, false, "are not listed"},
        {"rescan a FILES entry", files, Qt::Key_F5, false, "with their folder"},
        {"trash a replaced folder", At("Videos/new"), Qt::Key_Delete, false, "no longer the folder"},
    };
    const double size = root->Size();
    const int children = root->ChildCount();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TTempTree other;
        other.File("x", 1000);
        Select(c.entry);
        if (c.duringScan) {
            QTimer::singleShot(0, &frm, [&] { QTest::keyClick(frm.Tree, c.key); });
            frm.ScanRoot(other.Path());  // a second root: the first stays
        } else {
            QTest::keyClick(frm.Tree, c.key);
        }
        EXPECT_NE(frm.StatusBar->NoticeText().indexOf(QLatin1String(c.reason)), -1)
            << frm.StatusBar->NoticeText().toStdString();
        EXPECT_EQ(root->Size(), size);
        EXPECT_EQ(root->ChildCount(), children);
    }
    EXPECT_TRUE(questions.empty());
    EXPECT_FALSE(fs::exists(TrashFiles()));
    EXPECT_TRUE(fs::exists(t.Path("Videos/new")));
}

// A trash that cannot be made: the reason is shown, nothing moves.
TEST_F(RescanTrashTest, FailingTrashChangesNothing)
{
    home.File("blocked", 0);  // XDG_DATA_HOME a file: no trash folder under it
    ScopedEnv blocked("XDG_DATA_HOME", home.Path("blocked"));
    const double size = root->Size();
    Select(At("Videos/old"));
    frm.Actions->MoveToTrash->trigger();
    ASSERT_EQ(questions.size(), 1u);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].rfind("Could not move '" + t.Path("Videos/old") + "' to the trash: ", 0), 0u)
        << warnings[0];
    EXPECT_GT(warnings[0].size(), t.Path("Videos/old").size() + 40) << "no reason given";
    EXPECT_TRUE(fs::exists(t.Path("Videos/old/clip.mp4")));
    EXPECT_EQ(root->Size(), size);
    EXPECT_EQ(Selected(), At("Videos/old"));
    ExpectAsAFreshScan();
}

// A folder on a read-only file system cannot leave it: the reason is shown,
// nothing moves. In a forked child with a private mount namespace, where the
// scanned tree is mounted again read-only.
TEST_F(RescanTrashTest, TrashOnAReadOnlyFileSystemChangesNothing)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "a private read-only mount needs root";
    const double size = root->Size();
    Select(At("Videos/old"));
    const std::string at = t.Path();
    const pid_t pid = fork();
    if (pid == 0) {
        int code = 2;  // no read-only mount here
        if (unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
            && mount(at.c_str(), at.c_str(), nullptr, MS_BIND, nullptr) == 0
            && mount(nullptr, at.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0) {
            frm.Actions->MoveToTrash->trigger();
            for (const std::string& w : warnings)
                std::fprintf(stderr, "warning shown: %s\n", w.c_str());
            const bool unchanged = questions.size() == 1 && warnings.size() == 1
                && warnings[0].find("no trash on its file system") != std::string::npos
                && fs::exists(t.Path("Videos/old/clip.mp4")) && !fs::exists(TrashFiles() + "/old")
                && root->Size() == size && Selected() == At("Videos/old");
            code = unchanged ? 0 : 1;
        }
        _exit(code);
    }
    ASSERT_GT(pid, 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2)
        GTEST_SKIP() << "no private read-only mount possible here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the tree, the disk or the messages changed";
    EXPECT_TRUE(fs::exists(t.Path("Videos/old/clip.mp4")));
}
