// Stub: drawing comes with the pie, marks and legend work.
#include "chart/Legend.h"

#include "chart/ChartError.h"
#include "chart/PieSeries.h"

void TChartLegend::SetColorWidth(int v)
{
    if (v < 0 || v > 100)
        throw EChartError("Legend Color Width must be between 0 and 100 %");
    SetAndNotify(colorWidth_, v, owner_);
}

void TChartLegend::SetFirstValue(int v)
{
    if (v < 0)
        throw EChartError("First Legend Value must be > 0");
    SetAndNotify(firstValue_, v, owner_);
}

void TChartLegend::SetTopPos(int v)
{
    if (v < 0 || v > 100)
        throw EChartError("Top Legend Position must be between 0 and 100 %");
    SetAndNotify(topPos_, v, owner_);
}

std::string TChartLegend::LegendText(TChartSeries&, int) const { return ""; }

// Takes no room and draws nothing yet.
void TChartLegend::Draw(TChartPanel&) {}

void TPieSeries::DrawLegendShape(int, const TRect&) {}
