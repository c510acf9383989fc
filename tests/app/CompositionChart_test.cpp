// The chart tests restate the window's chart design (they use nothing of
// app/); both must draw the same picture.
#include <gtest/gtest.h>

#include "PieChartDesign.h"
#include "RecordingSurface.h"
#include "app/CompositionChart.h"

namespace {

std::vector<TRecord> Drawn(TChartPanel& chart, TPieSeries& pie)
{
    chart.Title().SetText({"/home/user"});
    for (int i = 0; i < 7; ++i)
        pie.Add(10.0 / (i + 1), "folder " + std::to_string(i));
    TRecordingSurface window(450, 320);
    chart.Draw(window, {0, 0, 450, 320});
    return window.LastBuffer()->Records();
}

TEST(CompositionChart, ChartTestsDesignDrawsTheWindowsPicture)
{
    TChartPanel app, restated;
    const auto a = Drawn(app, SetUpCompositionChart(app));
    const auto r = Drawn(restated, SetUpPieChart(restated));
    EXPECT_FALSE(app.Visible());
    EXPECT_FALSE(restated.Visible());
    ASSERT_EQ(a.size(), r.size());
    for (size_t i = 0; i < a.size(); ++i) {
        const TRecord &x = a[i], &y = r[i];
        ASSERT_EQ(x.Kind, y.Kind) << i;
        EXPECT_EQ(x.Points, y.Points) << i;
        EXPECT_EQ(x.Rect, y.Rect) << i;
        EXPECT_EQ(x.Pen.Color, y.Pen.Color) << i;
        EXPECT_EQ(x.Pen.Style, y.Pen.Style) << i;
        EXPECT_EQ(x.Brush.Color, y.Brush.Color) << i;
        EXPECT_EQ(x.Brush.Style, y.Brush.Style) << i;
        EXPECT_EQ(x.Text, y.Text) << i;
        EXPECT_EQ(x.Font.Name, y.Font.Name) << i;
        EXPECT_EQ(x.Font.PixelHeight, y.Font.PixelHeight) << i;
        EXPECT_EQ(x.Font.Style, y.Font.Style) << i;
        EXPECT_EQ(x.Font.Color, y.Font.Color) << i;
    }
}

}  // namespace
