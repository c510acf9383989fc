// The framed labels beside a series' points, and their stored geometry.
//
// Protocol: owned by its series (constructed with it). Setters compare and
// repaint through the series. Per drawing the chart sets the mark depth
// (SetZPosition) and, when Visible(), calls DrawAllMarks(), which for each
// point asks the series for its geometry (TChartSeries::PlaceMark) and draws
// it with DrawMarkBox. Clear/Delete of the series drop or shift the stored
// positions.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "chart/ChartMath.h"
#include "chart/ChartPen.h"
#include "chart/Colour.h"

class TChartSeries;

enum TSeriesMarksStyle {
    smsValue,
    smsPercent,
    smsLabel,
    smsLabelPercent,
    smsLabelValue,
    smsLegend,
    smsPercentTotal,
    smsLabelPercentTotal,
    smsXValue
};

struct TSeriesMarkPosition {
    TPoint ArrowFrom;  // on the slice
    TPoint ArrowTo;    // at the box
    TPoint LeftTop;
    int Width = 0;
    int Height = 0;
    bool Custom = false;  // fixed by hand; used instead of the computed one
    friend bool operator==(const TSeriesMarkPosition&, const TSeriesMarkPosition&) = default;
};

// One stored position or nothing per point index.
class TSeriesMarksPositions {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    // nullptr when index has no entry.
    TSeriesMarkPosition* At(int index)
    {
        if (index < 0 || index >= Count() || !items_[static_cast<size_t>(index)])
            return nullptr;
        return &*items_[static_cast<size_t>(index)];
    }
    // Makes sure entry index exists (a new entry is not custom).
    TSeriesMarkPosition& Ensure(int index)
    {
        if (index >= Count())
            items_.resize(static_cast<size_t>(index) + 1);
        auto& slot = items_[static_cast<size_t>(index)];
        if (!slot)
            slot.emplace();
        return *slot;
    }
    // Removes entry index; later entries move down by one.
    void Delete(int index)
    {
        if (index >= 0 && index < Count())
            items_.erase(items_.begin() + index);
    }
    void Clear() { std::vector<std::optional<TSeriesMarkPosition>>().swap(items_); }

private:
    std::vector<std::optional<TSeriesMarkPosition>> items_;
};

class TSeriesMarks {
public:
    explicit TSeriesMarks(TChartSeries& series) : series_(series) {}
    TSeriesMarks(const TSeriesMarks&) = delete;
    TSeriesMarks& operator=(const TSeriesMarks&) = delete;

    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    TSeriesMarksStyle Style() const { return style_; }
    void SetStyle(TSeriesMarksStyle v);
    int ArrowLength() const { return arrowLength_; }
    void SetArrowLength(int v);
    const TChartPen& Arrow() const { return arrow_; }
    void SetArrow(const TChartPen& v);
    const TChartPen& Frame() const { return frame_; }
    void SetFrame(const TChartPen& v);
    TColor BackColor() const { return backColor_; }
    void SetBackColor(TColor v);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    bool Clip() const { return clip_; }
    void SetClip(bool v);
    const TChartFont& Font() const { return font_; }
    void SetFont(const TChartFont& v);

    // Mark depth, set by the chart before each drawing (no repaint).
    int ZPosition() const { return zPosition_; }
    void SetZPosition(int z) { zPosition_ = z; }

    TSeriesMarksPositions& Positions() { return positions_; }
    TChartSeries& Series() const { return series_; }

    // The text of point index by Style.
    std::string MarkText(int index) const;
    void DrawAllMarks();
    void DrawMarkBox(int index, TColor pointColour, const std::string& text, TSeriesMarkPosition& position);

private:
    TChartSeries& series_;
    bool visible_ = false;
    TSeriesMarksStyle style_ = smsLabel;
    int arrowLength_ = 8;
    TChartPen arrow_ = TChartPen::Arrow();
    TChartPen frame_;
    TColor backColor_ = 0x80FFFF;
    bool transparent_ = false;
    bool clip_ = false;
    TChartFont font_;
    int zPosition_ = 0;
    TSeriesMarksPositions positions_;
};
