// The status bar's figures and texts during a scan, after it and on
// selection; the red text and tool tips of folders that could not be read.
#include <QLabel>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstring>

#include "HostileSupport.h"
#include "MainWindowFixture.h"
#include "ScopedLocale.h"
#include "TempTree.h"
#include "app/Glyphs.h"
#include "app/ScanStatusBar.h"
#include "app/SizeTreeModel.h"
#include "app/StatusText.h"
#include "numtext/NumberText.h"
#include "sizetree/DirLister.h"

namespace {

const ByteUnits kUnits = {"bytes", "kB", "MB", "GB", "TB", "PB"};

}  // namespace

TEST(StatusText, FiguresAtTheirEdges)
{
    {
        const ScopedLocale s(QLocale::c());  // grouped all the same
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
        const ScopedLocale s(QLocale(QStringLiteral("de_DE")));
        EXPECT_EQ(ByteFigure(1234567890, kUnits), "1,2 GB");
        EXPECT_EQ(GroupedNumber(1234567), "1.234.567");
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
    const TTempTree t;
    EXPECT_EQ(FileSystemUsedBytes(t.Path()), 0u);  // a folder inside one
}

// A tmpfs holding 1 MiB, mounted in a private mount namespace of a child
// process: its root has its used bytes, a folder inside it none.
TEST(StatusText, UsedBytesOfAFileSystemRoot)
{
    const TTempTree t;
    const std::string root = t.Dir("fs"), file = root + "/f", inside = root + "/sub";
    const std::string result = InChild(
        [&]() -> std::string {
            if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
                || mount("tmpfs", root.c_str(), "tmpfs", 0, "size=8m") != 0)
                return std::string("SKIP: no tmpfs in a private mount namespace (") + std::strerror(errno)
                    + "): needs CAP_SYS_ADMIN";
            const std::string data(1 << 20, 'x');
            const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
            if (fd < 0 || write(fd, data.data(), data.size()) != static_cast<ssize_t>(data.size())
                || close(fd) != 0 || mkdir(inside.c_str(), 0700) != 0)
                return "could not fill the tmpfs";
            struct statvfs fs;
            if (statvfs(root.c_str(), &fs) != 0)
                return "statvfs failed";
            const uint64_t used = FileSystemUsedBytes(root),
                           expected = (fs.f_blocks - fs.f_bfree) * fs.f_frsize;
            if (used != expected || used < data.size())
                return "used " + std::to_string(used) + ", statvfs says " + std::to_string(expected);
            if (FileSystemUsedBytes(inside) != 0)
                return "a folder inside the tmpfs counts as its root";
            return "";
        },
        60);
    if (result.starts_with("SKIP: "))
        GTEST_SKIP() << result.substr(6);
    EXPECT_EQ(result, "");
}

TEST(SizeTreeModelRoles, UnreadableFoldersInRedWithTheirReason)
{
    TSizeTree tree;
    SizeTreeModel model(tree, TreeImages());
    TTreeEntry* root = tree.AddChildEntry(nullptr, "/r", TNode{"/r", 0, ""});
    TTreeEntry* shut = tree.AddChildEntry(root, "shut", TNode{"/r/shut", 0, "shut"});
    TTreeEntry* open = tree.AddChildEntry(root, "open", TNode{"/r/open", 0, "open"});
    shut->SetReadError(EACCES);
    root->Counts().UnreadableBelow = 3;
    open->Counts().UnreadableBelow = 1;
    auto data = [&](const TTreeEntry* e, int role) { return model.data(model.IndexOf(e), role); };
    EXPECT_EQ(data(shut, Qt::ForegroundRole).value<QColor>(), kUnreadableColour);
    EXPECT_FALSE(data(open, Qt::ForegroundRole).isValid());
    // The reason is the C library's text of the error (untranslated here);
    // the count below takes the singular or the plural.
    EXPECT_TRUE(data(shut, Qt::ToolTipRole).toString().endsWith(QString::fromUtf8(strerrordesc_np(EACCES))));
    const QString three = data(root, Qt::ToolTipRole).toString();
    EXPECT_TRUE(three.startsWith(QStringLiteral("3 ")));
    EXPECT_NE(data(open, Qt::ToolTipRole).toString(), QString(three).replace(0, 1, QStringLiteral("1")));
    EXPECT_EQ(data(shut, Qt::DisplayRole).toString(), QStringLiteral("shut"));  // caption as ever
    shut->SetReadError(0);
    EXPECT_FALSE(data(shut, Qt::ToolTipRole).isValid());
}

// A scan by the sequential lister, the bar sampled from its event hook.
TEST(ScanStatusBarTest, TextsDuringAfterAndOnSelection)
{
    const ScopedLocale s(QLocale::c());
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
    DirLister lister;
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
    const ScopedLocale s(QLocale::c());
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
