// The about window: layout, the label's version text, closing.
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/AboutUnit.h"

TEST(About, LayoutAndTitle)
{
    TfrmAbout about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Oskel Tallowin"));
    EXPECT_EQ(about.size(), QSize(278, 81));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    EXPECT_FALSE(about.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(about.windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_EQ(about.Label1->pos(), QPoint(8, 0));
    // The whole text fits inside the window, whatever face stands in.
    EXPECT_LE(QFontMetrics(about.Label1->font()).horizontalAdvance(about.Label1->text()), 278 - 8);
    EXPECT_EQ(about.Image1->geometry(), QRect(240, 48, 33, 33));
    EXPECT_EQ(about.btnOK->geometry(), QRect(0, 56, 75, 25));
    EXPECT_TRUE(about.btnOK->isDefault());
    EXPECT_EQ(about.btnOK->text(), QStringLiteral("OK"));
    const QFont f = about.Label1->font();
    EXPECT_EQ(f.pixelSize(), 40);
    EXPECT_TRUE(f.bold());
    EXPECT_TRUE(f.italic());
    EXPECT_EQ(about.Label1->palette().color(QPalette::WindowText), QColor(0x80, 0, 0));
    // The picture's cyan key is transparent, the folder is not.
    const QImage pic = about.Image1->pixmap().toImage();
    EXPECT_EQ(pic.size(), QSize(32, 28));
    EXPECT_EQ(pic.pixelColor(0, 27).alpha(), 0);
    EXPECT_EQ(pic.pixelColor(10, 20).alpha(), 255);
}

// "1.0" is appended once, at creation, not at every showing.
TEST(About, LabelTextSameAfterTwoShowings)
{
    TfrmAbout about;
    for (int i = 0; i < 2; ++i) {
        bool wasVisible = false;
        QTimer::singleShot(0, &about, [&] {
            wasVisible = about.isVisible();
            about.btnOK->click();
        });
        EXPECT_EQ(about.exec(), QDialog::Accepted);
        EXPECT_TRUE(wasVisible);
        EXPECT_EQ(about.Label1->text(), QStringLiteral("Tallowin v2.0  .01.0")) << "showing " << i;
        EXPECT_FALSE(about.isVisible());
    }
}
