// The canvas' slice primitive: a 3-D pie slice as its face, the bands of its
// rim that face the viewer, and (for exploded slices) its radial side walls.
#include <array>
#include <cmath>

#include "chart/Canvas3D.h"

namespace {

constexpr int ArcPoints = 32;
constexpr int DarkenAmount = 32;

}  // namespace

void TChartCanvas3D::DrawPieSlice(int xCenter, int yCenter, int xRadius, int yRadius, int z0, int z1,
                                  double startAngle, double endAngle, bool darken, bool sideWalls)
{
    // P[k]: arc point k at the face depth z1; Q[k]: the same at z0. P[0] is
    // the face centre. Indices 1..32 as in the arc.
    std::array<TPoint, ArcPoints + 1> P;
    std::array<TPoint, ArcPoints + 1> Q;
    const double step = (endAngle - startAngle) / (ArcPoints - 1);
    P[0] = ProjectPoint(xCenter, yCenter, z1);
    double a = startAngle;
    for (int k = 1; k <= ArcPoints; ++k) {
        const int x = xCenter + Rnd(xRadius * std::cos(a));
        const int y = yCenter - Rnd(yRadius * std::sin(a));
        P[k] = ProjectPoint(x, y, z1);
        Q[k] = ProjectPoint(x, y, z0);
        a += step;
    }

    // The fill colour lives in the brush when solid, else behind the hatch.
    const bool solid = brush_.Style == bsSolid;
    const TColor face = solid ? brush_.Color : backColor_;
    auto setFill = [&](TColor c) {
        if (solid)
            SetBrushColor(c);
        else
            SetBackColor(c);
    };
    const TColor sideColour = darken ? DarkenColour(face, DarkenAmount) : face;

    if (sideWalls) {
        const TPoint back = ProjectPoint(xCenter, yCenter, z0);
        setFill(sideColour);
        if (P[ArcPoints].X < xCenter) {
            const std::array<TPoint, 4> wall = {P[0], P[ArcPoints], Q[ArcPoints], back};
            Polygon(wall);
        }
        if (P[1].X > xCenter) {
            const std::array<TPoint, 4> wall = {P[0], P[1], Q[1], back};
            Polygon(wall);
        }
    }

    setFill(face);
    Polygon(std::span<const TPoint>(P.data(), P.size()));

    // The rim: bands of the arc along which the projected x grows.
    int k = 2;
    while (k <= ArcPoints && P[k].X <= P[k - 1].X)
        ++k;
    if (k > ArcPoints)
        return;
    const int first = k - 1;
    int last = -1;
    for (int j = k + 1; j <= ArcPoints - 1; ++j) {
        if (P[j + 1].X < P[j].X) {
            last = j;
            break;
        }
    }
    if (last < 0 && P[ArcPoints].X >= P[ArcPoints - 1].X)
        last = ArcPoints;

    std::array<TPoint, 2 * ArcPoints> band;
    auto drawBand = [&](int from, int to) {
        size_t n = 0;
        for (int i = from; i <= to; ++i)
            band[n++] = P[i];
        for (int i = to; i >= from; --i)
            band[n++] = Q[i];
        setFill(sideColour);
        Polygon(std::span<const TPoint>(band.data(), n));
    };

    if (last < 0)
        return;
    drawBand(first, last);
    if (last < ArcPoints && P[ArcPoints].X > P[ArcPoints - 1].X) {
        int j = ArcPoints - 1;
        while (j > 1 && P[j].X > P[j - 1].X)
            --j;
        if (j > 1)
            drawBand(j, ArcPoints);
    }
}
