// The program's composition chart: the chart settings and its one pie series
// as the main window's form gives them. Plain C++: the window applies it to
// its chart widget's panel.
//
// Protocol: called once per chart, on a fresh panel, before the first
// drawing; the chart's thread (the UI thread). The chart feed
// (app/CompositionFeed.h) then fills the returned series.
#pragma once

#include "chart/ChartPanel.h"
#include "chart/PieSeries.h"

// Applies the form's chart settings, then creates the pie series, lets it
// join the chart and applies the series' own form settings. Returns the
// series, owned by chart.
TPieSeries& SetUpCompositionChart(TChartPanel& chart);
