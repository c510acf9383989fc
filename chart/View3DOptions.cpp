#include "chart/View3DOptions.h"

void TView3DOptions::SetHorizOffset(int v)
{
    if (SetAndNotify(horizOffset_, v, owner_) && OnScrolled)
        OnScrolled(true);
}

void TView3DOptions::SetVertOffset(int v)
{
    if (SetAndNotify(vertOffset_, v, owner_) && OnScrolled)
        OnScrolled(false);
}

void TView3DOptions::SetZoom(int v)
{
    if (zoom_ == v)
        return;
    if (OnChangedZoom)
        OnChangedZoom(v);
    zoom_ = v;
    if (owner_)
        owner_->Changed();
}

void TView3DOptions::Assign(const TView3DOptions& other)
{
    SetElevation(other.elevation_);
    SetHorizOffset(other.horizOffset_);
    SetOrthogonal(other.orthogonal_);
    SetPerspective(other.perspective_);
    SetRotation(other.rotation_);
    SetTilt(other.tilt_);
    SetVertOffset(other.vertOffset_);
    SetZoom(other.zoom_);
    SetZoomText(other.zoomText_);
}
