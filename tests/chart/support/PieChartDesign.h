// The window's composition chart design, restated for the chart tests (they
// use nothing of app/): the numbers the tests assert follow from it. The
// app tests check that both draw the same picture.
#pragma once

#include "chart/ChartPanel.h"
#include "chart/PieSeries.h"

// Lowered and raised bevels, 5 % bottom margin, pink-to-blue gradient from
// the bottom, bold blue 16-pixel Arial title "TChart", legend at the bottom
// with plain texts and 20 % colour boxes, chart hidden; one red pie series
// "Series", circled, percent marks, values in MB. Returns the series, owned
// by chart.
TPieSeries& SetUpPieChart(TChartPanel& chart);
