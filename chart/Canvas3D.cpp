#include "chart/Canvas3D.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "chart/View3DOptions.h"

TChartCanvas3D::TChartCanvas3D() = default;
TChartCanvas3D::~TChartCanvas3D() = default;

TRect TChartCanvas3D::BeginDraw(TDrawingSurface& window, const TView3DOptions* options,
                                const TRect& windowRect, bool is3D)
{
    windowRect_ = windowRect;
    options_ = options;
    is3D_ = is3D;
    isOrthogonal_ = false;
    zoomFactor_ = 1.0;
    perspectiveFactor_ = 0.0;
    if (is3D) {
        if (options) {
            isOrthogonal_ = options->Orthogonal();
            zoomFactor_ = options->Zoom() * 0.01;
            zoomText_ = options->ZoomText();
        }
        if (!isOrthogonal_)
            ComputeRotation();
    }
    TRect result = windowRect;
    if (!buffered_) {
        surface_ = &window;
    } else {
        int w = windowRect.Width();
        int h = windowRect.Height();
        if (!buffer_ || buffer_->Width() != w || buffer_->Height() != h) {
            buffer_.reset();
            buffer_ = window.CreateBuffer(w, h, monochrome_);
        }
        surface_ = buffer_.get();
        result = {0, 0, w, h};
    }
    PushState();
    return result;
}

void TChartCanvas3D::SetViewCentre(int depth, const TRect& chartRect)
{
    originX_ = (chartRect.Left + chartRect.Right) / 2;
    originY_ = (chartRect.Top + chartRect.Bottom) / 2;
    originZ_ = depth / 2;
    screenX_ = originX_ + (options_ ? options_->HorizOffset() : 0);
    screenY_ = originY_ + (options_ ? options_->VertOffset() : 0);
    if (options_ && options_->Perspective() > 0)
        perspectiveFactor_ = options_->Perspective() / 35000.0;
}

void TChartCanvas3D::EndDraw(TDrawingSurface& window, const TRect& windowRect)
{
    if (buffered_ && buffer_) {
        window.DrawBuffer(*buffer_, windowRect.Left, windowRect.Top);
        stale_ = false;
    }
    surface_ = nullptr;
}

bool TChartCanvas3D::RedrawFromBuffer(TDrawingSurface& window)
{
    if (stale_ || !buffered_ || !buffer_)
        return false;
    window.DrawBuffer(*buffer_, 0, 0);
    return true;
}

void TChartCanvas3D::SetBuffered(bool v)
{
    if (buffered_ == v)
        return;
    buffered_ = v;
    if (!v) {
        buffer_.reset();
        stale_ = true;
    }
}

void TChartCanvas3D::SuspendDepth()
{
    savedIs3D_ = is3D_;
    is3D_ = false;
}

void TChartCanvas3D::ResumeDepth()
{
    is3D_ = savedIs3D_;
}

void TChartCanvas3D::ComputeRotation()
{
    long double rho = 0, eps = 0, tau = 0;
    if (options_) {
        const long double k = std::numbers::pi_v<long double> / 180.0L;
        rho = options_->Rotation() * k;
        eps = options_->Elevation() * k;
        tau = options_->Tilt() * k;
    }
    long double sR = std::sin(rho), cR = std::cos(rho);
    long double sE = std::sin(eps), cE = std::cos(eps);
    long double sT = std::sin(tau), cT = std::cos(tau);
    ax_ = std::max(sR * sE * sT + cR * cT, 0.00001L);
    ay_ = cE * sT;
    az_ = cR * sE * sT - cT * sR;
    bx_ = cT * sR * sE - cR * sT;
    by_ = std::max(cE * cT, 0.00001L);
    bz_ = cR * sE * cT + sR * sT;
    px_ = cE * sR;
    py_ = sE;
    pz_ = cR * cE;
    perspectiveFactor_ = 0.0;
}

