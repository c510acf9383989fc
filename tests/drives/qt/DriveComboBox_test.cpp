#include "drives/DriveComboBox.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QImage>
#include <QPainter>

#include "FakeDriveSource.h"
#include "drives/DrawDriveItem.h"
#include "drives/DriveImages.h"
#include "drives/DriveItemDelegate.h"

namespace {

using K = TDriveKind;

std::vector<TFakeDrive> Mounts()
{
    return {{"/", K::dkFixed, "Root", std::nullopt},
            {"/home", K::dkFixed, "Users", std::nullopt},
            {"/media/stick", K::dkRemovable, std::nullopt, std::nullopt},
            {"/mnt/nas", K::dkRemote, std::nullopt, "//nas/media"},
            {"/proc", K::dkOther, std::nullopt, std::nullopt},
            {"/tmp", K::dkRamDisk, std::nullopt, std::nullopt}};
}

// Counts the emissions of a signal.
struct TCounter {
    template <typename Signal> TCounter(TDriveComboBox* combo, Signal signal)
    {
        QObject::connect(combo, signal, [this] { ++n; });
    }
    int count() const { return n; }
    int n = 0;
};

// A combo box over Mounts(); `source` stays readable through the pointer.
struct TFixture {
    explicit TFixture(const std::string& cwd = "/home/ann")
    {
        auto owned = std::make_unique<TFakeDriveSource>(Mounts());
        source = owned.get();
        combo = std::make_unique<TDriveComboBox>(std::move(owned), cwd);
    }
    TFakeDriveSource* source = nullptr;
    std::unique_ptr<TDriveComboBox> combo;
};

QFont PixelFont(int pixels)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(pixels);
    return f;
}

const QColor kBack(0xE5, 0xE5, 0xE5);
const QColor kText(Qt::black);

QImage Paint(int width, int height, const QPixmap* image, const QString& caption,
             const TItemColours& colours = {kBack, kText})
{
    QImage out(width, height, QImage::Format_ARGB32);
    out.fill(Qt::magenta);
    QPainter p(&out);
    p.setFont(PixelFont(11));
    DrawDriveItem(p, QRect(0, 0, width, height), image, caption, colours);
    return out;
}

// Columns [from, to) in which some pixel differs from `back`.
std::vector<int> InkColumns(const QImage& img, int from, int to, QColor back)
{
    std::vector<int> cols;
    for (int x = from; x < to; ++x)
        for (int y = 0; y < img.height(); ++y)
            if (img.pixelColor(x, y) != back) {
                cols.push_back(x);
                break;
            }
    return cols;
}

}  // namespace

// --- The five pictures ---

TEST(DriveImages, SizesAndTransparentKeyColour)
{
    TDriveImages images;
    struct Case {
        K Kind;
        QSize Size;
    };
    const Case cases[] = {{K::dkRemovable, {16, 16}},
                          {K::dkFixed, {16, 16}},
                          {K::dkRemote, {16, 11}},
                          {K::dkCdRom, {16, 11}},
                          {K::dkRamDisk, {16, 11}}};
    for (const auto& c : cases) {
        const QPixmap* pm = images.ForKind(c.Kind);
        ASSERT_NE(pm, nullptr);
        ASSERT_EQ(pm->size(), c.Size) << int(c.Kind);
        const QImage img = pm->toImage();
        EXPECT_EQ(qAlpha(img.pixel(0, img.height() - 1)), 0) << int(c.Kind);                // the key colour
        EXPECT_EQ(qAlpha(img.pixel(img.width() - 1, img.height() - 1)), 0) << int(c.Kind);  // bottom row
        EXPECT_EQ(qAlpha(img.pixel(5, 7)), 255) << int(c.Kind);                             // the drive body
    }
    EXPECT_EQ(images.ForKind(K::dkOther), nullptr);
}

// --- Drawing one entry ---

