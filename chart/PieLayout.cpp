// Where the round series stands: the circle rectangle from the chart
// rectangle, the marks' room, the physical roundness and the radii.
#include <algorithm>
#include <cmath>

#include "chart/ChartPanel.h"
#include "chart/MarksText.h"
#include "chart/PieLayout.h"
#include "chart/PieSeries.h"

// Floor halving: the same as halving as unsigned for the non-negative sums of
// a drawing, and still the middle for negative coordinates.
static int HalfSum(int a, int b)
{
    return static_cast<int>((static_cast<long long>(a) + b) >> 1);
}

TPoint TCircledSeries::AngleToPoint(double angle, double xRadius, double yRadius) const
{
    const double a = angle + rotation_;
    return {circleXCenter_ + Rnd(std::cos(a) * xRadius), circleYCenter_ - Rnd(std::sin(a) * yRadius)};
}

void TCircledSeries::AdjustCircleRect()
{
    TRect& r = circleRect_;
    if ((r.Right - r.Left) % 2 != 0)
        r.Right -= 1;
    if ((r.Bottom - r.Top) % 2 != 0)
        r.Bottom -= 1;
    if (r.Right - r.Left < 4)
        r.Right = r.Left + 4;
    if (r.Bottom - r.Top < 4)
        r.Bottom = r.Top + 4;
    circleWidth_ = r.Right - r.Left;
    circleHeight_ = r.Bottom - r.Top;
    circleXCenter_ = HalfSum(r.Left, r.Right);
    circleYCenter_ = HalfSum(r.Top, r.Bottom);
}

void TCircledSeries::CalcRadius()
{
    if (customXRadius_ != 0) {
        xRadius_ = customXRadius_;
        circleWidth_ = 2 * customXRadius_;
    } else {
        xRadius_ = circleWidth_ / 2;
    }
    if (customYRadius_ != 0) {
        yRadius_ = customYRadius_;
        circleHeight_ = 2 * customYRadius_;
    } else {
        yRadius_ = circleHeight_ / 2;
    }
    circleRect_ = {circleXCenter_ - xRadius_, circleYCenter_ - yRadius_, circleXCenter_ + xRadius_,
                   circleYCenter_ + yRadius_};
}

// Horizontal over vertical pixel density of the screen. 1 when the physical
// size or the pixel counts are unknown: the pixel counts alone say nothing of
// the pixels' shape.
double ScreenPixelRatio(const TScreenMetrics& m)
{
    if (m.WidthPixels <= 0 || m.HeightPixels <= 0 || m.WidthMm <= 0 || m.HeightMm <= 0)
        return 1.0;
    const double pixels = static_cast<double>(m.WidthPixels) / m.HeightPixels;
    const double mm = static_cast<double>(m.WidthMm) / m.HeightMm;
    return pixels / mm;
}

TColor PieBackColour(const TCircledSeries& series)
{
    TColor back = series.CircleBackColor();
    const TChartPanel* chart = series.ParentChart();
    if (back == clAutomatic && chart)
        back = chart->BackColor();
    if (back == clAutomatic && chart)
        back = chart->Color();
    return back;
}

void TCircledSeries::MakeRound()
{
    TChartPanel* chart = ParentChart();
    const double ratio = ScreenPixelRatio(chart ? chart->Canvas().ScreenMetrics() : TScreenMetrics{});
    CalcRadius();
    const int g = Rnd(yRadius_ * ratio);
    if (g < xRadius_) {
        const int d = xRadius_ - g;
        circleRect_.Left += d;
        circleRect_.Right -= d;
    } else {
        const int d = yRadius_ - Rnd(xRadius_ / ratio);
        circleRect_.Top += d;
        circleRect_.Bottom -= d;
    }
}

void TCircledSeries::LayoutCircle()
{
    TChartPanel* chart = ParentChart();
    if (!chart)
        return;
    circleRect_ = chart->PlotRect();
    AdjustCircleRect();

    const TSeriesMarks& marks = Marks();
    if (marks.Visible()) {
        TChartCanvas3D& canvas = chart->Canvas();
        int m = marks.ArrowLength();
        if (marks.Frame().Visible)
            m += 2 * marks.Frame().Width;
        canvas.SetChartFont(marks.Font());
        const int fontHeight = canvas.FontHeight();
        circleRect_.Top += m + fontHeight;
        circleRect_.Bottom -= m + fontHeight;
        const int w = canvas.TextWidth("W") + WidestMark(*chart, canvas) + m;
        circleRect_.Left += w;
        circleRect_.Right -= w;
        AdjustCircleRect();
    }

    if (circled_) {
        MakeRound();
        AdjustCircleRect();
    }
    CalcRadius();
}
