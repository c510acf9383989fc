// The chart's paint: the layout, then background, bevels, titles, legend,
// back wall and series, in that order, into the canvas buffer.
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

    const TRect drawRect = canvas_.BeginDraw(window, &view3DOptions_, clientRect, view3D_);
    for (auto& s : series_)
        if (s->Active())
            s->PrepareForDraw();
    layout_ = LayoutPanel(*this, *canvas_.Surface(), drawRect);
    canvas_.SetFont(canvas_.Font());  // the surface's font again after measuring

    DrawBackground();
    DrawBevels();

    canvas_.SuspendDepth();
    DrawTitlesAndLegend();
    canvas_.ResumeDepth();

    const int depth = layout_.SeriesDepth;
    int level = 0;
    for (auto& s : series_) {
        if (!s->Active())
            continue;
        s->SetDepthBand(level * depth, (level + 1) * depth);
        s->Marks().SetZPosition(s->MiddleZ());
        ++level;
    }

    canvas_.SetViewCentre(layout_.ChartDepth, layout_.PlotRect);
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
            canvas_.FillGradient(layout_.DrawRect, gradient_.StartColor(), gradient_.EndColor(), d);
        else
            canvas_.FillGradient(layout_.DrawRect, gradient_.EndColor(), gradient_.StartColor(), d);
    } else {
        canvas_.SetBrush({color_, bsSolid});
        canvas_.FillRect(layout_.DrawRect);
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
    TRect r = layout_.DrawRect;
    DrawBevel(r, bevelOuter_);
    Frame3D(canvas_, r, color_, color_, borderWidth_);
    DrawBevel(r, bevelInner_);
}

void TChartPanel::DrawTitlesAndLegend()
{
    const bool legendFirst = legend_.Alignment() == laLeft || legend_.Alignment() == laRight;
    if (layout_.WithLegend && legendFirst)
        legend_.Draw(*this, layout_.Legend);
    if (layout_.Title.Shown)
        title_.Draw(canvas_, layout_.Title);
    if (layout_.Foot.Shown)
        foot_.Draw(canvas_, layout_.Foot);
    if (layout_.WithLegend && !legendFirst)
        legend_.Draw(*this, layout_.Legend);
}

void TChartPanel::DrawBackWall()
{
    canvas_.ApplyChartPen(backWall_.Pen());
    TBrushStyle style = backWall_.Brush().Style;
    if (backWall_.Color() == clAutomatic && style == bsSolid)
        style = bsClear;
    SetShapeBrush(backWall_.Color(), style, backWall_.Brush().Color);
    const TRect& p = layout_.PlotRect;
    if (view3D_)
        canvas_.RectangleAtDepth({p.Left + 1, p.Top - 1, p.Right, p.Bottom}, layout_.ChartDepth);
    else
        canvas_.Rectangle(p);
}
