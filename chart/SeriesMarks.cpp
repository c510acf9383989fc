// Drawing the marks: sizing each mark from its text, asking the series where
// it goes, then the arrow, the box and the text lines.
#include "chart/SeriesMarks.h"

#include <algorithm>

#include "chart/ChartPanel.h"
#include "chart/MarksText.h"
#include "chart/Series.h"

// The marks' font on the canvas, scaled by the view's zoom when text zooms.
static void SetMarksFont(TChartPanel& chart, const TChartFont& font)
{
    TChartCanvas3D& canvas = chart.Canvas();
    TChartFont f = font;
    if (chart.View3D() && canvas.ZoomText()) {
        const double zoom = canvas.ZoomFactor();
        if (f.PixelHeight > 0)
            f.PixelHeight = std::max(1, Rnd(f.PixelHeight * zoom));
        else
            f.Size = std::max(1, Rnd(f.Size * zoom));
    }
    canvas.SetChartFont(f);
}

void TSeriesMarks::DrawAllMarks()
{
    TChartPanel* chart = series_.ParentChart();
    if (!chart || series_.Count() == 0)
        return;
    TChartCanvas3D& canvas = chart->Canvas();
    const int last = series_.LastDisplayedIndex();
    for (int i = std::max(series_.FirstDisplayedIndex(), 0); i <= last; ++i) {
        const TColor colour = series_.PointColor(i);
        if (colour == clNone)
            continue;
        const std::string text = MarkText(i);
        if (text.empty())
            continue;
        SetMarksFont(*chart, font_);

        TSeriesMarkPosition position;
        position.Width = WidestMarkLine(canvas, text) + canvas.TextWidth("W");
        position.Height = MarkLineCount(text) * canvas.FontHeight();
        canvas.ApplyChartPen(frame_);
        if (frame_.Visible) {
            position.Width += 2 * frame_.Width;
            position.Height += 2 * frame_.Width;
        }
        if (series_.PlaceMark(i, position))
            DrawMarkBox(i, colour, text, position);
    }
}

void TSeriesMarks::DrawMarkBox(int index, TColor pointColour, const std::string& text,
                               TSeriesMarkPosition& position)
{
    TChartPanel* chart = series_.ParentChart();
    if (!chart || index < 0)
        return;
    TChartCanvas3D& canvas = chart->Canvas();

    TSeriesMarkPosition& stored = positions_.Ensure(index);
    if (stored.Custom) {
        position = stored;
    } else {
        stored = position;
        stored.Custom = false;
    }

    const bool is3D = chart->View3D();
    if (arrow_.Visible) {
        canvas.ApplyChartPen(arrow_);
        canvas.SetBrushStyle(bsClear);
        const TColor chartColour = canvas.ResolveColour(chart->Color());
        const TColor penColour = canvas.Pen().Color;
        if (penColour == canvas.ResolveColour(pointColour) || penColour == chartColour) {
            TSurfacePen pen = canvas.Pen();
            pen.Color = chartColour == clBlack ? clWhite : clBlack;
            canvas.SetPen(pen);
        }
        if (is3D)
            canvas.LineAtDepth(position.ArrowFrom.X, position.ArrowFrom.Y, position.ArrowTo.X,
                               position.ArrowTo.Y, zPosition_);
        else
            canvas.Line(position.ArrowFrom.X, position.ArrowFrom.Y, position.ArrowTo.X, position.ArrowTo.Y);
    }

    TPoint leftTop = position.LeftTop;
    if (is3D) {
        const TPoint p = canvas.ProjectPoint(position.ArrowTo.X, position.ArrowTo.Y, zPosition_);
        leftTop = {p.X - (position.ArrowTo.X - leftTop.X), p.Y - (position.ArrowTo.Y - leftTop.Y)};
    }

    if (frame_.Visible || !transparent_) {
        canvas.SetBrush({backColor_, transparent_ ? bsClear : bsSolid});
        canvas.ApplyChartPen(frame_);
        canvas.Rectangle({leftTop.X, leftTop.Y, leftTop.X + position.Width, leftTop.Y + position.Height});
        if (frame_.Visible)
            leftTop.Y += frame_.Width;
    }

    canvas.SetBrushStyle(bsClear);
    canvas.SetTextAlign(taCenter);
    const int x = leftTop.X + position.Width / 2;
    const int h = canvas.FontHeight();
    int y = leftTop.Y;
    for (std::string_view line : MarkDrawLines(text)) {
        canvas.TextOut(x, y, line);
        y += h;
    }
    canvas.SetTextAlign(taLeft);
}
