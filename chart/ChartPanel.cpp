#include "chart/ChartPanel.h"

#include "chart/ChartError.h"

TChartPanel::TChartPanel(TChartHost* host) : host_(host)
{
    constructed_ = true;
}

TChartPanel::~TChartPanel()
{
    destroying_ = true;
    series_.clear();
}

void TChartPanel::Invalidate()
{
    // A change made by the drawing itself (the pie's own grouping) is part of
    // the picture being drawn; asking for another paint would never settle.
    if (!constructed_ || destroying_ || drawing_)
        return;
    canvas_.InvalidateBuffer();
    if (host_)
        host_->RequestRepaint();
}

void TChartPanel::SetVisible(bool v)
{
    if (visible_ == v)
        return;
    visible_ = v;
    if (host_)
        host_->SetHostVisible(v);
}

TChartSeries& TChartPanel::AddSeries(std::unique_ptr<TChartSeries> series)
{
    TChartSeries& added = *series;
    series_.push_back(std::move(series));
    added.SetParentChart(this);
    Invalidate();
    return added;
}

int TChartPanel::CountActiveSeries() const
{
    int n = 0;
    for (const auto& s : series_)
        if (s->Active())
            ++n;
    return n;
}

TChartSeries* TChartPanel::FirstActiveSeries() const
{
    for (const auto& s : series_)
        if (s->Active())
            return s.get();
    return nullptr;
}

void TChartPanel::SetChart3DPercent(int v)
{
    if (v < 1 || v > 100)
        throw EChartError("3D effect percent must be between 1 and 100");
    SetAndNotify(chart3DPercent_, v, this);
}

void TChartPanel::SetShapeBrush(TColor fill, TBrushStyle style, TColor back)
{
    if (style != bsSolid && fill == back)
        fill = back == clBlack ? clWhite : clBlack;
    canvas_.SetBrush({fill, style});
    if (style != bsSolid) {
        canvas_.SetBackMode(bmOpaque);
        canvas_.SetBackColor(back);
    } else {
        canvas_.SetBackMode(bmTransparent);
    }
}
