// Gradient background: at most 256 solid bands from the first colour at the
// bottom (or right) edge to the second at the top (or left) edge.
#include <algorithm>
#include <utility>

#include "chart/Canvas3D.h"

void TChartCanvas3D::FillGradient(const TRect& rect, TColor first, TColor second,
                                  TGradientDirection direction)
{
    TRect r = rect;
    if (r.Left > r.Right)
        std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom)
        std::swap(r.Top, r.Bottom);
    TSurfaceBrush saved = brush_;
    TColor c1 = ResolveColour(first);
    TColor c2 = ResolveColour(second);

    // The gradients from the centre or a corner are not drawn; a flat fill
    // in the first colour stands for them.
    if (direction != gdTopBottom && direction != gdBottomTop && direction != gdLeftRight
        && direction != gdRightLeft) {
        SetBrush({c1, bsSolid});
        FillRect(r);
        SetBrush(saved);
        return;
    }

    bool vertical = direction == gdTopBottom || direction == gdBottomTop;
    int extent = vertical ? r.Height() : r.Width();
    int n = std::min(extent, 256);
    int dr = RedOf(c2) - RedOf(c1);
    int dg = GreenOf(c2) - GreenOf(c1);
    int db = BlueOf(c2) - BlueOf(c1);
    bool haveBrush = false;
    TColor current = 0;
    for (int i = 0; i < n; ++i) {
        TColor colour = c1;
        if (n > 1)
            colour = RGBColour(RedOf(c1) + MulDiv(i, dr, n - 1), GreenOf(c1) + MulDiv(i, dg, n - 1),
                               BlueOf(c1) + MulDiv(i, db, n - 1));
        if (!haveBrush || colour != current) {
            SetBrush({colour, bsSolid});
            current = colour;
            haveBrush = true;
        }
        int from = MulDiv(i, extent, n);
        int to = MulDiv(i + 1, extent, n);
        if (vertical)
            FillRect({r.Left, r.Bottom - to, r.Right, r.Bottom - from});
        else
            FillRect({r.Right - to, r.Top, r.Right - from, r.Bottom});
    }
    SetBrush(saved);
}
