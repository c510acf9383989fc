// The base of every series: points with X and Y values, labels and colours,
// the settings of a series and the drawing steps the chart calls.
//
// Protocol: a series is created on its own, then handed to the chart
// (TChartPanel::AddSeries), which owns it and calls SetParentChart. Every
// change of points or settings asks the chart to repaint (merged by the
// toolkit). Per drawing the chart calls, in order: PrepareForDraw(); sets the
// depth band (SetDepthBand); if Count() > 0, DrawValues(); then, when
// Marks().Visible(), Marks().DrawAllMarks(). The legend reads LegendItemCount,
// LegendToValueIndex, PointLabel/PointColor and calls DrawLegendShape.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "chart/ChangeSink.h"
#include "chart/ChartMath.h"
#include "chart/Colour.h"
#include "chart/SeriesMarks.h"
#include "chart/ValueList.h"

class TChartPanel;

class TChartSeries : public TChangeSink {
public:
    TChartSeries();
    virtual ~TChartSeries();
    TChartSeries(const TChartSeries&) = delete;
    TChartSeries& operator=(const TChartSeries&) = delete;

    // Points.
    int Add(double value, const std::string& label = "", TColor colour = clAutomatic);
    int AddPoint(double x, double y, const std::string& label = "", TColor colour = clAutomatic);
    void Clear();
    void Delete(int index);
    int Count() const { return xValues_.Count(); }
    TColor PointColor(int index) const;
    std::string PointLabel(int index) const;
    double MarkValue(int index) const;
    // 100 * |MarkValue(i)| / AbsoluteTotal of the mandatory list; 100 when
    // that total is 0.
    double PointPercent(int index);
    static TColor PaletteColor(int index) { return ChartPalette[index % PaletteSize]; }

    TChartValueList& XValues() { return xValues_; }
    TChartValueList& YValues() { return yValues_; }
    const TChartValueList& XValues() const { return xValues_; }
    const TChartValueList& YValues() const { return yValues_; }
    // The list holding each point's own value (Y for a series with X as
    // position).
    virtual TChartValueList& MandatoryValueList() { return yValues_; }
    // Value-list registry: X first, Y second.
    int ValueListCount() const { return 2; }
    TChartValueList& ValueList(int i) { return i == 0 ? xValues_ : yValues_; }

    // Settings.
    TColor SeriesColor() const { return seriesColor_; }
    void SetSeriesColor(TColor c) { SetAndNotify(seriesColor_, c, this); }
    bool ColorEachPoint() const { return colorEachPoint_; }
    void SetColorEachPoint(bool v);
    bool Active() const { return active_; }
    void SetActive(bool v) { SetAndNotify(active_, v, this); }
    bool ShowInLegend() const { return showInLegend_; }
    void SetShowInLegend(bool v) { SetAndNotify(showInLegend_, v, this); }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& v) { SetAndNotify(title_, v, this); }
    const std::string& ValueFormat() const { return valueFormat_; }
    void SetValueFormat(const std::string& v) { SetAndNotify(valueFormat_, v, this); }
    const std::string& PercentFormat() const { return percentFormat_; }
    void SetPercentFormat(const std::string& v) { SetAndNotify(percentFormat_, v, this); }
    TSeriesMarks& Marks() { return *marks_; }
    const TSeriesMarks& Marks() const { return *marks_; }

    TChartPanel* ParentChart() const { return parentChart_; }
    // Called by the chart when the series joins it (nullptr: leaves it).
    virtual void SetParentChart(TChartPanel* chart);

    // Depth band, set by the chart before each drawing.
    void SetDepthBand(int startZ, int endZ);
    int StartZ() const { return startZ_; }
    int MiddleZ() const { return middleZ_; }
    int EndZ() const { return endZ_; }
    // Drawn range: -1, -1 without points.
    virtual int FirstDisplayedIndex() const { return Count() > 0 ? 0 : -1; }
    virtual int LastDisplayedIndex() const { return Count() - 1; }

    // Drawing steps called by the chart.
    virtual void PrepareForDraw() {}
    virtual void DrawValues() {}
    // Mark geometry of point index; false when the point gets no mark.
    virtual bool PlaceMark(int index, TSeriesMarkPosition& position);

    // Legend support.
    virtual int LegendItemCount() const { return Count(); }
    virtual int LegendToValueIndex(int item) const { return item; }
    // Paints the colour box of point valueIndex into rect.
    virtual void DrawLegendShape(int valueIndex, const TRect& rect);

    // Asks the chart, if any, to repaint.
    void Repaint();
    void Changed() override { Repaint(); }

protected:
    // Hooks for derived series, called from Clear and Delete.
    virtual void ClearExtra() {}
    virtual void DeleteExtra(int /*index*/) {}
    // Puts the points in the order of list (by Order; stable), moving every
    // value list, colours and labels with them.
    void SortPointsBy(TChartValueList& list);

    TChartValueList xValues_{"X", loAscending};
    TChartValueList yValues_{"Y", loNone};

private:
    std::vector<TColor> colours_;
    std::vector<std::optional<std::string>> labels_;
    TColor seriesColor_ = clAutomatic;
    bool colorEachPoint_ = false;
    bool active_ = true;
    bool showInLegend_ = true;
    std::string title_;
    std::string valueFormat_ = "#,##0.###";
    std::string percentFormat_ = "##0.## %";
    std::unique_ptr<TSeriesMarks> marks_;
    TChartPanel* parentChart_ = nullptr;
    int startZ_ = 0, middleZ_ = 0, endZ_ = 0;
};
