// The drawing surface: the only way the chart engine reaches pixels.
//
// Protocol: the caller sets the pen, brush, font, text alignment and
// background before the primitives that use them; the surface keeps them
// until changed. All colours handed to a surface are plain RGB (0x00BBGGRR);
// callers resolve system colours first with SystemColour(). Coordinates are
// window pixels, x right, y down. TextOut places the top edge of the text at y
// and x by the alignment. CreateBuffer makes an off-screen surface of the
// same kind; DrawBuffer copies such a buffer whole onto this surface.
// A surface is used from one thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "chart/ChartMath.h"
#include "chart/Colour.h"

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

enum TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

enum TBackMode { bmTransparent, bmOpaque };

enum TTextAlign { taLeft, taCenter, taRight };

using TFontStyles = unsigned;
inline constexpr TFontStyles fsBold = 1;
inline constexpr TFontStyles fsItalic = 2;
inline constexpr TFontStyles fsUnderline = 4;
inline constexpr TFontStyles fsStrikeOut = 8;

struct TSurfacePen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
    bool SmallDots = false;  // one-pixel pen with every other pixel set
    friend bool operator==(const TSurfacePen&, const TSurfacePen&) = default;
};

struct TSurfaceBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
    friend bool operator==(const TSurfaceBrush&, const TSurfaceBrush&) = default;
};

// PixelHeight > 0: character (em) height in pixels, used as given.
// Otherwise the height is MulDiv(Size, PixelsPerInch, 72) pixels.
struct TSurfaceFont {
    std::string Name = "Arial";
    int Size = 10;  // points
    int PixelHeight = 0;
    TFontStyles Style = 0;
    TColor Color = clBlack;
    friend bool operator==(const TSurfaceFont&, const TSurfaceFont&) = default;
};

// Screen size in pixels and the output device's size in millimetres (0 when
// unknown).
struct TScreenMetrics {
    int WidthPixels = 1024;
    int HeightPixels = 768;
    int WidthMm = 0;
    int HeightMm = 0;
};

class TDrawingSurface {
public:
    virtual ~TDrawingSurface() = default;

    virtual int Width() const = 0;
    virtual int Height() const = 0;

    virtual void SetPen(const TSurfacePen& pen) = 0;
    virtual void SetBrush(const TSurfaceBrush& brush) = 0;
    virtual void SetFont(const TSurfaceFont& font) = 0;
    virtual void SetBackColor(TColor colour) = 0;
    virtual void SetBackMode(TBackMode mode) = 0;
    virtual void SetTextAlign(TTextAlign align) = 0;

    // Filled with the brush, outlined with the pen.
    virtual void Polygon(std::span<const TPoint> points) = 0;
    // Outlined with the pen, filled with the brush; right and bottom exclusive.
    virtual void Rectangle(const TRect& r) = 0;
    // Filled with the brush, no outline; right and bottom exclusive.
    virtual void FillRect(const TRect& r) = 0;
    // From (x0, y0) to (x1, y1), the end point not drawn.
    virtual void Line(int x0, int y0, int x1, int y1) = 0;
    virtual void TextOut(int x, int y, std::string_view text) = 0;

    // Extent of text in the current font; 0 when it cannot be measured.
    virtual int TextWidth(std::string_view text) = 0;
    virtual int TextHeight(std::string_view text) = 0;

    // RGB of a system colour (clBtnFace, clBtnHighlight, clBtnShadow); other
    // colours come back unchanged.
    virtual TColor SystemColour(TColor colour) const = 0;
    virtual int PixelsPerInch() const = 0;
    virtual TScreenMetrics ScreenMetrics() const = 0;

    virtual std::unique_ptr<TDrawingSurface> CreateBuffer(int width, int height, bool monochrome) = 0;
    // Copies buffer (made by CreateBuffer of a surface of the same kind)
    // with its top-left corner at (x, y).
    virtual void DrawBuffer(TDrawingSurface& buffer, int x, int y) = 0;
};
