// Draws the title (top) or the foot (bottom) where the panel's layout put it.
#include "chart/ChartParts.h"
#include "chart/PanelLayout.h"

void TChartTitle::Draw(TChartCanvas3D& canvas, const TitleLayout& layout) const
{
    canvas.SetChartFont(font_);
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
    if (layout.Boxed) {
        canvas.ApplyChartPen(frame_);
        canvas.Rectangle(layout.Box);
    }
    canvas.SetBackMode(bmTransparent);
    canvas.SetTextAlign(taLeft);
    for (size_t i = 0; i < layout.Lines.size(); ++i)
        canvas.TextOut(layout.Lines[i].X, layout.Lines[i].Y, text_[i]);
}
