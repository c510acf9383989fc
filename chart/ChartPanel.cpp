#include "chart/ChartPanel.h"

#include <algorithm>

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

void TChartPanel::ApplyFormSettings()
{
    SetBevelOuter(bvLowered);
    SetBevelInner(bvRaised);
    SetMarginLeft(0);
    SetMarginTop(0);
    SetMarginRight(0);
    SetMarginBottom(5);
    SetView3DWalls(false);
    SetAxisVisible(false);
    SetClipPoints(false);
    SetAllowZoom(true);
    SetAllowPanning(pmNone);
    TChartPen frame = frame_;
    frame.Visible = false;
    SetFrame(frame);

    gradient_.SetDirection(gdBottomTop);
    gradient_.SetStartColor(14671871);  // red 255, green 223, blue 223
    gradient_.SetEndColor(16744576);    // red 128, green 128, blue 255
    gradient_.SetVisible(true);

    backWall_.SetBrush({clWhite, bsClear});
    TChartPen wallPen = backWall_.Pen();
    wallPen.Visible = false;
    backWall_.SetPen(wallPen);

    title_.SetBrush({clWhite, bsClear});
    title_.SetColor(clWhite);
    TChartFont font;
    font.Name = "Arial";
    font.PixelHeight = 16;
    font.Style = fsBold;
    font.Color = clBlue;
    title_.SetFont(font);
    TChartPen titleFrame = title_.Frame();
    titleFrame.Style = psInsideFrame;
    title_.SetFrame(titleFrame);
    title_.SetText({"TChart"});

    legend_.SetAlignment(laBottom);
    legend_.SetColorWidth(20);
    legend_.SetTextStyle(ltsPlain);

    view3DOptions_.SetElevation(315);
    view3DOptions_.SetOrthogonal(false);
    view3DOptions_.SetPerspective(0);
    view3DOptions_.SetRotation(360);

    SetVisible(false);
}

void TChartPanel::Adjust()
{
    TRect& r = plotRect_;
    r.Left = std::max(r.Left, drawRect_.Left);
    r.Top = std::max(r.Top, drawRect_.Top);
    if (r.Right < r.Left)
        r.Right = r.Left + 1;
    else if (r.Right == r.Left)
        r.Right = r.Left + drawRect_.Width();
    if (r.Bottom < r.Top)
        r.Bottom = r.Top + 1;
    else if (r.Bottom == r.Top)
        r.Bottom = r.Top + drawRect_.Height();
    plotWidth_ = r.Right - r.Left;
    plotHeight_ = r.Bottom - r.Top;
    plotCentreX_ = (r.Left + r.Right) / 2;
    plotCentreY_ = (r.Top + r.Bottom) / 2;
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
