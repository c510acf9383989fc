// Places and draws the title (top) or the foot (bottom) and takes their room
// off the chart rectangle.
#include <algorithm>

#include "chart/ChartPanel.h"
#include "chart/ChartParts.h"

void TChartTitle::Draw(TChartPanel& chart)
{
    TChartCanvas3D& canvas = chart.Canvas();
    canvas.SetChartFont(font_);
    const int h = canvas.FontHeight();

    if (color_ != clAutomatic && brush_.Style != bsSolid) {
        canvas.SetBrush({brush_.Color, brush_.Style});
        canvas.SetBackMode(bmOpaque);
        canvas.SetBackColor(color_);
    } else if (color_ != clAutomatic) {
        canvas.SetBrush({color_, bsSolid});
    } else if (brush_.Style != bsSolid) {
        canvas.SetBrush({brush_.Color, brush_.Style});
        canvas.SetBackMode(bmTransparent);
    } else if (brush_.Color == clAutomatic) {
        canvas.SetBrushStyle(bsClear);
    } else {
        canvas.SetBrush({brush_.Color, bsSolid});
    }

    const bool frameVisible = frame_.Visible;
    const int f = frameVisible && frame_.Color != clAutomatic ? frame_.Width : 0;
    const int lines = static_cast<int>(text_.size());
    TRect& plot = chart.PlotRect();
    const int left = plot.Left + f;
    const int right = plot.Right - f;
    const int top = isFoot_ ? plot.Bottom - f - lines * h : plot.Top + f;
    titleRect_ = {left - f, top - f, right + f, top + lines * h + f};

    const int w = canvas.TextWidth("W");
    std::vector<int> widths;
    widths.reserve(text_.size());
    for (const std::string& line : text_)
        widths.push_back(canvas.TextWidth(line));

    if (frameVisible || canvas.Brush().Style != bsClear) {
        if (adjustFrame_) {
            int widest = widths.empty() ? 0 : *std::max_element(widths.begin(), widths.end());
            int width = w + widest;
            if (alignment_ == taLeftJustify) {
                titleRect_.Right = titleRect_.Left + width;
            } else if (alignment_ == taRightJustify) {
                titleRect_.Left = titleRect_.Right - width;
            } else {
                int mid = (left + right) / 2;
                titleRect_.Left = mid - width / 2;
                titleRect_.Right = mid + width / 2;
            }
        }
        canvas.ApplyChartPen(frame_);
        canvas.Rectangle(titleRect_);
    }

    canvas.SetBackMode(bmTransparent);
    canvas.SetTextAlign(taLeft);
    for (int i = 0; i < lines; ++i) {
        int width = widths[static_cast<size_t>(i)];
        int x;
        if (alignment_ == taLeftJustify)
            x = left + w / 2;
        else if (alignment_ == taRightJustify)
            x = right - width - w / 2;
        else
            x = (left + right) / 2 - width / 2;
        canvas.TextOut(x, top + i * h, text_[static_cast<size_t>(i)]);
    }

    if (!isFoot_) {
        int y = lines > 0 ? top + lines * h : top - 5;
        if (frameVisible)
            y += f;
        plot.Top = y + 5;
    } else {
        int y = lines > 0 ? top : plot.Bottom - f + 5;
        if (frameVisible)
            y -= f;
        plot.Bottom = y - 5;
    }
    chart.Adjust();
}
