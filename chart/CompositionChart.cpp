#include "chart/CompositionChart.h"

#include <memory>

TPieSeries& SetUpCompositionChart(TChartPanel& chart)
{
    chart.ApplyFormSettings();
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
