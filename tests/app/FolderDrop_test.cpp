// What a drop on the window asks for: only one local folder, never during a
// scan; everything else is refused with a reason.
#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>

#include "TempTree.h"
#include "app/FolderDrop.h"

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
    };
    const Case cases[] = {
        {"a folder", {folder}, false, t.Path("folder")},
        {"a folder during a scan", {folder}, true, ""},
        {"a file", {QUrl::fromLocalFile(QString::fromStdString(t.Path("plain.txt")))}, false, ""},
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
        EXPECT_EQ(v.Refusal.isEmpty(), !c.folder.empty()) << c.what;
    }
}
