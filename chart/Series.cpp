#include "chart/Series.h"

#include <algorithm>
#include <cmath>

#include "chart/ChartPanel.h"

TChartSeries::TChartSeries() : marks_(std::make_unique<TSeriesMarks>(*this))
{
}

TChartSeries::~TChartSeries() = default;

int TChartSeries::Add(double value, const std::string& label, TColor colour)
{
    return AddPoint(static_cast<double>(Count()), value, label, colour);
}

int TChartSeries::AddPoint(double x, double y, const std::string& label, TColor colour)
{
    int index = xValues_.InsertPosition(x);
    xValues_.InsertAt(index, x);
    yValues_.InsertAt(index, y);
    if (static_cast<size_t>(index) <= colours_.size())
        colours_.insert(colours_.begin() + index, colour);
    std::optional<std::string> stored;
    if (!label.empty())
        stored = label;
    if (static_cast<size_t>(index) <= labels_.size())
        labels_.insert(labels_.begin() + index, std::move(stored));
    if (active_)
        Repaint();
    return index;
}

void TChartSeries::Clear()
{
    xValues_.Clear();
    yValues_.Clear();
    std::vector<TColor>().swap(colours_);
    std::vector<std::optional<std::string>>().swap(labels_);
    marks_->Positions().Clear();
    ClearExtra();
    Repaint();
}

void TChartSeries::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    xValues_.DeleteAt(index);
    yValues_.DeleteAt(index);
    if (static_cast<size_t>(index) < colours_.size())
        colours_.erase(colours_.begin() + index);
    if (static_cast<size_t>(index) < labels_.size())
        labels_.erase(labels_.begin() + index);
    marks_->Positions().Delete(index);
    DeleteExtra(index);
    Repaint();
}

TColor TChartSeries::PointColor(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= colours_.size())
        return seriesColor_;
    TColor c = colours_[static_cast<size_t>(index)];
    if (c != clAutomatic)
        return c;
    return colorEachPoint_ ? PaletteColor(index) : seriesColor_;
}

std::string TChartSeries::PointLabel(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= labels_.size())
        return "";
    const auto& label = labels_[static_cast<size_t>(index)];
    return label ? *label : std::string();
}

double TChartSeries::MarkValue(int index) const
{
    const TChartValueList& list = const_cast<TChartSeries*>(this)->MandatoryValueList();
    return list.ValueAt(index);
}

double TChartSeries::PointPercent(int index)
{
    double total = MandatoryValueList().AbsoluteTotal();
    if (total == 0)
        return 100.0;
    return 100.0 * std::fabs(MarkValue(index)) / total;
}

void TChartSeries::SetColorEachPoint(bool v)
{
    SetAndNotify(colorEachPoint_, v, this);
    if (!v) {
        for (TColor& c : colours_) {
            c = clAutomatic;
            Repaint();
        }
    }
}

void TChartSeries::SetParentChart(TChartPanel* chart)
{
    parentChart_ = chart;
}

void TChartSeries::SetDepthBand(int startZ, int endZ)
{
    startZ_ = startZ;
    endZ_ = endZ;
    middleZ_ = (startZ + endZ) / 2;
}

bool TChartSeries::PlaceMark(int, TSeriesMarkPosition&)
{
    return false;
}

void TChartSeries::DrawLegendShape(int, const TRect&)
{
}

void TChartSeries::Repaint()
{
    if (parentChart_ && !parentChart_->Destroying())
        parentChart_->Invalidate();
}

void TChartSeries::SortPointsBy(TChartValueList& list)
{
    if (list.Order() == loNone)
        return;
    int n = Count();
    std::vector<int> perm(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        perm[static_cast<size_t>(i)] = i;
    bool ascending = list.Order() == loAscending;
    std::stable_sort(perm.begin(), perm.end(), [&](int a, int b) {
        return ascending ? list.StoredAt(a) < list.StoredAt(b) : list.StoredAt(a) > list.StoredAt(b);
    });
    auto reorderList = [&](TChartValueList& l) {
        std::vector<double> old(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            old[static_cast<size_t>(i)] = l.StoredAt(i);
        for (int i = 0; i < n; ++i)
            l.SetStoredAt(i, old[static_cast<size_t>(perm[static_cast<size_t>(i)])]);
    };
    reorderList(xValues_);
    reorderList(yValues_);
    auto reorderVector = [&](auto& v) {
        auto old = v;
        for (int i = 0; i < n && static_cast<size_t>(i) < v.size(); ++i) {
            size_t from = static_cast<size_t>(perm[static_cast<size_t>(i)]);
            if (from < old.size())
                v[static_cast<size_t>(i)] = old[from];
        }
    };
    reorderVector(colours_);
    reorderVector(labels_);
}
