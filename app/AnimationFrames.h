// The busy clip: eight frames of a magnifier sweeping over a computer.
#pragma once

#include <QColor>
#include <QImage>
#include <vector>

inline constexpr int kAnimateFrameCount = 8;

// Opaque frames of width x height with the clip centred over background.
std::vector<QImage> AnimationFrames(int width, int height, const QColor& background);
