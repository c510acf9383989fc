// The window's composition chart design as the chart tests use it: the
// numbers they assert follow from it. It is the window's own design
// (app/CompositionChart.h), taken, not restated.
#pragma once

#include "chart/ChartPanel.h"
#include "chart/PieSeries.h"

// Lowered and raised bevels, 5 % bottom margin, pink-to-blue gradient from
// the bottom, bold blue 16-pixel Arial title "TChart", legend at the bottom
// with plain texts and 20 % colour boxes, chart hidden; one red pie series
// "Series", circled, percent marks, values in MB. Returns the series, owned
// by chart.
TPieSeries& SetUpPieChart(TChartPanel& chart);
