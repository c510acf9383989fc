// Projection of chart space onto the window, and the view's rotation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "chart/Canvas3D.h"
#include "RecordingSurface.h"
#include "chart/View3DOptions.h"

namespace {

// A canvas drawing into a 400 x 300 recording window, view centre in the
// middle of the chart rectangle (0, 0, 400, 300), depth 20.
struct Projector {
    TRecordingSurface window{400, 300};
    TView3DOptions options;
    TChartCanvas3D canvas;

    void Begin(bool is3D = true, int depth = 20)
    {
        canvas.BeginDraw(window, &options, {0, 0, 400, 300}, is3D);
        canvas.SetViewCentre(depth, {0, 0, 400, 300});
    }
    void ProgramView()
    {
        options.SetOrthogonal(false);
        options.SetElevation(315);
        options.SetRotation(360);
        options.SetPerspective(0);
        options.SetTilt(0);
    }
};

TEST(Projection, ProgramViewSquashesCircleToSeventyOnePercent)
{
    Projector p;
    p.ProgramView();
    p.Begin();
    int minX = 1 << 30, maxX = -(1 << 30), minY = minX, maxY = maxX;
    for (int k = 0; k < 360; ++k) {
        double a = k * M_PI / 180;
        int x = 200 + static_cast<int>(std::lround(100 * std::cos(a)));
        int y = 150 - static_cast<int>(std::lround(100 * std::sin(a)));
        TPoint q = p.canvas.ProjectPoint(x, y, p.canvas.OriginZ());
        minX = std::min(minX, q.X);
        maxX = std::max(maxX, q.X);
        minY = std::min(minY, q.Y);
        maxY = std::max(maxY, q.Y);
    }
    EXPECT_EQ(maxX - minX, 200);
    EXPECT_GE(maxY - minY, 141);
    EXPECT_LE(maxY - minY, 142);
}

TEST(Projection, ProgramViewKeepsXAndRaisesDeeperPoints)
{
    Projector p;
    p.ProgramView();
    p.Begin(true, 20);
    struct {
        int x, y, z;
        TPoint expected;
    } cases[] = {
        {200, 150, 10, {200, 150}},                                       // the origin
        {250, 150, 10, {250, 150}},                                       // x unchanged
        {200, 250, 10, {200, 150 + 71}},                                  // Rnd(0.7071 * 100)
        {200, 150, 20, {200, 150 - 7}},                                   // Rnd(-0.7071 * 10)
        {200, 150, 0, {200, 150 + 7}},   {137, 160, 30, {137, 150 - 7}},  // Rnd(0.7071 * (10 - 20)) = -7
    };
    for (auto c : cases)
        EXPECT_EQ(p.canvas.ProjectPoint(c.x, c.y, c.z), c.expected) << c.x << "," << c.y << "," << c.z;
}

TEST(Projection, RotationThreeSixtyEqualsZero)
{
    Projector a, b;
    a.ProgramView();
    b.ProgramView();
    b.options.SetRotation(0);
    for (int elevation : {315, 345, 300}) {
        a.options.SetElevation(elevation);
        b.options.SetElevation(elevation);
        a.Begin();
        b.Begin();
        for (int x = -50; x <= 450; x += 37)
            for (int y = -20; y <= 320; y += 29)
                for (int z = 0; z <= 40; z += 13)
                    ASSERT_EQ(a.canvas.ProjectPoint(x, y, z), b.canvas.ProjectPoint(x, y, z))
                        << elevation << ": " << x << "," << y << "," << z;
    }
}

TEST(Projection, OrthogonalDepthMovesRightAndUpTimesZoom)
{
    struct {
        int zoom;
        int z;
        int dx, dy;
    } cases[] = {
        {100, 10, 10, -10}, {100, 0, 0, 0}, {200, 10, 20, -20}, {50, 10, 5, -5}, {50, 20, 10, -10},
    };
    for (auto c : cases) {
        Projector p;
        p.options.SetOrthogonal(true);
        p.options.SetZoom(c.zoom);
        p.Begin();
        TPoint flat = p.canvas.ProjectPoint(230, 170, 0);
        TPoint deep = p.canvas.ProjectPoint(230, 170, c.z);
        EXPECT_EQ(deep.X - flat.X, c.dx) << c.zoom << "/" << c.z;
        EXPECT_EQ(deep.Y - flat.Y, c.dy) << c.zoom << "/" << c.z;
    }
}

TEST(Projection, FlatWhenNot3DOrDepthSuspended)
{
    Projector p;
    p.ProgramView();
    p.Begin(false);
    EXPECT_EQ(p.canvas.ProjectPoint(13, 17, 50), (TPoint{13, 17}));
    Projector q;
    q.ProgramView();
    q.Begin(true);
    q.canvas.SuspendDepth();
    EXPECT_EQ(q.canvas.ProjectPoint(13, 17, 50), (TPoint{13, 17}));
    q.canvas.ResumeDepth();
    EXPECT_NE(q.canvas.ProjectPoint(13, 17, 50), (TPoint{13, 17}));
}

TEST(Projection, ViewCentreHalvesTowardZeroAndAddsOffsets)
{
    TRecordingSurface window(100, 100);
    TView3DOptions options;
    options.SetHorizOffset(4);
    options.SetVertOffset(-6);
    options.SetPerspective(35);
    TChartCanvas3D canvas;
    canvas.BeginDraw(window, &options, {0, 0, 100, 100}, true);
    canvas.SetViewCentre(-7, {-5, -3, 2, 0});
    EXPECT_EQ(canvas.OriginX(), -1);  // -3 / 2
    EXPECT_EQ(canvas.OriginY(), -1);
    EXPECT_EQ(canvas.OriginZ(), -3);
    EXPECT_EQ(canvas.ScreenX(), 3);
    EXPECT_EQ(canvas.ScreenY(), -7);
    EXPECT_DOUBLE_EQ(canvas.PerspectiveFactor(), 0.001);
}

TEST(Projection, NegativeCoefficientsClampToTinyPositive)
{
    // Elevation 90: cos = 0, so y from dy is clamped to 0.00001 and a point
    // below the centre stays at the centre's row.
    Projector p;
    p.options.SetOrthogonal(false);
    p.options.SetElevation(90);
    p.options.SetRotation(0);
    p.options.SetPerspective(0);
    p.Begin(true, 0);
    EXPECT_EQ(p.canvas.ProjectPoint(200, 250, 0).Y, 150);
    // Rotation 180: cos = -1, x from dx clamped; every x collapses.
    Projector q;
    q.options.SetOrthogonal(false);
    q.options.SetElevation(0);
    q.options.SetRotation(180);
    q.options.SetPerspective(0);
    q.Begin(true, 0);
    EXPECT_EQ(q.canvas.ProjectPoint(300, 150, 0).X, 200);
}

TEST(ViewOptions, NotificationsOrderAndEquality)
{
    struct Sink : TChangeSink {
        std::vector<std::string>* log;
        void Changed() override { log->push_back("repaint"); }
    } sink;
    std::vector<std::string> log;
    sink.log = &log;
    TView3DOptions v(&sink);
    v.OnScrolled = [&](bool h) { log.push_back(h ? "scrolled h" : "scrolled v"); };
    v.OnChangedZoom = [&](int z) {
        log.push_back("zoom " + std::to_string(z) + " was " + std::to_string(v.Zoom()));
    };
    v.SetHorizOffset(3);
    v.SetVertOffset(2);
    v.SetZoom(150);
    v.SetZoom(150);
    v.SetHorizOffset(3);
    std::vector<std::string> expected = {"repaint",    "scrolled h",       "repaint",
                                         "scrolled v", "zoom 150 was 100", "repaint"};
    EXPECT_EQ(log, expected);
}

}  // namespace
