// Acting on the selected entry: Copy path and Open, from the keyboard and
// from the tree's context menu, with the path's exact bytes.
#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "MainWindowFixture.h"
#include "TempTree.h"
#include "app/DesktopOpen.h"
#include "app/EntryActions.h"
#include "app/ScanStatusBar.h"

namespace {

// A stand-in for the desktop's opener: notes each URI it is given in
// "opened" beside it and exits with the status written in "status".
class FakeOpener {
public:
    explicit FakeOpener(EntryActions& actions)
    {
        const std::string script = dir.File("open", 0);
        std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"$(dirname \"$0\")/opened\"\n"
                                 "exit $(cat \"$(dirname \"$0\")/status\")\n";
        chmod(script.c_str(), 0755);
        SetStatus(0);
        actions.Opener->SetProgram(QString::fromStdString(script));
    }
    void SetStatus(int status) const { std::ofstream(dir.Path("status")) << status << '\n'; }
    // Waits for the count-th URI and returns it.
    std::string Nth(size_t count) const
    {
        std::vector<std::string> lines;
        (void)QTest::qWaitFor([&] {
            lines.clear();
            std::ifstream in(dir.Path("opened"));
            for (std::string line; std::getline(in, line);)
                lines.push_back(line);
            return lines.size() >= count;
        });
        QTest::qWait(20);  // its end, read by the window
        return lines.size() >= count ? lines[count - 1] : std::string();
    }

    TTempTree dir;
};

}  // namespace

TEST_F(MainWindowTest, CopyPathAndOpenGiveTheExactBytes)
{
    TTempTree t;
    t.File("Videos/old/clip.mp4", 4000);
    t.File("Videos/loose.txt", 10);
    t.File("a\xff/x", 10);          // not UTF-8
    t.File("a\xef\xbf\xbd/y", 10);  // its look-alike: U+FFFD
    t.File("sp ace'/z", 10);
    frm.ScanRoot(t.Path());
    TTreeEntry* root = frm.SizeTree().TopLevelAt(0);
    TTreeEntry* videos = Child(root, "Videos");
    ASSERT_NE(videos, nullptr);
    FakeOpener opener(*frm.Actions);

    struct Case {
        TTreeEntry* entry;
        std::string text;  // pasteable text
        std::string uri;
    };
    const std::string r = t.Path();
    const std::string u = "file://" + r;
    const Case cases[] = {
        {root, r, u},
        {Child(videos, "old"), r + "/Videos/old", u + "/Videos/old"},
        {FilesOf(videos), r + "/Videos", u + "/Videos"},  // the loose files' folder
        {Child(root, "a\xff"), "$'" + r + "/a\\xFF'", u + "/a%FF"},
        {Child(root, "a\xef\xbf\xbd"), r + "/a\xef\xbf\xbd", u + "/a%EF%BF%BD"},
        {Child(root, "sp ace'"), r + "/sp ace'", u + "/sp%20ace%27"},
    };
    frm.Tree->setFocus();
    QClipboard* clipboard = QGuiApplication::clipboard();
    size_t opened = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.uri);
        ASSERT_NE(c.entry, nullptr);
        frm.Tree->setCurrentIndex(frm.Model().IndexOf(c.entry));
        clipboard->clear();
        QTest::keyClick(frm.Tree, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(clipboard->text().toStdString(), c.text);
        EXPECT_EQ(clipboard->mimeData()->data(QStringLiteral("text/uri-list")).toStdString(), c.uri + "\r\n");
        QTest::keyClick(frm.Tree, Qt::Key_Return, Qt::ControlModifier);
        EXPECT_EQ(opener.Nth(++opened), c.uri);
    }

    // The desktop cannot open it, or there is no opener: the status bar says so.
    opener.SetStatus(3);
    frm.Tree->setCurrentIndex(frm.Model().IndexOf(root));
    QTest::keyClick(frm.Tree, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(opener.Nth(++opened), u);
    // The opener's end comes when the machine gets to it.
    const QString noProgram =
        QStringLiteral("Could not open %1: the desktop has no program to open it").arg(t.Path().c_str());
    EXPECT_TRUE(QTest::qWaitFor([&] { return frm.StatusBar->NoticeText() == noProgram; }))
        << frm.StatusBar->NoticeText().toStdString();
    frm.Actions->Opener->SetProgram(QString::fromStdString(t.Path("no-such-opener")));
    QTest::keyClick(frm.Tree, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return frm.StatusBar->NoticeText().contains(QLatin1String("could not be started")); }));

    // The menu offers all five, and the checkable Sizes on Disk, with their
    // shortcuts shown.
    QList<QAction*> items = frm.Actions->Menu->actions();
    items.removeIf([](QAction* a) { return a->isSeparator(); });
    ASSERT_EQ(items.size(), 6);
    EXPECT_EQ(items[4]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    EXPECT_EQ(items[5]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_U));
    EXPECT_TRUE(items[5]->isCheckable());
    EXPECT_EQ(items[0]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Return));
    EXPECT_EQ(items[1]->shortcut(), QKeySequence(QKeySequence::Copy));
    EXPECT_EQ(items[2]->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(items[3]->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(items[2]->text(), QStringLiteral("&Rescan"));
    EXPECT_EQ(items[3]->text(), QStringLiteral("Move to &Trash"));
    for (QAction* a : items)
        EXPECT_TRUE(a->isShortcutVisibleInContextMenu());
}

// Open on a listed file asks the file manager to show it; when that fails,
// its folder opens. Copy path gives the file's own path.
TEST_F(MainWindowTest, OpenShowsAListedFileInItsFolder)
{
    TTempTree t;
    t.File("Videos/loose.txt", 10);
    frm.ScanRoot(t.Path());
    TTreeEntry* files = FilesOf(Child(frm.SizeTree().TopLevelAt(0), "Videos"));
    frm.RescanEntry(files);
    WaitForListings();
    ASSERT_EQ(files->ChildCount(), 1);
    frm.Tree->setFocus();
    frm.Tree->setCurrentIndex(frm.Model().IndexOf(files->ChildAt(0)));
    QTest::keyClick(frm.Tree, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), t.Path("Videos/loose.txt"));

    FakeOpener opener(*frm.Actions);
    size_t opened = 0;
    for (bool shown : {true, false}) {
        std::vector<QUrl> asked;
        frm.Actions->SetShowItem([&](const QUrl& file, std::function<void(bool)> done) {
            asked.push_back(file);
            done(shown);
        });
        QTest::keyClick(frm.Tree, Qt::Key_Return, Qt::ControlModifier);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].toLocalFile().toStdString(), t.Path("Videos/loose.txt"));
        if (!shown) {
            EXPECT_EQ(opener.Nth(++opened), "file://" + t.Path("Videos"));
        }
    }
    EXPECT_EQ(opened, 1u);
}
