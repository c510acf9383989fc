// Drawing the legend: shadow, framed box, items, colour boxes, dividing lines.
//
// Same chart as the layout tests: three labels "a", "bb", "ccc" give the box
// (178, 265, 282, 280), texts from x0 = 190 every 30 pixels, colour boxes 4
// wide.
#include <gtest/gtest.h>

#include "tests/chart/PieTestChart.h"

using namespace pietest;

namespace {

// Texts of the legend: left-aligned in the 8-point font (marks are centred,
// the title has a pixel height).
std::vector<TRecord> LegendTexts(const std::vector<TRecord>& records)
{
    std::vector<TRecord> out;
    for (const TRecord& r : Texts(records))
        if (r.Align == taLeft && r.Font.PixelHeight == 0 && r.Font.Size == 8)
            out.push_back(r);
    return out;
}

std::vector<TRecord> RectanglesIn(const std::vector<TRecord>& records, TRecordKind kind, const TRect& within)
{
    std::vector<TRecord> out;
    for (const TRecord& r : Select(records, kind))
        if (r.Rect.Left >= within.Left && r.Rect.Right <= within.Right && r.Rect.Top >= within.Top
            && r.Rect.Bottom <= within.Bottom)
            out.push_back(r);
    return out;
}

TEST(LegendDrawing, ShadowBoxColourBoxesAndTexts)
{
    TestChart t;
    t.Labels({"a", "bb", "ccc"});
    const auto& records = t.Draw();

    // Black shadow from 3 pixels in to 4 beyond the box, then the white box
    // enlarged by the 1-pixel black frame.
    const auto fills = RectanglesIn(records, rkFillRect, {170, 260, 300, 290});
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].Rect, (TRect{181, 268, 286, 284}));
    EXPECT_EQ(fills[0].Brush, (TSurfaceBrush{clBlack, bsSolid}));

    const auto boxes = RectanglesIn(records, rkRectangle, {170, 260, 300, 290});
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].Rect, (TRect{177, 264, 283, 281}));
    EXPECT_EQ(boxes[0].Brush, (TSurfaceBrush{clWhite, bsSolid}));
    EXPECT_EQ(boxes[0].Pen, (TSurfacePen{clBlack, 1, psSolid, false}));

    const TColor colours[] = {clRed, clGreen, clYellow};
    const auto texts = LegendTexts(records);
    ASSERT_EQ(texts.size(), 3u);
    const char* labels[] = {"a", "bb", "ccc"};
    for (int i = 0; i < 3; ++i) {
        const auto& text = texts[static_cast<size_t>(i)];
        EXPECT_EQ(text.Text, labels[i]);
        EXPECT_EQ(text.Points[0], (TPoint{190 + 30 * i, 266}));
        EXPECT_EQ(text.Brush.Style, bsClear);
        EXPECT_EQ(text.BackMode, bmTransparent);
        const auto& box = boxes[static_cast<size_t>(i) + 1];
        EXPECT_EQ(box.Rect, (TRect{182 + 30 * i, 268, 186 + 30 * i, 277}));
        EXPECT_EQ(box.Brush, (TSurfaceBrush{colours[i], bsSolid}));
        EXPECT_EQ(box.Pen, (TSurfacePen{clBlack, 1, psSolid, false}));
    }
}

TEST(LegendDrawing, HiddenFrameAndNoShadow)
{
    const struct {
        bool frame;
        int shadow;
        TRect box;
        TRect shadowRect;  // empty: none
        TPenStyle pen;
    } cases[] = {
        {false, 3, {178, 267, 282, 282}, {181, 270, 284, 284}, psClear},
        {true, 0, {180, 267, 280, 284}, {}, psSolid},  // w 98, offset 30
    };
    for (const auto& c : cases) {
        TestChart t;
        TChartPen frame = t.chart.Legend().Frame();
        frame.Visible = c.frame;
        t.chart.Legend().SetFrame(frame);
        t.chart.Legend().SetShadowSize(c.shadow);
        t.Labels({"a", "bb", "ccc"});
        const auto& records = t.Draw();
        const auto boxes = RectanglesIn(records, rkRectangle, {170, 255, 300, 290});
        ASSERT_EQ(boxes.size(), 4u) << c.frame;
        EXPECT_EQ(boxes[0].Rect, c.box) << c.frame;
        EXPECT_EQ(boxes[0].Pen.Style, c.pen) << c.frame;
        const auto fills = RectanglesIn(records, rkFillRect, {170, 255, 300, 290});
        if (c.shadowRect == TRect{}) {
            EXPECT_TRUE(fills.empty());
        } else {
            ASSERT_EQ(fills.size(), 1u);
            EXPECT_EQ(fills[0].Rect, c.shadowRect);
        }
    }
}