TEST(DrawDriveItem, ImageAtLeftPlusTwoVerticallyCentred)
{
    TDriveImages images;
    struct Case {
        K Kind;
        int ItemHeight;
        int Top;  // (0 + itemHeight - h) / 2, truncated
    };
    const Case cases[] = {{K::dkFixed, 16, 0},
                          {K::dkFixed, 19, 1},
                          {K::dkRemote, 16, 2},
                          {K::dkCdRom, 17, 3},
                          {K::dkRamDisk, 20, 4}};
    for (const auto& c : cases) {
        const QPixmap* pm = images.ForKind(c.Kind);
        const QImage src = pm->toImage();
        const QImage out = Paint(120, c.ItemHeight, pm, QString());
        EXPECT_EQ(DriveImageRect(QRect(0, 0, 120, c.ItemHeight), 16, pm->height()).topLeft(),
                  QPoint(2, c.Top));
        for (int y = 0; y < src.height(); ++y)
            for (int x = 0; x < src.width(); ++x) {
                const QColor want = qAlpha(src.pixel(x, y)) ? QColor(src.pixel(x, y)) : kBack;
                ASSERT_EQ(out.pixelColor(2 + x, c.Top + y), want)
                    << int(c.Kind) << " h" << c.ItemHeight << " at " << x << "," << y;
            }
        EXPECT_TRUE(InkColumns(out, 0, 2, kBack).empty());
    }
}

TEST(DrawDriveItem, TextBeginsAfterImageWidthPlusSix)
{
    TDriveImages images;
    for (const QPixmap* pm :
         {images.ForKind(K::dkFixed), images.ForKind(K::dkRemote), static_cast<const QPixmap*>(nullptr)}) {
        const QImage out = Paint(160, 16, pm, QStringLiteral("Hd [x]"));
        EXPECT_TRUE(InkColumns(out, 18, 22, kBack).empty());  // between image and text
        const auto ink = InkColumns(out, 22, 160, kBack);
        ASSERT_FALSE(ink.empty());
        EXPECT_LE(ink.front(), 24);  // the H's stem sits at the text's start
    }
}

TEST(DrawDriveItem, SelectedEntryShowsHighlightThroughTheKeyColour)
{
    TDriveImages images;
    const QColor highlight(0, 0, 128);
    const QImage out = Paint(100, 16, images.ForKind(K::dkRemote), QStringLiteral("n"),
                             {highlight, Qt::white});
    EXPECT_EQ(out.pixelColor(2, 2), highlight);   // the blue key row of the image
    EXPECT_EQ(out.pixelColor(99, 0), highlight);  // the rest of the item
    EXPECT_EQ(out.pixelColor(0, 15), highlight);
}

TEST(DrawDriveItem, AmpersandIsDrawnAsACharacter)
{
    const QImage plain = Paint(200, 16, nullptr, QStringLiteral("x"));
    const QImage amp = Paint(200, 16, nullptr, QStringLiteral("&x"));
    const auto a = InkColumns(plain, 22, 200, kBack), b = InkColumns(amp, 22, 200, kBack);
    ASSERT_FALSE(a.empty());
    ASSERT_FALSE(b.empty());
    EXPECT_GT(b.back() - b.front(), a.back() - a.front() + 3);
}

TEST(DrawDriveItem, CaptionIsClippedToTheItem)
{
    QImage out(60, 40, QImage::Format_ARGB32);
    out.fill(Qt::magenta);
    QPainter p(&out);
    p.setFont(PixelFont(11));
    DrawDriveItem(p, QRect(0, 10, 40, 16), nullptr, QStringLiteral("WWWWWWWWWWWW"), {kBack, kText});
    p.end();
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            if (x >= 40 || y < 10 || y >= 26) {
                ASSERT_EQ(out.pixelColor(x, y), QColor(Qt::magenta)) << x << "," << y;
            }
}

// --- The combo box ---

TEST(DriveComboBox, FilledWhenFirstShownAndSelectsTheCurrentDirectoryDrive)
{
    struct Case {
        const char* Cwd;
        int Index;
        std::string Selected;
    };
    const Case cases[] = {{"/home/ann", 1, "/home"},
                          {"/homework", 0, "/"},
                          {"/proc/1", -1, "/proc"},
                          {"/mnt/nas/a", 3, "/mnt/nas"},
                          {"", -1, ""}};
    for (const auto& c : cases) {
        TFixture f(c.Cwd);
        EXPECT_EQ(f.combo->count(), 0);
        EXPECT_EQ(f.source->RootsCalls, 0);
        f.combo->show();
        EXPECT_EQ(f.source->RootsCalls, 1);
        ASSERT_EQ(f.combo->count(), 5 + 2);  // the drives, then "Folder…" and "Open Scan…"
        EXPECT_EQ(f.combo->itemText(5), QString::fromUtf8("Folder…"));
        EXPECT_EQ(f.combo->itemText(6), QString::fromUtf8("Open Scan…"));
        EXPECT_EQ(f.combo->itemText(0), "/ [root]");
        EXPECT_EQ(f.combo->itemText(3), "/mnt/nas //nas/media");
        EXPECT_EQ(f.combo->currentIndex(), c.Index) << c.Cwd;
        EXPECT_EQ(f.combo->SelectedDrive(), c.Selected) << c.Cwd;
        f.combo->hide();
        f.combo->show();
        EXPECT_EQ(f.source->RootsCalls, 1);  // showing again reads nothing
    }
}

