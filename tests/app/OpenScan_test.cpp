// Saved scans in the window: the program's own export of a tree opened looks
// as the scan of that tree (its files listed from the file, not the disk);
// nothing in it is moved or rescanned but its root, whose F5 scans the
// folder; bad files leave their reason in the status bar and the window as
// it was. Anything written goes to private XDG folders.
#include <QDateTime>
#include <QLocale>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "MainWindowFixture.h"
#include "ReadAheadCompare.h"
#include "ScopedEnv.h"
#include "TempTree.h"
#include "app/ScanSession.h"
#include "app/ScanStatusBar.h"
#include "drives/DriveComboBox.h"
#include "app/ChangesWindow.h"
#include "savedscan/Export.h"
#include "savedscan/SavedReport.h"
#include "savedscan/SavedScan.h"
#include "sizetree/DirLister.h"
#include "sizetree/LooseFiles.h"

namespace {

namespace fs = std::filesystem;

class OpenScanTest : public MainWindowTest {
protected:
    OpenScanTest()
    {
        t.File("tree/Videos/clip.mp4", 4'096'000);
        t.File("tree/Videos/cut.mp4", 1'024'000);
        t.File("tree/Music/song.ogg", 512'000);
        t.File("tree/keep/shared", 256'000);
        t.HardLink("tree/keep/shared", "tree/Music/shared");
        t.File("tree/loose.txt", 16'000);
        t.File("tree/notes.txt", 2'000);
        frm.SetTrashDialogs(
            [this](const QString&) {
                ++questions;
                return true;
            },
            [](const QString&) {});
    }

    std::string Write(const std::string& name, const std::string& text)
    {
        std::ofstream(t.Path(name), std::ios::binary) << text;
        return t.Path(name);
    }
    // The program's own export of folder.
    std::string Export(const std::string& folder)
    {
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(RunExport({folder, "test"}, out, err), 0) << err.str();
        return Write("tree.json", out.str());
    }
    QString Notice() const { return frm.StatusBar->NoticeText(); }

    TTempTree t;
    ScopedEnv data{"XDG_DATA_HOME", t.Dir("xdg/data")};
    ScopedEnv state{"XDG_STATE_HOME", t.Dir("xdg/state")};
    ScopedEnv config{"XDG_CONFIG_HOME", t.Dir("xdg/config")};
    int questions = 0;
};

}  // namespace

TEST_F(OpenScanTest, ShownAsTheScanOfItsTreeAndOnlyItsRootRescanned)
{
    const std::string file = Export(t.Path("tree"));
    // The scan of the same tree, its root's files listed.
    TSizeTree fresh;
    fresh.SetOnCompare(frm.SizeTree().OnCompare());
    TTreeEntry* scanned = fresh.AddChildEntry(nullptr, t.Path("tree"), TNode{t.Path("tree"), 0, ""});
    LinkLedger ledger;
    DirLister lister;
    ScanFolderWith(fresh, scanned, {}, lister, ledger);
    fresh.SetImageIndex(scanned, 1);
    PutLooseFiles(fresh, FilesOf(scanned),
                  ListLooseFilesAt(PlanWalk(*scanned), LinksCountedElsewhere(ledger, scanned)), ledger, {});
    fs::remove(t.Path("tree/notes.txt"));  // listed all the same: from the file

    frm.SetScanFileDialog([&](QWidget*) { return file; });
    emit frm.cbxDrive->OpenScanChosen();
    ASSERT_EQ(Roots(), std::vector<std::string>{t.Path("tree")});
    TTreeEntry* root = frm.SizeTree().TopLevelAt(0);
    frm.Tree->setCurrentIndex(frm.Model().IndexOf(FilesOf(root)));
    WaitForListings();
    EXPECT_EQ(FirstDifference(root, scanned), "");
    EXPECT_TRUE(frm.StatusBar->ScanText().startsWith(QString::fromStdString(t.Path("tree"))
                                                     + QStringLiteral(": a saved scan from ")))
        << frm.StatusBar->ScanText().toStdString();
    EXPECT_TRUE(frm.btnGo->isEnabled());

    TTreeEntry* videos = Child(root, "Videos");
    frm.TrashEntry(videos);
    EXPECT_EQ(questions, 0);
    EXPECT_TRUE(Notice().contains(QStringLiteral("saved scan"))) << Notice().toStdString();
    EXPECT_TRUE(fs::exists(t.Path("tree/Videos/clip.mp4")));
    frm.RescanEntry(videos);
    EXPECT_TRUE(Notice().startsWith(QStringLiteral("Rescan refused: this is a saved scan")));
    EXPECT_EQ(Child(root, "Videos"), videos);

    // F5 on the root scans the folder; the saved scan stays until then.
    std::vector<std::string> rootsAtHook;
    QObject::connect(&frm.Session(), &ScanSession::SavedRootRescanned,
                     [&](const TTreeEntry& saved, TTreeEntry* now) {
                         EXPECT_EQ(&saved, root);
                         EXPECT_EQ(now->Size(), scanned->Size() - 2'000);
                         rootsAtHook = Roots();
                     });
    frm.RescanEntry(root);
    EXPECT_EQ(rootsAtHook, std::vector<std::string>(2, t.Path("tree")));
    ASSERT_EQ(Roots(), std::vector<std::string>{t.Path("tree")});
    EXPECT_EQ(frm.Session().SavedRootOf(*frm.SizeTree().TopLevelAt(0)), nullptr);
    // ...and what changed since the file was saved shows: on the entry line,
    // and in the Changes window, which comes up.
    const TTreeEntry* now = frm.SizeTree().TopLevelAt(0);
    EXPECT_TRUE(frm.ChangeText(*now).startsWith(QStringLiteral("-2.0 kB since ")))
        << frm.ChangeText(*now).toStdString();
    ASSERT_NE(frm.Changes, nullptr);
    EXPECT_TRUE(frm.Changes->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return frm.Changes->Rows->topLevelItemCount() == 1; }));
}

// A file from elsewhere, opened by Ctrl+Shift+O: its date as the locale writes it, its files listed
// though its folder is nowhere here, and F5 on its root refused with why.
TEST_F(OpenScanTest, ForeignFileListedFromItselfItsRootNotRescanned)
{
    const std::string file = Write("foreign.json", R"([1,2,{"progname":"other","timestamp":1700000000},
        [{"name":"/nonexistent-place/share"},{"name":"a.bin","asize":5000},{"name":"b.bin","asize":3000},
         [{"name":"sub"},{"name":"c","asize":100}]]])");
    frm.SetScanFileDialog([&](QWidget*) { return file; });
    frm.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frm));
    QTest::keyClick(&frm, Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);  // Open Scan…
    ASSERT_EQ(Roots(), std::vector<std::string>{"/nonexistent-place/share"});
    TTreeEntry* root = frm.SizeTree().TopLevelAt(0);
    const QString date = QLocale().toString(QDateTime::fromSecsSinceEpoch(1700000000), QLocale::ShortFormat);
    EXPECT_TRUE(frm.StatusBar->ScanText().contains(QStringLiteral("a saved scan from ") + date));
    frm.Tree->setCurrentIndex(frm.Model().IndexOf(FilesOf(root)));
    WaitForListings();
    const TTreeEntry* files = FilesOf(root);
    ASSERT_EQ(files->ChildCount(), 2);
    EXPECT_EQ(files->ChildAt(0)->Path(), "/nonexistent-place/share/a.bin");
    EXPECT_EQ(files->ChildAt(1)->Size(), 3000);

