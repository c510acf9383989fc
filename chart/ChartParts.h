// Small settings objects of the chart: the background gradient, the titles
// and the walls. Each setter compares and, on a change, repaints the owner.
//
// Protocol: the chart panel owns one of each, made in its constructor with
// itself as the owner that is told of changes; the chart's thread only. A
// title draws itself where the panel's layout placed it, during a drawing.
#pragma once

#include <string>
#include <vector>

#include "chart/Canvas3D.h"
#include "chart/ChangeSink.h"
#include "chart/ChartPen.h"
#include "chart/Colour.h"

struct TitleLayout;

class TChartGradient {
public:
    explicit TChartGradient(TChangeSink* owner) : owner_(owner) {}
    TGradientDirection Direction() const { return direction_; }
    void SetDirection(TGradientDirection v) { SetAndNotify(direction_, v, owner_); }
    TColor EndColor() const { return endColor_; }
    void SetEndColor(TColor v) { SetAndNotify(endColor_, v, owner_); }
    TColor StartColor() const { return startColor_; }
    void SetStartColor(TColor v) { SetAndNotify(startColor_, v, owner_); }
    bool Visible() const { return visible_; }
    void SetVisible(bool v) { SetAndNotify(visible_, v, owner_); }

private:
    TChangeSink* owner_;
    TGradientDirection direction_ = gdTopBottom;
    TColor endColor_ = clYellow;
    TColor startColor_ = clWhite;
    bool visible_ = false;
};

enum TTitleAlignment { taLeftJustify, taRightJustify, taCenterJustify };

class TChartTitle {
public:
    TChartTitle(TChangeSink* owner, bool isFoot);

    bool AdjustFrame() const { return adjustFrame_; }
    void SetAdjustFrame(bool v) { SetAndNotify(adjustFrame_, v, owner_); }
    TTitleAlignment Alignment() const { return alignment_; }
    void SetAlignment(TTitleAlignment v) { SetAndNotify(alignment_, v, owner_); }
    const TChartBrush& Brush() const { return brush_; }
    void SetBrush(const TChartBrush& v) { SetAndNotify(brush_, v, owner_); }
    TColor Color() const { return color_; }
    void SetColor(TColor v) { SetAndNotify(color_, v, owner_); }
    const TChartFont& Font() const { return font_; }
    void SetFont(const TChartFont& v) { SetAndNotify(font_, v, owner_); }
    const TChartPen& Frame() const { return frame_; }
    void SetFrame(const TChartPen& v) { SetAndNotify(frame_, v, owner_); }
    const std::vector<std::string>& Text() const { return text_; }
    void SetText(const std::vector<std::string>& lines) { SetAndNotify(text_, lines, owner_); }
    void ClearText() { SetText({}); }
    void AddLine(const std::string& line);
    bool Visible() const { return visible_; }
    void SetVisible(bool v) { SetAndNotify(visible_, v, owner_); }
    bool IsFoot() const { return isFoot_; }

    // Draws the title (or foot) as the panel's layout placed it.
    void Draw(TChartCanvas3D& canvas, const TitleLayout& layout) const;

private:
    TChangeSink* owner_;
    bool isFoot_;
    bool adjustFrame_ = true;
    TTitleAlignment alignment_ = taCenterJustify;
    TChartBrush brush_{clAutomatic, bsSolid};  // nothing filled by default
    TColor color_ = clAutomatic;
    TChartFont font_;
    TChartPen frame_ = TChartPen::Hidden();
    std::vector<std::string> text_;
    bool visible_ = true;
};

class TChartWall {
public:
    TChartWall(TChangeSink* owner, TColor colour, TBrushStyle brushStyle);
    const TChartBrush& Brush() const { return brush_; }
    void SetBrush(const TChartBrush& v) { SetAndNotify(brush_, v, owner_); }
    TColor Color() const { return color_; }
    void SetColor(TColor v) { SetAndNotify(color_, v, owner_); }
    bool Dark3D() const { return dark3D_; }
    void SetDark3D(bool v) { SetAndNotify(dark3D_, v, owner_); }
    const TChartPen& Pen() const { return pen_; }
    void SetPen(const TChartPen& v) { SetAndNotify(pen_, v, owner_); }
    int Size() const { return size_; }
    void SetSize(int v) { SetAndNotify(size_, v, owner_); }

private:
    TChangeSink* owner_;
    TChartBrush brush_;
    TColor color_;
    bool dark3D_ = true;
    TChartPen pen_;
    int size_ = 0;
};