TEST(DriveComboBox, ConfiguredAsFixedHeightDropDownList)
{
    TFixture f;
    EXPECT_FALSE(f.combo->isEditable());
    EXPECT_EQ(f.combo->maxVisibleItems(), 8);
}

TEST(DriveComboBox, ItemHeightFollowsTheFontAndRereadsTheDrives)
{
    TFixture f;
    f.combo->show();
    struct Case {
        int Pixels;
        bool AboveMinimum;
    };
    const Case cases[] = {{8, false}, {11, false}, {30, true}};
    int reads = 1;
    for (const auto& c : cases) {
        const QFont font = PixelFont(c.Pixels);
        f.combo->setFont(font);
        const int text = QFontMetrics(font).height();
        EXPECT_EQ(f.combo->ItemHeight(), std::max(text, 16)) << c.Pixels;
        EXPECT_EQ(f.combo->ItemHeight() > 16, c.AboveMinimum) << c.Pixels;
        EXPECT_EQ(f.combo->view()->sizeHintForRow(0), f.combo->ItemHeight()) << c.Pixels;
        EXPECT_EQ(f.source->RootsCalls, ++reads);
    }
}

TEST(DriveComboBox, TextCaseChangesCaptionsNotPaths)
{
    TFixture f;
    f.combo->show();
    TCounter changed(f.combo.get(), &TDriveComboBox::DriveChanged);
    f.combo->SetTextCase(TTextCase::tcUpperCase);
    EXPECT_EQ(f.combo->TextCase(), TTextCase::tcUpperCase);
    EXPECT_EQ(f.combo->itemText(1), "/home [USERS]");
    EXPECT_EQ(f.combo->SelectedDrive(), "/home");
    EXPECT_EQ(f.combo->currentIndex(), 1);
    EXPECT_EQ(changed.count(), 1);
}

TEST(DriveComboBox, PickingAnEntry)
{
    TFixture f;
    f.combo->show();
    TCounter clicked(f.combo.get(), &TDriveComboBox::DriveClicked);
    TCounter changed(f.combo.get(), &TDriveComboBox::DriveChanged);
    f.combo->setCurrentIndex(4);
    emit f.combo->activated(4);
    EXPECT_EQ(f.combo->SelectedDrive(), "/tmp");
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(changed.count(), 1);
    emit f.combo->activated(4);  // the same entry again
    EXPECT_EQ(clicked.count(), 2);
    EXPECT_EQ(changed.count(), 1);
}

TEST(DriveComboBox, DelegateUsesHighlightForTheSelectedEntry)
{
    TFixture f;
    f.combo->show();
    QAbstractItemDelegate* delegate = f.combo->itemDelegate();
    QPalette pal;
    pal.setColor(QPalette::Base, kBack);
    pal.setColor(QPalette::Highlight, QColor(10, 36, 106));
    for (bool selected : {false, true}) {
        QImage out(145, 16, QImage::Format_ARGB32);
        out.fill(Qt::magenta);
        QPainter p(&out);
        QStyleOptionViewItem opt;
        opt.rect = QRect(0, 0, 145, 16);
        opt.palette = pal;
        opt.font = PixelFont(11);
        opt.state = QStyle::State_Enabled | (selected ? QStyle::State_Selected : QStyle::State_None);
        delegate->paint(&p, opt, f.combo->model()->index(3, 0));
        p.end();
        const QColor back = selected ? QColor(10, 36, 106) : kBack;
        EXPECT_EQ(out.pixelColor(0, 0), back) << selected;
        EXPECT_EQ(out.pixelColor(2, 2), back) << selected;  // key colour of the 16 x 11 image
    }
}

