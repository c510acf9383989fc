// Where marks go and how they are drawn: arrows, boxes, texts, stored
// positions.
//
// Bare 400 x 300 chart with marks: the circle is centred at (200, 142) with
// radius 119; marks are 13 pixels per line ("W" 6 wide, 6 per character) and
// stand at depth 12, where a point (x, y) projects to
// (x, 142 + Rnd(c (y - 142) - 4.24)), c = cos 45 degrees.
#include <gtest/gtest.h>

#include "tests/chart/PieTestChart.h"

using namespace pietest;

namespace {

constexpr TColor MarkYellow = 0x80FFFF;

std::vector<TRecord> Boxes(const std::vector<TRecord>& records)
{
    return Select(records, rkRectangle);
}

TEST(MarksPlacement, SingleSliceMarkStandsLeftWithItsBottomAtTheArrowEnd)
{
    TestChart t(400, 300, true);
    t.Values({10});
    const auto& records = t.Draw();
    ASSERT_EQ(t.pie.XRadius(), 119);

    // Middle angle pi: arrow from (81, 142) to (67, 142), both at depth 12.
    const auto lines = Select(records, rkLine);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Points, (std::vector<TPoint>{{81, 138}, {67, 138}}));
    EXPECT_EQ(lines[0].Pen.Color, clWhite);

    // "100 %": 30 + 6 + 2 wide, 13 + 2 high, left of and above (67, 138).
    const auto boxes = Boxes(records);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Rect, (TRect{29, 123, 67, 138}));
    EXPECT_EQ(boxes[0].Brush, (TSurfaceBrush{MarkYellow, bsSolid}));
    EXPECT_EQ(boxes[0].Pen.Color, clBlack);
    EXPECT_EQ(boxes[0].Pen.Style, psSolid);

    const auto texts = Texts(records);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].Text, "100 %");
    EXPECT_EQ(texts[0].Points[0], (TPoint{48, 124}));
    EXPECT_EQ(texts[0].Align, taCenter);
    EXPECT_EQ(texts[0].Font.Color, clBlack);
    EXPECT_EQ(texts[0].Font.Size, 8);

    const TSeriesMarkPosition* stored = t.pie.Marks().Positions().At(0);
    ASSERT_NE(stored, nullptr);
    // Stored as computed, before the move to the projected arrow end.
    EXPECT_EQ(stored->ArrowFrom, (TPoint{81, 142}));
    EXPECT_EQ(stored->ArrowTo, (TPoint{67, 142}));
    EXPECT_EQ(stored->LeftTop, (TPoint{29, 127}));
    EXPECT_EQ(stored->Width, 38);
    EXPECT_EQ(stored->Height, 15);
}

// Middles pi/2 and 3pi/2: arrow ends (200, 2) and (200, 282) lie on the
// centre's vertical, which counts as left.
TEST(MarksPlacement, TwoSlicesAboveAndBelowLeftOfTheirArrowEnds)
{
    TestChart t(400, 300, true);
    t.Values({1, 1});
    const auto& records = t.Draw();
    const auto boxes = Boxes(records);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].Rect, (TRect{168, 24, 200, 39}));    // "50 %" above (200, 39)
    EXPECT_EQ(boxes[1].Rect, (TRect{168, 237, 200, 252}));  // below (200, 237)
    const auto lines = Select(records, rkLine);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].Points[1], (TPoint{200, 39}));
    EXPECT_EQ(lines[1].Points[1], (TPoint{200, 237}));
}

TEST(MarksPlacement, RightAndLowerMarksStandFromTheirArrowEnds)
{
    TestChart t(400, 300, true);
    t.pie.SetRotationAngle(135);  // middle pi turned to 315 degrees: lower right
    t.Values({1});
    const auto& records = t.Draw();
    const TSeriesMarkPosition* p = t.pie.Marks().Positions().At(0);
    ASSERT_NE(p, nullptr);
    ASSERT_GT(p->ArrowTo.X, 200);
    ASSERT_GT(p->ArrowTo.Y, 142);
    EXPECT_EQ(p->LeftTop, p->ArrowTo);
    const auto boxes = Boxes(records);
    ASSERT_EQ(boxes.size(), 1u);
    const auto lines = Select(records, rkLine);
    EXPECT_EQ((TPoint{boxes[0].Rect.Left, boxes[0].Rect.Top}), lines[0].Points[1]);
}

TEST(MarksArrow, ColourRules)
{
    const struct {
        const char* name;
        TColor arrow;
        TColor chartColour;
        TColor expected[6];
    } cases[] = {
        {"white arrows, black on the white fifth slice",
         clWhite,
         clBtnFace,
         {clWhite, clWhite, clWhite, clWhite, clBlack, clWhite}},
        {"arrow as the chart colour turns black",
         clWhite,
         clWhite,
         {clBlack, clBlack, clBlack, clBlack, clBlack, clBlack}},
        {"black chart: white instead",
         clBlack,
         clBlack,
         {clWhite, clWhite, clWhite, clWhite, clWhite, clWhite}},
        {"green arrow on the green slice",
         clGreen,
         clBtnFace,
         {clGreen, clBlack, clGreen, clGreen, clGreen, clGreen}},
    };
    for (const auto& c : cases) {
        TestChart t(600, 600, true);
        TChartPen arrow = t.pie.Marks().Arrow();
        arrow.Color = c.arrow;
        t.pie.Marks().SetArrow(arrow);
        t.chart.SetColor(c.chartColour);
        t.Values({1, 1, 1, 1, 1, 1});
        const auto lines = Select(t.Draw(), rkLine);
        ASSERT_EQ(lines.size(), 6u) << c.name;
        for (size_t i = 0; i < 6; ++i)
            EXPECT_EQ(lines[i].Pen.Color, c.expected[i]) << c.name << " " << i;
    }
}