void TChartCanvas3D::ProjectInPlace(int& x, int& y, int z) const
{
    if (isOrthogonal_) {
        int X = Rnd((x - originX_ + z) * zoomFactor_) + screenX_;
        int Y = Rnd((y - originY_ - z) * zoomFactor_) + screenY_;
        x = X;
        y = Y;
        return;
    }
    if (!is3D_)
        return;
    long double dx = x - originX_, dy = y - originY_, dz = z - originZ_;
    long double k = zoomFactor_;
    if (perspectiveFactor_ > 0)
        k = (1 - perspectiveFactor_ * (dx * px_ - dy * py_ + dz * pz_)) * zoomFactor_;
    x = Rnd(static_cast<double>(k * (dx * ax_ + dy * ay_ + dz * az_))) + screenX_;
    y = Rnd(static_cast<double>(k * (dx * bx_ + dy * by_ + dz * bz_))) + screenY_;
}

TPoint TChartCanvas3D::ProjectPoint(int x, int y, int z) const
{
    ProjectInPlace(x, y, z);
    return {x, y};
}

TColor TChartCanvas3D::ResolveColour(TColor colour) const
{
    if (IsSystemColour(colour) && surface_)
        colour = surface_->SystemColour(colour);
    return colour & 0xFFFFFF;
}

void TChartCanvas3D::PushState()
{
    if (!surface_)
        return;
    surface_->SetPen(pen_);
    surface_->SetBrush(brush_);
    surface_->SetFont(font_);
    surface_->SetBackColor(backColor_);
    surface_->SetBackMode(backMode_);
    surface_->SetTextAlign(textAlign_);
}

void TChartCanvas3D::SetPen(const TSurfacePen& pen)
{
    pen_ = pen;
    pen_.Color = ResolveColour(pen.Color);
    if (surface_)
        surface_->SetPen(pen_);
}

void TChartCanvas3D::ApplyChartPen(const TChartPen& pen)
{
    TSurfacePen p;
    p.Color = pen.Color;
    if (!pen.Visible) {
        p.Width = pen.Width;
        p.Style = psClear;
    } else if (pen.SmallDots && pen.Width == 1) {
        p.Width = 1;
        p.Style = psDot;
        p.SmallDots = true;
    } else {
        p.Width = pen.Width;
        p.Style = pen.Style;
    }
    SetPen(p);
}

void TChartCanvas3D::SetBrush(const TSurfaceBrush& brush)
{
    brush_ = brush;
    brush_.Color = ResolveColour(brush.Color);
    if (surface_)
        surface_->SetBrush(brush_);
}

void TChartCanvas3D::SetBrushColor(TColor colour)
{
    SetBrush({colour, brush_.Style});
}
void TChartCanvas3D::SetBrushStyle(TBrushStyle style)
{
    SetBrush({brush_.Color, style});
}

void TChartCanvas3D::SetFont(const TSurfaceFont& font)
{
    font_ = font;
    font_.Color = ResolveColour(font.Color);
    if (surface_)
        surface_->SetFont(font_);
}

void TChartCanvas3D::SetChartFont(const TChartFont& font)
{
    SetFont({font.Name, font.Size, font.PixelHeight, font.Style, font.Color});
}

void TChartCanvas3D::SetBackColor(TColor colour)
{
    backColor_ = ResolveColour(colour);
    if (surface_)
        surface_->SetBackColor(backColor_);
}

void TChartCanvas3D::SetBackMode(TBackMode mode)
{
    backMode_ = mode;
    if (surface_)
        surface_->SetBackMode(mode);
}

void TChartCanvas3D::SetTextAlign(TTextAlign align)
{
    textAlign_ = align;
    if (surface_)
        surface_->SetTextAlign(align);
}

void TChartCanvas3D::ResetDrawingState()
{
    SetPen(TSurfacePen{});
    SetBrush(TSurfaceBrush{});
    TSurfaceFont font;
    font.Name = font_.Name;
    SetFont(font);
    SetBackColor(clWhite);
    SetBackMode(bmTransparent);
}

