// The slices as drawn: face, rim bands, darkening, explode and drawing order.
//
// Bare 400 x 300 chart without marks: circle centre (200, 142), radius 142,
// depth 12. A face point (x, y) projects to (x, 142 + Rnd(c (y - 142) - 4.24))
// with c = cos 45 degrees, so the face centre is (200, 138) and the rim lies
// 8 or 9 pixels below the face.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/chart/PieTestChart.h"

using namespace pietest;

namespace {

constexpr TColor DarkRed = RGBColour(223, 0, 0);
constexpr TColor DarkGreen = RGBColour(0, 96, 0);

std::vector<TRecord> DrawBare(const std::vector<double>& values, TestChart& t)
{
    t.pie.Marks().SetVisible(false);
    t.Values(values);
    return SolidPolygons(t.Draw());
}

// The band's P half (face depth) is the given run of face points; its Q half
// runs back along the same x, 8 or 9 pixels lower.
void ExpectBand(const TRecord& band, const TRecord& face, int from, int to)
{
    const size_t n = static_cast<size_t>(to - from + 1);
    ASSERT_EQ(band.Points.size(), 2 * n);
    for (size_t i = 0; i < n; ++i) {
        EXPECT_EQ(band.Points[i], face.Points[static_cast<size_t>(from) + i]) << i;
        const TPoint& p = band.Points[n - 1 - i];
        const TPoint& q = band.Points[n + i];
        EXPECT_EQ(q.X, p.X) << i;
        EXPECT_GE(q.Y - p.Y, 8) << i;
        EXPECT_LE(q.Y - p.Y, 9) << i;
    }
}

TEST(PieSlices, OneSliceCoversTheDiscWithTheFrontHalfAsRim)
{
    TestChart t(400, 300, true);
    const auto polys = DrawBare({5}, t);
    ASSERT_EQ(polys.size(), 2u);
    const TRecord& face = polys[0];
    const TRecord& band = polys[1];
    ASSERT_EQ(face.Points.size(), 33u);
    EXPECT_EQ(face.Brush.Color, clRed);
    EXPECT_EQ(face.Points[0], (TPoint{200, 138}));
    EXPECT_EQ(face.Points[1], (TPoint{342, 138}));   // angle 0
    EXPECT_EQ(face.Points[32], (TPoint{342, 138}));  // angle 2 pi
    auto leftmost = std::min_element(face.Points.begin() + 1, face.Points.end(),
                                     [](TPoint a, TPoint b) { return a.X < b.X; });
    EXPECT_EQ(leftmost->X, 59);  // no arc point lies exactly at pi

    // Points 16 and 17 lie symmetric about pi at equal x; the rim starts at 17.
    EXPECT_EQ(band.Brush.Color, DarkRed);
    ExpectBand(band, face, 17, 32);
    for (size_t i = 0; i < 16; ++i)
        EXPECT_GE(band.Points[i].Y, 138) << "rim point above the centre: " << i;
}

TEST(PieSlices, TwoEqualSlicesUpperThenLowerWithTheRim)
{
    TestChart t(400, 300, true);
    const auto polys = DrawBare({3, 3}, t);
    ASSERT_EQ(polys.size(), 3u);
    const TRecord& upper = polys[0];
    EXPECT_EQ(upper.Brush.Color, clRed);
    EXPECT_EQ(upper.Points[1], (TPoint{342, 138}));
    EXPECT_EQ(upper.Points[32], (TPoint{58, 138}));
    for (const TPoint& p : upper.Points)
        EXPECT_LE(p.Y, 138);

    const TRecord& lower = polys[1];
    EXPECT_EQ(lower.Brush.Color, clGreen);
    EXPECT_EQ(lower.Points[1], (TPoint{58, 138}));
    EXPECT_EQ(lower.Points[32], (TPoint{342, 138}));
    EXPECT_EQ(polys[2].Brush.Color, DarkGreen);
    ExpectBand(polys[2], lower, 1, 32);
}

TEST(PieSlices, AllValuesZeroGiveTheFirstSliceTheDisc)
{
    TestChart t(400, 300, true);
    const auto polys = DrawBare({0, 0}, t);
    ASSERT_EQ(polys.size(), 3u);
    EXPECT_EQ(polys[0].Brush.Color, clRed);
    EXPECT_EQ(polys[1].Brush.Color, DarkRed);
    ExpectBand(polys[1], polys[0], 17, 32);
    // The second slice collapses onto the point at 2 pi and has no rim.
    EXPECT_EQ(polys[2].Brush.Color, clGreen);
    for (size_t k = 1; k <= 32; ++k)
        EXPECT_EQ(polys[2].Points[k], (TPoint{342, 138})) << k;
}

TEST(PieSlices, RimColourIsEachChannelLess32)
{
    const struct {
        TColor colour;
        TColor rim;
    } cases[] = {
        {clRed, RGBColour(223, 0, 0)},
        {clWhite, RGBColour(223, 223, 223)},
        {RGBColour(32, 33, 200), RGBColour(0, 1, 168)},
        {clBlack, clBlack},
    };
    for (const auto& c : cases) {
        TestChart t(400, 300, true);
        t.pie.Marks().SetVisible(false);
        t.pie.Add(1, "", c.colour);
        const auto polys = SolidPolygons(t.Draw());
        ASSERT_EQ(polys.size(), 2u);
        EXPECT_EQ(polys[0].Brush.Color, c.colour);
        EXPECT_EQ(polys[1].Brush.Color, c.rim);
    }
    // Without Dark3D the rim keeps the face colour.
    TestChart t(400, 300, true);
    t.pie.SetDark3D(false);
    const auto polys = DrawBare({1}, t);
    EXPECT_EQ(polys[1].Brush.Color, clRed);
}

TEST(PieSlices, RedRimInTheFullChart)
{
    TestChart t(472, 420);
    t.Values({70, 10, 10, 10});
    const auto polys = SolidPolygons(t.Draw());
    int rims = 0;
    for (const TRecord& p : polys)
        rims += p.Brush.Color == DarkRed;
    EXPECT_GE(rims, 1);
}

TEST(PieSlices, PiePenOutlinesEverySlice)
{
    TestChart t(400, 300, true);
    const auto polys = DrawBare({1, 2, 3}, t);
    for (const TRecord& p : polys) {
        EXPECT_EQ(p.Pen.Color, clBlack);
        EXPECT_EQ(p.Pen.Style, psSolid);
    }
    TestChart hidden(400, 300, true);
    hidden.pie.SetPiePen(TChartPen::Hidden());
    for (const TRecord& p : DrawBare({1, 2, 3}, hidden))
        EXPECT_EQ(p.Pen.Style, psClear);
}

// Rotated by 180 degrees, three equal slices have their middles at 4pi/3, 2pi
// and 8pi/3; once one is exploded, they are drawn from the back (pi/2)
// forwards.
TEST(PieSlices, ExplodedSlicesGetSideWallsAndBackToFrontOrder)
{
    TestChart t(400, 300, true);
    t.pie.SetRotationAngle(180);
    t.pie.Marks().SetVisible(false);
    t.Values({1, 1, 1});
    t.pie.SetExplodedSlice(2, 20);
    const auto polys = SolidPolygons(t.Draw());
    std::vector<TColor> faces;
    std::vector<TRecord> walls;
    for (const TRecord& p : polys) {
        if (p.Points.size() == 33)
            faces.push_back(p.Brush.Color);
        if (p.Points.size() == 4)
            walls.push_back(p);
    }
    EXPECT_EQ(faces, (std::vector<TColor>{clYellow, clGreen, clRed}));
    // Once a slice is exploded every slice shows its side walls, darkened.
    ASSERT_FALSE(walls.empty());
    const std::vector<TColor> dark = {DarkRed, DarkGreen, RGBColour(223, 223, 0)};
    int yellow = 0;
    for (const TRecord& w : walls) {
        EXPECT_NE(std::find(dark.begin(), dark.end(), w.Brush.Color), dark.end());
        yellow += w.Brush.Color == dark[2];
    }
    // The yellow slice (60..180 degrees once turned) shows both its walls.
    EXPECT_EQ(yellow, 2);
    EXPECT_TRUE(t.pie.Exploded());
}

TEST(PieSlices, ExplodeBiggestPicksTheFirstLargest)
{
    TestChart t(400, 300, true);
    t.pie.SetExplodeBiggest(30);
    DrawBare({1, 5, 5}, t);
    EXPECT_EQ(t.pie.ExplodedSlice(0), 0);
    EXPECT_EQ(t.pie.ExplodedSlice(1), 30);
    EXPECT_EQ(t.pie.ExplodedSlice(2), 0);
    // The exploded circle shrinks by half the offset at top and bottom.
    EXPECT_LT(t.pie.CircleHeight(), 284);
}

TEST(PieSlices, ClearForgetsExplodePercentages)
{
    TestChart t(400, 300, true);
    t.Values({1, 1});
    t.pie.SetExplodedSlice(1, 40);
    t.Values({1, 1});
    EXPECT_EQ(t.pie.ExplodedSlice(1), 0);
}

TEST(PieSlices, NoPointsDrawNothing)
{
    TestChart t(400, 300, true);
    const auto& records = t.Draw();
    EXPECT_TRUE(SolidPolygons(records).empty());
    EXPECT_TRUE(Texts(records).empty());
    EXPECT_TRUE(Select(records, rkLine).empty());
}

}  // namespace
