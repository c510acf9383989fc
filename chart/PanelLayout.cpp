// Laying the panel out: margins and border, then the titles and the legend in
// drawing order, each taking its room off the plot rectangle, then the depth.
#include "chart/PanelLayout.h"

#include <algorithm>

#include "chart/ChartPanel.h"

void MeasureWith(TDrawingSurface& surface, const TChartFont& font)
{
    surface.SetFont({font.Name, font.Size, font.PixelHeight, font.Style, clBlack});
}

void PanelLayout::Adjust()
{
    TRect& r = PlotRect;
    r.Left = std::max(r.Left, DrawRect.Left);
    r.Top = std::max(r.Top, DrawRect.Top);
    if (r.Right < r.Left)
        r.Right = r.Left + 1;
    else if (r.Right == r.Left)
        r.Right = r.Left + DrawRect.Width();
    if (r.Bottom < r.Top)
        r.Bottom = r.Top + 1;
    else if (r.Bottom == r.Top)
        r.Bottom = r.Top + DrawRect.Height();
    PlotWidth = r.Right - r.Left;
    PlotHeight = r.Bottom - r.Top;
    PlotCentreX = (r.Left + r.Right) / 2;
    PlotCentreY = (r.Top + r.Bottom) / 2;
}

// The brush the title's drawing sets fills unless it ends up clear.
static bool TitleFilled(const TChartTitle& title)
{
    const TChartBrush& brush = title.Brush();
    if (brush.Style != bsSolid)
        return brush.Style != bsClear;
    return title.Color() != clAutomatic || brush.Color != clAutomatic;
}

// The title at the top of the plot, or the foot at its bottom; takes their
// room off the plot.
static TitleLayout LayoutTitle(const TChartTitle& title, TDrawingSurface& measure, PanelLayout& panel)
{
    TitleLayout T;
    T.Shown = true;
    MeasureWith(measure, title.Font());
    const int h = measure.TextHeight("W");
    const TChartPen& frame = title.Frame();
    const int f = frame.Visible && frame.Color != clAutomatic ? frame.Width : 0;
    const std::vector<std::string>& text = title.Text();
    const int lines = static_cast<int>(text.size());
    TRect& plot = panel.PlotRect;
    const int left = plot.Left + f;
    const int right = plot.Right - f;
    const int top = title.IsFoot() ? plot.Bottom - f - lines * h : plot.Top + f;
    T.Box = {left - f, top - f, right + f, top + lines * h + f};

    const int w = measure.TextWidth("W");
    std::vector<int> widths;
    widths.reserve(text.size());
    for (const std::string& line : text)
        widths.push_back(measure.TextWidth(line));

    T.Boxed = frame.Visible || TitleFilled(title);
    if (T.Boxed && title.AdjustFrame()) {
        const int width = w + (widths.empty() ? 0 : *std::max_element(widths.begin(), widths.end()));
        if (title.Alignment() == taLeftJustify) {
            T.Box.Right = T.Box.Left + width;
        } else if (title.Alignment() == taRightJustify) {
            T.Box.Left = T.Box.Right - width;
        } else {
            const int mid = (left + right) / 2;
            T.Box.Left = mid - width / 2;
            T.Box.Right = mid + width / 2;
        }
    }

    for (int i = 0; i < lines; ++i) {
        const int width = widths[static_cast<size_t>(i)];
        int x;
        if (title.Alignment() == taLeftJustify)
            x = left + w / 2;
        else if (title.Alignment() == taRightJustify)
            x = right - width - w / 2;
        else
            x = (left + right) / 2 - width / 2;
        T.Lines.push_back({x, top + i * h});
    }

    if (!title.IsFoot()) {
        int y = lines > 0 ? top + lines * h : top - 5;
        if (frame.Visible)
            y += f;
        plot.Top = y + 5;
    } else {
        int y = lines > 0 ? top : plot.Bottom - f + 5;
        if (frame.Visible)
            y -= f;
        plot.Bottom = y - 5;
    }
    panel.Adjust();
    return T;
}

// The legend; when drawn, its box and the gap beside it come off the plot's
// side it stands on.
static void LayoutLegendInPanel(TChartPanel& chart, TDrawingSurface& measure, PanelLayout& panel)
{
    const TChartLegend& legend = chart.Legend();
    panel.Legend = LayoutLegend(legend, chart, measure, panel);
    if (!panel.Legend.Drawn())
        return;
    const TRect& box = panel.Legend.Rect;
    TRect& plot = panel.PlotRect;
    const int vGap = legend.VertMargin() != 0 ? legend.VertMargin() : MulDiv(4, panel.PlotHeight, 100);
    const int hGap = legend.HorizMargin() != 0 ? legend.HorizMargin() : MulDiv(3, panel.PlotWidth, 100);
    const bool resize = legend.ResizeChart();
    switch (legend.Alignment()) {
    case laBottom:
        if (resize)
            plot.Bottom = box.Top;
        plot.Bottom -= vGap;
        break;
    case laTop:
        if (resize)
            plot.Top = box.Bottom + legend.ShadowSize();
        plot.Top += vGap;
        break;
    case laRight:
        if (resize)
            plot.Right = box.Left;
        plot.Right -= hGap;
        break;
    case laLeft:
        if (resize)
            plot.Left = box.Right + legend.ShadowSize();
        plot.Left += hGap;
        break;
    }
    panel.Adjust();
}

// Depth of each series from the plot width; the orthogonal view takes the
// whole depth off the plot's right and top.
static void LayoutDepth(TChartPanel& chart, PanelLayout& panel)
{
    if (chart.View3D()) {
        const bool orthogonal = chart.View3DOptions().Orthogonal();
        const double f = orthogonal ? 1.0 : 2.0;
        panel.SeriesDepth = Rnd(panel.PlotWidth * chart.Chart3DPercent() * 0.001 * f);
        panel.ChartDepth = panel.SeriesDepth * chart.CountActiveSeries();
        if (orthogonal) {
            const int take = panel.ChartDepth + (chart.View3DWalls() ? chart.BackWall().Size() : 0);
            panel.PlotRect.Right -= take;
            panel.PlotRect.Top += take;
        }
    }
    panel.Adjust();
}

PanelLayout LayoutPanel(TChartPanel& chart, TDrawingSurface& measure, const TRect& drawRect)
{
    PanelLayout P;
    P.DrawRect = drawRect;
    const int w = drawRect.Width();
    const int h = drawRect.Height();
    const int border = chart.BorderWidth();
    P.PlotRect = {drawRect.Left + MulDiv(chart.MarginLeft(), w, 100) + border,
                  drawRect.Top + MulDiv(chart.MarginTop(), h, 100) + border,
                  drawRect.Right - MulDiv(chart.MarginRight(), w, 100) - border,
                  drawRect.Bottom - MulDiv(chart.MarginBottom(), h, 100) - border};
    P.Adjust();

    const TChartLegend& legend = chart.Legend();
    P.WithLegend = legend.Visible() && chart.CountActiveSeries() > 0;
    const bool legendFirst = P.WithLegend && (legend.Alignment() == laLeft || legend.Alignment() == laRight);
    if (legendFirst)
        LayoutLegendInPanel(chart, measure, P);
    if (chart.Title().Visible())
        P.Title = LayoutTitle(chart.Title(), measure, P);
    if (chart.Foot().Visible())
        P.Foot = LayoutTitle(chart.Foot(), measure, P);
    if (P.WithLegend && !legendFirst)
        LayoutLegendInPanel(chart, measure, P);
    LayoutDepth(chart, P);
    return P;
}
