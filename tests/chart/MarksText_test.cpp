// Mark texts by style, and the marks' room shrinking the pie.
#include <gtest/gtest.h>

#include "tests/chart/PieTestChart.h"

using namespace pietest;

namespace {

// Points 60 "a", 30 (no label), 10 "c" with the form's patterns
// "##0.# %" and "# ### ###0.# MB".
TEST(MarksText, EveryStyle)
{
    const struct {
        TSeriesMarksStyle style;
        int index;
        const char* text;
    } cases[] = {
        {smsValue, 0, "  60 MB"},
        {smsPercent, 0, "60 %"},
        {smsPercent, 2, "10 %"},
        {smsLabel, 0, "a"},
        {smsLabel, 1, "  30 MB"},  // no label: the value
        {smsLabelPercent, 0, "a 60 %"},
        {smsLabelPercent, 1, "  30 MB 30 %"},
        {smsLabelValue, 2, "c   10 MB"},
        {smsPercentTotal, 2, "10 % of   100 MB"},
        {smsLabelPercentTotal, 0, "a 60 % of   100 MB"},
        {smsXValue, 2, "  2 MB"},
        {smsLegend, 2, "c"},  // the legend's plain text
    };
    for (const auto& c : cases) {
        TestChart t;
        t.pie.Add(60, "a");
        t.pie.Add(30);
        t.pie.Add(10, "c");
        t.pie.Marks().SetStyle(c.style);
        EXPECT_EQ(t.pie.Marks().MarkText(c.index), c.text) << c.style << " " << c.index;
    }
}

TEST(MarksText, PercentagesByMagnitudeAndOfAZeroTotal)
{
    const struct {
        std::vector<double> values;
        int index;
        const char* text;
    } cases[] = {
        {{5}, 0, "100 %"},
        {{0, 0, 0}, 1, "100 %"},
        {{-1, 3}, 0, "25 %"},
        {{1, 2}, 1, "66.7 %"},
    };
    for (const auto& c : cases) {
        TestChart t;
        t.Values(c.values);
        EXPECT_EQ(t.pie.Marks().MarkText(c.index), c.text);
    }
}

struct CountingHost : TChartHost {
    int repaints = 0;
    void RequestRepaint() override { ++repaints; }
    void SetHostVisible(bool) override {}
};

TEST(MarksText, StyleSwitchRepaintsOnlyOnAChange)
{
    CountingHost host;
    TChartPanel chart(&host);
    TPieSeries& pie = SetUpPieChart(chart);
    pie.Add(1);
    const int before = host.repaints;
    pie.Marks().SetStyle(smsValue);
    EXPECT_EQ(host.repaints, before + 1);
    pie.Marks().SetStyle(smsValue);
    EXPECT_EQ(host.repaints, before + 1);
}

// Widest mark "  1234.5 MB" (11 characters, 66 pixels) against "50 %".
TEST(MarksRoom, MarksShrinkThePieAndTheStyleChangesItsSize)
{
    auto radius = [](bool visible, TSeriesMarksStyle style) {
        TestChart t(600, 300, true);
        t.pie.Marks().SetVisible(visible);
        t.pie.Marks().SetStyle(style);
        t.Values({1234.5, 1234.5});
        t.Draw();
        return TPoint{t.pie.XRadius(), t.pie.YRadius()};
    };
    const TPoint none = radius(false, smsPercent);
    const TPoint percent = radius(true, smsPercent);
    const TPoint value = radius(true, smsValue);
    EXPECT_EQ(none, (TPoint{142, 142}));
    // Height 284 less 2 x (arrow 8 + frame 2 + font 13).
    EXPECT_EQ(percent, (TPoint{119, 119}));
    // Width 600 less 2 x ("W" 6 + 66 + 10) = 436; still round, height bound.
    EXPECT_EQ(value, (TPoint{119, 119}));

    auto width = [](TSeriesMarksStyle style) {
        TestChart t(300, 600, true);
        t.pie.Marks().SetStyle(style);
        t.Values({1234.5, 1234.5});
        t.Draw();
        return t.pie.XRadius();
    };
    // Width 300 less 2 x (6 + 24 + 10) = 220 for "50 %", less 2 x 82 = 136
    // for the megabytes.
    EXPECT_EQ(width(smsPercent), 110);
    EXPECT_EQ(width(smsValue), 68);
}

TEST(MarksRoom, WidestLineOfAMultiLineMarkCounts)
{
    TestChart t(300, 600, true);
    t.pie.Marks().SetStyle(smsLabel);
    t.pie.Add(1, "abcdefghij\rxy");  // 10 characters wide, not 13
    t.Draw();
    // 300 less 2 x (6 + 60 + 10).
    EXPECT_EQ(t.pie.XRadius(), 74);
}

TEST(MarksRoom, FrameWidthAndArrowLengthCount)
{
    TestChart t(300, 600, true);
    TChartPen frame = t.pie.Marks().Frame();
    frame.Width = 3;
    t.pie.Marks().SetFrame(frame);
    t.pie.Marks().SetArrowLength(20);
    t.Values({1});
    t.Draw();
    // "100 %" 30 wide: 300 less 2 x (6 + 30 + 20 + 6).
    EXPECT_EQ(t.pie.XRadius(), 88);
}

}  // namespace
