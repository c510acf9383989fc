#include "chart/PieSeries.h"

#include <cmath>
#include <numbers>

#include "chart/ChartError.h"
#include "chart/ChartPanel.h"

void TCircledSeries::SetRotationAngle(int degrees)
{
    if (degrees < 0)
        throw EChartError("Rotation Angle must be between 0 and 359 degrees");
    int stored = degrees % 360;
    if (stored == rotationAngle_)
        return;
    rotationAngle_ = stored;
    rotation_ = stored * std::numbers::pi / 180.0;
    Repaint();
}

TPieSeries::TPieSeries()
{
    XValues().SetName("");
    YValues().SetName("Pie");
    Marks().SetVisible(true);
    Marks().SetArrowLength(8);
    SetColorEachPoint(true);
}

int TPieSeries::ExplodedSlice(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= explodedSlices_.size())
        return 0;
    return explodedSlices_[static_cast<size_t>(index)];
}

void TPieSeries::SetExplodedSlice(int index, int percent)
{
    if (index < 0 || ExplodedSlice(index) == percent)
        return;
    if (static_cast<size_t>(index) >= explodedSlices_.size())
        explodedSlices_.resize(static_cast<size_t>(index) + 1, 0);
    explodedSlices_[static_cast<size_t>(index)] = percent;
    Repaint();
}

void TPieSeries::ClearExtra()
{
    std::vector<int>().swap(explodedSlices_);
}

void TPieSeries::DeleteExtra(int index)
{
    if (static_cast<size_t>(index) < explodedSlices_.size())
        explodedSlices_.erase(explodedSlices_.begin() + index);
}

void TPieSeries::SetParentChart(TChartPanel* chart)
{
    TCircledSeries::SetParentChart(chart);
    if (!chart || chart->Destroying())
        return;
    chart->SetAxisVisible(false);
    chart->SetClipPoints(false);
    chart->SetView3DWalls(false);
    TChartPen frame = chart->Frame();
    frame.Visible = false;
    chart->SetFrame(frame);
    TChartBrush wallBrush = chart->BackWall().Brush();
    wallBrush.Style = bsClear;
    chart->BackWall().SetBrush(wallBrush);
    chart->SetAllowZoom(false);
    chart->SetAllowPanning(pmNone);
    TView3DOptions& view = chart->View3DOptions();
    view.SetOrthogonal(false);
    view.SetRotation(360);
    view.SetElevation(315);
    view.SetPerspective(0);
    view.SetTilt(0);
}

void TPieSeries::PrepareSlices()
{
    SortPointsBy(PieValues());
    for (int i = 0; i < Count(); ++i) {
        if (XValues().StoredAt(i) == OtherSliceX) {
            Delete(i);
            break;
        }
    }
    XValues().Renumber();
    if (otherSlice_.Style() == poNone)
        return;
    double sum = 0;
    for (int j = 0; j < Count(); ++j) {
        double d = PieValues().ValueAt(j);
        if (otherSlice_.Style() == poBelowPercent) {
            double total = PieValues().AbsoluteTotal();
            d = total == 0 ? 100.0 : d * 100.0 / total;
        }
        if (d < otherSlice_.Value()) {
            XValues().SetStoredAt(j, -1.0);
            sum += PieValues().ValueAt(j);
        }
    }
    if (sum != 0) {
        AddPoint(OtherSliceX, sum, otherSlice_.Text(), clAutomatic);
        PieValues().SetCachedAbsoluteTotal(PieValues().AbsoluteTotal() - sum);
    }
}

int TPieSeries::LegendItemCount() const
{
    int n = 0;
    for (int i = 0; i < Count(); ++i)
        if (!IsOtherMember(i))
            ++n;
    return n;
}

int TPieSeries::LegendToValueIndex(int item) const
{
    int k = -1;
    for (int i = 0; i < Count(); ++i) {
        if (!IsOtherMember(i) && ++k == item)
            return i;
    }
    return -1;
}
