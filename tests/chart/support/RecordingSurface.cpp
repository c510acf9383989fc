#include "RecordingSurface.h"

TRecord TRecordingSurface::Make(TRecordKind kind) const
{
    TRecord r{kind, {}, {}, pen_, brush_, font_, backColor_, backMode_, align_, {}};
    return r;
}

void TRecordingSurface::Polygon(std::span<const TPoint> points)
{
    TRecord r = Make(rkPolygon);
    r.Points.assign(points.begin(), points.end());
    records_.push_back(std::move(r));
}

void TRecordingSurface::Rectangle(const TRect& rect)
{
    TRecord r = Make(rkRectangle);
    r.Rect = rect;
    records_.push_back(std::move(r));
}

void TRecordingSurface::FillRect(const TRect& rect)
{
    TRecord r = Make(rkFillRect);
    r.Rect = rect;
    records_.push_back(std::move(r));
}

void TRecordingSurface::Line(int x0, int y0, int x1, int y1)
{
    TRecord r = Make(rkLine);
    r.Points = {{x0, y0}, {x1, y1}};
    records_.push_back(std::move(r));
}

void TRecordingSurface::TextOut(int x, int y, std::string_view text)
{
    TRecord r = Make(rkText);
    r.Points = {{x, y}};
    r.Text = std::string(text);
    records_.push_back(std::move(r));
}

static int FontPixels(const TSurfaceFont& font, int ppi)
{
    return font.PixelHeight > 0 ? font.PixelHeight : MulDiv(font.Size, ppi, 72);
}

int TRecordingSurface::TextWidth(std::string_view text)
{
    if (MeasureText)
        return MeasureText(font_, text).X;
    return static_cast<int>(text.size()) * CharWidth;
}

int TRecordingSurface::TextHeight(std::string_view text)
{
    if (MeasureText)
        return MeasureText(font_, text).Y;
    return FontPixels(font_, PixelsPerInch()) + 2;
}

TColor TRecordingSurface::SystemColour(TColor colour) const
{
    switch (colour) {
    case clBtnFace:
        return BtnFaceRGB;
    case clBtnHighlight:
        return BtnHighlightRGB;
    case clBtnShadow:
        return BtnShadowRGB;
    default:
        return colour;
    }
}

std::unique_ptr<TDrawingSurface> TRecordingSurface::CreateBuffer(int width, int height, bool)
{
    auto buffer = std::make_unique<TRecordingSurface>(width, height);
    buffer->MeasureText = MeasureText;
    buffer->metrics_ = metrics_;
    lastBuffer_ = buffer.get();
    return buffer;
}

void TRecordingSurface::DrawBuffer(TDrawingSurface& buffer, int x, int y)
{
    TRecord r = Make(rkBlit);
    r.Rect = {x, y, x + buffer.Width(), y + buffer.Height()};
    records_.push_back(std::move(r));
}
