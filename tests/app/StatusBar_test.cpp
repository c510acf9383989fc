// The status bar's figures and texts during a scan, after it and on
// selection; the red text and tool tips of folders that could not be read.
#include <QLabel>
#include <gtest/gtest.h>

#include "MainWindowFixture.h"
#include "TempTree.h"
#include "app/Glyphs.h"
#include "app/ScanStatusBar.h"
#include "app/SizeTreeModel.h"
#include "app/StatusText.h"
#include "numtext/NumberText.h"
#include "sizetree/DirLister.h"

namespace {

// Sets the two separators for one test, then puts back the previous ones.
class Separators {
public:
    Separators(char decimal, char thousand) : decimal_(DecimalSeparator), thousand_(ThousandSeparator)
    {
        DecimalSeparator = decimal;
        ThousandSeparator = thousand;
    }
    ~Separators()
    {
        DecimalSeparator = decimal_;
        ThousandSeparator = thousand_;
    }

private:
    char decimal_;
    char thousand_;
};

const ByteUnits kUnits = {"bytes", "kB", "MB", "GB", "TB", "PB"};

}  // namespace

TEST(StatusText, FiguresAtTheirEdges)
{
    {
        const Separators s('.', ',');
        EXPECT_EQ(GroupedNumber(0), "0");
        EXPECT_EQ(GroupedNumber(999), "999");
        EXPECT_EQ(GroupedNumber(1000), "1,000");
        EXPECT_EQ(GroupedNumber(1234567890), "1,234,567,890");
        EXPECT_EQ(GroupedNumber(UINT64_MAX), "18,446,744,073,709,551,615");
        const std::pair<double, const char*> figures[] = {
            {0, "0 bytes"},       {999, "999 bytes"},     {1000, "1.0 kB"},
            {999949, "999.9 kB"}, {999950, "1.0 MB"},     {1234567890, "1.2 GB"},
            {5.5e12, "5.5 TB"},   {2.5e18, "2,500.0 PB"}, {-1, "0 bytes"},
        };
        for (auto [bytes, text] : figures)
            EXPECT_EQ(ByteFigure(bytes, kUnits), text) << bytes;
        EXPECT_EQ(ShareText(1, 3), "33.3 %");
        EXPECT_EQ(ShareText(5, 5), "100.0 %");
        EXPECT_EQ(ShareText(5, 0), "0 %");
    }
    {
        const Separators s(',', ' ');
        EXPECT_EQ(ByteFigure(1234567890, kUnits), "1,2 GB");
        EXPECT_EQ(GroupedNumber(1234567), "1 234 567");
    }
    using std::chrono::milliseconds;
    EXPECT_EQ(ElapsedText(milliseconds(0)), "0:00");
    EXPECT_EQ(ElapsedText(milliseconds(7999)), "0:07");
    EXPECT_EQ(ElapsedText(milliseconds(754000)), "12:34");
    EXPECT_EQ(ElapsedText(milliseconds(3723000)), "1:02:03");
    EXPECT_EQ(ScanPercent(5, 0), -1);
    EXPECT_EQ(ScanPercent(0, 100), 0);
    EXPECT_EQ(ScanPercent(42, 100), 42);
    EXPECT_EQ(ScanPercent(99, 100), 99);
    EXPECT_EQ(ScanPercent(250, 100), 99);  // never above 99 before the end
    EXPECT_GT(FileSystemUsedBytes("/"), 0u);
    const TTempTree t;
    EXPECT_EQ(FileSystemUsedBytes(t.Path()), 0u);  // a folder inside one
}

TEST(SizeTreeModelRoles, UnreadableFoldersInRedWithTheirReason)
{
    TSizeTree tree;
    TSizeTreeModel model(tree, TreeImages());
    TTreeEntry* root = tree.AddChildEntry(nullptr, "/r", TNode{"/r", 0, ""});
    TTreeEntry* shut = tree.AddChildEntry(root, "shut", TNode{"/r/shut", 0, "shut"});
    TTreeEntry* open = tree.AddChildEntry(root, "open", TNode{"/r/open", 0, "open"});
    shut->SetReadError(EACCES);
    root->Counts().UnreadableBelow = 3;
    open->Counts().UnreadableBelow = 1;
    auto data = [&](const TTreeEntry* e, int role) { return model.data(model.IndexOf(e), role); };
    EXPECT_EQ(data(shut, Qt::ForegroundRole).value<QColor>(), kUnreadableColour);
    EXPECT_FALSE(data(open, Qt::ForegroundRole).isValid());
    EXPECT_EQ(data(shut, Qt::ToolTipRole).toString(), QStringLiteral("Could not be read: Permission denied"));
    EXPECT_EQ(data(root, Qt::ToolTipRole).toString(),
              QStringLiteral("3 folders below could not be read; their sizes count as 0"));
    EXPECT_EQ(data(open, Qt::ToolTipRole).toString(),
              QStringLiteral("1 folder below could not be read; its size counts as 0"));
    EXPECT_EQ(data(shut, Qt::DisplayRole).toString(), QStringLiteral("shut"));  // caption as ever
    shut->SetReadError(0);
    EXPECT_FALSE(data(shut, Qt::ToolTipRole).isValid());
}

