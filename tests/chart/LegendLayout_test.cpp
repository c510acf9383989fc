// Legend settings, item texts and layout.
//
// The program's 400 x 300 chart: the plot runs from 23 (below the title) to
// 285 (5 % bottom margin), 262 high. Legend rows are 13 pixels (Arial 8), 6
// pixels per character; the frame is 1 wide and the shadow 3.
#include <gtest/gtest.h>

#include "chart/ChartError.h"
#include "tests/chart/PieTestChart.h"

using namespace pietest;

namespace {

TEST(LegendSettings, RangeErrorsKeepTheOldValue)
{
    using Setter = void (TChartLegend::*)(int);
    using Getter = int (TChartLegend::*)() const;
    const struct {
        Setter set;
        Getter get;
        int bad;
        const char* message;
    } cases[] = {
        {&TChartLegend::SetColorWidth, &TChartLegend::ColorWidth, -1,
         "Legend Color Width must be between 0 and 100 %"},
        {&TChartLegend::SetColorWidth, &TChartLegend::ColorWidth, 101,
         "Legend Color Width must be between 0 and 100 %"},
        {&TChartLegend::SetTopPos, &TChartLegend::TopPos, -1,
         "Top Legend Position must be between 0 and 100 %"},
        {&TChartLegend::SetTopPos, &TChartLegend::TopPos, 101,
         "Top Legend Position must be between 0 and 100 %"},
        {&TChartLegend::SetFirstValue, &TChartLegend::FirstValue, -1, "First Legend Value must be > 0"},
    };
    for (const auto& c : cases) {
        TChartLegend legend(nullptr);
        const int old = (legend.*c.get)();
        try {
            (legend.*c.set)(c.bad);
            ADD_FAILURE() << c.message << " " << c.bad;
        } catch (const EChartError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_EQ((legend.*c.get)(), old);
    }
    TChartLegend legend(nullptr);
    for (int ok : {0, 100}) {
        legend.SetColorWidth(ok);
        legend.SetTopPos(ok);
        EXPECT_EQ(legend.ColorWidth(), ok);
        EXPECT_EQ(legend.TopPos(), ok);
    }
    legend.SetFirstValue(0);
    EXPECT_EQ(legend.FirstValue(), 0);
}

// Points 60 "a", -30 "b", 10 (no label); AbsoluteTotal 100.
TEST(LegendText, EveryTextStyle)
{
    const struct {
        TLegendTextStyle style;
        int index;
        const char* text;
    } cases[] = {
        {ltsPlain, 0, "a"},
        {ltsPlain, 2, ""},
        {ltsLeftValue, 0, "  60 MB a"},
        {ltsRightValue, 1, "b -  30 MB"},
        {ltsLeftPercent, 1, "-30 % b"},  // the sign stays
        {ltsRightPercent, 0, "a 60 %"},
        {ltsXValue, 2, "  2 MB"},
    };
    for (const auto& c : cases) {
        TestChart t;
        t.pie.Add(60, "a");
        t.pie.Add(-30, "b");
        t.pie.Add(10);
        t.chart.Legend().SetTextStyle(c.style);
        EXPECT_EQ(t.chart.Legend().LegendText(t.pie, c.index), c.text) << c.style;
    }
}

TEST(LegendText, ZeroTotalAndLineSeparators)
{
    TestChart t;
    t.pie.Add(0, "x\ry");
    t.pie.Add(0, "u\nv");
    t.chart.Legend().SetTextStyle(ltsRightPercent);
    EXPECT_EQ(t.chart.Legend().LegendText(t.pie, 0), "x y 100 %");
    EXPECT_EQ(t.chart.Legend().LegendText(t.pie, 1), "u v 100 %");
}

// Three labels 18 wide at most: colour box Rnd(22 x 0.2) = 4; three columns
// of 34 fit; w = 6 + 3 x 30 + 8 = 104.
TEST(LegendLayout, ThreeShortLabelsInOneRowWithTheGap)
{
    TestChart t;
    t.Labels({"a", "bb", "ccc"});
    t.Draw();
    const TLegendLayout& legend = t.chart.Layout().Legend;
    EXPECT_EQ(legend.Columns, 3);
    EXPECT_EQ(legend.Rows, 1);
    EXPECT_EQ(legend.ColorWidth, 4);
    // Bottom 285 - 3 - 2; one row of 13 + 2; offset Rnd(0.1 x (400 - 104)).
    EXPECT_EQ(legend.Rect, (TRect{178, 265, 282, 280}));
    EXPECT_EQ(legend.Rect.Height(), 13 + 2);
    // 4 % of the 262 high plot above the legend.
    EXPECT_EQ(t.chart.Layout().PlotRect.Bottom, 265 - 10);
}

TEST(LegendLayout, OffsetRightByTopPosOfTheFreeWidth)
{
    const struct {
        int topPos;
        int left;
    } cases[] = {{0, 148}, {10, 178}, {55, 311}, {100, 444}};
    for (const auto& c : cases) {
        TestChart t;
        t.chart.Legend().SetTopPos(c.topPos);
        t.Labels({"a", "bb", "ccc"});
        t.Draw();
        // Centre 200, half width 52, offset Rnd(topPos % of (400 - 104)).
        EXPECT_EQ(t.chart.Layout().Legend.Rect.Left, c.left) << c.topPos;
        EXPECT_EQ(t.chart.Layout().Legend.Rect.Right, c.left + 104) << c.topPos;
    }
}

// 25-character labels (150 wide): colour box 31, slots 193 wide, two columns.
TEST(LegendLayout, ColumnsAndRows)
{
    const struct {
        int items;
        int maxRows;
        int cols, rows;
    } cases[] = {{1, 10, 1, 1},   {2, 10, 2, 1}, {3, 10, 2, 2}, {5, 10, 2, 3},
                 {30, 10, 2, 10}, {5, 2, 2, 2},  {5, 0, 2, 0}};
    for (const auto& c : cases) {
        TestChart t;
        t.chart.Legend().SetMaxNumRows(c.maxRows);
        t.Labels(std::vector<std::string>(static_cast<size_t>(c.items), std::string(25, 'x')));
        t.Draw();
        EXPECT_EQ(t.chart.Layout().Legend.Columns, c.cols) << c.items;
        EXPECT_EQ(t.chart.Layout().Legend.Rows, c.rows) << c.items;
        if (c.rows > 0) {
            EXPECT_EQ(t.chart.Layout().Legend.Rect.Top, 280 - c.rows * 13 - 2) << c.items;
        }
    }
}

TEST(LegendLayout, NoRoomOrNoItemsTakeNoSpace)
{
    TestChart plain;
    plain.chart.Legend().SetVisible(false);
    plain.Values({1});
    plain.Draw();
    const TRect without = plain.chart.Layout().PlotRect;

    const struct {
        const char* name;
        std::vector<std::string> labels;
        bool showInLegend;
    } cases[] = {
        {"no points", {}, true},
        {"label wider than the plot", {std::string(70, 'w')}, true},
        {"series not in the legend", {"a"}, false},
    };
    for (const auto& c : cases) {
        TestChart t;
        t.Labels(c.labels);
        t.pie.SetShowInLegend(c.showInLegend);
        const auto& records = t.Draw();
        EXPECT_EQ(t.chart.Layout().Legend.Columns * t.chart.Layout().Legend.Rows, 0) << c.name;
        EXPECT_EQ(t.chart.Layout().PlotRect, without) << c.name;
        for (const TRecord& r : Select(records, rkRectangle))
            EXPECT_NE(r.Brush.Color, clWhite) << c.name;
    }
}

TEST(LegendLayout, GapAndResizeSettings)
{
    const struct {
        bool resize;
        int vertMargin;
        int bottom;
    } cases[] = {{true, 0, 255}, {true, 7, 258}, {false, 0, 275}, {false, 7, 278}};
    for (const auto& c : cases) {
        TestChart t;
        t.chart.Legend().SetResizeChart(c.resize);
        t.chart.Legend().SetVertMargin(c.vertMargin);
        t.Labels({"a", "bb", "ccc"});
        t.Draw();
        EXPECT_EQ(t.chart.Layout().PlotRect.Bottom, c.bottom) << c.resize << " " << c.vertMargin;
    }
}

TEST(LegendLayout, TopLeftAndRight)
{
    const struct {
        TLegendAlignment align;
        TRect legend;
        TRect plot;
    } cases[] = {
        // Top: from 23 + 2 down one row; plot from its bottom + shadow 3 + 10.
        {laTop, {178, 25, 282, 40}, {0, 53, 400, 285}},
        // Right: one column 4 + 18 + 16 wide from 400 - 5, 10 % down the
        // drawing; plot less 3 % of 400.
        {laRight, {357, 30, 395, 71}, {0, 23, 345, 285}},
        {laLeft, {2, 30, 40, 71}, {55, 23, 400, 285}},
    };
    for (const auto& c : cases) {
        TestChart t;
        t.chart.Legend().SetAlignment(c.align);
        t.Labels({"a", "bb", "ccc"});
        t.Draw();
        EXPECT_EQ(t.chart.Layout().Legend.Rect, c.legend) << c.align;
        EXPECT_EQ(t.chart.Layout().PlotRect, c.plot) << c.align;
    }
}

TEST(LegendLayout, StyleInEffect)
{
    TestChart t;
    t.Labels({"a"});
    t.Draw();
    EXPECT_EQ(t.chart.Layout().Legend.Style, lsValues);
    t.chart.Legend().SetLegendStyle(lsSeries);
    const auto& records = t.Draw();
    EXPECT_EQ(t.chart.Layout().Legend.Style, lsSeries);
    bool seriesTitle = false;
    for (const TRecord& r : Texts(records))
        seriesTitle |= r.Text == "Series";
    EXPECT_TRUE(seriesTitle);
}

}  // namespace