    frm.RescanEntry(root);
    EXPECT_TRUE(Notice().contains(QStringLiteral("is no folder here"))) << Notice().toStdString();
    EXPECT_EQ(frm.SizeTree().TopLevelAt(0), root);
}

// Each bad file: the launcher's reason in the status bar, nothing else changed.
TEST_F(OpenScanTest, BadFilesSayWhyAndChangeNothing)
{
    std::ifstream in(Export(t.Path("tree")), std::ios::binary);
    const std::string good(std::istreambuf_iterator<char>(in), {});
    frm.OpenSavedScan(t.Path("tree.json"));
    ASSERT_EQ(frm.SizeTree().TopLevelCount(), 1);
    const TTreeEntry* root = frm.SizeTree().TopLevelAt(0);
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        {"truncated", good.substr(0, good.size() / 2)},
        {"empty", ""},
        {"no JSON", "hello"},
        {"a later major version", R"([2,0,{},[{"name":"/x"}]])"},
        {"a name with a slash", R"([1,2,{},[{"name":"/x"},{"name":"a/b","asize":1}]])"},
        {"a size out of range", R"([1,2,{},[{"name":"/x"},{"name":"a","asize":-1}]])"},
        {"deep nesting", std::string(200'000, '[')},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string file = Write("bad" + std::to_string(n++) + ".json", c.text);
        frm.OpenSavedScan(file);
        TSizeTree scratch;
        const SavedScanResult expected = ReadSavedScan(file, scratch, {});
        ASSERT_TRUE(expected.Fault) << c.what;
        EXPECT_EQ("tallowin: " + Notice().toStdString(), DescribeFault(file, *expected.Fault)) << c.what;
        EXPECT_EQ(frm.SizeTree().TopLevelCount(), 1) << c.what;
        EXPECT_EQ(frm.SizeTree().TopLevelAt(0), root) << c.what;
        EXPECT_FALSE(frm.Session().Busy()) << c.what;
        EXPECT_TRUE(frm.btnGo->isEnabled()) << c.what;
    }
    frm.OpenSavedScan(t.Path("missing.json"));
    EXPECT_TRUE(Notice().startsWith(QStringLiteral("Could not read "))) << Notice().toStdString();
}
