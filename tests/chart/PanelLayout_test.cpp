// The chart panel's layout and paint order, seen through the recording
// surface.
#include <gtest/gtest.h>

#include "ChartTestSupport.h"
#include "chart/ChartError.h"
#include "chart/CompositionChart.h"

namespace {

class PanelLayout : public ::testing::Test {
protected:
    TCountingHost host;
    TChartPanel chart{&host};
    TPieSeries* pie = nullptr;
    std::unique_ptr<TRecordingSurface> window;

    void SetUp() override { pie = &SetUpCompositionChart(chart); }

    // Paints into a recording window of the given size (a new one when the
    // size changes); answers the records of this drawing in the buffer.
    const std::vector<TRecord>& PaintAt(int width, int height)
    {
        if (!window || window->Width() != width || window->Height() != height) {
            window = std::make_unique<TRecordingSurface>(width, height);
            window->MeasureText = FakeMeasure;
        }
        window->ClearRecords();
        if (window->LastBuffer())
            window->LastBuffer()->ClearRecords();
        chart.Invalidate();
        chart.Paint(*window, {0, 0, width, height});
        return window->LastBuffer()->Records();
    }
};

TEST_F(PanelLayout, FormChartStartsHidden)
{
    EXPECT_FALSE(chart.Visible());
    EXPECT_FALSE(host.visible);
    chart.SetVisible(true);
    EXPECT_TRUE(host.visible);
}

TEST_F(PanelLayout, BottomMarginIsFivePercentRoundedBeforeLegend)
{
    chart.Legend().SetVisible(false);
    chart.Title().SetText({});
    struct { int height; int bottom; } cases[] = {{422, 401}, {430, 408} /* 21.5 -> 22 */, {250, 237}, {19, 18}};
    for (auto c : cases) {
        PaintAt(600, c.height);
        EXPECT_EQ(chart.PlotRect().Bottom, c.bottom) << c.height;
        EXPECT_EQ(chart.PlotRect().Left, 0);
        EXPECT_EQ(chart.PlotRect().Right, 600);
    }
}

TEST_F(PanelLayout, TitleMovesPlotRectDownByFontHeightPlusFive)
{
    chart.Title().SetText({"/home/user/projects"});
    chart.Legend().SetVisible(false);
    const auto& records = PaintAt(600, 422);
    int h = FakeMeasure({"Arial", 0, 16, fsBold, clBlue}, "W").Y;
    EXPECT_EQ(chart.PlotRect().Top, h + 5);
    auto texts = OfKind(records, rkText);
    ASSERT_EQ(texts.size(), 1u);
    const TRecord& t = texts[0];
    EXPECT_EQ(t.Text, "/home/user/projects");
    EXPECT_EQ(t.Font.Name, "Arial");
    EXPECT_EQ(t.Font.PixelHeight, 16);
    EXPECT_EQ(t.Font.Style, fsBold);
    EXPECT_EQ(t.Font.Color, clBlue);
    EXPECT_EQ(t.BackMode, bmTransparent);
    int width = FakeMeasure(t.Font, t.Text).X;
    EXPECT_EQ(t.Points[0], (TPoint{300 - width / 2, 0}));
    // Clear brush, invisible frame: no rectangle behind the title.
    EXPECT_TRUE(OfKind(records, rkRectangle).empty());
}

TEST_F(PanelLayout, EmptyTitleMovesNothing)
{
    chart.Title().SetText({});
    const auto& records = PaintAt(600, 422);
    EXPECT_EQ(chart.PlotRect().Top, 0);
    EXPECT_TRUE(OfKind(records, rkText).empty());
    chart.Title().SetText({"x"});
    chart.Title().SetVisible(false);
    PaintAt(600, 422);
    EXPECT_EQ(chart.PlotRect().Top, 0);
}

TEST_F(PanelLayout, TwoTitleLinesAndFoot)
{
    chart.Title().SetText({"a", "bb"});
    chart.Foot().SetText({"foot"});
    chart.Legend().SetVisible(false);
    const auto& records = PaintAt(600, 400);
    int h = FakeMeasure(TSurfaceFont{"Arial", 0, 16, fsBold, clBlue}, "W").Y;
    int footH = FakeMeasure(TSurfaceFont{"Arial", 8, 0, 0, clBlue}, "W").Y;
    EXPECT_EQ(chart.PlotRect().Top, 2 * h + 5);
    EXPECT_EQ(chart.PlotRect().Bottom, 380 - footH - 5);
    auto texts = OfKind(records, rkText);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[1].Points[0].Y, h);
    EXPECT_EQ(texts[2].Points[0].Y, 380 - footH);
}

