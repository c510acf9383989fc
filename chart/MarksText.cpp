// The text of a point's mark by the marks' style, and its lines.
#include "chart/MarksText.h"

#include <algorithm>
#include <cmath>

#include "chart/Canvas3D.h"
#include "chart/ChartPanel.h"
#include "numtext/NumberPattern.h"
#include "chart/Series.h"
#include "chart/SeriesMarks.h"

namespace {

std::string ValueText(TChartSeries& s, int i)
{
    return FormatNumberPattern(s.ValueFormat(), s.MarkValue(i));
}

std::string PercentText(TChartSeries& s, int i)
{
    return FormatNumberPattern(s.PercentFormat(), s.PointPercent(i));
}

std::string LabelText(TChartSeries& s, int i)
{
    std::string label = s.PointLabel(i);
    return label.empty() ? ValueText(s, i) : label;
}

// "%s of %s": the percentage and the absolute total.
std::string PercentTotalText(TChartSeries& s, int i)
{
    return PercentText(s, i) + " of "
        + FormatNumberPattern(s.ValueFormat(), s.MandatoryValueList().AbsoluteTotal());
}

// Start of the UTF-8 character holding byte pos (pos itself when it starts one).
size_t CharStart(std::string_view text, size_t pos)
{
    while (pos > 0 && pos < text.size() && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80)
        --pos;
    return pos;
}

}  // namespace

std::string TSeriesMarks::MarkText(int index) const
{
    TChartSeries& s = series_;
    switch (style_) {
    case smsValue:
        return ValueText(s, index);
    case smsPercent:
        return PercentText(s, index);
    case smsLabel:
        return LabelText(s, index);
    case smsLabelPercent:
        return LabelText(s, index) + " " + PercentText(s, index);
    case smsLabelValue:
        return LabelText(s, index) + " " + ValueText(s, index);
    case smsLegend:
        if (TChartPanel* chart = s.ParentChart())
            return chart->Legend().LegendText(s, index);
        return LabelText(s, index);
    case smsPercentTotal:
        return PercentTotalText(s, index);
    case smsLabelPercentTotal:
        return LabelText(s, index) + " " + PercentTotalText(s, index);
    case smsXValue:
        return FormatNumberPattern(s.ValueFormat(), s.XValues().ValueAt(index));
    }
    return "";
}

std::vector<std::string_view> MarkDrawLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    for (;;) {
        size_t sep = text.find(MarkLineSeparator);
        if (sep == std::string_view::npos) {
            lines.push_back(text);
            return lines;
        }
        lines.push_back(text.substr(0, sep));
        text.remove_prefix(sep + 1);
        if (text.size() > 255)
            text = text.substr(0, CharStart(text, 255));
    }
}

int WidestMarkLine(TChartCanvas3D& canvas, std::string_view text)
{
    int widest = 0;
    for (;;) {
        size_t sep = text.find(MarkLineSeparator);
        widest = std::max(widest, canvas.TextWidth(text.substr(0, sep)));
        if (sep == std::string_view::npos)
            return widest;
        text.remove_prefix(sep + 1);
    }
}

int MarkLineCount(std::string_view text)
{
    return 1 + static_cast<int>(std::count(text.begin(), text.end(), MarkLineSeparator));
}

int WidestMark(TChartPanel& chart, TChartCanvas3D& canvas)
{
    int widest = 0;
    for (int k = 0; k < chart.SeriesCount(); ++k) {
        TChartSeries& s = chart.Series(k);
        if (!s.Active())
            continue;
        for (int i = 0; i < s.Count(); ++i)
            widest = std::max(widest, WidestMarkLine(canvas, s.Marks().MarkText(i)));
    }
    return widest;
}
