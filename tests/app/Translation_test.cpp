// The window in English and in Russian: Russian locales load the program's
// translation, the texts the design fixes (the Russian tool hints, the window
// and about window texts) read the same in both, and every family of the
// window's own texts is translated.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMimeData>
#include <QTreeWidget>
#include <QUrl>
#include <gtest/gtest.h>

#include <map>

#include "ScopedLocale.h"
#include "TempTree.h"
#include "app/AboutUnit.h"
#include "app/ChangesWindow.h"
#include "app/EntryActions.h"
#include "app/EntryName.h"
#include "app/FolderDrop.h"
#include "app/MainUnit.h"
#include "app/ReadErrorReason.h"
#include "app/ScanStatusBar.h"
#include "app/SizeTreeModel.h"
#include "app/SizeTreeView.h"
#include "drives/DriveComboBox.h"
#include "sizetree/Listing.h"

namespace {

// Every tool hint, title, label and button text of both windows, by object.
std::map<QString, QString> FixedTexts()
{
    TfrmAbout about;
    TfrmTallowin frm(about);
    std::map<QString, QString> texts;
    for (QWidget* top : {static_cast<QWidget*>(&frm), static_cast<QWidget*>(&about)}) {
        texts[top->objectName() + QStringLiteral(".title")] = top->windowTitle();
        for (QWidget* w : top->findChildren<QWidget*>()) {
            if (!w->toolTip().isEmpty())
                texts[w->objectName() + QStringLiteral(".hint")] = w->toolTip();
            if (auto* b = qobject_cast<QAbstractButton*>(w))
                texts[w->objectName() + QStringLiteral(".text")] = b->text();
            if (auto* l = qobject_cast<QLabel*>(w))
                texts[w->objectName() + QStringLiteral(".text")] = l->text();
        }
    }
    return texts;
}

TEST(Translation, RussianLoadsTheTranslationAndKeepsTheFixedTexts)
{
    std::map<QString, QString> english;
    {
        const ScopedLocale locale(QLocale(QLocale::English, QLocale::UnitedStates));
        EXPECT_FALSE(locale.Translated());  // the source texts are English
        english = FixedTexts();
    }
    const ScopedLocale locale(QLocale(QLocale::Russian, QLocale::Russia));
    EXPECT_TRUE(locale.Translated());
    const std::map<QString, QString> russian = FixedTexts();
    EXPECT_EQ(russian, english);
    EXPECT_EQ(russian.count(QStringLiteral("btnGo.hint")), 1u);
    EXPECT_EQ(russian.count(QStringLiteral("btnOK.text")), 1u);
}

// The window's own texts under locale, by family, made as the window makes
// them: from a window that scanned folder (holding one subfolder). The
// subfolder's caption, which the design fixes, goes in as "caption".
std::map<std::string, QStringList> OwnTexts(const QLocale& locale, const std::string& folder)
{
    const ScopedLocale scoped(locale);
    TfrmAbout about;
    TfrmTallowin frm(about);
    frm.show();
    frm.ScanRoot(folder);
    TTreeEntry* root = frm.SizeTree().TopLevelAt(0);
    TTreeEntry* sub = root->ChildAt(0);
    frm.Tree->setCurrentIndex(frm.Model().IndexOf(sub));
    std::map<std::string, QStringList> texts;
    texts["caption"] << QString::fromStdString(sub->Caption());
    texts["status bar"] << frm.StatusBar->ScanText() << frm.StatusBar->EntryText();
    const EntryActions& menu = *frm.Actions;
    texts["tree menu"] << menu.Open->text() << menu.CopyPath->text() << menu.Rescan->text()
                       << menu.MoveToTrash->text() << menu.SizesOnDisk->text() << menu.ChangesSince->text();
    texts["smaller files"] << SmallerFilesText(1) << SmallerFilesText(3) << SmallerFilesText(10552);
    frm.ShowChanges(root);
    const ChangesWindow& changes = *frm.Changes;
    texts["changes window"] << changes.windowTitle() << changes.Summary->text()
                            << changes.Chooser->itemText(changes.Chooser->count() - 1);
    for (int c = 0; c < changes.Rows->columnCount(); ++c)
        texts["changes window"] << changes.Rows->headerItem()->text(c);
    sub->SetReadError(EACCES);
    sub->Counts().UnreadableBelow = 1;
    root->Counts().UnreadableBelow = 3;
    for (const TTreeEntry* e : {sub, root})
        texts["tree tool tips"]
            << frm.Model().data(frm.Model().IndexOf(e), Qt::ToolTipRole).toString().split('\n');
    for (uint8_t code : {uint8_t(EACCES), uint8_t(ENOENT), kReadReplaced, kReadAbandoned, uint8_t(EIO)})
        texts["read errors"] << ReadErrorReason(code);
    texts["drive chooser"] << frm.cbxDrive->itemText(frm.cbxDrive->count() - 2)
                           << frm.cbxDrive->itemText(frm.cbxDrive->count() - 1);
    QMimeData two, text;
    two.setUrls({QUrl::fromLocalFile(QStringLiteral("/a")), QUrl::fromLocalFile(QStringLiteral("/b"))});
    text.setText(QStringLiteral("x"));
    texts["dropped folders"] << JudgeDrop(two, false).Refusal << JudgeDrop(text, false).Refusal
                             << JudgeDrop(two, true).Refusal;
    frm.TrashEntry(root);
    texts["window notices"] << frm.StatusBar->NoticeText();
    frm.OpenSavedScan(folder + "/a/f");  // zeros, no saved scan
    texts["saved scans"] << frm.StatusBar->NoticeText();
    frm.ShowStartFailure("/no/such/folder", ENOENT);
    texts["window notices"] << frm.StatusBar->NoticeText();
    return texts;
}

// Under Russian no text of a family reads as under English: a text whose
// translation is missing or stale (its source changed) stays English. The
// captions the design fixes stay as they are.
TEST(Translation, EveryFamilyOfOwnTextsIsTranslated)
{
    TTempTree t;
    t.File("a/f", 1000);
    auto english = OwnTexts(QLocale(QLocale::English, QLocale::UnitedStates), t.Path());
    auto russian = OwnTexts(QLocale(QLocale::Russian, QLocale::Russia), t.Path());
    EXPECT_EQ(russian.extract("caption").mapped(), english.extract("caption").mapped());
    for (const auto& [family, texts] : english) {
        ASSERT_EQ(russian[family].size(), texts.size()) << family;
        for (qsizetype i = 0; i < texts.size(); ++i) {
            EXPECT_FALSE(texts[i].isEmpty()) << family << " " << i;
            EXPECT_NE(russian[family][i].toStdString(), texts[i].toStdString()) << family;
        }
    }
}

}  // namespace
