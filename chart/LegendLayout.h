// The legend's layout for one drawing, as plain values: its items, the text
// and colour-box widths, columns, rows, the box and where each slot goes.
//
// Protocol: LayoutLegend measures on the given surface (it sets the legend
// font there) and places the legend in the panel's drawing and plot
// rectangles as laid out so far; it changes nothing else. Nothing is drawn
// when !Drawn().
#pragma once

#include <string>
#include <vector>

#include "chart/ChartMath.h"
#include "chart/Legend.h"

class TChartPanel;
class TChartSeries;
class TDrawingSurface;
struct PanelLayout;

// One row of the legend: a point of a series (values), or a series itself
// (ValueIndex -1, for the series styles).
struct TLegendItem {
    std::string Text;
    TChartSeries* Series = nullptr;
    int ValueIndex = -1;
};

struct TLegendLayout {
    TLegendStyle Style = lsValues;
    std::vector<TLegendItem> Items;  // all n items, from FirstValue on
    int TextWidth = 0;               // W: the widest item text
    int ColorWidth = 0;              // c: the colour box width
    int FontHeight = 0;              // h: one row
    int Columns = 0;
    int Rows = 0;
    TRect Rect;  // the box before the frame enlarges it
    int X0 = 0;  // left of the first text column
    bool Vertical = false;

    bool Drawn() const { return Columns > 0 && Rows > 0; }
    int Slots() const { return Columns * Rows; }
    // Left-top of the text of slot p.
    TPoint SlotText(int p) const;
    // The colour box of the slot whose text starts at text.
    TRect ColourBox(TPoint text) const;
};

// text on one line: every line separator (CR or LF) becomes a space.
std::string LegendItemText(std::string text);

// The style in effect: lsAuto lists values with fewer than two active series.
TLegendStyle LegendStyleInEffect(TLegendStyle style, int activeSeries);

TLegendLayout LayoutLegend(const TChartLegend& legend, TChartPanel& chart, TDrawingSurface& measure,
                           const PanelLayout& panel);
