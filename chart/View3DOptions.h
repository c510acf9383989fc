// The chart's 3-D view settings. Every setter stores a different value and
// repaints the owner; an equal value does nothing. HorizOffset/VertOffset fire
// OnScrolled(horizontal) after the repaint request; Zoom fires
// OnChangedZoom(newZoom) before the new value is stored.
//
// Protocol: the chart panel owns one, made with itself as the owner; the 3-D
// canvas reads it at every drawing. The chart's thread only.
#pragma once

#include <functional>

#include "chart/ChangeSink.h"

class TView3DOptions {
public:
    explicit TView3DOptions(TChangeSink* owner = nullptr) : owner_(owner) {}

    int Elevation() const { return elevation_; }
    int HorizOffset() const { return horizOffset_; }
    bool Orthogonal() const { return orthogonal_; }
    int Perspective() const { return perspective_; }
    int Rotation() const { return rotation_; }
    int Tilt() const { return tilt_; }
    int VertOffset() const { return vertOffset_; }
    int Zoom() const { return zoom_; }
    bool ZoomText() const { return zoomText_; }

    void SetElevation(int v) { SetAndNotify(elevation_, v, owner_); }
    void SetHorizOffset(int v);
    void SetOrthogonal(bool v) { SetAndNotify(orthogonal_, v, owner_); }
    void SetPerspective(int v) { SetAndNotify(perspective_, v, owner_); }
    void SetRotation(int v) { SetAndNotify(rotation_, v, owner_); }
    void SetTilt(int v) { SetAndNotify(tilt_, v, owner_); }
    void SetVertOffset(int v);
    void SetZoom(int v);
    void SetZoomText(bool v) { SetAndNotify(zoomText_, v, owner_); }

    // Copies all nine values (each through its setter).
    void Assign(const TView3DOptions& other);

    std::function<void(bool horizontal)> OnScrolled;
    std::function<void(int zoom)> OnChangedZoom;

private:
    TChangeSink* owner_;
    int elevation_ = 345;
    int horizOffset_ = 0;
    bool orthogonal_ = true;
    int perspective_ = 15;
    int rotation_ = 345;
    int tilt_ = 0;
    int vertOffset_ = 0;
    int zoom_ = 100;
    bool zoomText_ = true;
};