TEST(MarksArrow, SixteenSlicesOnlyTheFifthBlack)
{
    TestChart t(800, 600, true);
    t.Values(std::vector<double>(16, 1.0));
    const auto lines = Select(t.Draw(), rkLine);
    ASSERT_EQ(lines.size(), 16u);
    for (size_t i = 0; i < 16; ++i)
        EXPECT_EQ(lines[i].Pen.Color, i == 4 ? clBlack : clWhite) << i;
}

TEST(MarksBox, FrameAndTransparency)
{
    const struct {
        bool frame;
        bool transparent;
        bool box;
        TBrushStyle brush;
        TPenStyle pen;
        int textDown;  // text top below the box top
    } cases[] = {
        {true, false, true, bsSolid, psSolid, 1},
        {true, true, true, bsClear, psSolid, 1},
        {false, false, true, bsSolid, psClear, 0},
        {false, true, false, bsClear, psClear, 0},
    };
    for (const auto& c : cases) {
        TestChart t(400, 300, true);
        TChartPen frame = t.pie.Marks().Frame();
        frame.Visible = c.frame;
        t.pie.Marks().SetFrame(frame);
        t.pie.Marks().SetTransparent(c.transparent);
        t.Values({10});
        const auto& records = t.Draw();
        const auto boxes = Boxes(records);
        const auto texts = Texts(records);
        ASSERT_EQ(texts.size(), 1u);
        ASSERT_EQ(boxes.size(), c.box ? 1u : 0u) << c.frame << c.transparent;
        if (!c.box)
            continue;
        EXPECT_EQ(boxes[0].Brush.Style, c.brush);
        EXPECT_EQ(boxes[0].Pen.Style, c.pen);
        EXPECT_EQ(texts[0].Points[0].Y - boxes[0].Rect.Top, c.textDown);
        EXPECT_EQ(texts[0].Points[0].X, boxes[0].Rect.Left + boxes[0].Rect.Width() / 2);
    }
}

TEST(MarksBox, TextCentredLineByLine)
{
    TestChart t(400, 300, true);
    t.pie.Marks().SetStyle(smsLabel);
    t.pie.Add(1, "ab\rcdef");
    const auto& records = t.Draw();
    const auto boxes = Boxes(records);
    ASSERT_EQ(boxes.size(), 1u);
    // Widest line 24 + "W" 6 + frame 2; two lines of 13 + frame 2.
    EXPECT_EQ(boxes[0].Rect.Width(), 32);
    EXPECT_EQ(boxes[0].Rect.Height(), 28);
    const auto texts = Texts(records);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].Text, "ab");
    EXPECT_EQ(texts[1].Text, "cdef");
    const int x = boxes[0].Rect.Left + 16;
    EXPECT_EQ(texts[0].Points[0], (TPoint{x, boxes[0].Rect.Top + 1}));
    EXPECT_EQ(texts[1].Points[0], (TPoint{x, boxes[0].Rect.Top + 14}));
}

TEST(MarksBox, NoMarkForAPointWithoutColour)
{
    TestChart t(400, 300, true);
    t.pie.Add(1, "", clNone);
    t.pie.Add(1);
    const auto& records = t.Draw();
    EXPECT_EQ(Boxes(records).size(), 1u);
    EXPECT_EQ(t.pie.Marks().Positions().At(0), nullptr);
    EXPECT_NE(t.pie.Marks().Positions().At(1), nullptr);
}

TEST(MarksPositions, ClearFreesAndDeleteShifts)
{
    TestChart t(400, 300, true);
    t.Values({1, 2, 3});
    t.Draw();
    auto& positions = t.pie.Marks().Positions();
    ASSERT_EQ(positions.Count(), 3);
    const TSeriesMarkPosition second = *positions.At(1);
    const TSeriesMarkPosition third = *positions.At(2);
    t.pie.Delete(0);
    ASSERT_EQ(positions.Count(), 2);
    EXPECT_EQ(*positions.At(0), second);
    EXPECT_EQ(*positions.At(1), third);
    t.pie.Clear();
    EXPECT_EQ(positions.Count(), 0);
}

TEST(MarksPositions, CustomPositionIsUsedAndKept)
{
    TestChart t(400, 300, true);
    t.Values({10});
    TSeriesMarkPosition& custom = t.pie.Marks().Positions().Ensure(0);
    custom = {{100, 100}, {120, 90}, {120, 70}, 40, 20, true};
    const auto& records = t.Draw();
    const auto boxes = Boxes(records);
    ASSERT_EQ(boxes.size(), 1u);
    // Arrow end (120, 90) at depth 12 projects to (120, 101); the box keeps
    // its offset of 20 above it.
    EXPECT_EQ(boxes[0].Rect, (TRect{120, 81, 160, 101}));
    const auto lines = Select(records, rkLine);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Points[1], (TPoint{120, 101}));
    EXPECT_TRUE(t.pie.Marks().Positions().At(0)->Custom);
    EXPECT_EQ(t.pie.Marks().Positions().At(0)->LeftTop, (TPoint{120, 70}));
}

TEST(MarksPositions, NoMarksWithoutPoints)
{
    TestChart t(400, 300, true);
    const auto& records = t.Draw();
    EXPECT_TRUE(Boxes(records).empty());
    EXPECT_TRUE(Texts(records).empty());
    EXPECT_EQ(t.pie.Marks().Positions().Count(), 0);
}

}  // namespace
