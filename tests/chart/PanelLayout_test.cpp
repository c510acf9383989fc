// The chart panel's layout and paint order, seen through the recording
// surface.
#include <gtest/gtest.h>

#include "ChartTestSupport.h"
#include "chart/ChartError.h"
#include "PieChartDesign.h"
#include "chart/PanelLayout.h"

namespace {

class PanelDrawing : public ::testing::Test {
protected:
    TCountingHost host;
    TChartPanel chart{&host};
    TPieSeries* pie = nullptr;
    std::unique_ptr<TRecordingSurface> window;

    void SetUp() override { pie = &SetUpPieChart(chart); }

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

    // The layout step alone, measuring as PaintAt does.
    PanelLayout LayoutAt(int width, int height)
    {
        TRecordingSurface measure(width, height);
        measure.MeasureText = FakeMeasure;
        return LayoutPanel(chart, measure, {0, 0, width, height});
    }
};

TEST_F(PanelDrawing, FormChartStartsHidden)
{
    EXPECT_FALSE(chart.Visible());
    EXPECT_FALSE(host.visible);
    chart.SetVisible(true);
    EXPECT_TRUE(host.visible);
}

TEST_F(PanelDrawing, BottomMarginIsFivePercentRoundedBeforeLegend)
{
    chart.Legend().SetVisible(false);
    chart.Title().SetText({});
    struct {
        int height;
        int bottom;
    } cases[] = {{422, 401}, {430, 408} /* 21.5 -> 22 */, {250, 237}, {19, 18}};
    for (auto c : cases) {
        const TRect plot = LayoutAt(600, c.height).PlotRect;
        EXPECT_EQ(plot.Bottom, c.bottom) << c.height;
        EXPECT_EQ(plot.Left, 0);
        EXPECT_EQ(plot.Right, 600);
    }
}

TEST_F(PanelDrawing, TitleMovesPlotRectDownByFontHeightPlusFive)
{
    chart.Title().SetText({"/home/user/projects"});
    chart.Legend().SetVisible(false);
    const auto& records = PaintAt(600, 422);
    int h = FakeMeasure({"Arial", 0, 16, fsBold, clBlue}, "W").Y;
    EXPECT_EQ(chart.Layout().PlotRect.Top, h + 5);
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

TEST_F(PanelDrawing, EmptyTitleMovesNothing)
{
    chart.Title().SetText({});
    const auto& records = PaintAt(600, 422);
    EXPECT_EQ(chart.Layout().PlotRect.Top, 0);
    EXPECT_TRUE(OfKind(records, rkText).empty());
    chart.Title().SetText({"x"});
    chart.Title().SetVisible(false);
    PaintAt(600, 422);
    EXPECT_EQ(chart.Layout().PlotRect.Top, 0);
}

TEST_F(PanelDrawing, TwoTitleLinesAndFoot)
{
    chart.Title().SetText({"a", "bb"});
    chart.Foot().SetText({"foot"});
    chart.Legend().SetVisible(false);
    const auto& records = PaintAt(600, 400);
    int h = FakeMeasure(TSurfaceFont{"Arial", 0, 16, fsBold, clBlue}, "W").Y;
    int footH = FakeMeasure(TSurfaceFont{"Arial", 8, 0, 0, clBlue}, "W").Y;
    EXPECT_EQ(chart.Layout().PlotRect.Top, 2 * h + 5);
    EXPECT_EQ(chart.Layout().PlotRect.Bottom, 380 - footH - 5);
    auto texts = OfKind(records, rkText);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[1].Points[0].Y, h);
    EXPECT_EQ(texts[2].Points[0].Y, 380 - footH);
}

// The layout step alone gives what the drawing then draws from: the title
// and foot lines where their texts go, the legend's box, the plot.
TEST_F(PanelDrawing, DrawingUsesTheLayoutStepsValues)
{
    chart.Title().SetText({"a", "bb"});
    chart.Foot().SetText({"foot"});
    pie->Add(3, "x");
    pie->Add(2, "y");
    const PanelLayout before = LayoutAt(500, 400);
    const auto& records = PaintAt(500, 400);
    const PanelLayout& drawn = chart.Layout();
    EXPECT_EQ(drawn.PlotRect, before.PlotRect);
    EXPECT_EQ(drawn.Legend.Rect, before.Legend.Rect);
    EXPECT_EQ(drawn.SeriesDepth, before.SeriesDepth);
    ASSERT_EQ(drawn.Title.Lines.size(), 2u);
    ASSERT_EQ(drawn.Foot.Lines.size(), 1u);
    EXPECT_EQ(drawn.Title.Lines, before.Title.Lines);
    EXPECT_EQ(drawn.Foot.Lines, before.Foot.Lines);
    std::vector<TPoint> textAt;
    for (const TRecord& t : OfKind(records, rkText))
        textAt.push_back(t.Points[0]);
    ASSERT_GE(textAt.size(), 3u);
    EXPECT_EQ(textAt[0], drawn.Title.Lines[0]);
    EXPECT_EQ(textAt[1], drawn.Title.Lines[1]);
    EXPECT_EQ(textAt[2], drawn.Foot.Lines[0]);
    // The legend sits below the foot's room, the plot above the legend.
    EXPECT_LE(drawn.Legend.Rect.Bottom, drawn.Foot.Lines[0].Y);
    EXPECT_LT(drawn.PlotRect.Bottom, drawn.Legend.Rect.Top);
    EXPECT_EQ(drawn.PlotRect.Top,
              drawn.Title.Lines[1].Y + (drawn.Title.Lines[1].Y - drawn.Title.Lines[0].Y) + 5);
}

TEST_F(PanelDrawing, SeriesDepthIsThreePercentOfPlotWidthHalvesToEven)
{
    struct {
        int width;
        int depth;
    } cases[] = {{800, 24}, {750, 22} /* 22.5 */, {850, 26} /* 25.5 */, {10, 0}};
    for (auto c : cases) {
        PaintAt(c.width, 300);
        EXPECT_EQ(chart.Layout().SeriesDepth, c.depth) << c.width;
        EXPECT_EQ(chart.Layout().ChartDepth, c.depth) << c.width;
        EXPECT_EQ(pie->StartZ(), 0);
        EXPECT_EQ(pie->EndZ(), c.depth);
        EXPECT_EQ(pie->MiddleZ(), c.depth / 2);
        EXPECT_EQ(pie->Marks().ZPosition(), c.depth / 2);
    }
}

TEST_F(PanelDrawing, NoDepthWithoutView3D)
{
    chart.SetView3D(false);
    PaintAt(800, 300);
    EXPECT_EQ(chart.Layout().SeriesDepth, 0);
    EXPECT_EQ(chart.Layout().ChartDepth, 0);
    EXPECT_EQ(chart.Canvas().ProjectPoint(17, 23, 40), (TPoint{17, 23}));
}

TEST_F(PanelDrawing, OrthogonalViewTakesDepthOffRightAndTop)
{
    chart.Title().SetText({});
    chart.Legend().SetVisible(false);
    chart.View3DOptions().SetOrthogonal(true);
    const PanelLayout layout = LayoutAt(800, 300);
    EXPECT_EQ(layout.SeriesDepth, 12);  // Rnd(800 * 15 * 0.001)
    EXPECT_EQ(layout.PlotRect, (TRect{0, 12, 788, 285}));
}

TEST_F(PanelDrawing, PaintOrderGradientBevelsTitleBackWall)
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
    struct {
        TPoint a, b;
        TColor c;
    } lines[] = {
        {{0, 199}, {0, 0}, shadow},     {{0, 0}, {299, 0}, shadow},     {{299, 0}, {299, 199}, light},
        {{299, 199}, {-1, 199}, light}, {{1, 198}, {1, 1}, light},      {{1, 1}, {298, 1}, light},
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
    const TRect& p = chart.Layout().PlotRect;
    std::vector<TPoint> corners = {c.ProjectPoint(p.Left + 1, p.Top - 1, chart.Layout().ChartDepth),
                                   c.ProjectPoint(p.Right, p.Top - 1, chart.Layout().ChartDepth),
                                   c.ProjectPoint(p.Right, p.Bottom, chart.Layout().ChartDepth),
                                   c.ProjectPoint(p.Left + 1, p.Bottom, chart.Layout().ChartDepth)};
    EXPECT_EQ(wall.Points, corners);
}

TEST_F(PanelDrawing, WithoutGradientFillsButtonFace)
{
    chart.Gradient().SetVisible(false);
    const auto& records = PaintAt(120, 80);
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records[0].Kind, rkFillRect);
    EXPECT_EQ(records[0].Rect, (TRect{0, 0, 120, 80}));
    EXPECT_EQ(records[0].Brush.Color, TRecordingSurface::BtnFaceRGB);
}

TEST_F(PanelDrawing, SecondPaintWithoutChangeCopiesBufferOnly)
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

TEST_F(PanelDrawing, TinyControlKeepsPositivePlotRect)
{
    chart.Title().SetText({"a long title"});
    const PanelLayout layout = LayoutAt(3, 4);
    EXPECT_GE(layout.PlotWidth, 1);
    EXPECT_GE(layout.PlotHeight, 1);
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