TEST_F(PanelLayout, SeriesDepthIsThreePercentOfPlotWidthHalvesToEven)
{
    struct { int width; int depth; } cases[] = {{800, 24}, {750, 22} /* 22.5 */, {850, 26} /* 25.5 */, {10, 0}};
    for (auto c : cases) {
        PaintAt(c.width, 300);
        EXPECT_EQ(chart.SeriesDepth(), c.depth) << c.width;
        EXPECT_EQ(chart.ChartDepth(), c.depth) << c.width;
        EXPECT_EQ(pie->StartZ(), 0);
        EXPECT_EQ(pie->EndZ(), c.depth);
        EXPECT_EQ(pie->MiddleZ(), c.depth / 2);
        EXPECT_EQ(pie->Marks().ZPosition(), c.depth / 2);
    }
}

TEST_F(PanelLayout, NoDepthWithoutView3D)
{
    chart.SetView3D(false);
    PaintAt(800, 300);
    EXPECT_EQ(chart.SeriesDepth(), 0);
    EXPECT_EQ(chart.ChartDepth(), 0);
    EXPECT_EQ(chart.Canvas().ProjectPoint(17, 23, 40), (TPoint{17, 23}));
}

TEST_F(PanelLayout, OrthogonalViewTakesDepthOffRightAndTop)
{
    chart.Title().SetText({});
    chart.Legend().SetVisible(false);
    chart.View3DOptions().SetOrthogonal(true);
    PaintAt(800, 300);
    EXPECT_EQ(chart.SeriesDepth(), 12);  // Rnd(800 * 15 * 0.001)
    EXPECT_EQ(chart.PlotRect(), (TRect{0, 12, 788, 285}));
}

TEST_F(PanelLayout, PaintOrderGradientBevelsTitleBackWall)
{
    chart.Title().SetText({"T"});
    chart.Legend().SetVisible(false);
    const auto& records = PaintAt(300, 200);
    ASSERT_GE(records.size(), 200u + 8 + 1 + 1);
    // The gradient: 200 bands, EndColor at the bottom, StartColor at the top.
    for (int i = 0; i < 200; ++i)
        ASSERT_EQ(records[static_cast<size_t>(i)].Kind, rkFillRect) << i;
    EXPECT_EQ(records[0].Rect, (TRect{0, 199, 300, 200}));
    EXPECT_EQ(records[0].Brush.Color, RGBColour(128, 128, 255));
    EXPECT_EQ(records[199].Rect, (TRect{0, 0, 300, 1}));
    EXPECT_EQ(records[199].Brush.Color, RGBColour(255, 223, 223));
    // Lowered ring outside, raised ring inside.
    const TColor shadow = TRecordingSurface::BtnShadowRGB, light = TRecordingSurface::BtnHighlightRGB;
    struct { TPoint a, b; TColor c; } lines[] = {
        {{0, 199}, {0, 0}, shadow},   {{0, 0}, {299, 0}, shadow},
        {{299, 0}, {299, 199}, light}, {{299, 199}, {-1, 199}, light},
        {{1, 198}, {1, 1}, light},    {{1, 1}, {298, 1}, light},
        {{298, 1}, {298, 198}, shadow}, {{298, 198}, {0, 198}, shadow},
    };
    for (size_t i = 0; i < 8; ++i) {
        const TRecord& r = records[200 + i];
        ASSERT_EQ(r.Kind, rkLine) << i;
        EXPECT_EQ(r.Points[0], lines[i].a) << i;
        EXPECT_EQ(r.Points[1], lines[i].b) << i;
        EXPECT_EQ(r.Pen.Color, lines[i].c) << i;
    }
    EXPECT_EQ(records[208].Kind, rkText);
    // The back wall: invisible pen, clear brush, corners at the chart depth.
    const TRecord& wall = records[209];
    ASSERT_EQ(wall.Kind, rkPolygon);
    EXPECT_EQ(wall.Pen.Style, psClear);
    EXPECT_EQ(wall.Brush.Style, bsClear);
    TChartCanvas3D& c = chart.Canvas();
    const TRect& p = chart.PlotRect();
    std::vector<TPoint> corners = {c.ProjectPoint(p.Left + 1, p.Top - 1, chart.ChartDepth()),
                                   c.ProjectPoint(p.Right, p.Top - 1, chart.ChartDepth()),
                                   c.ProjectPoint(p.Right, p.Bottom, chart.ChartDepth()),
                                   c.ProjectPoint(p.Left + 1, p.Bottom, chart.ChartDepth())};
    EXPECT_EQ(wall.Points, corners);
}

