// Remembered scans in the window, with a private store: a second scan of a
// changed tree shows the change on the status bar, in tool tips and in the
// Changes Since… window; --no-history writes nothing; a write that fails
// is said on the status bar, and one held up does not hold the window.
#include <QComboBox>
#include <QLabel>
#include <QTimer>
#include <QTreeWidget>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "MainWindowFixture.h"
#include "TempTree.h"
#include "app/ChangeSince.h"
#include "app/ChangesWindow.h"
#include "app/EntryActions.h"
#include "app/ScanStatusBar.h"

namespace {

QString Figure(double bytes)
{
    return QString::number(bytes);
}

size_t FilesIn(const std::string& folder)
{
    std::error_code ec;
    size_t n = 0;
    for (auto it = std::filesystem::directory_iterator(folder, ec); !ec && it != std::filesystem::end(it);
         it.increment(ec))
        ++n;
    return n;
}

class ChangesTest : public MainWindowTest {
protected:
    ChangesTest()
    {
        t.File("root/a/f1", 1000);
        t.File("root/b/f2", 5000);
        root = t.Path("root");
        store = t.Path("state/tallowin/scans");
    }

    // Scans the root and lets the worker end.
    TTreeEntry* Scan()
    {
        frm.ScanRoot(root);
        frm.Memory().Wait();
        return Roots().empty() ? nullptr : frm.SizeTree().FirstTopLevelEntry();
    }

    std::string Since()
    {
        const ScanMemory::Baseline* b = frm.Memory().BaselineOf(root);
        return b ? BaselineWhen(*b).toStdString() : "(none)";
    }

    TTempTree t;
    std::string root;
    std::string store;
};

}  // namespace

