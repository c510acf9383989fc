// Sizes on Disk in the window, the status bar's figures in the user's
// locale, and the smaller files' entry under its own, translated name.
#include <QAction>
#include <QSettings>
#include <gtest/gtest.h>

#include <fstream>

#include "MainWindowFixture.h"
#include "ScopedLocale.h"
#include "TempTree.h"
#include "app/EntryActions.h"
#include "sizetree/LooseFiles.h"
#include "app/EntryName.h"
#include "app/ScanStatusBar.h"
#include "app/StatusText.h"
#include "chart/PieSeries.h"
#include "drives/DriveComboBox.h"

namespace {

// A locale's grouping and decimal sign never read alike: "10,552" must not
// be ten and a half anywhere. The status bar shows both kinds of figure.
TEST(StatusFigures, GroupingAndDecimalSignDifferInEveryLocale)
{
    TSizeTree tree;
    TTreeEntry* root = tree.AddChildEntry(nullptr, "/r", TNode{"/r", 16600000, ""});
    root->Counts().Files = 10552;
    for (const char* name : {"C", "en_US", "de_DE", "ru_RU", "fr_FR"}) {
        const ScopedLocale scoped{QLocale(QString::fromLatin1(name))};
        const QString group = FigureLocale().groupSeparator(), decimal = FigureLocale().decimalPoint();
        ASSERT_FALSE(group.isEmpty()) << name;
        EXPECT_NE(group, decimal) << name;
        EXPECT_EQ(ShareText(1, 3), "33" + decimal + "3 %") << name;
        ScanStatusBar bar;
        bar.ShowEntry(root);
        const QString bytes = "16" + group + "600" + group + "000 ", figure = "16" + decimal + "6 ";
        EXPECT_TRUE(bar.EntryText().contains(bytes) && bar.EntryText().contains(figure)) << name;
        EXPECT_TRUE(bar.EntryText().contains("10" + group + "552")) << name;
        if (QLatin1String(name) == QLatin1String("ru_RU")) {
            EXPECT_TRUE(bar.EntryText().startsWith("/r: " + bytes + "байт (16,6 МБ)"));
        }
    }
}

void WriteData(const std::string& path, size_t bytes)
{
    std::ofstream(path, std::ios::binary) << std::string(bytes, 'x');
}

std::vector<std::string> Captions(const TTreeEntry* e)
{
    std::vector<std::string> out;
    for (int i = 0; i < e->ChildCount(); ++i)
        out.push_back(e->ChildAt(i)->Caption());
    return out;
}

bool RememberedOnDisk()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "tallowin", "tallowin")
        .value("view/sizesOnDisk", false)
        .toBool();
}

class SizesOnDisk : public MainWindowTest {};

// Off (the default) the captions are the scan's, byte for byte; on, the
// tree, its order and the pie show the blocks, at once and without a scan,
// and the next window starts so; off again, everything is as before.
TEST_F(SizesOnDisk, SwitchesCaptionsOrderAndPieAndIsRemembered)
{
    TTempTree t;
    t.File("sparse/big", 50000000);
    t.Dir("tiny");
    for (int i = 0; i < 200; ++i)
        WriteData(t.Path("tiny/f" + std::to_string(i)), 10);
    ASSERT_FALSE(frm.Actions->SizesOnDisk->isChecked());
    frm.ScanRoot(t.Root());
    TTreeEntry* root = frm.SizeTree().TopLevelAt(0);
    const std::vector<std::string> apparent = {"        50 MB  sparse", "         0 MB  tiny"};
    ASSERT_EQ(Captions(root), apparent);
    frm.Tree->setCurrentIndex(frm.Model().IndexOf(root));
    EXPECT_EQ(frm.PieSeries->PointLabel(0), "sparse");

    frm.Actions->SizesOnDisk->trigger();
    EXPECT_EQ(frm.SizeTree().Shown(), SizeKind::Disk);
    EXPECT_EQ(root->ChildAt(0)->Name(), "tiny");
    EXPECT_EQ(Captions(root)[1], "         0 MB  sparse");
    EXPECT_EQ(Captions(root)[0], FinalCaption(frm.SizeTree(), *root->ChildAt(0)));
    EXPECT_EQ(frm.PieSeries->PointLabel(0), "tiny");
    EXPECT_TRUE(RememberedOnDisk());
    {
        TfrmAbout about2;
        TfrmTallowin second(about2);
        EXPECT_TRUE(second.Actions->SizesOnDisk->isChecked());
        EXPECT_EQ(second.SizeTree().Shown(), SizeKind::Disk);
    }

    frm.Actions->SizesOnDisk->trigger();
    EXPECT_EQ(Captions(root), apparent);
    EXPECT_EQ(frm.PieSeries->PointLabel(0), "sparse");
    EXPECT_FALSE(RememberedOnDisk());
}

// The rest of a listing under its own name, translated where the window
// shows it, the tree keeping its bytes; no doubled figure below 1 kB.
TEST(StatusFigures, SmallerFilesNamedAndSmallFiguresGivenOnce)
{
    TSizeTree tree;
    TTreeEntry* root = tree.AddChildEntry(nullptr, "/r", TNode{"/r", 3, ""});
    TTreeEntry* files = tree.AddDerivedEntry(root, "", "", 3, TPathKind::pkFiles);
    const std::string name = SmallerFilesName(3);
    TTreeEntry* rest = tree.AddDerivedEntry(files, FolderCaptionText(3, name), name, 3,
                                            TPathKind::pkSmallerFiles);
    ScanStatusBar bar;
    bar.ShowEntry(rest);
    EXPECT_TRUE(bar.EntryText().startsWith("/r/[3 smaller files]: 3 bytes, 0 bytes on disk"))
        << bar.EntryText().toStdString();
    const ScopedLocale russian{QLocale(QLocale::Russian, QLocale::Russia)};
    EXPECT_EQ(EntryCaptionText(*rest), "         0 MB  [3 мелких файла]");
    EXPECT_EQ(rest->Caption(), "         0 MB  [3 smaller files]");
}

// The drop-down is as wide as its longest entry; the box keeps its width.
TEST_F(SizesOnDisk, DropDownFitsItsLongestEntry)
{
    const int boxWidth = frm.cbxDrive->width();
    const std::string longFolder = "/" + std::string(120, 'm');
    frm.cbxDrive->AddFolder(longFolder);
    const QFontMetrics fm(frm.cbxDrive->font());
    EXPECT_GT(frm.cbxDrive->view()->minimumWidth(), fm.horizontalAdvance(QString::fromStdString(longFolder)));
    EXPECT_EQ(frm.cbxDrive->width(), boxWidth);
}

}  // namespace
