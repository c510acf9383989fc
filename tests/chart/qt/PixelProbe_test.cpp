// Pixels of the real drawing: the composition chart painted with QPainter into
// an image of the designed panel size, probed where the layout says the pie,
// its rim, the marks, the legend and the gradient lie.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <cmath>
#include <numbers>
#include <optional>

#include "PieChartDesign.h"
#include "chart/qt/QtSurface.h"

namespace {

QApplication& App()
{
    static int argc = 1;
    static char name[] = "chart_qt_tests";
    static char* argv[] = {name, nullptr};
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return *existing;
    static QApplication app(argc, argv);
    return app;
}

struct Rgb {
    int r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

std::ostream& operator<<(std::ostream& os, const Rgb& c)
{
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

class PixelProbe : public ::testing::Test {
protected:
    static constexpr int Width = 472;
    static constexpr int Height = 420;

    void SetUp() override
    {
        App();
        pie_ = &SetUpPieChart(chart_);
        chart_.Title().SetText({"C:\\Data\\Projects"});
        const char* labels[] = {"video", "photos", "music", "docs", "Other"};
        const double values[] = {600, 200, 100, 60, 40};  // red runs 0..216 degrees
        for (int i = 0; i < 5; ++i)
            pie_->Add(values[i], labels[i]);
        window_.emplace(Width, Height);
        chart_.Draw(*window_, {0, 0, Width, Height});
    }

    Rgb At(int x, int y) const
    {
        const QColor c = window_->Image()->pixelColor(x, y);
        return {c.red(), c.green(), c.blue()};
    }
    Rgb At(TPoint p) const { return At(p.X, p.Y); }

    // A point of the pie at angle (radians) and the fraction of the radii,
    // projected at depth z.
    TPoint PiePoint(double angle, double fraction, int z)
    {
        const TPoint p = pie_->AngleToPoint(angle, pie_->XRadius() * fraction, pie_->YRadius() * fraction);
        return chart_.Canvas().ProjectPoint(p.X, p.Y, z);
    }

    TChartPanel chart_{nullptr};
    TPieSeries* pie_ = nullptr;
    std::optional<TQtSurface> window_;
};

TEST_F(PixelProbe, FirstSliceFaceIsPureRed)
{
    const double mid = pie_->Angles()[0].MidAngle;
    for (double f : {0.3, 0.6, 0.9})
        EXPECT_EQ(At(PiePoint(mid, f, pie_->EndZ())), (Rgb{255, 0, 0})) << f;
}

TEST_F(PixelProbe, FirstSliceRimIsDarkRed)
{
    // 200 degrees: the front left, inside the red slice. Halfway between the
    // face's outline and the rim's lower edge.
    const double angle = 200 * std::numbers::pi / 180;
    const TPoint top = PiePoint(angle, 1.0, pie_->EndZ());
    const TPoint bottom = PiePoint(angle, 1.0, pie_->StartZ());
    ASSERT_GE(bottom.Y - top.Y, 6);
    EXPECT_EQ(At(top.X + 1, (top.Y + bottom.Y) / 2), (Rgb{223, 0, 0}));
}

TEST_F(PixelProbe, GradientTopAndBottomWhereNothingCovers)
{
    // Rows 0 and 1 (and 418, 419) carry the bevels; the next rows show the
    // outermost bands' colours.
    EXPECT_EQ(At(10, 2), (Rgb{255, 223, 223}));
    EXPECT_EQ(At(Width - 10, 2), (Rgb{255, 223, 223}));
    EXPECT_EQ(At(10, Height - 3), (Rgb{128, 128, 255}));
    EXPECT_EQ(At(Width - 10, Height - 3), (Rgb{128, 128, 255}));
}

TEST_F(PixelProbe, LegendWhiteBoxBlackFrameAndShadow)
{
    const TRect r = chart_.Layout().Legend.Rect;
    ASSERT_GT(r.Width(), 0);
    const int midY = (r.Top + r.Bottom) / 2;
    EXPECT_EQ(At(r.Right - 3, r.Top + 2), (Rgb{255, 255, 255}));
    EXPECT_EQ(At(r.Left + 1, midY), (Rgb{255, 255, 255}));
    EXPECT_EQ(At(r.Right, midY), (Rgb{0, 0, 0}));  // frame
    EXPECT_EQ(At(r.Left - 1, midY), (Rgb{0, 0, 0}));
    for (int d = 1; d <= 3; ++d) {
        EXPECT_EQ(At(r.Right + d, midY), (Rgb{0, 0, 0})) << d;                     // shadow right
        EXPECT_EQ(At((r.Left + r.Right) / 2, r.Bottom + d), (Rgb{0, 0, 0})) << d;  // and below
    }
    // The shadow starts 3 pixels in; beyond it, the gradient.
    EXPECT_NE(At(r.Left + 1, r.Bottom + 2), (Rgb{0, 0, 0}));
    EXPECT_NE(At(r.Right + 4, midY), (Rgb{0, 0, 0}));
}

TEST_F(PixelProbe, LegendColourBoxesInSliceColours)
{
    const TRect r = chart_.Layout().Legend.Rect;
    const int c = chart_.Layout().Legend.ColorWidth;
    ASSERT_GE(c, 3);
    // First item's box: from left + 4 across, 2 below the text top.
    const Rgb red = At(r.Left + 4 + c / 2, r.Top + 1 + 6);
    EXPECT_EQ(red, (Rgb{255, 0, 0}));
}

TEST_F(PixelProbe, MarkBoxIsPaleYellow)
{
    const TSeriesMarkPosition* p = pie_->Marks().Positions().At(0);
    ASSERT_NE(p, nullptr);
    const TPoint end = chart_.Canvas().ProjectPoint(p->ArrowTo.X, p->ArrowTo.Y, pie_->EndZ());
    const int left = end.X - (p->ArrowTo.X - p->LeftTop.X);
    const int top = end.Y - (p->ArrowTo.Y - p->LeftTop.Y);
    EXPECT_EQ(At(left + 2, top + p->Height / 2), (Rgb{255, 255, 128}));
    EXPECT_EQ(At(left, top + p->Height / 2), (Rgb{0, 0, 0}));  // frame
}

}  // namespace