TColor TChartCanvas3D::DarkenColour(TColor colour, int amount) const
{
    TColor c = ResolveColour(colour);
    auto darker = [amount](int ch) { return amount < ch ? ch - amount : 0; };
    return RGBColour(darker(RedOf(c)), darker(GreenOf(c)), darker(BlueOf(c)));
}

void TChartCanvas3D::TextAt3D(int x, int y, int z, std::string_view text)
{
    ProjectInPlace(x, y, z);
    if (zoomText_ && zoomFactor_ != 1.0 && surface_) {
        int ppi = surface_->PixelsPerInch();
        int size = font_.PixelHeight > 0 ? Rnd(font_.PixelHeight * 72.0 / ppi) : font_.Size;
        int scaled = std::max(1, Rnd(size * zoomFactor_));
        if (scaled != size) {
            TSurfaceFont saved = font_;
            TSurfaceFont temp = font_;
            temp.Size = scaled;
            temp.PixelHeight = Rnd(scaled * ppi / 72.0);
            surface_->SetFont(temp);
            surface_->TextOut(x, y, text);
            surface_->SetFont(saved);
            return;
        }
    }
    TextOut(x, y, text);
}

void TChartCanvas3D::TextOut(int x, int y, std::string_view text)
{
    if (surface_)
        surface_->TextOut(x, y, text);
}

void TChartCanvas3D::RectangleAtDepth(const TRect& r, int z)
{
    std::array<TPoint, 4> p = {ProjectPoint(r.Left, r.Top, z), ProjectPoint(r.Right, r.Top, z),
                               ProjectPoint(r.Right, r.Bottom, z), ProjectPoint(r.Left, r.Bottom, z)};
    Polygon(p);
}

void TChartCanvas3D::PlaneAtDepth(const std::array<TPoint, 4>& points, int z)
{
    std::array<TPoint, 4> p;
    for (size_t i = 0; i < 4; ++i)
        p[i] = ProjectPoint(points[i].X, points[i].Y, z);
    Polygon(p);
}

void TChartCanvas3D::LineAtDepth(int x0, int y0, int x1, int y1, int z)
{
    TPoint a = ProjectPoint(x0, y0, z);
    TPoint b = ProjectPoint(x1, y1, z);
    Line(a.X, a.Y, b.X, b.Y);
}

void TChartCanvas3D::MoveTo3D(int x, int y, int z)
{
    penPos_ = ProjectPoint(x, y, z);
}

void TChartCanvas3D::LineTo3D(int x, int y, int z)
{
    TPoint p = ProjectPoint(x, y, z);
    Line(penPos_.X, penPos_.Y, p.X, p.Y);
    penPos_ = p;
}

void TChartCanvas3D::MoveTo(int x, int y)
{
    penPos_ = {x, y};
}

void TChartCanvas3D::LineTo(int x, int y)
{
    Line(penPos_.X, penPos_.Y, x, y);
    penPos_ = {x, y};
}

void TChartCanvas3D::Line(int x0, int y0, int x1, int y1)
{
    if (surface_)
        surface_->Line(x0, y0, x1, y1);
}

void TChartCanvas3D::Rectangle(const TRect& r)
{
    if (surface_)
        surface_->Rectangle(r);
}

void TChartCanvas3D::FillRect(const TRect& r)
{
    if (surface_)
        surface_->FillRect(r);
}

void TChartCanvas3D::Polygon(std::span<const TPoint> points)
{
    if (surface_)
        surface_->Polygon(points);
}

int TChartCanvas3D::TextWidth(std::string_view text)
{
    return surface_ ? surface_->TextWidth(text) : 0;
}
int TChartCanvas3D::TextHeight(std::string_view text)
{
    return surface_ ? surface_->TextHeight(text) : 0;
}

int TChartCanvas3D::PixelsPerInch() const
{
    return surface_ ? surface_->PixelsPerInch() : 96;
}

TScreenMetrics TChartCanvas3D::ScreenMetrics() const
{
    return surface_ ? surface_->ScreenMetrics() : TScreenMetrics{};
}
