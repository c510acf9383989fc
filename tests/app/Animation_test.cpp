// The busy clip and the timer-driven animation (offscreen platform).
#include <QApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include "app/AnimationFrames.h"
#include "app/BusyAnimation.h"
#include "app/Glyphs.h"

TEST(AnimationFrames, EightDistinctOpaqueFramesOverTheBackground)
{
    const QColor face(0xF0, 0xF0, 0xF0);
    const auto frames = AnimationFrames(48, 45, face);
    ASSERT_EQ(frames.size(), 8u);
    for (size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].size(), QSize(48, 45));
        EXPECT_EQ(frames[i].pixelColor(0, 0), face) << i;
        EXPECT_EQ(frames[i].pixelColor(47, 44), face) << i;
        for (size_t j = 0; j < i; ++j)
            EXPECT_NE(frames[i], frames[j]) << i << " " << j;
    }
}

TEST(Animate, TimerPlaysAndStopReturnsToFirstFrame)
{
    QWidget parent;
    TAnimate anim(&parent);
    EXPECT_FALSE(anim.ThreadDriven());  // offscreen: no X window
    parent.show();
    anim.show();
    anim.Play();
    QElapsedTimer t;
    t.start();
    while (anim.Frame() < 2 && t.elapsed() < 3000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_GE(anim.Frame(), 2);
    anim.Stop();
    EXPECT_EQ(anim.Frame(), 0);
    EXPECT_FALSE(anim.Active());
    QApplication::processEvents(QEventLoop::AllEvents, 200);
    EXPECT_EQ(anim.Frame(), 0);
}

// Glyphs: the key colour (bottom-left pixel) turns transparent, and only it.
TEST(Glyphs, KeyColourTransparentEverythingElseOpaque)
{
    struct Case {
        const char* name;
        QImage glyph;
        QSize size;
        QColor key;
    };
    const Case cases[] = {
        {"go", GoGlyph(), {16, 16}, Qt::white},
        {"percent", PercentGlyph(), {18, 18}, Qt::white},
        {"value", ValueGlyph(), {18, 18}, Qt::white},
        {"bysize", BySizeGlyph(), {20, 20}, QColor(192, 192, 192)},
        {"byname", ByNameGlyph(), {20, 20}, QColor(192, 192, 192)},
        {"version", VersionGlyph(), {16, 16}, Qt::yellow},
        {"about", AboutPicture(), {32, 28}, Qt::cyan},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.glyph.size(), c.size) << c.name;
        EXPECT_EQ(c.glyph.pixelColor(0, c.size.height() - 1), c.key) << c.name;
        const QImage keyed = KeyedImage(c.glyph);
        int clear = 0;
        int opaque = 0;
        for (int y = 0; y < keyed.height(); ++y)
            for (int x = 0; x < keyed.width(); ++x) {
                const bool isKey = c.glyph.pixelColor(x, y) == c.key;
                EXPECT_EQ(keyed.pixelColor(x, y).alpha(), isKey ? 0 : 255) << c.name << " " << x << "," << y;
                (isKey ? clear : opaque)++;
            }
        EXPECT_GT(opaque, 8) << c.name << ": glyph has no picture";
        EXPECT_GT(clear, 8) << c.name;
    }
}

TEST(Glyphs, ProgramIconHasItsFourSizes)
{
    const QIcon icon = ProgramIcon();
    for (int s : {16, 24, 32, 48})
        EXPECT_TRUE(icon.availableSizes().contains(QSize(s, s))) << s;
}
