// A drawing surface that records every primitive with its exact integer
// coordinates, colours and texts, for tests and measurements.
//
// Protocol: as TDrawingSurface. Text is measured with a fixed metric unless
// a measuring function is installed (MeasureText): width = CharWidth per
// byte, height = the font's pixel height + 2 (0 for an empty text width).
// Buffers made by CreateBuffer are recording surfaces too; DrawBuffer records
// a "blit" of the buffer's size. The screen metrics are settable.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "chart/Surface.h"

enum TRecordKind { rkPolygon, rkRectangle, rkFillRect, rkLine, rkText, rkBlit };

struct TRecord {
    TRecordKind Kind;
    std::vector<TPoint> Points;  // polygon points; line ends; text origin
    TRect Rect;                  // rectangle, fill, blit (x, y, x + w, y + h)
    TSurfacePen Pen;
    TSurfaceBrush Brush;
    TSurfaceFont Font;
    TColor BackColor = clWhite;
    TBackMode BackMode = bmTransparent;
    TTextAlign Align = taLeft;
    std::string Text;
};

class TRecordingSurface : public TDrawingSurface {
public:
    TRecordingSurface(int width, int height) : width_(width), height_(height) {}

    int Width() const override { return width_; }
    int Height() const override { return height_; }

    void SetPen(const TSurfacePen& pen) override { pen_ = pen; }
    void SetBrush(const TSurfaceBrush& brush) override { brush_ = brush; }
    void SetFont(const TSurfaceFont& font) override { font_ = font; }
    void SetBackColor(TColor colour) override { backColor_ = colour; }
    void SetBackMode(TBackMode mode) override { backMode_ = mode; }
    void SetTextAlign(TTextAlign align) override { align_ = align; }

    void Polygon(std::span<const TPoint> points) override;
    void Rectangle(const TRect& r) override;
    void FillRect(const TRect& r) override;
    void Line(int x0, int y0, int x1, int y1) override;
    void TextOut(int x, int y, std::string_view text) override;

    int TextWidth(std::string_view text) override;
    int TextHeight(std::string_view text) override;

    TColor SystemColour(TColor colour) const override;
    int PixelsPerInch() const override { return 96; }
    TScreenMetrics ScreenMetrics() const override { return metrics_; }
    void SetScreenMetrics(const TScreenMetrics& m) { metrics_ = m; }

    std::unique_ptr<TDrawingSurface> CreateBuffer(int width, int height, bool monochrome) override;
    void DrawBuffer(TDrawingSurface& buffer, int x, int y) override;

    // Installs real text measuring: (font, text) -> (width, height).
    std::function<TPoint(const TSurfaceFont&, std::string_view)> MeasureText;
    static constexpr int CharWidth = 6;

    const std::vector<TRecord>& Records() const { return records_; }
    void ClearRecords() { records_.clear(); }
    // The last buffer made by CreateBuffer (nullptr before the first); valid
    // while its owner (the canvas) keeps it.
    TRecordingSurface* LastBuffer() const { return lastBuffer_; }

    // System colours: button face, highlight, shadow.
    static constexpr TColor BtnFaceRGB = 0xF0F0F0;
    static constexpr TColor BtnHighlightRGB = 0xFFFFFF;
    static constexpr TColor BtnShadowRGB = 0xA0A0A0;

private:
    TRecord Make(TRecordKind kind) const;

    int width_;
    int height_;
    TSurfacePen pen_;
    TSurfaceBrush brush_;
    TSurfaceFont font_;
    TColor backColor_ = clWhite;
    TBackMode backMode_ = bmTransparent;
    TTextAlign align_ = taLeft;
    TScreenMetrics metrics_;
    std::vector<TRecord> records_;
    TRecordingSurface* lastBuffer_ = nullptr;
};
