// Dropping on the window: only one local folder or saved scan, never during a scan;
// everything else is refused with a reason.
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>

#include "MainWindowFixture.h"
#include "TempTree.h"
#include "app/FolderDrop.h"
#include "app/ScanStatusBar.h"
#include "drives/DriveComboBox.h"

TEST(FolderDrop, OneLocalFolderOutsideAScan)
{
    TTempTree t;
    t.File("plain.txt", 10);
    t.Dir("folder");
    const QUrl folder = QUrl::fromLocalFile(QString::fromStdString(t.Path("folder")));
    struct Case {
        const char* what;
        QList<QUrl> urls;
        bool scanning;
        std::string folder;  // "" when refused
        std::string savedScan = "";
    };
    const Case cases[] = {
        {"a folder", {folder}, false, t.Path("folder")},
        {"a folder during a scan", {folder}, true, ""},
        {"a file",
         {QUrl::fromLocalFile(QString::fromStdString(t.Path("plain.txt")))},
         false,
         "",
         t.Path("plain.txt")},
        {"a device", {QUrl::fromLocalFile(QStringLiteral("/dev/null"))}, false, ""},
        {"a missing path", {QUrl::fromLocalFile(QString::fromStdString(t.Path("gone")))}, false, ""},
        {"a remote folder", {QUrl(QStringLiteral("sftp://host/home/ann"))}, false, ""},
        {"two folders", {folder, folder}, false, ""},
        {"no URL", {}, false, ""},
    };
    for (const Case& c : cases) {
        QMimeData data;
        data.setUrls(c.urls);
        if (c.urls.isEmpty())
            data.setText(QStringLiteral("some text"));
        const DropVerdict v = JudgeDrop(data, c.scanning);
        EXPECT_EQ(v.Folder, c.folder) << c.what;
        EXPECT_EQ(v.SavedScan, c.savedScan) << c.what;
        EXPECT_EQ(v.Refusal.isEmpty(), !c.folder.empty() || !c.savedScan.empty()) << c.what;
    }
}

// On the window: a dropped folder is added to the chooser and scanned; a
// dropped device is refused in the status bar, a file that is no saved scan
// too once it was read.
TEST_F(MainWindowTest, DroppedFolderIsScannedAndAFileRefused)
{
    TTempTree t;
    t.File("drop/a/f", 2'000'000);
    t.File("plain.txt", 10);
    auto drop = [&](const std::string& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        QDragEnterEvent enter(QPoint(300, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&frm, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(300, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&frm, &dropped);
        QApplication::processEvents();
        return dropped.isAccepted();
    };
    EXPECT_FALSE(drop("/dev/null"));
    EXPECT_TRUE(
        frm.StatusBar->currentMessage().contains(QStringLiteral("Neither a folder nor a saved scan")));
    EXPECT_TRUE(drop(t.Path("plain.txt")));  // opened as a saved scan, which it is not
    QApplication::processEvents();
    EXPECT_TRUE(frm.StatusBar->NoticeText().contains(QStringLiteral("not a saved scan")));
    EXPECT_EQ(frm.SizeTree().TopLevelCount(), 0);

    EXPECT_TRUE(drop(t.Path("drop")));
    EXPECT_EQ(frm.cbxDrive->SelectedDrive(), t.Path("drop"));
    ASSERT_EQ(Roots(), std::vector<std::string>{t.Path("drop")});
    EXPECT_EQ(frm.SizeTree().TopLevelAt(0)->Size(), 2'000'000);
    EXPECT_EQ(frm.SizeTree().TopLevelAt(0)->ImageIndex(), 1);
}
