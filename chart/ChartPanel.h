// The chart panel: owns the canvas, view options, gradient, titles, walls,
// legend and series; lays the chart out and paints it.
//
// Protocol: the hosting window implements TChartHost and passes itself to the
// constructor (or nullptr for none). Invalidate() marks the canvas buffer
// stale and calls host->RequestRepaint(); the host merges such requests into
// one later Paint(window, clientRect) on its window surface. Paint copies the
// buffer when nothing changed, else draws the whole chart. SetVisible()
// forwards to host->SetHostVisible(). Each drawing lays the panel out once
// (LayoutPanel) and draws from that value, which stays readable afterwards.
#pragma once

#include <memory>
#include <vector>

#include "chart/Canvas3D.h"
#include "chart/ChangeSink.h"
#include "chart/ChartParts.h"
#include "chart/Legend.h"
#include "chart/PanelLayout.h"
#include "chart/Series.h"
#include "chart/View3DOptions.h"

class TChartHost {
public:
    virtual void RequestRepaint() = 0;
    virtual void SetHostVisible(bool visible) = 0;

protected:
    ~TChartHost() = default;
};

enum TPanelBevel { bvNone, bvLowered, bvRaised };
enum TPanningMode { pmNone, pmHorizontal, pmVertical, pmBoth };

class TChartPanel : public TChangeSink {
public:
    explicit TChartPanel(TChartHost* host = nullptr);
    ~TChartPanel();
    TChartPanel(const TChartPanel&) = delete;
    TChartPanel& operator=(const TChartPanel&) = delete;

    // Repaint request from any setting or series change.
    void Invalidate();
    void Changed() override { Invalidate(); }
    bool Destroying() const { return destroying_; }

    // The platform's paint request.
    void Paint(TDrawingSurface& window, const TRect& clientRect);
    // One full drawing (what Paint does when the buffer is stale).
    void Draw(TDrawingSurface& window, const TRect& clientRect);

    bool Visible() const { return visible_; }
    void SetVisible(bool v);

    // Series: the chart owns them and draws them in list order.
    TChartSeries& AddSeries(std::unique_ptr<TChartSeries> series);
    int SeriesCount() const { return static_cast<int>(series_.size()); }
    TChartSeries& Series(int i) const { return *series_[static_cast<size_t>(i)]; }
    int CountActiveSeries() const;
    // The first active series, nullptr when none.
    TChartSeries* FirstActiveSeries() const;

    // Sub-objects.
    TChartCanvas3D& Canvas() { return canvas_; }
    TView3DOptions& View3DOptions() { return view3DOptions_; }
    TChartGradient& Gradient() { return gradient_; }
    TChartTitle& Title() { return title_; }
    TChartTitle& Foot() { return foot_; }
    TChartLegend& Legend() { return legend_; }
    TChartWall& BackWall() { return backWall_; }
    TChartWall& LeftWall() { return leftWall_; }
    TChartWall& BottomWall() { return bottomWall_; }

    // Settings.
    TColor Color() const { return color_; }
    void SetColor(TColor v) { SetAndNotify(color_, v, this); }
    TColor BackColor() const { return backColor_; }
    void SetBackColor(TColor v) { SetAndNotify(backColor_, v, this); }
    TPanelBevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel v) { SetAndNotify(bevelOuter_, v, this); }
    TPanelBevel BevelInner() const { return bevelInner_; }
    void SetBevelInner(TPanelBevel v) { SetAndNotify(bevelInner_, v, this); }
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int v) { SetAndNotify(bevelWidth_, v, this); }
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int v) { SetAndNotify(borderWidth_, v, this); }
    int MarginLeft() const { return marginLeft_; }
    void SetMarginLeft(int v) { SetAndNotify(marginLeft_, v, this); }
    int MarginTop() const { return marginTop_; }
    void SetMarginTop(int v) { SetAndNotify(marginTop_, v, this); }
    int MarginRight() const { return marginRight_; }
    void SetMarginRight(int v) { SetAndNotify(marginRight_, v, this); }
    int MarginBottom() const { return marginBottom_; }
    void SetMarginBottom(int v) { SetAndNotify(marginBottom_, v, this); }
    int Chart3DPercent() const { return chart3DPercent_; }
    // Outside 1..100: EChartError "3D effect percent must be between 1 and 100".
    void SetChart3DPercent(int v);
    bool View3D() const { return view3D_; }
    void SetView3D(bool v) { SetAndNotify(view3D_, v, this); }
    bool View3DWalls() const { return view3DWalls_; }
    void SetView3DWalls(bool v) { SetAndNotify(view3DWalls_, v, this); }
    bool AxisVisible() const { return axisVisible_; }
    void SetAxisVisible(bool v) { SetAndNotify(axisVisible_, v, this); }
    bool ClipPoints() const { return clipPoints_; }
    void SetClipPoints(bool v) { SetAndNotify(clipPoints_, v, this); }
    const TChartPen& Frame() const { return frame_; }
    void SetFrame(const TChartPen& v) { SetAndNotify(frame_, v, this); }
    bool AllowZoom() const { return allowZoom_; }
    void SetAllowZoom(bool v) { SetAndNotify(allowZoom_, v, this); }
    TPanningMode AllowPanning() const { return allowPanning_; }
    void SetAllowPanning(TPanningMode v) { SetAndNotify(allowPanning_, v, this); }

    // Layout of the drawing in progress (or the last one).
    const PanelLayout& Layout() const { return layout_; }
    const TRect& PlotRect() const { return layout_.PlotRect; }

    // Canvas brush for a filled shape: fill colour, style and the colour
    // behind a hatch.
    void SetShapeBrush(TColor fill, TBrushStyle style, TColor back);

private:
    void DrawBackground();
    void DrawBevels();
    void DrawBevel(TRect& r, TPanelBevel bevel);
    void DrawTitlesAndLegend();
    void DrawBackWall();

    TChartHost* host_;
    bool constructed_ = false;
    bool destroying_ = false;
    bool drawing_ = false;
    bool visible_ = true;
    TChartCanvas3D canvas_;
    TView3DOptions view3DOptions_{this};
    TChartGradient gradient_{this};
    TChartTitle title_{this, false};
    TChartTitle foot_{this, true};
    TChartLegend legend_{this};
    TChartWall backWall_{this, clAutomatic, bsClear};
    TChartWall leftWall_{this, RGBColour(255, 255, 128), bsSolid};
    TChartWall bottomWall_{this, clWhite, bsSolid};
    std::vector<std::unique_ptr<TChartSeries>> series_;

    TColor color_ = clBtnFace;
    TColor backColor_ = clAutomatic;
    TPanelBevel bevelOuter_ = bvRaised;
    TPanelBevel bevelInner_ = bvNone;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    int marginLeft_ = 3, marginTop_ = 4, marginRight_ = 3, marginBottom_ = 4;
    int chart3DPercent_ = 15;
    bool view3D_ = true;
    bool view3DWalls_ = true;
    bool axisVisible_ = true;
    bool clipPoints_ = true;
    TChartPen frame_;
    bool allowZoom_ = true;
    TPanningMode allowPanning_ = pmBoth;

    PanelLayout layout_;
};
