// The chart's one drawing object: projects chart space (x right, y down, z
// depth, pixels) onto the window and draws through a TDrawingSurface.
//
// Protocol, once per paint:
//   if (!canvas.RedrawFromBuffer(window)) {
//     TRect r = canvas.BeginDraw(window, &options, clientRect, view3D);
//     canvas.SetViewCentre(depth, plotRect);   // once the layout is known
//     ... drawing operations (SuspendDepth/ResumeDepth around flat parts) ...
//     canvas.ResetDrawingState();
//     canvas.EndDraw(window, clientRect);
//   }
// InvalidateBuffer() whenever the picture must be redrawn. The pen, brush and
// font of the canvas are the current ones; every setter forwards to the
// surface in use. Colours given to the canvas may be system colours; the
// canvas resolves them through the surface. Drawing operations are valid only
// between BeginDraw and EndDraw.
#pragma once

#include <array>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "chart/ChartMath.h"
#include "chart/ChartPen.h"
#include "chart/Colour.h"
#include "chart/Surface.h"

class TView3DOptions;

enum TGradientDirection {
    gdTopBottom,
    gdBottomTop,
    gdLeftRight,
    gdRightLeft,
    gdFromCenter,
    gdFromTopLeft,
    gdFromBottomLeft
};

class TChartCanvas3D {
public:
    TChartCanvas3D();
    ~TChartCanvas3D();
    TChartCanvas3D(const TChartCanvas3D&) = delete;
    TChartCanvas3D& operator=(const TChartCanvas3D&) = delete;

    // Drawing cycle.
    TRect BeginDraw(TDrawingSurface& window, const TView3DOptions* options, const TRect& windowRect,
                    bool is3D);
    void SetViewCentre(int depth, const TRect& chartRect);
    void EndDraw(TDrawingSurface& window, const TRect& windowRect);
    bool RedrawFromBuffer(TDrawingSurface& window);
    void InvalidateBuffer() { stale_ = true; }
    void SuspendDepth();
    void ResumeDepth();

    bool Buffered() const { return buffered_; }
    void SetBuffered(bool v);  // off: frees the buffer and sets Stale
    bool Monochrome() const { return monochrome_; }
    void SetMonochrome(bool v) { monochrome_ = v; }
    bool Stale() const { return stale_; }
    bool Is3D() const { return is3D_; }
    bool IsOrthogonal() const { return isOrthogonal_; }
    double ZoomFactor() const { return zoomFactor_; }
    bool ZoomText() const { return zoomText_; }

    // Projection.
    void ComputeRotation();
    void ProjectInPlace(int& x, int& y, int z) const;
    TPoint ProjectPoint(int x, int y, int z) const;
    int OriginX() const { return originX_; }
    int OriginY() const { return originY_; }
    int OriginZ() const { return originZ_; }
    int ScreenX() const { return screenX_; }
    int ScreenY() const { return screenY_; }
    double PerspectiveFactor() const { return perspectiveFactor_; }

    // Current pen, brush, font and text state.
    const TSurfacePen& Pen() const { return pen_; }
    void SetPen(const TSurfacePen& pen);
    void ApplyChartPen(const TChartPen& pen);
    const TSurfaceBrush& Brush() const { return brush_; }
    void SetBrush(const TSurfaceBrush& brush);
    void SetBrushColor(TColor colour);
    void SetBrushStyle(TBrushStyle style);
    const TSurfaceFont& Font() const { return font_; }
    void SetFont(const TSurfaceFont& font);
    void SetChartFont(const TChartFont& font);
    TColor BackColor() const { return backColor_; }
    void SetBackColor(TColor colour);
    TBackMode BackMode() const { return backMode_; }
    void SetBackMode(TBackMode mode);
    TTextAlign TextAlign() const { return textAlign_; }
    void SetTextAlign(TTextAlign align);

    // Pen black width 1 solid; brush white solid; font black size 10;
    // background white, transparent.
    void ResetDrawingState();
    // Each channel minus amount, at least 0; system colours resolved first.
    TColor DarkenColour(TColor colour, int amount) const;
    TColor ResolveColour(TColor colour) const;

    // Drawing operations.
    void DrawPieSlice(int xCenter, int yCenter, int xRadius, int yRadius, int z0, int z1, double startAngle,
                      double endAngle, bool darken, bool sideWalls);
    void TextAt3D(int x, int y, int z, std::string_view text);
    void TextOut(int x, int y, std::string_view text);
    void RectangleAtDepth(const TRect& r, int z);
    void PlaneAtDepth(const std::array<TPoint, 4>& points, int z);
    void LineAtDepth(int x0, int y0, int x1, int y1, int z);
    void MoveTo3D(int x, int y, int z);
    void LineTo3D(int x, int y, int z);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Line(int x0, int y0, int x1, int y1);
    void Rectangle(const TRect& r);
    void FillRect(const TRect& r);
    void Polygon(std::span<const TPoint> points);
    void FillGradient(const TRect& r, TColor first, TColor second, TGradientDirection direction);

    int TextWidth(std::string_view text);
    int TextHeight(std::string_view text);
    int FontHeight() { return TextHeight("W"); }

    int PixelsPerInch() const;
    TScreenMetrics ScreenMetrics() const;

    // The surface drawn on now (the buffer while buffered), or nullptr
    // outside a drawing.
    TDrawingSurface* Surface() const { return surface_; }

private:
    void PushState();

    TDrawingSurface* surface_ = nullptr;
    std::unique_ptr<TDrawingSurface> buffer_;
    const TView3DOptions* options_ = nullptr;
    TRect windowRect_;

    bool is3D_ = false;
    bool savedIs3D_ = false;
    bool isOrthogonal_ = false;
    int originX_ = 0, originY_ = 0, originZ_ = 0;
    int screenX_ = 0, screenY_ = 0;
    double zoomFactor_ = 1.0;
    double perspectiveFactor_ = 0.0;
    long double ax_ = 1, ay_ = 0, az_ = 0;
    long double bx_ = 0, by_ = 1, bz_ = 0;
    long double px_ = 0, py_ = 0, pz_ = 0;
    bool zoomText_ = true;
    bool buffered_ = true;
    bool monochrome_ = false;
    bool stale_ = true;
    TPoint penPos_;

    TSurfacePen pen_;
    TSurfaceBrush brush_;
    TSurfaceFont font_;
    TColor backColor_ = clWhite;
    TBackMode backMode_ = bmTransparent;
    TTextAlign textAlign_ = taLeft;
};
