// Stub: drawing comes with the pie, marks and legend work.
#include "chart/PieSeries.h"

TPoint TCircledSeries::AngleToPoint(double, double, double) const
{
    return {circleXCenter_, circleYCenter_};
}

void TCircledSeries::LayoutCircle() {}
void TCircledSeries::AdjustCircleRect() {}
void TCircledSeries::CalcRadius() {}
void TCircledSeries::MakeRound() {}

void TPieSeries::CalcAngles() { angles_.assign(static_cast<size_t>(Count()), TPieAngle{}); }
void TPieSeries::DrawSlices() {}
void TPieSeries::DrawSlice(int) {}
void TPieSeries::DrawValues() {}
