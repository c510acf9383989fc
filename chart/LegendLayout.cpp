// Laying the legend out: items, widths, columns and rows, and its box at the
// bottom or top (several columns) or at the left or right (one column).
#include "chart/LegendLayout.h"

#include <algorithm>

#include "chart/ChartPanel.h"
#include "chart/PanelLayout.h"
#include "chart/Series.h"

TPoint TLegendLayout::SlotText(int p) const
{
    const int col = p % Columns;
    const int row = p / Columns;
    return {X0 + col * (TextWidth + 4 + ColorWidth + 4), Rect.Top + 1 + row * FontHeight};
}

TRect TLegendLayout::ColourBox(TPoint text) const
{
    return {text.X - 4 - ColorWidth, text.Y + 2, text.X - 4, text.Y + FontHeight - 2};
}

TLegendStyle LegendStyleInEffect(TLegendStyle style, int activeSeries)
{
    if (style != lsAuto)
        return style;
    return activeSeries < 2 ? lsValues : lsSeries;
}

static std::vector<TLegendItem> CollectItems(const TChartLegend& legend, TChartPanel& chart,
                                             TLegendStyle style)
{
    std::vector<TLegendItem> items;
    if (style == lsValues) {
        TChartSeries* s = chart.FirstActiveSeries();
        if (!s || !s->ShowInLegend())
            return items;
        const int count = s->LegendItemCount();
        for (int k = legend.FirstValue(); k < count; ++k) {
            const int v = s->LegendToValueIndex(k);
            if (v >= 0)
                items.push_back({legend.LegendText(*s, v), s, v});
        }
        return items;
    }
    for (int i = 0; i < chart.SeriesCount(); ++i) {
        TChartSeries& s = chart.Series(i);
        if (!s.Active() || !s.ShowInLegend())
            continue;
        std::string text;
        if (style == lsLastValues)
            text = s.Count() > 0 ? legend.LegendText(s, s.Count() - 1) : std::string();
        else
            text = LegendItemText(s.Title());
        items.push_back({std::move(text), &s, -1});
    }
    return items;
}

TLegendLayout LayoutLegend(const TChartLegend& legend, TChartPanel& chart, TDrawingSurface& measure,
                           const PanelLayout& panel)
{
    TLegendLayout L;
    L.Style = LegendStyleInEffect(legend.LegendStyle(), chart.CountActiveSeries());
    L.Items = CollectItems(legend, chart, L.Style);
    const int n = static_cast<int>(L.Items.size());

    MeasureWith(measure, legend.Font());
    L.FontHeight = measure.TextHeight("W");
    for (const TLegendItem& item : L.Items)
        L.TextWidth = std::max(L.TextWidth, measure.TextWidth(item.Text));
    L.ColorWidth = Rnd((L.TextWidth + 4) * legend.ColorWidth() * 0.01);

    const TChartPen& frame = legend.Frame();
    const int fw = frame.Width;
    const int frameRoom = frame.Visible ? fw + 1 : 0;
    const TRect& plot = panel.PlotRect;
    const int h = L.FontHeight;
    const int slotWidth = L.TextWidth + 4 + L.ColorWidth + 8;

    // Columns that fit across the plot, at most n.
    int cols = 0;
    if (8 < plot.Right)
        cols = std::min((panel.PlotWidth - 2 * fw - 8) / slotWidth, n);

    const TLegendAlignment align = legend.Alignment();
    if (align == laBottom || align == laTop) {
        int rows = 0;
        if (cols > 0)
            rows = std::min(n / cols + (n % cols != 0 ? 1 : 0), legend.MaxNumRows());
        if (align == laBottom) {
            L.Rect.Bottom = plot.Bottom - legend.ShadowSize() - frameRoom;
            L.Rect.Top = L.Rect.Bottom - rows * h - 2;
        } else {
            L.Rect.Top = plot.Top + frameRoom;
            L.Rect.Bottom = L.Rect.Top + rows * h + 2;
        }
        const int w = std::min(2 * legend.ShadowSize() + (L.ColorWidth + L.TextWidth + 8) * cols + 8,
                               panel.PlotWidth);
        const int g = Rnd(legend.TopPos() * (panel.DrawRect.Width() - w) * 0.01);
        L.Rect.Left = panel.PlotCentreX - w / 2 + g;
        L.Rect.Right = panel.PlotCentreX + w / 2 + g;
        L.Columns = std::max(cols, 0);
        L.Rows = std::max(rows, 0);
    } else {
        // One column from TopPos % down the drawing to the bottom of the plot.
        L.Vertical = true;
        const TRect& draw = panel.DrawRect;
        L.Rect.Top = draw.Top + Rnd(legend.TopPos() * draw.Height() * 0.01);
        const int room = plot.Bottom - legend.ShadowSize() - frameRoom - L.Rect.Top - 2;
        const int rows = cols > 0 && h > 0 ? std::min(std::max(room, 0) / h, n) : 0;
        L.Rect.Bottom = L.Rect.Top + rows * h + 2;
        const int w = L.ColorWidth + L.TextWidth + 16;
        if (align == laRight) {
            L.Rect.Right = plot.Right - legend.ShadowSize() - frameRoom;
            L.Rect.Left = L.Rect.Right - w;
        } else {
            L.Rect.Left = plot.Left + frameRoom;
            L.Rect.Right = L.Rect.Left + w;
        }
        L.Columns = cols > 0 ? 1 : 0;
        L.Rows = rows;
    }
    L.X0 = L.Rect.Left + L.ColorWidth + 8;
    return L;
}