TEST(LegendDrawing, MoreItemsThanTenRowsHold)
{
    TestChart t;
    t.pie.Marks().SetVisible(false);
    std::vector<std::string> labels;
    for (int i = 0; i < 12; ++i)
        labels.push_back(std::string(49, 'x') + static_cast<char>('a' + i));
    t.Labels(labels);
    const auto& records = t.Draw();
    EXPECT_EQ(t.chart.Layout().Legend.Columns, 1);
    EXPECT_EQ(t.chart.Layout().Legend.Rows, 10);
    const auto texts = LegendTexts(records);
    ASSERT_EQ(texts.size(), 10u);
    for (size_t i = 0; i < 10; ++i)
        EXPECT_EQ(texts[i].Text, labels[i]);
    // The pie still shows every slice.
    int faces = 0;
    for (const TRecord& p : SolidPolygons(records))
        faces += p.Points.size() == 33;
    EXPECT_EQ(faces, 12);
}

TEST(LegendDrawing, LineSeparatorShownOnOneLine)
{
    TestChart t;
    t.Labels({"ab\rcd"});
    const auto texts = LegendTexts(t.Draw());
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].Text, "ab cd");
}

// 25-character labels in two columns, three rows: texts at x 44 and 233,
// rows from 240.
TEST(LegendDrawing, SlotsInvertedAndFirstValue)
{
    const struct {
        bool inverted;
        int firstValue;
        std::vector<char> order;
    } cases[] = {
        {false, 0, {'a', 'b', 'c', 'd', 'e'}},
        {true, 0, {'e', 'd', 'c', 'b', 'a'}},
        {false, 2, {'c', 'd', 'e'}},
    };
    const TPoint slots[] = {{44, 240}, {233, 240}, {44, 253}, {233, 253}, {44, 266}};
    for (const auto& c : cases) {
        TestChart t;
        t.chart.Legend().SetInverted(c.inverted);
        t.chart.Legend().SetFirstValue(c.firstValue);
        t.chart.Legend().SetMaxNumRows(3);
        std::vector<std::string> labels;
        for (char ch = 'a'; ch <= 'e'; ++ch)
            labels.push_back(std::string(24, 'x') + ch);
        t.Labels(labels);
        const auto texts = LegendTexts(t.Draw());
        ASSERT_EQ(texts.size(), c.order.size());
        const int rowsShift = (3 - (static_cast<int>(c.order.size()) + 1) / 2) * 13;  // fewer rows: box lower
        for (size_t p = 0; p < c.order.size(); ++p) {
            EXPECT_EQ(texts[p].Text.back(), c.order[p]) << c.inverted << c.firstValue;
            EXPECT_EQ(texts[p].Points[0], (TPoint{slots[p].X, slots[p].Y + rowsShift})) << p;
        }
    }
}

TEST(LegendDrawing, DividingLinesFromTheSecondSlot)
{
    TestChart t;
    TChartPen pen;
    pen.Color = clPurple;
    t.chart.Legend().SetDividingLines(pen);
    std::vector<std::string> labels;
    for (char ch = 'a'; ch <= 'e'; ++ch)
        labels.push_back(std::string(24, 'x') + ch);
    t.Labels(labels);
    std::vector<TRecord> lines;
    for (const TRecord& r : Select(t.Draw(), rkLine))
        if (r.Pen.Color == clPurple)
            lines.push_back(r);
    // Slots 1..4: x = colour box left - 4 = text x - 39, box top 239 to 280.
    const int xs[] = {194, 5, 194, 5};
    ASSERT_EQ(lines.size(), 4u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(lines[i].Points, (std::vector<TPoint>{{xs[i], 239}, {xs[i], 280}})) << i;
}

TEST(LegendDrawing, BoxInTheLegendColourIsOutlinedAgain)
{
    TestChart t;
    t.Labels({"r", "g", "y", "b", "w"});
    const auto& records = t.Draw();
    // The fifth item is white like the legend: its box once solid, once clear.
    const TRect white = t.chart.Layout().Legend.Rect;
    int solidWhite = 0, outlines = 0;
    for (const TRecord& r : RectanglesIn(records, rkRectangle, white)) {
        if (r.Brush == TSurfaceBrush{clWhite, bsSolid})
            ++solidWhite;
        if (r.Brush.Style == bsClear)
            ++outlines;
    }
    EXPECT_EQ(solidWhite, 1);
    EXPECT_EQ(outlines, 1);

    // On a black legend the colour boxes are outlined in white.
    TestChart dark;
    dark.chart.Legend().SetColor(clBlack);
    dark.Labels({"r"});
    const auto boxes = RectanglesIn(dark.Draw(), rkRectangle, dark.chart.Layout().Legend.Rect);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Pen.Color, clWhite);
}

TEST(LegendDrawing, EmptyLabelGetsNeitherTextNorBox)
{
    TestChart t;
    t.Labels({"a", "", "ccc"});
    const auto& records = t.Draw();
    EXPECT_EQ(LegendTexts(records).size(), 2u);
    EXPECT_EQ(RectanglesIn(records, rkRectangle, t.chart.Layout().Legend.Rect).size(), 2u);
}

}  // namespace
