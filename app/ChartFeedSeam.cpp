// The real chart behind the main window's seam: the chart widget in Panel,
// fed from the selected entry.
#include "app/ChartSeam.h"
#include "app/CompositionFeed.h"
#include "chart/qt/Chart.h"

static TChart& ChartOf(QWidget* widget)
{
    return *qobject_cast<TChart*>(widget);
}

// The panel owns the widget (Qt parent).
TChartSeam::TChartSeam(QWidget* panel) : widget_(new TChart(panel)) {}

TChartSeam::~TChartSeam() = default;

void TChartSeam::Feed(TTreeEntry& entry)
{
    TChart& chart = ChartOf(widget_);
    FeedCompositionChart(chart.Panel(), chart.PieSeries(), &entry);
}

void TChartSeam::ShowPercent() { ShowMarksAsPercent(ChartOf(widget_).PieSeries()); }

void TChartSeam::ShowValue() { ShowMarksAsValue(ChartOf(widget_).PieSeries()); }
