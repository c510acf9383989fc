#include "chart/CompositionChart.h"

#include <memory>

// The chart settings of the window's form.
static void ApplyFormSettings(TChartPanel& chart)
{
    chart.SetBevelOuter(bvLowered);
    chart.SetBevelInner(bvRaised);
    chart.SetMarginLeft(0);
    chart.SetMarginTop(0);
    chart.SetMarginRight(0);
    chart.SetMarginBottom(5);
    chart.SetView3DWalls(false);
    chart.SetAxisVisible(false);
    chart.SetClipPoints(false);
    chart.SetAllowZoom(true);
    chart.SetAllowPanning(pmNone);
    TChartPen frame = chart.Frame();
    frame.Visible = false;
    chart.SetFrame(frame);

    chart.Gradient().SetDirection(gdBottomTop);
    chart.Gradient().SetStartColor(14671871);  // red 255, green 223, blue 223
    chart.Gradient().SetEndColor(16744576);    // red 128, green 128, blue 255
    chart.Gradient().SetVisible(true);

    chart.BackWall().SetBrush({clWhite, bsClear});
    TChartPen wallPen = chart.BackWall().Pen();
    wallPen.Visible = false;
    chart.BackWall().SetPen(wallPen);

    chart.Title().SetBrush({clWhite, bsClear});
    chart.Title().SetColor(clWhite);
    TChartFont font;
    font.Name = "Arial";
    font.PixelHeight = 16;
    font.Style = fsBold;
    font.Color = clBlue;
    chart.Title().SetFont(font);
    TChartPen titleFrame = chart.Title().Frame();
    titleFrame.Style = psInsideFrame;
    chart.Title().SetFrame(titleFrame);
    chart.Title().SetText({"TChart"});

    chart.Legend().SetAlignment(laBottom);
    chart.Legend().SetColorWidth(20);
    chart.Legend().SetTextStyle(ltsPlain);

    chart.View3DOptions().SetElevation(315);
    chart.View3DOptions().SetOrthogonal(false);
    chart.View3DOptions().SetPerspective(0);
    chart.View3DOptions().SetRotation(360);

    chart.SetVisible(false);
}

TPieSeries& SetUpCompositionChart(TChartPanel& chart)
{
    ApplyFormSettings(chart);
    auto& pie = static_cast<TPieSeries&>(chart.AddSeries(std::make_unique<TPieSeries>()));
    pie.Marks().SetVisible(true);
    pie.Marks().SetStyle(smsPercent);
    pie.SetSeriesColor(clRed);
    pie.SetTitle("Series");
    pie.SetValueFormat("# ### ###0.# MB");
    pie.SetPercentFormat("##0.# %");
    pie.SetCircled(true);
    pie.OtherSlice().SetText("Other");
    pie.PieValues().SetOrder(loNone);
    pie.PieValues().SetMultiplier(1);
    pie.PieValues().SetDateTime(false);
    return pie;
}
