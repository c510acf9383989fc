// Acting on the selected entry: Copy path and Open, from the keyboard and
// from the tree's context menu.
#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QMenu>
#include <QTest>
#include <QUrl>

#include "MainWindowFixture.h"
#include "TempTree.h"
#include "app/EntryActions.h"

namespace {

// Takes the URLs the program asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "Take"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    std::vector<QString> Paths;
public slots:
    void Take(const QUrl& url) { Paths.push_back(url.toLocalFile()); }
};

}  // namespace

TEST_F(MainWindowTest, CopyPathAndOpenActOnTheSelectedEntry)
{
    TTempTree t;
    t.File("Videos/old/clip.mp4", 4000);
    t.File("Videos/loose.txt", 10);
    frm.ScanRoot(t.Path());
    TTreeEntry* root = frm.SizeTree().TopLevelAt(0);
    TTreeEntry* videos = Child(root, "Videos");
    ASSERT_NE(videos, nullptr);
    TTreeEntry* files = nullptr;
    for (int i = 0; i < videos->ChildCount(); ++i)
        if (videos->ChildAt(i)->IsFiles())
            files = videos->ChildAt(i);
    ASSERT_NE(files, nullptr);

    UrlCatcher opened;
    QClipboard* clipboard = QGuiApplication::clipboard();
    struct Case {
        TTreeEntry* entry;
        std::string path;  // what is copied and opened
    };
    const Case cases[] = {
        {root, t.Path()},
        {Child(videos, "old"), t.Path("Videos/old")},
        {files, t.Path("Videos")},  // the loose files' folder
    };
    frm.Tree->setFocus();
    for (const Case& c : cases) {
        frm.Tree->setCurrentIndex(frm.Model().IndexOf(c.entry));
        clipboard->clear();
        QTest::keyClick(frm.Tree, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(clipboard->text().toStdString(), c.path);
        QTest::keyClick(frm.Tree, Qt::Key_Return, Qt::ControlModifier);
        ASSERT_FALSE(opened.Paths.empty());
        EXPECT_EQ(opened.Paths.back().toStdString(), c.path);
    }
    EXPECT_EQ(opened.Paths.size(), std::size(cases));

    // The menu offers all four, with their shortcuts shown.
    QList<QAction*> items = frm.Actions->Menu->actions();
    items.removeIf([](QAction* a) { return a->isSeparator(); });
    ASSERT_EQ(items.size(), 4);
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

    UrlCatcher opened;
    for (bool shown : {true, false}) {
        std::vector<QUrl> asked;
        frm.Actions->SetShowItem([&](const QUrl& file, std::function<void(bool)> done) {
            asked.push_back(file);
            done(shown);
        });
        opened.Paths.clear();
        QTest::keyClick(frm.Tree, Qt::Key_Return, Qt::ControlModifier);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].toLocalFile().toStdString(), t.Path("Videos/loose.txt"));
        EXPECT_EQ(opened.Paths,
                  shown ? std::vector<QString>{}
                        : std::vector<QString>{QString::fromStdString(t.Path("Videos"))});
    }
}

#include "EntryActions_test.moc"
