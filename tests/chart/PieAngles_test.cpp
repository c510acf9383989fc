// Slice angles, the rotation setting and the circle layout of the pie.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "chart/ChartError.h"
#include "chart/PieLayout.h"
#include "tests/chart/PieTestChart.h"

using namespace pietest;

namespace {

constexpr double TwoPi = 6.283185307179586;
constexpr double Pi = std::numbers::pi;

struct AngleCase {
    const char* name;
    std::vector<double> values;
    std::vector<TPieAngle> expected;
};

TEST(PieAngles, FollowTheRunningSum)
{
    const AngleCase cases[] = {
        {"one slice covers the circle", {7}, {{0, Pi, TwoPi}}},
        {"two equal: upper then lower half", {1, 1}, {{0, Pi / 2, Pi}, {Pi, 1.5 * Pi, TwoPi}}},
        {"all zero: first full, rest empty at 2pi",
         {0, 0, 0},
         {{0, Pi, TwoPi}, {TwoPi, TwoPi, TwoPi}, {TwoPi, TwoPi, TwoPi}}},
        {"negative counts by magnitude", {-1, 3}, {{0, Pi / 4, Pi / 2}, {Pi / 2, 1.25 * Pi, TwoPi}}},
        {"zero slice between", {1, 0, 1}, {{0, Pi / 2, Pi}, {Pi, Pi, Pi}, {Pi, 1.5 * Pi, TwoPi}}},
    };
    for (const AngleCase& c : cases) {
        TestChart t;
        t.Values(c.values);
        t.pie.CalcAngles();
        ASSERT_EQ(t.pie.Angles().size(), c.expected.size()) << c.name;
        for (size_t i = 0; i < c.expected.size(); ++i) {
            EXPECT_NEAR(t.pie.Angles()[i].StartAngle, c.expected[i].StartAngle, 1e-12) << c.name << " " << i;
            EXPECT_NEAR(t.pie.Angles()[i].MidAngle, c.expected[i].MidAngle, 1e-12) << c.name << " " << i;
            EXPECT_NEAR(t.pie.Angles()[i].EndAngle, c.expected[i].EndAngle, 1e-12) << c.name << " " << i;
        }
    }
}

// Sums that do not add up exactly in binary still close the circle exactly.
TEST(PieAngles, LastSliceEndsExactlyAtTwoPi)
{
    const std::vector<std::vector<double>> cases = {
        {0.1, 0.2, 0.3}, {1e-300, 1e300, 3}, {0.7, 0.1, 0.1, 0.1}, {1.0 / 3, 1.0 / 3, 1.0 / 3, 1e-17}};
    for (const auto& values : cases) {
        TestChart t;
        t.Values(values);
        t.pie.CalcAngles();
        EXPECT_EQ(t.pie.Angles().back().EndAngle, TwoPi);
        for (size_t i = 1; i < values.size(); ++i)
            EXPECT_EQ(t.pie.Angles()[i].StartAngle, t.pie.Angles()[i - 1].EndAngle);
    }
}

TEST(PieAngles, OtherSliceMembersTakeNoAngle)
{
    TestChart t;
    t.Values({2, 1, 2});
    t.pie.OtherSlice().SetStyle(poBelowValue);
    t.pie.OtherSlice().SetValue(1.5);
    t.pie.PrepareSlices();  // point 1 joins the grouped slice added last
    ASSERT_EQ(t.pie.Count(), 4);
    t.pie.CalcAngles();
    const auto& a = t.pie.Angles();
    // Percentages stay relative to the points before grouping: total 5.
    EXPECT_NEAR(a[0].EndAngle, TwoPi * 2 / 5, 1e-12);
    EXPECT_EQ(a[1].StartAngle, a[1].EndAngle);
    EXPECT_NEAR(a[2].EndAngle, TwoPi * 4 / 5, 1e-12);
    EXPECT_EQ(a[3].EndAngle, TwoPi);
}

TEST(PieRotation, BelowZeroFailsAndLargeAnglesWrap)
{
    const struct {
        int set;
        int stored;
    } ok[] = {{0, 0}, {359, 359}, {360, 0}, {725, 5}};
    for (const auto& c : ok) {
        TestChart t;
        t.pie.SetRotationAngle(c.set);
        EXPECT_EQ(t.pie.RotationAngle(), c.stored);
        EXPECT_DOUBLE_EQ(t.pie.Rotation(), c.stored * Pi / 180);
    }
    TestChart t;
    t.pie.SetRotationAngle(30);
    for (int bad : {-1, -360}) {
        try {
            t.pie.SetRotationAngle(bad);
            ADD_FAILURE() << bad;
        } catch (const EChartError& e) {
            EXPECT_STREQ(e.what(), "Rotation Angle must be between 0 and 359 degrees");
        }
        EXPECT_EQ(t.pie.RotationAngle(), 30);
    }
}

TEST(PieRotation, TurnsAngleToPoint)
{
    TestChart t(400, 300, true);
    t.pie.Marks().SetVisible(false);
    t.Values({1});
    t.pie.SetRotationAngle(90);
    t.Draw();
    // Circle centre (200, 142), radius 142; 0 rad turned by 90 degrees is up.
    EXPECT_EQ(t.pie.AngleToPoint(0, 100, 50), (TPoint{200, 92}));
    EXPECT_EQ(t.pie.AngleToPoint(Pi / 2, 100, 50), (TPoint{100, 142}));
}

TEST(PieLayout, ScreenPixelRatio)
{
    const struct {
        TScreenMetrics m;
        double ratio;
    } cases[] = {
        {{1024, 768, 0, 0}, 1.0},       // physical size unknown: square pixels
        {{1920, 1080, 0, 0}, 1.0},      // not the pixel counts' own ratio
        {{1024, 768, 400, 0}, 1.0},     // height in mm unknown
        {{1024, 768, 0, 300}, 1.0},     // width in mm unknown
        {{0, 0, 400, 300}, 1.0},        // pixel counts unknown
        {{1024, 768, 400, 300}, 1.0},   // square pixels
        {{1000, 1000, 200, 100}, 0.5},  // twice as dense vertically
        {{1000, 1000, 100, 200}, 2.0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(ScreenPixelRatio(c.m), c.ratio)
            << c.m.WidthPixels << "x" << c.m.HeightPixels << " " << c.m.WidthMm << "x" << c.m.HeightMm;
}

// Bare 400 x 300 chart: the plot is (0, 0, 400, 285), the circle starts from
// (0, 0, 400, 284) with centre (200, 142).
TEST(PieLayout, CircleFromPlotRectAndScreenShape)
{
    const struct {
        const char* name;
        bool circled;
        TScreenMetrics m;
        TRect circle;
        int xr, yr;
    } cases[] = {
        {"not round", false, {1024, 768, 0, 0}, {0, 0, 400, 284}, 200, 142},
        {"round, square pixels", true, {1024, 768, 0, 0}, {58, 0, 342, 284}, 142, 142},
        {"round, dense vertically", true, {1000, 1000, 200, 100}, {129, 0, 271, 284}, 71, 142},
        {"round, dense horizontally", true, {1000, 1000, 100, 200}, {0, 42, 400, 242}, 200, 100},
    };
    for (const auto& c : cases) {
        TestChart t(400, 300, true);
        t.window.SetScreenMetrics(c.m);
        t.pie.Marks().SetVisible(false);
        t.pie.SetCircled(c.circled);
        t.Values({1, 2});
        t.Draw();
        EXPECT_EQ(t.pie.CircleRect(), c.circle) << c.name;
        EXPECT_EQ(t.pie.XRadius(), c.xr) << c.name;
        EXPECT_EQ(t.pie.YRadius(), c.yr) << c.name;
        EXPECT_EQ(t.pie.CircleXCenter(), 200) << c.name;
        EXPECT_EQ(t.pie.CircleYCenter(), 142) << c.name;
    }
}

TEST(PieLayout, CustomRadiiWin)
{
    TestChart t(400, 300, true);
    t.pie.Marks().SetVisible(false);
    t.pie.SetCustomXRadius(50);
    t.pie.SetCustomYRadius(30);
    t.Values({1});
    t.Draw();
    EXPECT_EQ(t.pie.CircleRect(), (TRect{150, 112, 250, 172}));
    EXPECT_EQ(t.pie.CircleWidth(), 100);
    EXPECT_EQ(t.pie.CircleHeight(), 60);
}

// Plot heights 3, 5 and 7 (no margin lost at these sizes) give circles 4, 4
// and 6 high: at least 4 x 4, and slices only from 5 x 5.
TEST(PieLayout, MinimumCircleAndNoSlicesBelowFive)
{
    const struct {
        int height;
        int circleHeight;
        bool slices;
    } cases[] = {{3, 4, false}, {5, 4, false}, {7, 6, true}};
    for (const auto& c : cases) {
        TestChart t(400, c.height, true);
        t.pie.Marks().SetVisible(false);
        t.pie.SetCircled(false);
        t.Values({1, 1});
        const auto& records = t.Draw();
        EXPECT_EQ(t.pie.CircleHeight(), c.circleHeight) << c.height;
        EXPECT_EQ(SolidPolygons(records).empty(), !c.slices) << c.height;
    }
    // Marks' room larger than the chart: still 4 x 4, nothing drawn.
    TestChart t(30, 30, true);
    t.Values({1});
    const auto& records = t.Draw();
    EXPECT_EQ(t.pie.CircleWidth(), 4);
    EXPECT_EQ(t.pie.CircleHeight(), 4);
    EXPECT_TRUE(SolidPolygons(records).empty());
}

}  // namespace
