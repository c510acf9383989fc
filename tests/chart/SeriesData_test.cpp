// Series data: points, statistics, palette, ordered insertion, repaints.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "ChartTestSupport.h"
#include "chart/ChartError.h"
#include "chart/PieSeries.h"

namespace {

// --- Statistics -----------------------------------------------------------

struct StatsCase {
    const char* name;
    std::vector<double> values;
    double total, absTotal, maximum, minimum;
};

class SeriesStats : public ::testing::TestWithParam<StatsCase> {};

TEST_P(SeriesStats, ComputedFromValuesAsRead)
{
    const StatsCase& c = GetParam();
    TPieSeries s;
    for (double v : c.values)
        s.Add(v);
    EXPECT_DOUBLE_EQ(s.YValues().Total(), c.total);
    EXPECT_DOUBLE_EQ(s.YValues().AbsoluteTotal(), c.absTotal);
    EXPECT_DOUBLE_EQ(s.YValues().Maximum(), c.maximum);
    EXPECT_DOUBLE_EQ(s.YValues().Minimum(), c.minimum);
}

INSTANTIATE_TEST_SUITE_P(Edges, SeriesStats,
                         ::testing::Values(StatsCase{"empty", {}, 0, 0, 0, 0},
                                           StatsCase{"allZero", {0, 0, 0}, 0, 0, 0, 0},
                                           StatsCase{"single", {5}, 5, 5, 5, 5},
                                           StatsCase{"negativeKeepsSignInTotal", {10, -4, 6}, 12, 20, 10, -4},
                                           StatsCase{"allNegative", {-1, -3, -2}, -6, 6, -1, -3},
                                           StatsCase{"descending", {9, 7, 1}, 17, 17, 9, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SeriesStatsCache, RecomputedAfterChangeAndWithMultiplier)
{
    TPieSeries s;
    s.Add(2);
    s.Add(3);
    EXPECT_DOUBLE_EQ(s.YValues().Total(), 5);
    EXPECT_FALSE(s.YValues().Modified());
    s.Add(-10);
    EXPECT_TRUE(s.YValues().Modified());
    EXPECT_DOUBLE_EQ(s.YValues().AbsoluteTotal(), 15);
    s.YValues().SetMultiplier(2);
    EXPECT_DOUBLE_EQ(s.YValues().Total(), -10);
    EXPECT_DOUBLE_EQ(s.MarkValue(0), 4);
    s.Delete(2);
    EXPECT_DOUBLE_EQ(s.YValues().Total(), 10);
    s.Clear();
    EXPECT_DOUBLE_EQ(s.YValues().AbsoluteTotal(), 0);
}

// --- Percentages ----------------------------------------------------------

struct PercentCase {
    const char* name;
    std::vector<double> values;
    std::vector<double> percents;
};

class SeriesPercent : public ::testing::TestWithParam<PercentCase> {};

TEST_P(SeriesPercent, ByMagnitudeOfAbsoluteTotal)
{
    const PercentCase& c = GetParam();
    TPieSeries s;
    for (double v : c.values)
        s.Add(v);
    for (size_t i = 0; i < c.percents.size(); ++i)
        EXPECT_DOUBLE_EQ(s.PointPercent(static_cast<int>(i)), c.percents[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(Edges, SeriesPercent,
                         ::testing::Values(PercentCase{"allZeroIsHundred", {0, 0, 0}, {100, 100, 100}},
                                           PercentCase{"single", {7}, {100}},
                                           PercentCase{"negativeByMagnitude", {30, -10, 60}, {30, 10, 60}}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Colours ----------------------------------------------------------------

TEST(SeriesColours, PaletteWrapsAtSixteen)
{
    TPieSeries s;
    for (int i = 0; i < 34; ++i)
        s.Add(1);
    struct {
        int index;
        TColor colour;
    } cases[] = {{0, clRed},    {1, clGreen}, {2, clYellow}, {3, clBlue},   {4, clWhite},
                 {15, clBlack}, {16, clRed},  {17, clGreen}, {31, clBlack}, {33, clGreen}};
    for (auto c : cases)
        EXPECT_EQ(s.PointColor(c.index), c.colour) << c.index;
}

TEST(SeriesColours, ExplicitColourKeptThenColorEachPointOffTurnsAllToSeriesColour)
{
    TPieSeries s;
    s.SetSeriesColor(clNavy);
    s.Add(1);
    s.Add(1, "", clPurple);
    s.Add(1);
    EXPECT_EQ(s.PointColor(0), clRed);
    EXPECT_EQ(s.PointColor(1), clPurple);
    EXPECT_EQ(s.PointColor(2), clYellow);
    s.SetColorEachPoint(false);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(s.PointColor(i), clNavy) << i;
    // Turning it back on does not bring the explicit colour back.
    s.SetColorEachPoint(true);
    EXPECT_EQ(s.PointColor(1), clGreen);
}

TEST(SeriesColours, PlainSeriesUsesSeriesColourAndBeyondRange)
{
    TChartSeries plain;
    plain.SetSeriesColor(clTeal);
    plain.Add(1);
    EXPECT_EQ(plain.PointColor(0), clTeal);
    EXPECT_EQ(plain.PointColor(5), clTeal);
    EXPECT_EQ(plain.PointColor(-1), clTeal);
}

// --- Points -------------------------------------------------------------------

TEST(SeriesPoints, AddIndicesStartAtZeroAfterClear)
{
    TPieSeries s;
    EXPECT_EQ(s.Add(1), 0);
    EXPECT_EQ(s.Add(1), 1);
    s.Clear();
    EXPECT_EQ(s.Count(), 0);
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(s.Add(n), n - 1);
    EXPECT_EQ(s.XValues().StoredAt(4), 4.0);
}

TEST(SeriesPoints, LabelsEmptyAndBeyondReadAsEmpty)
{
    TPieSeries s;
    s.Add(1, "");
    s.Add(2, "docs");
    EXPECT_EQ(s.PointLabel(0), "");
    EXPECT_EQ(s.PointLabel(1), "docs");
    EXPECT_EQ(s.PointLabel(2), "");
    EXPECT_EQ(s.PointLabel(-1), "");
}

struct InsertCase {
    const char* name;
    TChartListOrder order;
    std::vector<double> xs;
    std::vector<int> indices;         // returned by each AddPoint
    std::vector<std::string> labels;  // final label order
};

class OrderedInsertion : public ::testing::TestWithParam<InsertCase> {};

TEST_P(OrderedInsertion, PlacesByOrderEqualValuesKeepArrival)
{
    const InsertCase& c = GetParam();
    TChartSeries s;
    s.XValues().SetOrder(c.order);
    std::vector<int> got;
    for (size_t i = 0; i < c.xs.size(); ++i)
        got.push_back(
            s.AddPoint(c.xs[i], static_cast<double>(i), std::string(1, static_cast<char>('a' + i))));
    EXPECT_EQ(got, c.indices);
    std::vector<std::string> labels;
    for (int i = 0; i < s.Count(); ++i) {
        labels.push_back(s.PointLabel(i));
        // Y and labels move with their X.
        EXPECT_EQ(s.YValues().StoredAt(i), labels.back()[0] - 'a');
    }
    EXPECT_EQ(labels, c.labels);
}

INSTANTIATE_TEST_SUITE_P(
    Orders, OrderedInsertion,
    ::testing::Values(
        InsertCase{"none", loNone, {3, 1, 2}, {0, 1, 2}, {"a", "b", "c"}},
        InsertCase{"ascendingAppend", loAscending, {1, 2, 2}, {0, 1, 2}, {"a", "b", "c"}},
        InsertCase{"ascendingFront", loAscending, {5, 3, 1}, {0, 0, 0}, {"c", "b", "a"}},
        InsertCase{"ascendingEqualAfterEqual", loAscending, {1, 3, 2, 2}, {0, 1, 1, 2}, {"a", "c", "d", "b"}},
        InsertCase{"descending", loDescending, {5, 1, 3, 3}, {0, 1, 1, 2}, {"a", "c", "d", "b"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SeriesPoints, DeleteShiftsEveryListAndMarkPositions)
{
    TPieSeries s;
    s.Add(10, "a");
    s.Add(20, "b", clPurple);
    s.Add(30, "c");
    s.Marks().Positions().Ensure(1).Width = 11;
    s.Marks().Positions().Ensure(2).Width = 22;
    s.SetExplodedSlice(2, 15);
    s.Delete(1);
    ASSERT_EQ(s.Count(), 2);
    EXPECT_EQ(s.PointLabel(1), "c");
    EXPECT_EQ(s.MarkValue(1), 30);
    EXPECT_EQ(s.PointColor(1), clGreen);  // automatic colour follows the index
    ASSERT_NE(s.Marks().Positions().At(1), nullptr);
    EXPECT_EQ(s.Marks().Positions().At(1)->Width, 22);
    EXPECT_EQ(s.ExplodedSlice(1), 15);
    s.Delete(7);  // out of range: nothing
    EXPECT_EQ(s.Count(), 2);
}

TEST(SeriesPoints, ClearForgetsMarkPositionsAndExplodes)
{
    TPieSeries s;
    s.Add(1);
    s.Marks().Positions().Ensure(0);
    s.SetExplodedSlice(0, 30);
    s.Clear();
    EXPECT_EQ(s.Marks().Positions().Count(), 0);
    EXPECT_EQ(s.ExplodedSlice(0), 0);
}

// --- Repaint requests ------------------------------------------------------------

class SeriesRepaint : public ::testing::Test {
protected:
    TCountingHost host;
    TChartPanel chart{&host};
    TPieSeries* pie = nullptr;
    void SetUp() override
    {
        pie = &static_cast<TPieSeries&>(chart.AddSeries(std::make_unique<TPieSeries>()));
        pie->Add(1, "x");
        host.requests = 0;
    }
};

TEST_F(SeriesRepaint, SettingAValueToItselfRequestsNothing)
{
    pie->SetSeriesColor(pie->SeriesColor());
    pie->SetTitle(pie->Title());
    pie->SetValueFormat(pie->ValueFormat());
    pie->SetPercentFormat(pie->PercentFormat());
    pie->SetActive(true);
    pie->SetShowInLegend(true);
    pie->SetCircled(pie->Circled());
    pie->SetRotationAngle(0);
    pie->SetRotationAngle(360);  // stored modulo 360: unchanged
    pie->Marks().SetStyle(pie->Marks().Style());
    pie->Marks().SetVisible(true);
    pie->Marks().SetFont(pie->Marks().Font());
    chart.View3DOptions().SetElevation(chart.View3DOptions().Elevation());
    chart.Gradient().SetVisible(chart.Gradient().Visible());
    chart.Title().SetText(chart.Title().Text());
    chart.SetMarginBottom(chart.MarginBottom());
    EXPECT_EQ(host.requests, 0);
}

TEST_F(SeriesRepaint, RealChangesRequestRepaint)
{
    struct {
        const char* what;
        std::function<void()> change;
    } cases[] = {
        {"value format", [&] { pie->SetValueFormat("0"); }},
        {"mark style", [&] { pie->Marks().SetStyle(smsValue); }},
        {"title text", [&] { chart.Title().SetText({"/home"}); }},
        {"elevation", [&] { chart.View3DOptions().SetElevation(300); }},
        {"add", [&] { pie->Add(3); }},
        {"clear", [&] { pie->Clear(); }},
        {"gradient", [&] { chart.Gradient().SetStartColor(clLime); }},
    };
    for (auto& c : cases) {
        host.requests = 0;
        c.change();
        EXPECT_GE(host.requests, 1) << c.what;
        EXPECT_TRUE(chart.Canvas().Stale()) << c.what;
    }
}

TEST_F(SeriesRepaint, InactiveSeriesAddsWithoutRepaint)
{
    pie->SetActive(false);
    host.requests = 0;
    pie->Add(5);
    EXPECT_EQ(host.requests, 0);
}

// --- Pie data side -------------------------------------------------------------

TEST(PieSeriesData, NewPieNamesListsAndSettings)
{
    TPieSeries s;
    EXPECT_EQ(s.XValues().Name(), "");
    EXPECT_EQ(s.PieValues().Name(), "Pie");
    EXPECT_TRUE(s.ColorEachPoint());
    EXPECT_TRUE(s.Marks().Visible());
    EXPECT_EQ(s.Marks().ArrowLength(), 8);
    EXPECT_TRUE(s.Dark3D());
    EXPECT_EQ(s.OtherSlice().Style(), poNone);
    EXPECT_EQ(s.OtherSlice().Text(), "Other");
}

TEST(PieSeriesData, JoiningChartSetsViewAndTurnsMouseOff)
{
    TChartPanel chart;
    chart.AddSeries(std::make_unique<TPieSeries>());
    EXPECT_FALSE(chart.AllowZoom());
    EXPECT_EQ(chart.AllowPanning(), pmNone);
    EXPECT_FALSE(chart.AxisVisible());
    EXPECT_FALSE(chart.ClipPoints());
    EXPECT_FALSE(chart.View3DWalls());
    EXPECT_FALSE(chart.Frame().Visible);
    EXPECT_EQ(chart.BackWall().Brush().Style, bsClear);
    const TView3DOptions& v = chart.View3DOptions();
    EXPECT_FALSE(v.Orthogonal());
    EXPECT_EQ(v.Rotation(), 360);
    EXPECT_EQ(v.Elevation(), 315);
    EXPECT_EQ(v.Perspective(), 0);
    EXPECT_EQ(v.Tilt(), 0);
}

TEST(PieSeriesData, PrepareSlicesRenumbersAndDropsEarlierGroupedPoint)
{
    TPieSeries s;
    s.Add(5, "a");
    s.AddPoint(TPieSeries::OtherSliceX, 9, "grouped");
    s.Add(7, "b");  // X is Count = 2, goes before the grouped point
    s.PrepareSlices();
    ASSERT_EQ(s.Count(), 2);
    EXPECT_EQ(s.PointLabel(1), "b");
    EXPECT_EQ(s.XValues().StoredAt(0), 0);
    EXPECT_EQ(s.XValues().StoredAt(1), 1);
}

TEST(PieSeriesData, OwnGroupingBelowPercentKeepsPercentagesOfUngroupedPoints)
{
    TPieSeries s;
    for (double v : {50.0, 45.0, 3.0, 2.0})
        s.Add(v);
    s.OtherSlice().SetStyle(poBelowPercent);
    s.OtherSlice().SetValue(4);
    s.PrepareSlices();
    ASSERT_EQ(s.Count(), 5);
    EXPECT_TRUE(s.IsOtherMember(2));
    EXPECT_TRUE(s.IsOtherMember(3));
    EXPECT_EQ(s.PointLabel(4), "Other");
    EXPECT_EQ(s.MarkValue(4), 5);
    EXPECT_DOUBLE_EQ(s.PieValues().AbsoluteTotal(), 100);
    EXPECT_EQ(s.LegendItemCount(), 3);
    EXPECT_EQ(s.LegendToValueIndex(2), 4);
    // The next preparation removes the grouped point before grouping again.
    s.PrepareSlices();
    EXPECT_EQ(s.Count(), 5);
}

TEST(PieSeriesData, RotationAngleRange)
{
    TPieSeries s;
    EXPECT_THROW(
        {
            try {
                s.SetRotationAngle(-1);
            } catch (const EChartError& e) {
                EXPECT_STREQ(e.what(), "Rotation Angle must be between 0 and 359 degrees");
                throw;
            }
        },
        EChartError);
    s.SetRotationAngle(450);
    EXPECT_EQ(s.RotationAngle(), 90);
    EXPECT_DOUBLE_EQ(s.Rotation(), M_PI / 2);
}

}  // namespace
