#include "PieChartDesign.h"

#include "app/CompositionChart.h"

TPieSeries& SetUpPieChart(TChartPanel& chart)
{
    return SetUpCompositionChart(chart);
}