TEST_F(PanelLayout, WithoutGradientFillsButtonFace)
{
    chart.Gradient().SetVisible(false);
    const auto& records = PaintAt(120, 80);
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records[0].Kind, rkFillRect);
    EXPECT_EQ(records[0].Rect, (TRect{0, 0, 120, 80}));
    EXPECT_EQ(records[0].Brush.Color, TRecordingSurface::BtnFaceRGB);
}

TEST_F(PanelLayout, SecondPaintWithoutChangeCopiesBufferOnly)
{
    PaintAt(200, 150);
    TRecordingSurface* buffer = window->LastBuffer();
    size_t drawn = buffer->Records().size();
    EXPECT_EQ(window->Records().size(), 1u);  // the copy at the end of the drawing
    chart.Paint(*window, {0, 0, 200, 150});
    EXPECT_EQ(buffer->Records().size(), drawn);
    ASSERT_EQ(window->Records().size(), 2u);
    EXPECT_EQ(window->Records()[1].Kind, rkBlit);
    EXPECT_EQ(window->Records()[1].Rect, (TRect{0, 0, 200, 150}));
    // A change draws again, into the same buffer while the size holds.
    pie->Add(3);
    chart.Paint(*window, {0, 0, 200, 150});
    EXPECT_EQ(window->LastBuffer(), buffer);
    EXPECT_GT(buffer->Records().size(), 2 * drawn);
}

TEST_F(PanelLayout, TinyControlKeepsPositivePlotRect)
{
    chart.Title().SetText({"a long title"});
    PaintAt(3, 4);
    EXPECT_GE(chart.PlotWidth(), 1);
    EXPECT_GE(chart.PlotHeight(), 1);
}

TEST(PanelSettings, Chart3DPercentRange)
{
    TChartPanel chart;
    for (int bad : {0, 101, -5}) {
        try {
            chart.SetChart3DPercent(bad);
            ADD_FAILURE() << bad;
        } catch (const EChartError& e) {
            EXPECT_STREQ(e.what(), "3D effect percent must be between 1 and 100");
        }
    }
    chart.SetChart3DPercent(1);
    chart.SetChart3DPercent(100);
    EXPECT_EQ(chart.Chart3DPercent(), 100);
}

TEST(PanelSettings, SeriesFreedWithChartWithoutRepaintRequests)
{
    TCountingHost host;
    {
        TChartPanel chart(&host);
        auto& pie = chart.AddSeries(std::make_unique<TPieSeries>());
        pie.Add(1);
        host.requests = 0;
    }
    EXPECT_EQ(host.requests, 0);
}

}  // namespace
