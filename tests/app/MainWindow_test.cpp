// The main window's layout, start state, toolbar groups and Escape hook.
#include <QKeyEvent>
#include <QSplitter>
#include <QTest>

#include "MainWindowFixture.h"
#include "app/BusyAnimation.h"
#include "app/ScanStatusBar.h"
#include "drives/DriveComboBox.h"
#include "app/Panels.h"
#include <QPushButton>
#include "numtext/NumberText.h"
#include "sizetree/Ordering.h"

namespace {

QRect InWindow(QWidget* w, QWidget* window)
{
    return QRect(w->mapTo(window, QPoint(0, 0)), w->size());
}

}  // namespace

// Every control at its designed place and size, in client pixels.
TEST_F(MainWindowTest, ControlsSitAtTheirDesignedPlaces)
{
    struct Case {
        const char* name;
        QRect rect;
    };
    const Case cases[] = {
        {"ToolBar", {0, 0, 688, 29}},
        {"Tree", {0, 29, 209, 424}},
        {"Panel", {212, 29, 476, 424}},
        {"cbxDrive", {0, 4, 145, 19}},
        {"btnGo", {145, 2, 23, 23}},
        {"None1", {168, 2, 17, 23}},
        {"btnPercent", {185, 2, 25, 23}},
        {"btnValue", {210, 2, 25, 23}},
        {"None2", {235, 2, 17, 23}},
        {"btnBySize", {252, 2, 25, 23}},
        {"btnByName", {277, 2, 25, 23}},
        {"None3", {302, 2, 17, 23}},
        {"btnVersion", {319, 2, 25, 23}},
        {"StatusBar", {0, 453, 688, ScanStatusBar::kHeight}},  // below the designed area
    };
    EXPECT_EQ(frm.size(), QSize(688, 453 + ScanStatusBar::kHeight));
    for (const Case& c : cases) {
        auto* w = frm.findChild<QWidget*>(QLatin1String(c.name));
        ASSERT_NE(w, nullptr) << c.name;
        EXPECT_EQ(InWindow(w, &frm), c.rect) << c.name;
    }
    EXPECT_EQ(frm.Animate->size(), QSize(48, 45));
}