// A scan by the sequential lister, the bar sampled from its event hook.
TEST(ScanStatusBarTest, TextsDuringAfterAndOnSelection)
{
    const Separators s('.', ',');
    TTempTree t;
    t.File("a/f", 1'500'000);
    t.File("a/b/g", 2'000);
    t.File("c/h", 3'000);
    ScanStatusBar bar;
    bar.resize(2000, ScanStatusBar::kHeight);
    TSizeTree tree;
    TTreeEntry* root = tree.AddChildEntry(nullptr, t.Path(), TNode{t.Path(), 0, ""});
    ScanProgress progress;
    std::vector<QString> during;
    TScanHooks hooks;
    hooks.EventInterval = {};
    hooks.Progress = &progress;
    hooks.ProcessPendingMessages = [&] {
        bar.Sample(progress, nullptr);
        during.push_back(bar.ScanText());
    };
    bar.ScanStarted(t.Path());
    EXPECT_EQ(bar.ScanText(), QString::fromStdString("Scanning " + t.Path()));
    TDirLister lister;
    ScanFolderWith(tree, root, hooks, lister);
    // The first sample shows at once; the next ones within 100 ms are skipped.
    ASSERT_GE(during.size(), 4u);
    EXPECT_EQ(during[0],
              QString::fromStdString("Scanning " + t.Path() + " - 0 folders, 0 files, 0 bytes, 0:00"));
    EXPECT_EQ(during[1], during[0]);

    progress.Unreadable = 3;
    bar.ScanFinished(progress, root->ChildAt(0)->Name() == "a" ? root->ChildAt(0) : root->ChildAt(1));
    EXPECT_EQ(bar.ScanText(),
              QString::fromStdString(t.Path()
                                     + ": 1.5 MB in 3 files and 3 folders, scanned in 0:00; "
                                       "3 folders could not be read"));
    EXPECT_EQ(bar.EntryText(),
              QString::fromStdString(t.Path("a")
                                     + ": 1,502,000 bytes (1.5 MB), 0 bytes on disk, "
                                       "99.8 % of the folder above, 99.8 % of the root, "
                                       "2 files, 1 folder"));
    bar.ShowEntry(root);
    EXPECT_EQ(bar.EntryText(),
              QString::fromStdString(t.Path()
                                     + ": 1,505,000 bytes (1.5 MB), 0 bytes on disk, "
                                       "3 files, 3 folders"));
    bar.ShowEntry(nullptr);
    EXPECT_EQ(bar.EntryText(), QString());
}

// The window: the bar below the designed area, filled by a real scan and by
// the selection.
TEST_F(MainWindowTest, StatusBarFollowsScanAndSelection)
{
    const Separators s('.', ',');
    TTempTree t;
    t.File("big/f", 3'000'000);
    t.File("small/f", 1'000);
    frm.ScanRoot(t.Path());
    EXPECT_TRUE(frm.StatusBar->ScanText().startsWith(
        QString::fromStdString(t.Path() + ": 3.0 MB in 2 files and 2 folders, scanned in ")));
    EXPECT_FALSE(frm.StatusBar->ScanText().contains(QStringLiteral("could not be read")));
    TTreeEntry* big = Child(frm.SizeTree().FirstTopLevelEntry(), "big");
    ASSERT_NE(big, nullptr);
    frm.Tree->setCurrentIndex(frm.Model().IndexOf(big));
    EXPECT_EQ(frm.StatusBar->EntryText(),
              QString::fromStdString(t.Path("big")
                                     + ": 3,000,000 bytes (3.0 MB), 0 bytes on disk, "
                                       "100.0 % of the folder above, 100.0 % of the root, "
                                       "1 file, 0 folders"));
    // On screen the path gives way, in the middle, to the figures.
    frm.resize(300, frm.height());
    frm.Tree->setCurrentIndex(frm.Model().IndexOf(big->Parent()));
    const QLabel* line = frm.StatusBar->findChild<QLabel*>(QStringLiteral("EntryLine"));
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->text().contains(QChar(0x2026))) << line->text().toStdString();
    EXPECT_TRUE(line->text().endsWith(QStringLiteral("2 files, 2 folders")));
}
