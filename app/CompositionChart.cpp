#include "app/CompositionChart.h"

#include <memory>

TPieSeries& SetUpCompositionChart(TChartPanel& chart)
{
    chart.SetBevelOuter(bvLowered);
    chart.SetBevelInner(bvRaised);
    chart.SetMarginLeft(0);
    chart.SetMarginTop(0);
    chart.SetMarginRight(0);
    chart.SetMarginBottom(5);
    chart.Gradient().SetDirection(gdBottomTop);
    chart.Gradient().SetStartColor(RGBColour(255, 223, 223));
    chart.Gradient().SetEndColor(RGBColour(128, 128, 255));
    chart.Gradient().SetVisible(true);
    chart.BackWall().SetBrush({clWhite, bsClear});
    chart.BackWall().SetPen(TChartPen::Hidden());

    TChartTitle& title = chart.Title();
    title.SetBrush({clWhite, bsClear});
    title.SetColor(clWhite);
    title.SetFont({"Arial", 8, 16, fsBold, clBlue});
    TChartPen titleFrame = TChartPen::Hidden();
    titleFrame.Style = psInsideFrame;
    title.SetFrame(titleFrame);
    title.SetText({"TChart"});
    chart.Legend().SetAlignment(laBottom);
    chart.Legend().SetColorWidth(20);
    chart.Legend().SetTextStyle(ltsPlain);
    chart.SetVisible(false);

    // Joining the chart turns its walls, axes, frame, zoom and panning off and
    // sets the pie's view; the marks are on and the other slice is "Other".
    auto& pie = static_cast<TPieSeries&>(chart.AddSeries(std::make_unique<TPieSeries>()));
    pie.Marks().SetStyle(smsPercent);
    pie.SetSeriesColor(clRed);
    pie.SetTitle("Series");
    pie.SetValueFormat("# ### ###0.# MB");
    pie.SetPercentFormat("##0.# %");
    pie.SetCircled(true);
    pie.PieValues().SetOrder(loNone);
    return pie;
}
