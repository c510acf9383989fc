// Rescan (F5) and Move to Trash (Delete) on the selected entry, folders and
// listed loose files: afterwards the tree, the selection, the chart and the
// status bar match a fresh scan (with the same FILES entries listed);
// refusals and a failing trash change nothing. The trash is a private one
// under a temporary HOME and XDG_DATA_HOME.
#include <QTest>
#include <QTimer>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "MainWindowFixture.h"
#include "ReadAheadCompare.h"
#include "ScopedEnv.h"
#include "TempTree.h"
#include "app/CompositionChart.h"
#include "app/CompositionFeed.h"
#include "app/EntryActions.h"
#include "app/BusyAnimation.h"
#include "app/ScanStatusBar.h"
#include "chart/PieSeries.h"
#include "sizetree/DirLister.h"
#include "sizetree/EntryLookup.h"
#include "sizetree/LooseFiles.h"

namespace {

namespace fs = std::filesystem;

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
        t.File("keep/note.txt", 8'000);  // a FILES entry wherever "shared" counts
        t.File("Docs/zeta.pdf", 3'100'000);
        t.File("Docs/beta.txt", 700'000);
        t.File("Docs/alpha.txt", 60'000);
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

    TTreeEntry* At(const std::string& rel) { return FindEntry(frm.SizeTree(), t.Path(rel)); }

    void Select(TTreeEntry* e) { frm.Tree->setCurrentIndex(frm.Model().IndexOf(e)); }
    TTreeEntry* Selected() { return frm.Model().EntryAt(frm.Tree->currentIndex()); }

    // Lists the FILES entries below fresh that are listed below shown.
    static void ListAsShown(const TTreeEntry* shown, TSizeTree& tree, TTreeEntry* fresh, LinkLedger& ledger)
    {
        for (int i = 0; i < shown->ChildCount(); ++i) {
            const TTreeEntry* s = shown->ChildAt(i);
            for (int j = 0; j < fresh->ChildCount(); ++j) {
                TTreeEntry* f = fresh->ChildAt(j);
                if (s->IsFiles() != f->IsFiles() || s->Name() != f->Name())
                    continue;
                if (s->IsFiles() && s->ChildCount() > 0)
                    PutLooseFiles(tree, f,
                                  ListLooseFilesAt(PlanWalk(*fresh), LinksCountedElsewhere(ledger, fresh)),
                                  ledger, {});
                else
                    ListAsShown(s, tree, f, ledger);
                break;
            }
        }
    }

    // The tree, the chart and the entry line against a fresh scan of the root.
    void ExpectAsAFreshScan()
    {
        TScanResult fresh;
        fresh.Root = fresh.Tree.AddChildEntry(nullptr, t.Path(), TNode{t.Path(), 0, ""});
        fresh.Tree.SetOnCompare(frm.SizeTree().OnCompare());
        LinkLedger ledger;
        DirLister lister;
        ScanFolderWith(fresh.Tree, fresh.Root, {}, lister, ledger);
        fresh.Tree.SetImageIndex(fresh.Root, 1);
        ListAsShown(root, fresh.Tree, fresh.Root, ledger);
        EXPECT_EQ(FirstDifference(root, fresh.Root), "");
        TTreeEntry* selected = Selected();
        ASSERT_NE(selected, nullptr);
        // The selected entry's place, row by row from the root.
        std::vector<int> rows;
        for (const TTreeEntry* e = selected; e->Parent(); e = e->Parent())
            rows.insert(rows.begin(), e->Row());
        const TTreeEntry* match = fresh.Root;
        for (int row : rows)
            match = match && row < match->ChildCount() ? match->ChildAt(row) : nullptr;
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
    const std::string figure = frm.StatusBar
                                   ->Bytes(5'120'000
                                           + (questions[0].find("5.4") != std::string::npos) * 256'000)
                                   .toStdString();
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

// Two roots whose paths share a prefix: F5 keeps the selection in its own
// root, not at the look-alike path in the other.
TEST_F(MainWindowTest, F5KeepsTheSelectionInItsOwnRoot)
{
    TTempTree t;
    t.File("u/z/foo/a", 100);
    t.File("uXz/foo/b", 200);
    frm.ScanRoot(t.Path("u"));
    frm.ScanRoot(t.Path("uXz"));
    TTreeEntry* foo = FindEntry(frm.SizeTree(), t.Path("uXz/foo"));
    ASSERT_NE(foo, nullptr);
    frm.Tree->setCurrentIndex(frm.Model().IndexOf(foo));
    frm.RescanEntry(foo);
    EXPECT_EQ(frm.Model().EntryAt(frm.Tree->currentIndex())->Path(), t.Path("uXz/foo"));
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
        {"rescan a FILES entry while scanning", files, Qt::Key_F5, true, "a scan is running"},
        {"trash a replaced folder", At("Videos/new"), Qt::Key_Delete, false, "no longer the folder"},
        {"rescan a replaced folder", At("Videos/new"), Qt::Key_F5, false, "no longer the folder"},
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

// Expanding a FILES entry lists its files as children captioned like
// folders, image 2, in the order in force; the sizes add up to the entry's,
// a file with several links counting at one place only.
TEST_F(RescanTrashTest, AnExpandedFilesEntryListsItsFilesLikeFolders)
{
    TTreeEntry* docs = FilesOf(At("Docs"));
    const QModelIndex docsIndex = frm.Model().IndexOf(docs);
    EXPECT_TRUE(frm.Model().hasChildren(docsIndex));
    EXPECT_EQ(frm.Model().rowCount(docsIndex), 0);
    for (const char* folder : {"Docs", "keep", "Music", "Videos/old"}) {
        std::vector<QModelIndex> down;  // the FILES entry and its ancestors
        ASSERT_NE(FilesOf(At(folder)), nullptr) << folder;
        for (const TTreeEntry* e = FilesOf(At(folder)); e; e = e->Parent())
            down.insert(down.begin(), frm.Model().IndexOf(e));
        for (const QModelIndex& i : down)
            frm.Tree->expand(i);
    }
    WaitForListings();

    struct Order {
        QToolButton* button;
        std::vector<std::string> captions;
    };
    const Order orders[] = {
        {frm.btnByName, {"       0.1 MB  alpha.txt", "       0.7 MB  beta.txt", "       3.1 MB  zeta.pdf"}},
        {frm.btnBySize, {"       3.1 MB  zeta.pdf", "       0.7 MB  beta.txt", "       0.1 MB  alpha.txt"}},
    };
    for (const Order& o : orders) {
        o.button->click();
        ASSERT_EQ(frm.Model().rowCount(docsIndex), 3);
        for (int row = 0; row < 3; ++row) {
            const QModelIndex i = frm.Model().index(row, 0, docsIndex);
            EXPECT_EQ(frm.Model().data(i, Qt::DisplayRole).toString().toStdString(), o.captions[row]);
            EXPECT_EQ(frm.Model().EntryAt(i)->ImageIndex(), 2);
            EXPECT_TRUE(frm.Model().EntryAt(i)->IsListedFile());
        }
    }

    // One of the three links to "shared" counts it; the others show 0 MB
    // and say why.
    int counted = 0;
    for (const char* folder : {"keep", "Music", "Videos/old", "Docs"}) {
        const TTreeEntry* files = FilesOf(At(folder));
        ASSERT_NE(files, nullptr) << folder;
        double sum = 0;
        for (int i = 0; i < files->ChildCount(); ++i) {
            const TTreeEntry* f = files->ChildAt(i);
            sum += f->Size();
            const QString tip = frm.Model().data(frm.Model().IndexOf(f), Qt::ToolTipRole).toString();
            EXPECT_EQ(f->IsCountedElsewhere(), tip.contains(QLatin1String("counted first"))) << f->Path();
            if (f->Name() == "shared") {
                counted += !f->IsCountedElsewhere();
                EXPECT_EQ(f->Size(), f->IsCountedElsewhere() ? 0.0 : 256'000.0);
            }
        }
        EXPECT_EQ(sum, files->Size()) << folder;
    }
    EXPECT_EQ(counted, 1);

    // The pie of a listed FILES entry shows its files.
    Select(docs);
    ASSERT_EQ(frm.PieSeries->Count(), 3);
    EXPECT_EQ(frm.PieSeries->PointLabel(0), "zeta.pdf");
    EXPECT_EQ(frm.PieSeries->PointLabel(1), "beta.txt");
    EXPECT_EQ(frm.PieSeries->PointLabel(2), "Other");
    ExpectAsAFreshScan();
}

// A listed file goes to the trash like a folder: asked first, then the tree
// equals a fresh scan, also for a file with several links.
TEST_F(RescanTrashTest, DeleteMovesAListedFileToTheTrash)
{
    for (const char* folder : {"Docs", "Music"})
        frm.RescanEntry(FilesOf(At(folder)));  // F5 on a FILES entry lists it
    WaitForListings();
    ASSERT_EQ(FilesOf(At("Docs"))->ChildCount(), 3);
    Select(FilesOf(At("Docs"))->ChildAt(0));
    QTest::keyClick(frm.Tree, Qt::Key_Delete);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0],
              "Move '" + t.Path("Docs/zeta.pdf") + "' (" + frm.StatusBar->Bytes(3'100'000).toStdString()
                  + ") to the trash?");
    EXPECT_TRUE(warnings.empty());
    EXPECT_TRUE(fs::exists(TrashFiles() + "/zeta.pdf"));
    EXPECT_FALSE(fs::exists(t.Path("Docs/zeta.pdf")));
    EXPECT_EQ(FilesOf(At("Docs"))->ChildCount(), 2);
    ExpectAsAFreshScan();

    TTreeEntry* music = FilesOf(At("Music"));
    for (int i = 0; i < music->ChildCount(); ++i)
        if (music->ChildAt(i)->Name() == "shared")
            Select(music->ChildAt(i));
    ASSERT_EQ(Selected()->Name(), "shared");
    QTest::keyClick(frm.Tree, Qt::Key_Delete);
    EXPECT_TRUE(fs::exists(TrashFiles() + "/shared"));
    ExpectAsAFreshScan();
}

// Listed FILES entries, the smaller files' entry and a file replaced on disk
// are refused, with the reason; F5 on a listed file lists its folder afresh.
TEST_F(RescanTrashTest, ListedEntriesRefusalsAndAFreshListing)
{
    for (int i = 0; i <= static_cast<int>(kListedFilesKept); ++i)
        t.File("Many/f" + std::to_string(i), 1000 + static_cast<uint64_t>(i));
    frm.RescanEntry(root);
    frm.RescanEntry(FilesOf(At("Many")));
    frm.RescanEntry(FilesOf(At("Docs")));
    WaitForListings();
    TTreeEntry* many = FilesOf(At("Many"));
    ASSERT_EQ(many->ChildCount(), static_cast<int>(kListedFilesKept) + 1);
    TTreeEntry* smaller = many->ChildAt(many->ChildCount() - 1);
    ASSERT_TRUE(smaller->IsSmallerFiles());
    TTreeEntry* docs = FilesOf(At("Docs"));
    TTreeEntry* beta = docs->ChildAt(1);
    ASSERT_EQ(beta->Name(), "beta.txt");
    t.File("Docs/beta.new", 700'000);  // another file of the same name
    fs::rename(t.Path("Docs/beta.new"), t.Path("Docs/beta.txt"));

    struct Case {
        const char* what;
        TTreeEntry* entry;
        const char* reason;
    };
    const Case cases[] = {
        {"a listed FILES entry", docs, "move one by one"},
        {"the smaller files", smaller, "not listed one by one"},
        {"a replaced file", beta, "no longer the file that was listed"},
    };
    const double size = root->Size();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Select(c.entry);
        QTest::keyClick(frm.Tree, Qt::Key_Delete);
        EXPECT_NE(frm.StatusBar->NoticeText().indexOf(QLatin1String(c.reason)), -1)
            << frm.StatusBar->NoticeText().toStdString();
        EXPECT_EQ(root->Size(), size);
    }
    EXPECT_TRUE(questions.empty());
    EXPECT_FALSE(fs::exists(TrashFiles()));

    // F5 on a listed file: its folder as it is now, the selection kept.
    t.File("Docs/new.bin", 5'000'000);
    Select(docs->ChildAt(2));
    ASSERT_EQ(Selected()->Name(), "alpha.txt");
    QTest::keyClick(frm.Tree, Qt::Key_F5);
    WaitForListings();
    ASSERT_EQ(docs->ChildCount(), 4);
    EXPECT_EQ(docs->ChildAt(0)->Name(), "new.bin");
    EXPECT_EQ(Selected()->Path(), t.Path("Docs/alpha.txt"));
    ExpectAsAFreshScan();
}

// A FILES entry that goes while its listing runs: the listing is dropped.
// One selected during a scan is listed when the scan ends.
TEST_F(RescanTrashTest, AListingWhoseEntryWentIsDropped)
{
    struct Case {
        const char* what;
        std::function<void()> action;
    };
    const Case cases[] = {
        {"a new Go of the root", [&] { frm.ScanRoot(t.Path()); }},
        {"a rescan of its folder", [&] { frm.RescanEntry(At("Docs")); }},
        {"its folder moved to the trash", [&] { frm.TrashEntry(At("Docs")); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        frm.RescanEntry(FilesOf(At("Docs")));
        ASSERT_TRUE(frm.ListingFiles());
        c.action();
        root = frm.SizeTree().TopLevelAt(0);
        WaitForListings();
        if (TTreeEntry* docs = At("Docs")) {
            EXPECT_EQ(FilesOf(docs)->ChildCount(), 0);
        }
        Select(root);
        ExpectAsAFreshScan();
        EXPECT_FALSE(frm.Animate->isVisible());
    }
    EXPECT_FALSE(fs::exists(t.Path("Docs")));

    TTempTree other;
    other.File("x", 1000);
    QTimer::singleShot(0, &frm, [&] {
        Select(FilesOf(At("Music")));
        QApplication::processEvents();
        EXPECT_TRUE(frm.ListingFiles());  // waiting for the scan's end
    });
    frm.ScanRoot(other.Path());
    WaitForListings();
    EXPECT_GT(FilesOf(At("Music"))->ChildCount(), 0);
    ExpectAsAFreshScan();
}

// A folder gone since the scan: its FILES entry keeps the scan's size, shows
// why in red and is not asked for again by the views; F5 asks again. A
// folder made anew there is another folder: refused until it is scanned.
TEST_F(RescanTrashTest, AFolderThatCannotBeListedIsNotAskedAgain)
{
    TTreeEntry* files = FilesOf(At("Docs"));
    const double size = root->Size();
    fs::rename(t.Path("Docs"), t.Path("away"));  // kept: a new Docs gets another inode
    Select(files);
    WaitForListings();
    EXPECT_NE(frm.StatusBar->NoticeText().indexOf(QLatin1String("Could not list")), -1);
    EXPECT_EQ(files->ReadError(), ReadErrorOfErrno(ENOENT));
    EXPECT_EQ(files->ChildCount(), 0);
    EXPECT_EQ(root->Size(), size);
    const QModelIndex index = frm.Model().IndexOf(files);
    EXPECT_FALSE(frm.Model().canFetchMore(index));
    frm.Tree->expand(index);
    Select(root);
    Select(files);
    QApplication::processEvents();
    EXPECT_FALSE(frm.ListingFiles());

    t.File("Docs/again.txt", 70'000);
    QTest::keyClick(frm.Tree, Qt::Key_F5);
    WaitForListings();
    EXPECT_EQ(files->ReadError(), kReadChanged);
    EXPECT_TRUE(
        frm.StatusBar->NoticeText().endsWith(QLatin1String(": No longer the folder that was scanned")));
    EXPECT_EQ(root->Size(), size);
    frm.RescanEntry(root);
    frm.RescanEntry(FilesOf(At("Docs")));
    WaitForListings();
    ASSERT_EQ(FilesOf(At("Docs"))->ChildCount(), 1);
    EXPECT_EQ(FilesOf(At("Docs"))->ChildAt(0)->Name(), "again.txt");
    ExpectAsAFreshScan();
}
