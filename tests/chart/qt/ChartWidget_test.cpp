// The chart widget on Qt's offscreen platform: merged repaints, the buffer,
// real fonts and pixels.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <memory>

#include "PieChartDesign.h"
#include "chart/qt/Chart.h"
#include "chart/qt/QtSurface.h"

namespace {

// One application for the whole run, destroyed before the process exits
// (Qt's own statics must still be alive then).
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "chart_qt_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const qtEnvironment = ::testing::AddGlobalTestEnvironment(
    new QtEnvironment);

void App()
{
}

class ChartWidget : public ::testing::Test {
protected:
    void SetUp() override { App(); }
    void Settle()
    {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }
};

TEST_F(ChartWidget, HiddenUntilMadeVisible)
{
    TChart chart;
    SetUpPieChart(chart.Panel());
    EXPECT_FALSE(chart.isVisible());
    chart.Panel().SetVisible(true);
    EXPECT_TRUE(chart.isVisible());
    EXPECT_EQ(chart.objectName(), "Chart");
}

TEST_F(ChartWidget, ClearAndFiftyAddsPaintOnceAndUnchangedRepaintCopiesBuffer)
{
    TChart chart;
    TPieSeries& pie = SetUpPieChart(chart.Panel());
    chart.resize(500, 400);
    chart.Panel().SetVisible(true);
    Settle();
    int paints = chart.PaintCount();
    int draws = chart.FullDrawCount();

    pie.Clear();
    for (int i = 0; i < 50; ++i)
        pie.Add(i + 1, "item");
    Settle();
    EXPECT_EQ(chart.PaintCount() - paints, 1);
    EXPECT_EQ(chart.FullDrawCount() - draws, 1);

    chart.update();
    Settle();
    EXPECT_EQ(chart.PaintCount() - paints, 2);
    EXPECT_EQ(chart.FullDrawCount() - draws, 1);

    // Setting the mark style to what it is changes nothing.
    pie.Marks().SetStyle(pie.Marks().Style());
    chart.Panel().Title().SetText(chart.Panel().Title().Text());
    Settle();
    EXPECT_EQ(chart.PaintCount() - paints, 2);
}

TEST_F(ChartWidget, ResizeRedraws)
{
    TChart chart;
    SetUpPieChart(chart.Panel());
    chart.Panel().SetVisible(true);
    Settle();
    int draws = chart.FullDrawCount();
    chart.resize(321, 234);
    Settle();
    EXPECT_EQ(chart.FullDrawCount() - draws, 1);
}

TEST(QtSurface, ArialResolvesToAMetricCompatibleFontAndMeasures)
{
    App();
    TQtSurface s(100, 100);
    s.SetFont({"Arial", 0, 16, fsBold, clBlue});
    int h = s.TextHeight("W");
    EXPECT_GE(h, 16);
    EXPECT_LE(h, 20);
    int w = s.TextWidth("W");
    EXPECT_GT(w, 10);
    EXPECT_EQ(s.TextWidth(""), 0);
    EXPECT_GT(s.TextWidth("WW"), w);
    QFont f("Arial");
    f.setPixelSize(16);
    EXPECT_EQ(QFontInfo(f).family(), "Liberation Sans");
}

TEST(QtSurface, SystemColoursComeFromThePalette)
{
    App();
    TQtSurface s(10, 10);
    QColor face = QApplication::palette().color(QPalette::Button);
    EXPECT_EQ(s.SystemColour(clBtnFace), RGBColour(face.red(), face.green(), face.blue()));
    EXPECT_EQ(s.SystemColour(clRed), clRed);
}

TEST(QtSurface, PrimitivesHitExactPixels)
{
    App();
    TQtSurface s(20, 20);
    s.SetBrush({clRed, bsSolid});
    s.FillRect({2, 3, 5, 6});  // right and bottom exclusive
    const QImage& img = *s.Image();
    EXPECT_EQ(img.pixelColor(2, 3), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(4, 5), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(5, 5), QColor(255, 255, 255));
    EXPECT_EQ(img.pixelColor(4, 6), QColor(255, 255, 255));
    s.SetPen({clBlue, 1, psSolid, false});
    s.SetBrush({clLime, bsSolid});
    s.Rectangle({10, 10, 15, 14});
    EXPECT_EQ(img.pixelColor(10, 10), QColor(0, 0, 255));
    EXPECT_EQ(img.pixelColor(14, 13), QColor(0, 0, 255));
    EXPECT_EQ(img.pixelColor(12, 12), QColor(0, 255, 0));
    EXPECT_EQ(img.pixelColor(15, 13), QColor(255, 255, 255));
    // Lines leave out their end point, as the bevels expect.
    s.SetPen({clRed, 1, psSolid, false});
    s.Line(0, 18, 6, 18);
    EXPECT_EQ(img.pixelColor(0, 18), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(5, 18), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(6, 18), QColor(255, 255, 255));
    s.Line(19, 0, 19, 4);
    EXPECT_EQ(img.pixelColor(19, 3), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(19, 4), QColor(255, 255, 255));
}

TEST(QtBuffer, GradientAndBevelPixels)
{
    App();
    TChartPanel panel;
    SetUpPieChart(panel);
    panel.Title().SetText({});
    panel.Legend().SetVisible(false);
    // 1000 rows: 256 bands of 3 or 4 rows, so the top and bottom bands show
    // inside the two bevel rings.
    QImage window(300, 1000, QImage::Format_RGB32);
    window.fill(Qt::black);
    {
        QPainter p(&window);
        TQtSurface surface(p, 300, 1000);
        panel.Paint(surface, {0, 0, 300, 1000});
    }
    QPalette pal = QApplication::palette();
    EXPECT_EQ(window.pixel(150, 0), pal.color(QPalette::Dark).rgb());   // lowered ring, top
    EXPECT_EQ(window.pixel(150, 1), pal.color(QPalette::Light).rgb());  // raised ring, top
    EXPECT_EQ(window.pixel(0, 500), pal.color(QPalette::Dark).rgb());   // lowered ring, left
    EXPECT_EQ(window.pixel(299, 500), pal.color(QPalette::Light).rgb());
    EXPECT_EQ(window.pixel(298, 500), pal.color(QPalette::Dark).rgb());  // raised ring, right
    EXPECT_EQ(window.pixel(150, 2), QColor(255, 223, 223).rgb());        // StartColor
    EXPECT_EQ(window.pixel(150, 997), QColor(128, 128, 255).rgb());      // EndColor
}

}  // namespace