TEST(ChangeSince, TextsAtTheirEdges)
{
    const QDateTime now = QDateTime::fromSecsSinceEpoch(1'796'800'000);  // 9 Dec 2026
    const int64_t sameYear = QDateTime(QDate(2026, 12, 3), QTime(14, 2)).toSecsSinceEpoch();
    const int64_t lastYear = QDateTime(QDate(2025, 12, 31), QTime(23, 59)).toSecsSinceEpoch();
    EXPECT_EQ(ScanWhenText(sameYear, now, "f"), "3 Dec 14:02");
    EXPECT_EQ(ScanWhenText(lastYear, now, "f"), "31 Dec 2025 23:59");
    EXPECT_EQ(ScanWhenText(0, now, "saved.json"), "saved.json");

    const struct {
        EntryChange change;
        const char* text;
    } cases[] = {
        {{true, false, {100, 0}, {350, 0}}, "+250 since D"},
        {{true, false, {350, 0}, {100, 0}}, "-250 since D"},
        {{true, false, {7, 0}, {7, 99}}, "unchanged since D"},  // apparent sizes only
        {{true, true, {}, {5, 0}}, "new since D"},
        {{false, false, {}, {5, 0}}, ""},  // a listed file: not remembered
    };
    for (const auto& c : cases)
        EXPECT_EQ(EntryChangeText(c.change, "D", Figure).toStdString(), c.text);
}

TEST_F(ChangesTest, SecondScanOfAChangedTreeShowsTheChange)
{
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(t.Path("state")));
    const std::optional<std::string> folder = ScanStore::DefaultFolder();
    qunsetenv("XDG_STATE_HOME");
    ASSERT_EQ(folder, store);
    frm.Memory().UseStore(folder, true);

    TTreeEntry* first = Scan();
    ASSERT_TRUE(first);
    EXPECT_EQ(FilesIn(store), 1u);
    EXPECT_EQ(frm.ChangeText(*first), "") << "no earlier scan yet";
    t.File("root/a/new.bin", 2'500'000);
    TTreeEntry* second = Scan();
    EXPECT_EQ(FilesIn(store), 2u);

    // The status bar's entry line and the tool tips.
    TTreeEntry* a = Child(second, "a");
    frm.Tree->setCurrentIndex(frm.Model().IndexOf(a));
    EXPECT_TRUE(frm.StatusBar->EntryText().startsWith(
        QString::fromStdString(root + "/a (+2.5 MB since " + Since() + "): ")))
        << frm.StatusBar->EntryText().toStdString();
    EXPECT_EQ(frm.Model().data(frm.Model().IndexOf(a), Qt::ToolTipRole).toString().toStdString(),
              "+2.5 MB since " + Since());
    EXPECT_EQ(frm.ChangeText(*Child(second, "b")).toStdString(), "unchanged since " + Since());

    // Ctrl+D: the Changes window, the changed folders largest first (ties
    // by path), then, now and change.
    frm.Actions->ChangesSince->trigger();
    ASSERT_TRUE(frm.Changes);
    EXPECT_TRUE(frm.Changes->isVisible());
    frm.Memory().Wait();
    QTreeWidget& rows = *frm.Changes->Rows;
    ASSERT_EQ(rows.topLevelItemCount(), 2);
    const QString expected[2][4] = {{QString::fromStdString(root), "6.0 kB", "2.5 MB", "+2.5 MB"},
                                    {QString::fromStdString(root + "/a"), "1.0 kB", "2.5 MB", "+2.5 MB"}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(rows.topLevelItem(r)->text(c), expected[r][c]) << r << "," << c;
    EXPECT_EQ(frm.Changes->Summary->text().toStdString(), "2 folders changed since " + Since());
    // The chooser: the first scan (the one shown is no earlier scan) and Other file….
    EXPECT_EQ(frm.Changes->Chooser->count(), 2);
    EXPECT_EQ(frm.Changes->Chooser->currentIndex(), 0);
    EXPECT_EQ(frm.Changes->Chooser->itemText(1), "Other file…");

    // A double click selects the folder in the tree.
    frm.Tree->setCurrentIndex(frm.Model().IndexOf(second));
    emit rows.itemDoubleClicked(rows.topLevelItem(1), 0);
    EXPECT_EQ(frm.Model().EntryAt(frm.Tree->currentIndex()), a);

    // F5 below the root: the window follows.
    t.File("root/b/more", 1'000'000);
    frm.RescanEntry(Child(second, "b"));
    frm.Memory().Wait();
    ASSERT_EQ(rows.topLevelItemCount(), 3);
    EXPECT_EQ(rows.topLevelItem(0)->text(3), "+3.5 MB");
    EXPECT_EQ(rows.topLevelItem(2)->text(0), QString::fromStdString(root + "/b"));

    // Escape there ends the program, as in every window.
    QTest::keyClick(frm.Changes->Rows, Qt::Key_Escape);
    EXPECT_EQ(endCalls, 1);
}

TEST_F(ChangesTest, SavedScanChosenAsTheBaseline)
{
    frm.Memory().UseStore(store, true);
    const std::string saved = t.Path("before.json");
    ASSERT_EQ(std::system(("'" TALLOWIN_BINARY "' --export '" + root + "' > '" + saved + "'").c_str()), 0);
    Scan();
    std::filesystem::remove_all(t.Path("root/b"));
    TTreeEntry* now = Scan();
    frm.ShowChanges(now);
    frm.Memory().Wait();  // listed
    frm.Changes->SetFilePicker([&] { return QString::fromStdString(saved); });
    emit frm.Changes->Chooser->activated(frm.Changes->Chooser->count() - 1);
    frm.Memory().Wait();  // read
    frm.Memory().Wait();  // compared
    ASSERT_EQ(frm.Changes->Rows->topLevelItemCount(), 2);
    EXPECT_EQ(frm.Changes->Rows->topLevelItem(1)->text(0), QString::fromStdString(root + "/b"));
    EXPECT_EQ(frm.Changes->Rows->topLevelItem(1)->text(2), "–");  // removed
    EXPECT_EQ(frm.Changes->Rows->topLevelItem(1)->text(3), "-5.0 kB");
    EXPECT_EQ(frm.Changes->Chooser->currentText(), "before.json");
    // The chosen baseline stays over a later scan, on the entry line too.
    now = Scan();
    EXPECT_EQ(frm.ChangeText(*now), "-5.0 kB since before.json");
    // A removed folder is not in the tree to be selected.
    emit frm.Changes->Rows->itemDoubleClicked(frm.Changes->Rows->topLevelItem(1), 0);
    EXPECT_TRUE(frm.StatusBar->NoticeText().contains("is not in the tree"));
}

TEST_F(ChangesTest, NoHistoryWritesNothingButComparesWithinTheRun)
{
    frm.Memory().UseStore(store, false);
    Scan();
    t.File("root/c/g", 3000);
    TTreeEntry* second = Scan();
    EXPECT_FALSE(std::filesystem::exists(t.Path("state")));
    EXPECT_EQ(frm.ChangeText(*Child(second, "c")).toStdString(), "new since " + Since());
}

TEST_F(ChangesTest, FailedOrHeldWritesNeitherLieNorFreeze)
{
    // The state folder a file: nothing can be made under it.
    t.File("state", 10);
    frm.Memory().UseStore(store, true);
    Scan();
    EXPECT_TRUE(frm.StatusBar->NoticeText().startsWith("The scan of " + QString::fromStdString(root)
                                                       + " was not remembered: make folder"))
        << frm.StatusBar->NoticeText().toStdString();

    // Another writer holds the store: the scan ends and the window runs on
    // while the write waits for it. A second scan meanwhile is compared with
    // the first, not with the one the store held before (an hour ago).
    TTempTree other;
    const std::string held = other.Dir("scans");
    const std::string second = other.Dir("second");
    FolderSnapshot hourAgo(second, time(nullptr) - 3600);
    hourAgo.Close(hourAgo.Open("", {}));
    ASSERT_FALSE(ScanStore(held).Remember(hourAgo).Failure);
    frm.Memory().UseStore(held, true);
    const int fd = open(held.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    frm.ScanRoot(second);
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    QTest::qWait(50);
    EXPECT_TRUE(ran);
    EXPECT_EQ(FilesIn(held), 1u);
    other.File("second/c/g", 3000);
    frm.ScanRoot(second);
    flock(fd, LOCK_UN);
    close(fd);
    frm.Memory().Wait();
    EXPECT_EQ(FilesIn(held), 3u);
    const TTreeEntry* c = Child(frm.SizeTree().TopLevelAt(1), "c");
    ASSERT_TRUE(c);
    EXPECT_TRUE(frm.ChangeText(*c).startsWith("new since")) << frm.ChangeText(*c).toStdString();
    EXPECT_GE(frm.Memory().BaselineOf(second)->Snapshot->ScanTime(), time(nullptr) - 60);
}

TEST_F(ChangesTest, EntriesFoundByPathUnderTheLongestRoot)
{
    t.File("root/a/deep/f", 10);
    frm.ScanRoot(root + "/a");
    frm.ScanRoot(root);
    frm.SelectPath(root + "/a/deep");
    const TTreeEntry* e = frm.Model().EntryAt(frm.Tree->currentIndex());
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Path(), root + "/a/deep");
    EXPECT_EQ(e->Root()->Path(), root + "/a");
    frm.SelectPath(root + "/a/dee");
    EXPECT_EQ(frm.Model().EntryAt(frm.Tree->currentIndex()), e);
}

namespace {

// An earlier scan of rootPath in the store: the root and its subfolders
// (names ascending) with their apparent totals.
void RememberEarlier(const std::string& store, const std::string& rootPath, int64_t scanTime,
                     const std::vector<std::pair<std::string, uint64_t>>& subfolders)
{
    FolderSnapshot s(rootPath, scanTime);
    uint64_t total = 0;
    for (const auto& sub : subfolders)
        total += sub.second;
    const size_t root = s.Open("", {total, 0});
    for (const auto& [name, bytes] : subfolders)
        s.Close(s.Open(name, {bytes, 0}));
    s.Close(root);
    ASSERT_FALSE(ScanStore(store).Remember(s).Failure);
}

}  // namespace

TEST_F(ChangesTest, RememberedScanChosenFromTheChooser)
{
    const int64_t now = time(nullptr);
    RememberEarlier(store, root, now - 86400, {{"a", 1000}});
    RememberEarlier(store, root, now - 7 * 86400, {});
    frm.Memory().UseStore(store, true);
    frm.ShowChanges(Scan());
    frm.Memory().Wait();
    QComboBox& chooser = *frm.Changes->Chooser;
    ASSERT_EQ(chooser.count(), 3);  // yesterday, last week, Other file…
    EXPECT_EQ(chooser.currentIndex(), 0);
    EXPECT_EQ(frm.Changes->Rows->topLevelItemCount(), 2);  // the root and b; a unchanged
    emit chooser.activated(1);
    frm.Memory().Wait();  // read
    frm.Memory().Wait();  // listed and compared
    EXPECT_EQ(chooser.currentIndex(), 1);
    EXPECT_EQ(frm.Changes->Rows->topLevelItemCount(), 3);
    EXPECT_EQ(frm.Memory().BaselineOf(root)->Snapshot->ScanTime(), now - 7 * 86400);
    EXPECT_TRUE(frm.ChangeText(*Child(frm.SizeTree().TopLevelAt(0), "a")).startsWith("new since"));
}

TEST_F(ChangesTest, AtMostAThousandRows)
{
    for (int i = 0; i <= 1000; ++i)
        t.File("root/d" + std::to_string(i) + "/f", 10);
    RememberEarlier(store, root, time(nullptr) - 86400, {});
    frm.Memory().UseStore(store, false);
    frm.ShowChanges(Scan());
    frm.Memory().Wait();
    EXPECT_EQ(frm.Changes->Rows->topLevelItemCount(), 1000);
    EXPECT_TRUE(frm.Changes->Summary->text().startsWith("The " + QLocale().toString(1000) + " folders"));
    // Largest first: the root, b, a, then the new folders of 10 bytes.
    EXPECT_EQ(frm.Changes->Rows->topLevelItem(1)->text(0), QString::fromStdString(root + "/b"));
    EXPECT_EQ(frm.Changes->Rows->topLevelItem(2)->text(0), QString::fromStdString(root + "/a"));
}

TEST_F(ChangesTest, WhichScansAreRememberedAndCompared)
{
    frm.Memory().UseStore(store, true);
    TTreeEntry* first = Scan();
    // While a root is scanned afresh its partial totals are not compared.
    QString during = "(not run)";
    QTimer::singleShot(0, &frm, [&] { during = frm.ChangeText(*frm.SizeTree().TopLevelAt(0)); });
    first = Scan();
    EXPECT_EQ(during, "");
    EXPECT_EQ(FilesIn(store), 2u);
    // F5 on a folder below the root: not a scan of the root.
    frm.RescanEntry(Child(first, "a"));
    frm.Memory().Wait();
    EXPECT_EQ(FilesIn(store), 2u);

    // A saved scan opened in the window, compared with after F5 on its
    // root (here the tree as it is, then the root scanned again).
    frm.Memory().UseStore(std::nullopt, false);
    TTreeEntry* opened = frm.SizeTree().TopLevelAt(0);
    frm.ShowChangesAgainst(*opened, "/saved/monday.json");
    t.File("root/b/more", 20000);
    frm.RescanEntry(opened);
    frm.Memory().Wait();
    EXPECT_EQ(frm.ChangeText(*frm.SizeTree().TopLevelAt(0)), "+20.0 kB since monday.json");
    EXPECT_EQ(FilesIn(store), 2u);  // no store now

    // F5 on the root is a scan of it; a scan stopped is not remembered.
    frm.Memory().UseStore(store, true);
    frm.RescanEntry(frm.SizeTree().TopLevelAt(0));
    frm.Memory().Wait();
    EXPECT_EQ(FilesIn(store), 3u);
    for (int i = 0; i < 200; ++i)
        t.Dir("root/wide/d" + std::to_string(i) + "/x");
    QTimer::singleShot(0, &frm, [&] { frm.close(); });
    Scan();
    EXPECT_EQ(FilesIn(store), 3u);
}
