// The round series and the pie. Data side: the "Pie" value list, the other
// slice settings, PrepareSlices and joining a chart. Drawing side: the circle
// layout, the slice angles and the slices.
//
// Protocol: as TChartSeries. The pie's DrawValues() runs LayoutCircle() then
// DrawSlices(); the circle, radii and angles it computes stay readable until
// the next drawing (the marks use them through AngleToPoint and Angles()).
#pragma once

#include <string>
#include <vector>

#include "chart/ChartMath.h"
#include "chart/ChartPen.h"
#include "chart/Series.h"

class TCircledSeries : public TChartSeries {
public:
    bool Circled() const { return circled_; }
    void SetCircled(bool v) { SetAndNotify(circled_, v, this); }
    int RotationAngle() const { return rotationAngle_; }
    // Below 0: EChartError "Rotation Angle must be between 0 and 359
    // degrees"; 360 and more are taken modulo 360.
    void SetRotationAngle(int degrees);
    double Rotation() const { return rotation_; }  // radians
    int CustomXRadius() const { return customXRadius_; }
    void SetCustomXRadius(int v) { SetAndNotify(customXRadius_, v, this); }
    int CustomYRadius() const { return customYRadius_; }
    void SetCustomYRadius(int v) { SetAndNotify(customYRadius_, v, this); }
    TColor CircleBackColor() const { return circleBackColor_; }
    void SetCircleBackColor(TColor v) { SetAndNotify(circleBackColor_, v, this); }

    // Layout of the last drawing.
    const TRect& CircleRect() const { return circleRect_; }
    int CircleWidth() const { return circleWidth_; }
    int CircleHeight() const { return circleHeight_; }
    int CircleXCenter() const { return circleXCenter_; }
    int CircleYCenter() const { return circleYCenter_; }
    int XRadius() const { return xRadius_; }
    int YRadius() const { return yRadius_; }

    // centre + (Rnd(cos(angle + rotation) * xRadius), -Rnd(sin(...) * yRadius)).
    TPoint AngleToPoint(double angle, double xRadius, double yRadius) const;

    // Circle rectangle from the chart rectangle, room for marks, round, radii.
    void LayoutCircle();

protected:
    void AdjustCircleRect();
    void CalcRadius();
    void MakeRound();

    TRect circleRect_;
    int circleWidth_ = 0, circleHeight_ = 0;
    int circleXCenter_ = 0, circleYCenter_ = 0;
    int xRadius_ = 0, yRadius_ = 0;

private:
    bool circled_ = false;
    int rotationAngle_ = 0;
    double rotation_ = 0;
    int customXRadius_ = 0, customYRadius_ = 0;
    TColor circleBackColor_ = clAutomatic;
};

enum TPieOtherStyle { poNone, poBelowPercent, poBelowValue };

struct TPieAngle {
    double StartAngle = 0;
    double MidAngle = 0;
    double EndAngle = 0;
};

// The pie's own grouping of small slices (off in this program).
class TPieOtherSlice {
public:
    explicit TPieOtherSlice(TChangeSink* owner) : owner_(owner) {}
    TPieOtherStyle Style() const { return style_; }
    void SetStyle(TPieOtherStyle v) { SetAndNotify(style_, v, owner_); }
    const std::string& Text() const { return text_; }
    void SetText(const std::string& v) { SetAndNotify(text_, v, owner_); }
    double Value() const { return value_; }
    void SetValue(double v) { SetAndNotify(value_, v, owner_); }

private:
    TChangeSink* owner_;
    TPieOtherStyle style_ = poNone;
    std::string text_ = "Other";
    double value_ = 0;
};

class TPieSeries : public TCircledSeries {
public:
    // X of the point the pie's own grouping adds.
    static constexpr double OtherSliceX = 2147483647.0;

    TPieSeries();

    TChartValueList& PieValues() { return yValues_; }
    bool Dark3D() const { return dark3D_; }
    void SetDark3D(bool v) { SetAndNotify(dark3D_, v, this); }
    const TChartPen& PiePen() const { return piePen_; }
    void SetPiePen(const TChartPen& v) { SetAndNotify(piePen_, v, this); }
    int ExplodeBiggest() const { return explodeBiggest_; }
    void SetExplodeBiggest(int v) { SetAndNotify(explodeBiggest_, v, this); }
    bool UsePatterns() const { return usePatterns_; }
    void SetUsePatterns(bool v) { SetAndNotify(usePatterns_, v, this); }
    TPieOtherSlice& OtherSlice() { return otherSlice_; }
    const TPieOtherSlice& OtherSlice() const { return otherSlice_; }
    // Explode percentage of slice index (0 beyond the stored ones).
    int ExplodedSlice(int index) const;
    void SetExplodedSlice(int index, int percent);
    bool Exploded() const { return exploded_; }

    // Member of the pie's own other slice (X is -1).
    bool IsOtherMember(int index) const { return XValues().StoredAt(index) == -1.0; }

    const std::vector<TPieAngle>& Angles() const { return angles_; }
    void CalcAngles();
    void DrawSlices();
    void DrawSlice(int index);

    // Sorting by value order, dropping an earlier grouped point, renumbering
    // X, and the pie's own grouping.
    void PrepareSlices();

    void SetParentChart(TChartPanel* chart) override;
    void PrepareForDraw() override { PrepareSlices(); }
    void DrawValues() override;
    bool PlaceMark(int index, TSeriesMarkPosition& position) override;
    int LegendItemCount() const override;
    int LegendToValueIndex(int item) const override;
    void DrawLegendShape(int valueIndex, const TRect& rect) override;

protected:
    void ClearExtra() override;
    void DeleteExtra(int index) override;

private:
    bool dark3D_ = true;
    TChartPen piePen_;
    int explodeBiggest_ = 0;
    bool usePatterns_ = false;
    std::vector<int> explodedSlices_;
    bool exploded_ = false;
    std::vector<TPieAngle> angles_;
    TPieOtherSlice otherSlice_{this};
};
