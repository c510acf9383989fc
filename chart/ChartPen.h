// Pens, brushes and fonts as chart settings hold them. Plain values: the
// owning settings object compares a whole new value with the stored one and
// repaints on a change.
//
// Protocol: copied freely; any thread. System colours in them are resolved
// by the drawing surface when they are drawn.
#pragma once

#include <string>

#include "chart/Colour.h"
#include "chart/Surface.h"

// A platform pen with Visible and SmallDots. Colour may be a system colour.
struct TChartPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
    bool Visible = true;
    bool SmallDots = false;

    static TChartPen Hidden()
    {
        TChartPen p;
        p.Visible = false;
        return p;
    }
    static TChartPen GreyDotted()
    {
        TChartPen p;
        p.Color = RGBColour(128, 128, 128);
        p.Style = psDot;
        return p;
    }
    static TChartPen Grey()
    {
        TChartPen p;
        p.Color = RGBColour(128, 128, 128);
        return p;
    }
    static TChartPen DoubleWidth()
    {
        TChartPen p;
        p.Width = 2;
        return p;
    }
    static TChartPen White()
    {
        TChartPen p;
        p.Color = clWhite;
        return p;
    }
    // The marks' arrow pen: white, width 1, solid, visible.
    static TChartPen Arrow() { return White(); }
    friend bool operator==(const TChartPen&, const TChartPen&) = default;
};

struct TChartBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
    friend bool operator==(const TChartBrush&, const TChartBrush&) = default;
};

// A font setting. PixelHeight > 0 gives the character height in pixels and
// wins over Size (points).
struct TChartFont {
    std::string Name = "Arial";
    int Size = 8;
    int PixelHeight = 0;
    TFontStyles Style = 0;
    TColor Color = clBlack;
    friend bool operator==(const TChartFont&, const TChartFont&) = default;
};