TEST_F(MainWindowTest, StartState)
{
    EXPECT_EQ(frm.windowTitle(), QStringLiteral("Tallowin"));
    EXPECT_FALSE(frm.Chart->isVisible());
    EXPECT_FALSE(frm.Animate->isVisible());
    EXPECT_FALSE(frm.Animate->Active());
    EXPECT_TRUE(frm.btnPercent->isChecked());
    EXPECT_FALSE(frm.btnValue->isChecked());
    EXPECT_TRUE(frm.btnBySize->isChecked());
    EXPECT_FALSE(frm.btnByName->isChecked());
    EXPECT_EQ(frm.SizeTree().OnCompare(), &SortBySize);
    EXPECT_EQ(frm.SizeTree().TopLevelCount(), 0);
    EXPECT_FALSE(frm.Tree->rootIsDecorated());
    EXPECT_EQ(frm.Tree->indentation(), 19);
    EXPECT_EQ(frm.Tree->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(frm.Tree->isSortingEnabled());
    EXPECT_EQ(frm.Tree->dragDropMode(), QAbstractItemView::NoDragDrop);
    EXPECT_EQ(frm.Tree->palette().color(QPalette::Base), QColor(0xE5, 0xE5, 0xE5));
    EXPECT_EQ(frm.palette().color(QPalette::Window), QColor(0xE5, 0xE5, 0xE5));
    // Selection not drawn while the tree lacks the focus.
    EXPECT_EQ(frm.Tree->palette().color(QPalette::Inactive, QPalette::Highlight),
              frm.Tree->palette().color(QPalette::Inactive, QPalette::Base));
    EXPECT_EQ(frm.font().pixelSize(), 11);
}

TEST_F(MainWindowTest, HintsAndGlyphSizes)
{
    struct Case {
        const char* name;
        const char* hint;
        QSize glyph;
    };
    const Case cases[] = {
        {"btnGo", "Сканировать выбранное устройство", {16, 16}},
        {"btnPercent", "Отображать в процентах", {18, 18}},
        {"btnValue", "Отображать в Мб", {18, 18}},
        {"btnBySize", "Сортировать по размеру", {20, 20}},
        {"btnByName", "Сортировать по имени", {20, 20}},
        {"btnVersion", "О программе", {16, 16}},
    };
    EXPECT_EQ(frm.cbxDrive->toolTip(), QStringLiteral("Выберите устройство"));
    for (const Case& c : cases) {
        auto* b = frm.findChild<QToolButton*>(QLatin1String(c.name));
        ASSERT_NE(b, nullptr) << c.name;
        EXPECT_EQ(b->toolTip(), QString::fromUtf8(c.hint)) << c.name;
        EXPECT_EQ(b->iconSize(), c.glyph) << c.name;
        const QImage normal = b->icon().pixmap(c.glyph).toImage();
        const QImage disabled = b->icon().pixmap(c.glyph, QIcon::Disabled).toImage();
        EXPECT_EQ(normal.pixelColor(0, c.glyph.height() - 1).alpha(), 0) << c.name << ": key colour shows";
        EXPECT_NE(normal, disabled) << c.name << ": disabled glyph not greyed";
    }
}

// Within a group exactly one button is down; clicking the down one keeps it
// down. Each entry: button clicked, then the expected down button.
TEST_F(MainWindowTest, ToggleGroupsKeepExactlyOneButtonDown)
{
    struct Step {
        QToolButton* click;
        QToolButton* down;
        QToolButton* up;
    };
    const Step steps[] = {
        {frm.btnPercent, frm.btnPercent, frm.btnValue}, {frm.btnValue, frm.btnValue, frm.btnPercent},
        {frm.btnValue, frm.btnValue, frm.btnPercent},   {frm.btnPercent, frm.btnPercent, frm.btnValue},
        {frm.btnBySize, frm.btnBySize, frm.btnByName},  {frm.btnByName, frm.btnByName, frm.btnBySize},
        {frm.btnByName, frm.btnByName, frm.btnBySize},  {frm.btnBySize, frm.btnBySize, frm.btnByName},
    };
    int i = 0;
    for (const Step& s : steps) {
        QTest::mouseClick(s.click, Qt::LeftButton);
        EXPECT_TRUE(s.down->isChecked()) << "step " << i;
        EXPECT_FALSE(s.up->isChecked()) << "step " << i;
        ++i;
    }
}

// Pressing the ordering button that is already down re-sorts again.
TEST_F(MainWindowTest, DownOrderButtonRunsItsHandlerAgain)
{
    TSizeTree& tree = frm.SizeTree();
    TTreeEntry* root = tree.AddChildEntry(nullptr, "/r", TNode{"/r", 0, ""});
    for (auto [name, size] : {std::pair{"b", 1.0}, std::pair{"a", 3.0}, std::pair{"c", 2.0}})
        tree.AddChildEntry(root, name, TNode{std::string("/r/") + name, size, name});

    QTest::mouseClick(frm.btnBySize, Qt::LeftButton);  // already down
    EXPECT_EQ(root->ChildAt(0)->Name(), "a");
    EXPECT_EQ(root->ChildAt(2)->Name(), "b");

    QTest::mouseClick(frm.btnByName, Qt::LeftButton);
    tree.AddChildEntry(root, "B", TNode{"/r/B", 9.0, "B"});
    QTest::mouseClick(frm.btnByName, Qt::LeftButton);  // down: sorts again
    EXPECT_EQ(root->ChildAt(0)->Name(), "B");
    EXPECT_EQ(root->ChildAt(1)->Name(), "a");
    EXPECT_EQ(root->ChildAt(3)->Name(), "c");
    EXPECT_EQ(tree.OnCompare(), &SortByName);
    EXPECT_FALSE(frm.Animate->isVisible());
    EXPECT_FALSE(frm.Animate->Active());
}

// Re-sorting an empty tree shows and hides the animation and changes nothing.
TEST_F(MainWindowTest, ResortOfEmptyTreeLeavesAnimationHiddenAndStopped)
{
    QTest::mouseClick(frm.btnByName, Qt::LeftButton);
    EXPECT_EQ(frm.SizeTree().TopLevelCount(), 0);
    EXPECT_FALSE(frm.Animate->isVisible());
    EXPECT_EQ(frm.Animate->Frame(), 0);
}

// Escape without Alt ends the program; everything else passes on.
TEST_F(MainWindowTest, AppMessageEndsOnEscapeWithoutAlt)
{
    struct Case {
        QEvent::Type type;
        int key;
        Qt::KeyboardModifiers mods;
        bool ends;
    };
    const Case cases[] = {
        {QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, true},
        {QEvent::KeyPress, Qt::Key_Escape, Qt::ShiftModifier, true},
        {QEvent::KeyPress, Qt::Key_Escape, Qt::ControlModifier, true},
        {QEvent::KeyPress, Qt::Key_Escape, Qt::AltModifier, false},
        {QEvent::KeyPress, Qt::Key_Escape, Qt::AltModifier | Qt::ShiftModifier, false},
        {QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier, false},
        {QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, false},
        {QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, false},
    };
    for (const Case& c : cases) {
        endCalls = 0;
        QKeyEvent e(c.type, c.key, c.mods);
        EXPECT_EQ(frm.AppMessage(&e), c.ends) << c.key << " " << c.mods;
        EXPECT_EQ(endCalls, c.ends ? 1 : 0) << c.key << " " << c.mods;
    }
}

// The hook is application-wide: Escape sent to the about window's button and
// to the tree ends the program as well.
TEST_F(MainWindowTest, EscapeInAnyWindowEndsTheProgram)
{
    for (QWidget* target : {static_cast<QWidget*>(about.btnOK), static_cast<QWidget*>(frm.Tree)}) {
        endCalls = 0;
        QKeyEvent e(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(target, &e);
        EXPECT_EQ(endCalls, 1) << target->objectName().toStdString();
    }
}

// A locale change reported by Qt re-reads the number separators.
TEST_F(MainWindowTest, LocaleChangeRereadsSeparators)
{
    DecimalSeparator = '#';
    ThousandSeparator = '#';
    QEvent e(QEvent::LocaleChange);
    QApplication::sendEvent(&frm, &e);
    EXPECT_EQ(DecimalSeparator, '.');  // the tests run in the C locale
    EXPECT_EQ(ThousandSeparator, ',');
}
