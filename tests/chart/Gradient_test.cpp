// Gradient bands, colour arithmetic and the canvas' drawing state.
#include <gtest/gtest.h>

#include <set>

#include "ChartTestSupport.h"
#include "chart/Canvas3D.h"

namespace {

struct Band {
    TRect rect;
    TColor colour;
};

std::vector<Band> Bands(const TRect& r, TColor c1, TColor c2, TGradientDirection d)
{
    TRecordingSurface window(2000, 2000);
    TChartCanvas3D canvas;
    canvas.SetBuffered(false);
    canvas.BeginDraw(window, nullptr, {0, 0, 2000, 2000}, false);
    canvas.FillGradient(r, c1, c2, d);
    std::vector<Band> bands;
    for (const TRecord& rec : OfKind(window.Records(), rkFillRect))
        bands.push_back({rec.Rect, rec.Brush.Color});
    return bands;
}

// Bands must tile the rectangle without gaps, each from the far edge inward.
void ExpectTiles(const std::vector<Band>& bands, const TRect& r, bool vertical)
{
    int edge = vertical ? r.Bottom : r.Right;
    for (const Band& b : bands) {
        if (vertical) {
            EXPECT_EQ(b.rect.Bottom, edge);
            EXPECT_EQ(b.rect.Left, r.Left);
            EXPECT_EQ(b.rect.Right, r.Right);
            edge = b.rect.Top;
        } else {
            EXPECT_EQ(b.rect.Right, edge);
            EXPECT_EQ(b.rect.Top, r.Top);
            EXPECT_EQ(b.rect.Bottom, r.Bottom);
            edge = b.rect.Left;
        }
    }
    EXPECT_EQ(edge, vertical ? r.Top : r.Left);
}

TEST(GradientBands, ThousandPixelsHigh256BandsOfThreeOrFour)
{
    TRect r{0, 0, 50, 1000};
    auto bands = Bands(r, clBlack, clWhite, gdBottomTop);
    ASSERT_EQ(bands.size(), 256u);
    ExpectTiles(bands, r, true);
    std::set<int> heights;
    for (const Band& b : bands)
        heights.insert(b.rect.Height());
    EXPECT_EQ(heights, (std::set<int>{3, 4}));
    EXPECT_EQ(bands.front().colour, clBlack);  // first colour at the bottom
    EXPECT_EQ(bands.back().colour, clWhite);
    for (size_t i = 0; i < bands.size(); ++i)
        EXPECT_EQ(RedOf(bands[i].colour), static_cast<int>(i));
}

TEST(GradientBands, HundredPixelsHundredOnePixelBands)
{
    TRect r{10, 20, 60, 120};
    auto bands = Bands(r, RGBColour(0, 0, 0), RGBColour(99, 198, 0), gdTopBottom);
    ASSERT_EQ(bands.size(), 100u);
    ExpectTiles(bands, r, true);
    for (size_t i = 0; i < bands.size(); ++i) {
        EXPECT_EQ(bands[i].rect.Height(), 1);
        EXPECT_EQ(bands[i].colour, RGBColour(static_cast<int>(i), static_cast<int>(2 * i), 0));
    }
}

TEST(GradientBands, HorizontalFromRightEdge)
{
    TRect r{0, 0, 3, 7};
    auto bands = Bands(r, clRed, clBlue, gdLeftRight);
    ASSERT_EQ(bands.size(), 3u);
    ExpectTiles(bands, r, false);
    EXPECT_EQ(bands[0].rect, (TRect{2, 0, 3, 7}));
    EXPECT_EQ(bands[0].colour, clRed);
    EXPECT_EQ(bands[1].colour, RGBColour(127, 0, 128));  // MulDiv(1, +-255, 2) rounds away from zero
    EXPECT_EQ(bands[2].colour, clBlue);
}

TEST(GradientBands, EqualColoursOneFlatColourOneBrush)
{
    TRecordingSurface window(300, 300);
    TChartCanvas3D canvas;
    canvas.SetBuffered(false);
    canvas.BeginDraw(window, nullptr, {0, 0, 300, 300}, false);
    canvas.SetBrush({clLime, bsDiagCross});
    canvas.FillGradient({0, 0, 300, 300}, clTeal, clTeal, gdBottomTop);
    auto fills = OfKind(window.Records(), rkFillRect);
    ASSERT_EQ(fills.size(), 256u);
    for (const TRecord& f : fills) {
        EXPECT_EQ(f.Brush.Color, clTeal);
        EXPECT_EQ(f.Brush.Style, bsSolid);
    }
    // The brush in use before the fill comes back.
    EXPECT_EQ(canvas.Brush(), (TSurfaceBrush{clLime, bsDiagCross}));
}

TEST(GradientBands, DegenerateRectangles)
{
    EXPECT_TRUE(Bands({5, 5, 40, 5}, clRed, clBlue, gdBottomTop).empty());
    auto one = Bands({5, 5, 40, 6}, clRed, clBlue, gdBottomTop);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].colour, clRed);  // a single band has the first colour
    // Reversed corners are normalised.
    auto flipped = Bands({40, 9, 5, 5}, clRed, clBlue, gdBottomTop);
    ASSERT_EQ(flipped.size(), 4u);
    EXPECT_EQ(flipped[0].rect, (TRect{5, 8, 40, 9}));
}

