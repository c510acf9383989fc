// The busy clip: eight frames of a magnifier sweeping over a computer.
//
// Protocol: a pure function; the busy animation (app/BusyAnimation.h) draws
// its frames once, on the UI thread (QPainter on images), and plays them.
#pragma once

#include <QColor>
#include <QImage>
#include <vector>

inline constexpr int kAnimateFrameCount = 8;

// Opaque frames of width x height with the clip centred over background.
std::vector<QImage> AnimationFrames(int width, int height, const QColor& background);
