// The pie's slices: their angles, the explode offsets and the drawing order.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <numeric>

#include "chart/ChartPanel.h"
#include "chart/PieLayout.h"
#include "chart/PieSeries.h"

namespace {

constexpr double TwoPi = 6.283185307179586;

// Distance of angle from a, folded into 0..pi.
double AngularDistance(double angle, double a)
{
    double d = std::fmod(std::fabs(angle - a), TwoPi);
    return d > std::numbers::pi ? TwoPi - d : d;
}

}  // namespace

void TPieSeries::CalcAngles()
{
    const int n = Count();
    angles_.assign(static_cast<size_t>(n), TPieAngle{});
    const double total = PieValues().AbsoluteTotal();
    double sum = 0;
    double start = 0;
    for (int i = 0; i < n; ++i) {
        TPieAngle& a = angles_[static_cast<size_t>(i)];
        a.StartAngle = start;
        if (total == 0) {
            a.EndAngle = TwoPi;
        } else {
            if (!IsOtherMember(i))
                sum += std::fabs(PieValues().ValueAt(i));
            a.EndAngle = sum == total ? TwoPi : sum * (TwoPi / total);
            if (a.EndAngle - a.StartAngle > TwoPi)
                a.EndAngle = a.StartAngle + TwoPi;
        }
        a.MidAngle = (a.StartAngle + a.EndAngle) * 0.5;
        start = a.EndAngle;
    }
}

// Offset of an exploded slice: (dx, dy) with dy upwards; (0, 0) when not.
static TPoint ExplodeOffset(const TPieSeries& pie, int index)
{
    const int e = pie.ExplodedSlice(index);
    if (e <= 0 || static_cast<size_t>(index) >= pie.Angles().size())
        return {0, 0};
    const double angle = pie.Angles()[static_cast<size_t>(index)].MidAngle + pie.Rotation();
    return {Rnd(std::cos(angle) * pie.XRadius() * e * 0.01), Rnd(std::sin(angle) * e * 0.01 * pie.YRadius())};
}

void TPieSeries::DrawSlices()
{
    const int n = Count();
    if (explodeBiggest_ > 0 && n > 0) {
        const double biggest = PieValues().Maximum();
        for (int i = 0; i < n; ++i) {
            if (PieValues().ValueAt(i) == biggest) {
                SetExplodedSlice(i, explodeBiggest_);
                break;
            }
        }
    }

    CalcAngles();

    int largest = -1;
    for (int i = 0; i < n; ++i)
        if (ExplodedSlice(i) > 0 && (largest < 0 || ExplodedSlice(i) > ExplodedSlice(largest)))
            largest = i;
    exploded_ = largest >= 0;
    if (exploded_) {
        const TPoint off = ExplodeOffset(*this, largest);
        const int dx = std::abs(off.X) / 2;
        const int dy = std::abs(off.Y) / 2;
        circleRect_.Left += dx;
        circleRect_.Right -= dx;
        circleRect_.Top += dy;
        circleRect_.Bottom -= dy;
        AdjustCircleRect();
        CalcRadius();
    }

    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    TChartPanel* chart = ParentChart();
    if (exploded_ && chart && chart->Canvas().Is3D()) {
        const double rot = Rotation();
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const double da = AngularDistance(angles_[static_cast<size_t>(a)].MidAngle + rot,
                                              std::numbers::pi / 2);
            const double db = AngularDistance(angles_[static_cast<size_t>(b)].MidAngle + rot,
                                              std::numbers::pi / 2);
            return da < db;
        });
    }
    for (int i : order)
        DrawSlice(i);
}

void TPieSeries::DrawSlice(int index)
{
    TChartPanel* chart = ParentChart();
    if (!chart || circleWidth_ < 5 || circleHeight_ < 5 || IsOtherMember(index))
        return;
    if (static_cast<size_t>(index) >= angles_.size())
        return;

    const TColor back = PieBackColour(*this);

    static constexpr TBrushStyle hatches[] = {bsHorizontal, bsVertical, bsFDiagonal,
                                              bsBDiagonal,  bsCross,    bsDiagCross};
    const TBrushStyle style = usePatterns_ ? hatches[index % 6] : bsSolid;
    chart->SetShapeBrush(PointColor(index), style, back);

    TChartCanvas3D& canvas = chart->Canvas();
    canvas.ApplyChartPen(piePen_);

    const TPoint off = ExplodeOffset(*this, index);
    const TPieAngle& a = angles_[static_cast<size_t>(index)];
    canvas.DrawPieSlice(circleXCenter_ + off.X, circleYCenter_ - off.Y, xRadius_, yRadius_, StartZ(), EndZ(),
                        a.StartAngle + Rotation(), a.EndAngle + Rotation(), dark3D_, exploded_);
}

void TPieSeries::DrawValues()
{
    if (!ParentChart())
        return;
    LayoutCircle();
    DrawSlices();
}
