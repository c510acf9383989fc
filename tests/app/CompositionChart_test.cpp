// The window's composition chart as designed, drawn once at the size of the
// window's chart area: where its title, pie, depth and legend go, and how its
// marks read in both styles, against a recorded picture.
#include <gtest/gtest.h>

#include "RecordingSurface.h"
#include "app/CompositionChart.h"

namespace {

// The texts of one drawing on window, in drawing order.
std::string Texts(TChartPanel& chart, TRecordingSurface& window)
{
    if (window.LastBuffer())
        window.LastBuffer()->ClearRecords();
    chart.Draw(window, {0, 0, window.Width(), window.Height()});
    std::string texts;
    for (const TRecord& r : window.LastBuffer()->Records())
        if (r.Kind == rkText)
            texts += r.Text + "|";
    return texts;
}

TEST(CompositionChart, DrawsTheDesignedPicture)
{
    TChartPanel chart;
    TPieSeries& pie = SetUpCompositionChart(chart);
    EXPECT_FALSE(chart.Visible());
    chart.Title().SetText({"/home/user"});
    for (int i = 0; i < 7; ++i)
        pie.Add(10.0 / (i + 1), "folder " + std::to_string(i));
    TRecordingSurface window(450, 320);
    const std::string names = "/home/user|folder 0|folder 1|folder 2|folder 3|folder 4|folder 5|folder 6|";
    EXPECT_EQ(Texts(chart, window), names + "38.6 %|19.3 %|12.9 %|9.6 %|7.7 %|6.4 %|5.5 %|");
    const PanelLayout& layout = chart.Layout();
    EXPECT_EQ(layout.PlotRect, (TRect{0, 23, 450, 260}));  // below the title, above the legend
    EXPECT_EQ(layout.SeriesDepth, 14);
    EXPECT_EQ(layout.Legend.Rect, (TRect{24, 271, 434, 299}));
    EXPECT_EQ(pie.CircleRect(), (TRect{130, 46, 320, 236}));
    pie.Marks().SetStyle(smsValue);
    EXPECT_EQ(Texts(chart, window), names + "  10 MB|  5 MB|  3.3 MB|  2.5 MB|  2 MB|  1.7 MB|  1.4 MB|");
}

}  // namespace
