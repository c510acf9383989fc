// Helpers of the round series' layout.
//
// Protocol: pure functions of their arguments (and the series' chart).
#pragma once

#include "chart/Colour.h"
#include "chart/Surface.h"

class TCircledSeries;

// Horizontal over vertical pixel density of the screen: (pixel width / pixel
// height) / (mm width / mm height). 1 when the physical size or the pixel
// counts are unknown (0), so the pie is then drawn with square pixels.
double ScreenPixelRatio(const TScreenMetrics& metrics);

// The colour behind the pie's hatches and legend boxes: CircleBackColor, else
// the chart's BackColor, else the chart's Color (clAutomatic without a chart).
TColor PieBackColour(const TCircledSeries& series);