TEST(DriveComboBox, ClosedBoxShowsTheSelectedEntry)
{
    TFixture f;
    f.combo->setGeometry(0, 4, 145, 19);
    f.combo->show();
    const QImage shot = f.combo->grab().toImage();
    TDriveImages images;
    const QImage hard = images.ForKind(K::dkFixed)->toImage();
    // Find the drive picture somewhere in the left part of the box.
    bool found = false;
    for (int oy = 0; oy + 16 <= shot.height() && !found; ++oy)
        for (int ox = 0; ox < 12 && !found; ++ox) {
            bool all = true;
            for (int y = 0; y < 16 && all; ++y)
                for (int x = 0; x < 16 && all; ++x)
                    if (qAlpha(hard.pixel(x, y)) && shot.pixel(ox + x, oy + y) != hard.pixel(x, y))
                        all = false;
            found = all;
        }
    EXPECT_TRUE(found);
}

TEST(DriveComboBox, DropDownShowsAtMostEightEntries)
{
    std::vector<TFakeDrive> drives;
    for (int i = 0; i < 12; ++i)
        drives.push_back({"/m" + std::to_string(10 + i), K::dkFixed, "", std::nullopt});
    TDriveComboBox combo(std::make_unique<TFakeDriveSource>(drives), "/m10");
    combo.setFont(PixelFont(11));
    combo.setGeometry(0, 4, 145, 19);
    combo.show();
    combo.showPopup();
    QAbstractItemView* view = combo.view();
    EXPECT_EQ(view->viewport()->height() / combo.ItemHeight(), 8);
    combo.hidePopup();
}

TEST(DriveComboBox, NewSourceIsReadAtOnceAndKeepsTheChoice)
{
    TFixture f;
    f.combo->show();
    auto other = std::make_unique<TFakeDriveSource>(std::vector<TFakeDrive>{
        {"/", K::dkFixed, "Other", std::nullopt}, {"/home", K::dkRemote, std::nullopt, "srv:/home"}});
    f.combo->SetDriveSource(std::move(other));
    ASSERT_EQ(f.combo->count(), 2 + 2);
    EXPECT_EQ(f.combo->itemText(1), "/home srv:/home");
    EXPECT_EQ(f.combo->SelectedDrive(), "/home");
    EXPECT_EQ(f.combo->currentIndex(), 1);
}

// "Folder…" runs the dialog from the last folder (or the drive); a chosen
// folder is listed and selected, a cancelled dialog keeps the choice.
TEST(DriveComboBox, FolderEntryRunsTheDialog)
{
    TFixture f("/home/ann");
    f.combo->show();
    std::vector<std::string> starts;
    std::string answer = "/home/ann/Videos";
    f.combo->SetFolderDialog([&](QWidget*, const std::string& start) {
        starts.push_back(start);
        return answer;
    });
    TCounter changed(f.combo.get(), &TDriveComboBox::DriveChanged);
    const int dialogEntry = f.combo->count() - 2;
    emit f.combo->activated(dialogEntry);
    EXPECT_EQ(f.combo->SelectedDrive(), "/home/ann/Videos");
    EXPECT_EQ(f.combo->currentIndex(), dialogEntry);  // the new entry stands there
    EXPECT_EQ(f.combo->itemText(dialogEntry), "/home/ann/Videos");
    EXPECT_EQ(f.combo->itemText(f.combo->count() - 2), QString::fromUtf8("Folder…"));
    EXPECT_EQ(changed.count(), 1);

    answer.clear();                                  // cancelled
    f.combo->setCurrentIndex(f.combo->count() - 2);  // as the list does on a pick
    emit f.combo->activated(f.combo->count() - 2);
    EXPECT_EQ(f.combo->currentIndex(), dialogEntry);
    EXPECT_EQ(f.combo->SelectedDrive(), "/home/ann/Videos");
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(starts, (std::vector<std::string>{"/home", "/home/ann/Videos"}));
}

// "Open Scan…" is last; picking it asks the window and keeps the choice.
TEST(DriveComboBox, OpenScanEntryAsksAndKeepsTheChoice)
{
    TFixture f("/home/ann");
    f.combo->show();
    TCounter asked(f.combo.get(), &TDriveComboBox::OpenScanChosen);
    TCounter changed(f.combo.get(), &TDriveComboBox::DriveChanged);
    const int chosen = f.combo->currentIndex();
    const int last = f.combo->count() - 1;
    EXPECT_EQ(f.combo->itemText(last), QString::fromUtf8("Open Scan…"));
    f.combo->setCurrentIndex(last);  // as the list does on a pick
    emit f.combo->activated(last);
    EXPECT_EQ(asked.count(), 1);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(f.combo->currentIndex(), chosen);
    EXPECT_EQ(f.combo->SelectedDrive(), "/home");
}