TEST(CanvasColours, DarkenClampsAtZeroAndResolvesSystemColours)
{
    TRecordingSurface window(10, 10);
    TChartCanvas3D canvas;
    canvas.BeginDraw(window, nullptr, {0, 0, 10, 10}, false);
    struct {
        TColor in;
        TColor out;
    } cases[] = {
        {clRed, RGBColour(223, 0, 0)},
        {RGBColour(32, 33, 31), RGBColour(0, 1, 0)},
        {clWhite, RGBColour(223, 223, 223)},
        {clBtnFace, RGBColour(0xF0 - 32, 0xF0 - 32, 0xF0 - 32)},
    };
    for (auto c : cases)
        EXPECT_EQ(canvas.DarkenColour(c.in, 32), c.out) << std::hex << c.in;
}

TEST(CanvasState, ChartPenHiddenDottedAndPlain)
{
    TRecordingSurface window(10, 10);
    TChartCanvas3D canvas;
    canvas.SetBuffered(false);
    canvas.BeginDraw(window, nullptr, {0, 0, 10, 10}, false);
    struct {
        TChartPen pen;
        TSurfacePen expected;
    } cases[] = {
        {TChartPen{}, {clBlack, 1, psSolid, false}},
        {TChartPen::Hidden(), {clBlack, 1, psClear, false}},
        {TChartPen{clRed, 1, psSolid, true, true}, {clRed, 1, psDot, true}},
        {TChartPen{clRed, 2, psDash, true, true}, {clRed, 2, psDash, false}},  // small dots only at width 1
        {TChartPen{clBtnShadow, 3, psSolid, true, false},
         {TRecordingSurface::BtnShadowRGB, 3, psSolid, false}},
    };
    for (auto& c : cases) {
        canvas.ApplyChartPen(c.pen);
        canvas.Line(0, 0, 1, 1);
        EXPECT_EQ(window.Records().back().Pen, c.expected);
    }
}

TEST(CanvasState, ResetDrawingState)
{
    TRecordingSurface window(10, 10);
    TChartCanvas3D canvas;
    canvas.SetBuffered(false);
    canvas.BeginDraw(window, nullptr, {0, 0, 10, 10}, false);
    canvas.SetPen({clRed, 4, psDot, false});
    canvas.SetBrush({clBlue, bsCross});
    canvas.SetFont({"Arial", 20, 0, fsBold, clRed});
    canvas.SetBackMode(bmOpaque);
    canvas.SetBackColor(clLime);
    canvas.ResetDrawingState();
    canvas.TextOut(1, 1, "x");
    const TRecord& r = window.Records().back();
    EXPECT_EQ(r.Pen, (TSurfacePen{clBlack, 1, psSolid, false}));
    EXPECT_EQ(r.Brush, (TSurfaceBrush{clWhite, bsSolid}));
    EXPECT_EQ(r.Font.Size, 10);
    EXPECT_EQ(r.Font.Color, clBlack);
    EXPECT_EQ(r.BackColor, clWhite);
    EXPECT_EQ(r.BackMode, bmTransparent);
}

TEST(CanvasDrawing, RectangleAtDepthProjectsFourCorners)
{
    TRecordingSurface window(400, 300);
    TView3DOptions options;  // orthogonal by default
    TChartCanvas3D canvas;
    canvas.SetBuffered(false);
    canvas.BeginDraw(window, &options, {0, 0, 400, 300}, true);
    canvas.SetViewCentre(0, {0, 0, 400, 300});
    canvas.RectangleAtDepth({10, 20, 30, 40}, 5);
    const TRecord& r = window.Records().back();
    ASSERT_EQ(r.Kind, rkPolygon);
    std::vector<TPoint> expected = {{15, 15}, {35, 15}, {35, 35}, {15, 35}};
    EXPECT_EQ(r.Points, expected);
}

TEST(CanvasDrawing, TextAt3DScalesFontWithZoom)
{
    TRecordingSurface window(400, 300);
    TView3DOptions options;
    options.SetZoom(150);
    TChartCanvas3D canvas;
    canvas.SetBuffered(false);
    canvas.BeginDraw(window, &options, {0, 0, 400, 300}, true);
    canvas.SetViewCentre(0, {0, 0, 400, 300});
    canvas.SetFont({"Arial", 8, 0, 0, clBlack});
    canvas.TextAt3D(200, 150, 0, "a");
    EXPECT_EQ(window.Records().back().Font.Size, 12);
    EXPECT_EQ(window.Records().back().Font.PixelHeight, 16);
    canvas.TextOut(0, 0, "b");  // the canvas font itself is unchanged
    EXPECT_EQ(window.Records().back().Font.Size, 8);
}

}  // namespace
