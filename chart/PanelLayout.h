// The chart panel's layout for one drawing, as plain values: the drawing
// rectangle, the title and foot, the legend, the plot rectangle left for the
// series, and the depths.
//
// Protocol: TChartPanel::Draw calls LayoutPanel once per drawing, after the
// series' PrepareForDraw (the legend lists the points as they will be drawn),
// keeps the result whole and draws from it. LayoutPanel measures text on the
// given surface (it sets that surface's font) and changes nothing else.
#pragma once

#include <vector>

#include "chart/ChartMath.h"
#include "chart/LegendLayout.h"

class TChartPanel;
class TDrawingSurface;
struct TChartFont;

// A title or foot: its box and where its lines start.
struct TitleLayout {
    bool Shown = false;
    bool Boxed = false;  // framed or filled: Box is drawn
    TRect Box;
    std::vector<TPoint> Lines;  // left-top of each text line
};

struct PanelLayout {
    TRect DrawRect;  // the whole drawing
    TitleLayout Title;
    TitleLayout Foot;
    bool WithLegend = false;
    TLegendLayout Legend;
    TRect PlotRect;  // what the titles, legend and depth leave to the series
    int PlotWidth = 0, PlotHeight = 0, PlotCentreX = 0, PlotCentreY = 0;
    int SeriesDepth = 0, ChartDepth = 0;  // pixels along z

    // Keeps PlotRect inside DrawRect and at least 1 x 1 (an empty side spans
    // DrawRect); recomputes its width, height and centre.
    void Adjust();
};

PanelLayout LayoutPanel(TChartPanel& chart, TDrawingSurface& measure, const TRect& drawRect);

// Sets font on surface for measuring (its colour plays no part there).
void MeasureWith(TDrawingSurface& surface, const TChartFont& font);
