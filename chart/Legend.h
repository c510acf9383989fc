// The legend: a framed box listing the points of the first active series.
//
// Protocol: owned by the chart. Setters compare and repaint the chart; the
// range-checked ones throw EChartError. Draw(chart, layout) is called by the
// chart during its drawing, with the canvas drawing flat, only when Visible()
// and some series is active, with the legend's part of the panel's layout.
#pragma once

#include <string>

#include "chart/ChangeSink.h"
#include "chart/ChartMath.h"
#include "chart/ChartPen.h"
#include "chart/Colour.h"

class TChartPanel;
class TChartSeries;
struct TLegendLayout;

enum TLegendAlignment { laLeft, laRight, laTop, laBottom };
enum TLegendStyle { lsAuto, lsSeries, lsValues, lsLastValues };
enum TLegendTextStyle { ltsPlain, ltsLeftValue, ltsRightValue, ltsLeftPercent, ltsRightPercent, ltsXValue };

class TChartLegend {
public:
    explicit TChartLegend(TChangeSink* owner) : owner_(owner) {}

    TLegendAlignment Alignment() const { return alignment_; }
    void SetAlignment(TLegendAlignment v) { SetAndNotify(alignment_, v, owner_); }
    const TChartBrush& Brush() const { return brush_; }
    void SetBrush(const TChartBrush& v) { SetAndNotify(brush_, v, owner_); }
    TColor Color() const { return color_; }
    void SetColor(TColor v) { SetAndNotify(color_, v, owner_); }
    int ColorWidth() const { return colorWidth_; }
    // Outside 0..100: EChartError "Legend Color Width must be between 0 and 100 %".
    void SetColorWidth(int v);
    const TChartPen& DividingLines() const { return dividingLines_; }
    void SetDividingLines(const TChartPen& v) { SetAndNotify(dividingLines_, v, owner_); }
    int FirstValue() const { return firstValue_; }
    // Below 0: EChartError "First Legend Value must be > 0".
    void SetFirstValue(int v);
    const TChartFont& Font() const { return font_; }
    void SetFont(const TChartFont& v) { SetAndNotify(font_, v, owner_); }
    const TChartPen& Frame() const { return frame_; }
    void SetFrame(const TChartPen& v) { SetAndNotify(frame_, v, owner_); }
    int HorizMargin() const { return horizMargin_; }
    void SetHorizMargin(int v) { SetAndNotify(horizMargin_, v, owner_); }
    bool Inverted() const { return inverted_; }
    void SetInverted(bool v) { SetAndNotify(inverted_, v, owner_); }
    TLegendStyle LegendStyle() const { return legendStyle_; }
    void SetLegendStyle(TLegendStyle v) { SetAndNotify(legendStyle_, v, owner_); }
    int MaxNumRows() const { return maxNumRows_; }
    void SetMaxNumRows(int v) { SetAndNotify(maxNumRows_, v, owner_); }
    bool ResizeChart() const { return resizeChart_; }
    void SetResizeChart(bool v) { SetAndNotify(resizeChart_, v, owner_); }
    TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor v) { SetAndNotify(shadowColor_, v, owner_); }
    int ShadowSize() const { return shadowSize_; }
    void SetShadowSize(int v) { SetAndNotify(shadowSize_, v, owner_); }
    TLegendTextStyle TextStyle() const { return textStyle_; }
    void SetTextStyle(TLegendTextStyle v) { SetAndNotify(textStyle_, v, owner_); }
    int TopPos() const { return topPos_; }
    // Outside 0..100: EChartError "Top Legend Position must be between 0 and 100 %".
    void SetTopPos(int v);
    int VertMargin() const { return vertMargin_; }
    void SetVertMargin(int v) { SetAndNotify(vertMargin_, v, owner_); }
    bool Visible() const { return visible_; }
    void SetVisible(bool v) { SetAndNotify(visible_, v, owner_); }

    // Item text of point valueIndex of series by TextStyle; line separators
    // become spaces.
    std::string LegendText(TChartSeries& series, int valueIndex) const;
    void Draw(TChartPanel& chart, const TLegendLayout& layout) const;

private:
    TChangeSink* owner_;
    TLegendAlignment alignment_ = laRight;
    TChartBrush brush_;
    TColor color_ = clWhite;
    int colorWidth_ = 12;
    TChartPen dividingLines_ = TChartPen::Hidden();
    int firstValue_ = 0;
    TChartFont font_;
    TChartPen frame_;
    int horizMargin_ = 0;
    bool inverted_ = false;
    TLegendStyle legendStyle_ = lsAuto;
    int maxNumRows_ = 10;
    bool resizeChart_ = true;
    TColor shadowColor_ = clBlack;
    int shadowSize_ = 3;
    TLegendTextStyle textStyle_ = ltsLeftValue;
    int topPos_ = 10;
    int vertMargin_ = 0;
    bool visible_ = true;
};
