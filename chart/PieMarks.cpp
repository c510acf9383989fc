// Where a pie slice's mark goes: an arrow outward along the slice's middle
// angle, the box beside the arrow's end on the side away from the centre.
#include "chart/ChartPanel.h"
#include "chart/PieSeries.h"

bool TPieSeries::PlaceMark(int index, TSeriesMarkPosition& position)
{
    TChartPanel* chart = ParentChart();
    if (!chart || IsOtherMember(index) || index < 0 || static_cast<size_t>(index) >= angles_.size())
        return false;
    TChartCanvas3D& canvas = chart->Canvas();

    const double e = ExplodedSlice(index) * 0.01;
    const int xr = Rnd(xRadius_ * (1 + e));
    const int yr = Rnd((1 + e) * yRadius_);
    const double mid = angles_[static_cast<size_t>(index)].MidAngle;
    const int arrow = Marks().ArrowLength();

    // The marks' font is the canvas font here (set by DrawAllMarks).
    position.ArrowTo = AngleToPoint(mid, xr + canvas.TextWidth("W") + arrow,
                                    yr + canvas.FontHeight() + arrow);
    position.ArrowFrom = AngleToPoint(mid, xr, yr);
    position.LeftTop.X = position.ArrowTo.X > circleXCenter_ ? position.ArrowTo.X
                                                             : position.ArrowTo.X - position.Width;
    position.LeftTop.Y = position.ArrowTo.Y > circleYCenter_ ? position.ArrowTo.Y
                                                             : position.ArrowTo.Y - position.Height;
    Marks().SetZPosition(EndZ());
    return true;
}
