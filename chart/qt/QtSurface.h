// The drawing surface on Qt: QPainter onto a window, or onto an owned
// off-screen QImage (the canvas buffer).
//
// Protocol: as TDrawingSurface. A window surface wraps a QPainter that the
// caller has begun on the widget and keeps alive while the surface is used.
// Buffers come from CreateBuffer; DrawBuffer accepts only buffers made by a
// TQtSurface. Fonts are Qt fonts by family name ("Arial" resolves through
// fontconfig) with a pixel size; text is measured with QFontMetrics.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <memory>
#include <optional>

#include "chart/Surface.h"

QColor ToQColor(TColor c);

class TQtSurface : public TDrawingSurface {
public:
    // Draws with painter onto a window of the given size.
    TQtSurface(QPainter& painter, int width, int height);
    // Owns an off-screen image of the given size.
    TQtSurface(int width, int height);
    ~TQtSurface() override;

    int Width() const override { return width_; }
    int Height() const override { return height_; }

    void SetPen(const TSurfacePen& pen) override;
    void SetBrush(const TSurfaceBrush& brush) override;
    void SetFont(const TSurfaceFont& font) override;
    void SetBackColor(TColor colour) override;
    void SetBackMode(TBackMode mode) override;
    void SetTextAlign(TTextAlign align) override { align_ = align; }

    void Polygon(std::span<const TPoint> points) override;
    void Rectangle(const TRect& r) override;
    void FillRect(const TRect& r) override;
    void Line(int x0, int y0, int x1, int y1) override;
    void TextOut(int x, int y, std::string_view text) override;

    int TextWidth(std::string_view text) override;
    int TextHeight(std::string_view text) override;

    TColor SystemColour(TColor colour) const override;
    int PixelsPerInch() const override;
    TScreenMetrics ScreenMetrics() const override;

    std::unique_ptr<TDrawingSurface> CreateBuffer(int width, int height, bool monochrome) override;
    void DrawBuffer(TDrawingSurface& buffer, int x, int y) override;

    // The off-screen image (nullptr for a window surface).
    const QImage* Image() const { return image_.get(); }

private:
    void ApplyBrush();

    int width_;
    int height_;
    std::unique_ptr<QImage> image_;
    std::optional<QPainter> ownPainter_;
    QPainter* painter_;
    QBrush brush_{Qt::white};
    bool brushClear_ = false;
    TSurfaceFont fontDesc_;
    QFont font_;
    std::optional<QFontMetrics> metrics_;
    QColor fontColour_{Qt::black};
    QColor backColour_{Qt::white};
    TBackMode backMode_ = bmTransparent;
    TTextAlign align_ = taLeft;
};
