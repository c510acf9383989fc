// The chart's paint: background, bevels, titles, legend, depth, back wall and
// series, in that order, into the canvas buffer.
#include "chart/ChartPanel.h"

void TChartPanel::Paint(TDrawingSurface& window, const TRect& clientRect)
{
    if (canvas_.RedrawFromBuffer(window))
        return;
    Draw(window, clientRect);
}

void TChartPanel::Draw(TDrawingSurface& window, const TRect& clientRect)
{
    struct DrawingFlag {
        bool& flag;
        explicit DrawingFlag(bool& f) : flag(f) { flag = true; }
        ~DrawingFlag() { flag = false; }
    } drawingFlag(drawing_);

    drawRect_ = canvas_.BeginDraw(window, &view3DOptions_, clientRect, view3D_);

    const int w = drawRect_.Width();
    const int h = drawRect_.Height();
    plotRect_ = drawRect_;
    plotRect_.Left += MulDiv(marginLeft_, w, 100) + borderWidth_;
    plotRect_.Top += MulDiv(marginTop_, h, 100) + borderWidth_;
    plotRect_.Right -= MulDiv(marginRight_, w, 100) + borderWidth_;
    plotRect_.Bottom -= MulDiv(marginBottom_, h, 100) + borderWidth_;
    Adjust();

    DrawBackground();
    DrawBevels();

    for (auto& s : series_)
        if (s->Active())
            s->PrepareForDraw();

    canvas_.SuspendDepth();
    DrawTitlesAndLegend();
    canvas_.ResumeDepth();

    CalcDepths();

    int level = 0;
    for (auto& s : series_) {
        if (!s->Active())
            continue;
        int start = level * seriesDepth_;
        s->SetDepthBand(start, start + seriesDepth_);
        s->Marks().SetZPosition(s->MiddleZ());
        ++level;
    }

    canvas_.SetViewCentre(chartDepth_, plotRect_);
    DrawBackWall();

    for (auto& s : series_) {
        if (!s->Active() || s->Count() == 0)
            continue;
        s->DrawValues();
        if (s->Marks().Visible())
            s->Marks().DrawAllMarks();
    }

    canvas_.ResetDrawingState();
    canvas_.EndDraw(window, clientRect);
}

void TChartPanel::DrawBackground()
{
    if (gradient_.Visible()) {
        TGradientDirection d = gradient_.Direction();
        if (d == gdTopBottom || d == gdLeftRight)
            canvas_.FillGradient(drawRect_, gradient_.StartColor(), gradient_.EndColor(), d);
        else
            canvas_.FillGradient(drawRect_, gradient_.EndColor(), gradient_.StartColor(), d);
    } else {
        canvas_.SetBrush({color_, bsSolid});
        canvas_.FillRect(drawRect_);
    }
}

// Rings of a 3-D frame: top and left edges in top, bottom and right edges in
// bottom; the rectangle shrinks by one pixel per ring.
static void Frame3D(TChartCanvas3D& canvas, TRect& r, TColor top, TColor bottom, int width)
{
    for (int i = 0; i < width; ++i) {
        int L = r.Left, T = r.Top, R = r.Right - 1, B = r.Bottom - 1;
        canvas.SetPen({top, 1, psSolid, false});
        canvas.Line(L, B, L, T);
        canvas.Line(L, T, R, T);
        canvas.SetPen({bottom, 1, psSolid, false});
        canvas.Line(R, T, R, B);
        canvas.Line(R, B, L - 1, B);
        r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    }
}

void TChartPanel::DrawBevel(TRect& r, TPanelBevel bevel)
{
    if (bevel == bvNone)
        return;
    TColor top = bevel == bvRaised ? clBtnHighlight : clBtnShadow;
    TColor bottom = bevel == bvRaised ? clBtnShadow : clBtnHighlight;
    Frame3D(canvas_, r, top, bottom, bevelWidth_);
}

void TChartPanel::DrawBevels()
{
    canvas_.SetBrushStyle(bsClear);
    TRect r = drawRect_;
    DrawBevel(r, bevelOuter_);
    Frame3D(canvas_, r, color_, color_, borderWidth_);
    DrawBevel(r, bevelInner_);
}

void TChartPanel::DrawTitlesAndLegend()
{
    bool withLegend = legend_.Visible() && CountActiveSeries() > 0;
    bool legendFirst = withLegend && (legend_.Alignment() == laLeft || legend_.Alignment() == laRight);
    if (legendFirst)
        legend_.Draw(*this);
    if (title_.Visible())
        title_.Draw(*this);
    if (foot_.Visible())
        foot_.Draw(*this);
    if (withLegend && !legendFirst)
        legend_.Draw(*this);
}

void TChartPanel::CalcDepths()
{
    if (!view3D_) {
        seriesDepth_ = chartDepth_ = 0;
        Adjust();
        return;
    }
    double f = view3DOptions_.Orthogonal() ? 1.0 : 2.0;
    seriesDepth_ = Rnd(plotWidth_ * chart3DPercent_ * 0.001 * f);
    chartDepth_ = seriesDepth_ * CountActiveSeries();
    if (view3DOptions_.Orthogonal()) {
        int take = chartDepth_ + (view3DWalls_ ? backWall_.Size() : 0);
        plotRect_.Right -= take;
        plotRect_.Top += take;
    }
    Adjust();
}

void TChartPanel::DrawBackWall()
{
    canvas_.ApplyChartPen(backWall_.Pen());
    TBrushStyle style = backWall_.Brush().Style;
    if (backWall_.Color() == clAutomatic && style == bsSolid)
        style = bsClear;
    SetShapeBrush(backWall_.Color(), style, backWall_.Brush().Color);
    if (view3D_)
        canvas_.RectangleAtDepth({plotRect_.Left + 1, plotRect_.Top - 1, plotRect_.Right, plotRect_.Bottom},
                                 chartDepth_);
    else
        canvas_.Rectangle(plotRect_);
}
