// The legend's range-checked settings, its item texts and its drawing: box
// with shadow and frame, colour boxes, texts and dividing lines.
#include "chart/Legend.h"

#include <algorithm>

#include "chart/ChartError.h"
#include "chart/ChartPanel.h"
#include "chart/LegendLayout.h"
#include "numtext/NumberPattern.h"
#include "chart/PieLayout.h"
#include "chart/PieSeries.h"

void TChartLegend::SetColorWidth(int v)
{
    if (v < 0 || v > 100)
        throw EChartError("Legend Color Width must be between 0 and 100 %");
    SetAndNotify(colorWidth_, v, owner_);
}

void TChartLegend::SetFirstValue(int v)
{
    if (v < 0)
        throw EChartError("First Legend Value must be > 0");
    SetAndNotify(firstValue_, v, owner_);
}

void TChartLegend::SetTopPos(int v)
{
    if (v < 0 || v > 100)
        throw EChartError("Top Legend Position must be between 0 and 100 %");
    SetAndNotify(topPos_, v, owner_);
}

std::string LegendItemText(std::string text)
{
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

std::string TChartLegend::LegendText(TChartSeries& series, int valueIndex) const
{
    auto valueText = [&] { return FormatNumberPattern(series.ValueFormat(), series.MarkValue(valueIndex)); };
    // Keeps the value's sign, unlike the marks' percentage.
    auto percentText = [&] {
        const double total = series.MandatoryValueList().AbsoluteTotal();
        const double percent = total == 0 ? 100.0 : series.MarkValue(valueIndex) * 100.0 / total;
        return FormatNumberPattern(series.PercentFormat(), percent);
    };
    const std::string label = series.PointLabel(valueIndex);
    std::string text;
    switch (textStyle_) {
    case ltsPlain:
        text = label;
        break;
    case ltsLeftValue:
        text = valueText() + " " + label;
        break;
    case ltsRightValue:
        text = label + " " + valueText();
        break;
    case ltsLeftPercent:
        text = percentText() + " " + label;
        break;
    case ltsRightPercent:
        text = label + " " + percentText();
        break;
    case ltsXValue:
        text = FormatNumberPattern(series.ValueFormat(), series.XValues().ValueAt(valueIndex));
        break;
    }
    return LegendItemText(std::move(text));
}

// The colour an item's box is painted in.
static TColor ItemColour(const TLegendItem& item)
{
    return item.ValueIndex >= 0 ? item.Series->PointColor(item.ValueIndex) : item.Series->SeriesColor();
}

void TChartLegend::Draw(TChartPanel& chart, const TLegendLayout& L) const
{
    if (!L.Drawn())
        return;

    TChartCanvas3D& canvas = chart.Canvas();
    const TColor colour = canvas.ResolveColour(color_);

    // The box: shadow, then the framed fill.
    TChartPen framePen = frame_;
    TRect box = L.Rect;
    int s = shadowSize_ - 1;
    if (frame_.Visible) {
        if (framePen.Color == clAutomatic)
            framePen.Color = clBlack;
        const int fw = frame_.Width;
        box = {box.Left - fw, box.Top - fw, box.Right + fw, box.Bottom + fw};
        s = shadowSize_ + fw + (fw - 1) / 2;
    }
    if (shadowSize_ > 0) {
        canvas.SetBrush({shadowColor_, bsSolid});
        canvas.FillRect(
            {L.Rect.Left + shadowSize_, L.Rect.Top + shadowSize_, L.Rect.Right + s, L.Rect.Bottom + s});
    }
    canvas.ApplyChartPen(framePen);
    if (brush_.Style == bsSolid) {
        canvas.SetBrush({color_, bsSolid});
    } else {
        canvas.SetBrush({brush_.Color, brush_.Style});
        if (brush_.Style != bsClear) {
            canvas.SetBackMode(bmOpaque);
            canvas.SetBackColor(color_);
        }
    }
    canvas.Rectangle(box);
    canvas.SetBackMode(bmTransparent);

    // The items.
    const TSurfacePen boxPen{colour == clBlack ? clWhite : clBlack, 1, psSolid, false};
    canvas.SetChartFont(font_);
    canvas.SetTextAlign(taLeft);
    const int shown = std::min(static_cast<int>(L.Items.size()), L.Slots());
    for (int p = 0; p < shown; ++p) {
        const TLegendItem& item = L.Items[static_cast<size_t>(inverted_ ? shown - 1 - p : p)];
        const TPoint at = L.SlotText(p);
        const TRect colourBox = L.ColourBox(at);
        if (!item.Text.empty()) {
            canvas.SetBrushStyle(bsClear);
            canvas.TextOut(at.X, at.Y, item.Text);
            canvas.SetPen(boxPen);
            if (item.ValueIndex >= 0) {
                item.Series->DrawLegendShape(item.ValueIndex, colourBox);
            } else if (item.Series->SeriesColor() != clNone) {
                chart.SetShapeBrush(item.Series->SeriesColor(), bsSolid, chart.Color());
                canvas.Rectangle(colourBox);
            }
            if (canvas.ResolveColour(ItemColour(item)) == colour && ItemColour(item) != clNone) {
                canvas.SetPen(boxPen);
                canvas.SetBrushStyle(bsClear);
                canvas.Rectangle(colourBox);
            }
        }
        if (p > 0 && dividingLines_.Visible) {
            canvas.ApplyChartPen(dividingLines_);
            if (L.Vertical)
                canvas.Line(L.Rect.Left, at.Y, L.Rect.Right, at.Y);
            else
                canvas.Line(colourBox.Left - 4, L.Rect.Top, colourBox.Left - 4, L.Rect.Bottom);
        }
    }
}

void TPieSeries::DrawLegendShape(int valueIndex, const TRect& rect)
{
    TChartPanel* chart = ParentChart();
    const TColor colour = PointColor(valueIndex);
    if (!chart || colour == clNone)
        return;
    const TColor back = PieBackColour(*this);
    chart->SetShapeBrush(colour, bsSolid, back);
    chart->Canvas().Rectangle(rect);
}
