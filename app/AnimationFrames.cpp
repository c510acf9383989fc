// Draws the busy clip frame by frame.
#include "app/AnimationFrames.h"

#include <QPainter>
#include <cmath>
#include <numbers>

namespace {

// Clip size in pixels; centred in the control.
constexpr int kClipW = 44;
constexpr int kClipH = 40;

void DrawComputer(QPainter& p)
{
    p.setPen(QColor(64, 64, 64));
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(6, 4, 30, 22);                       // monitor case
    p.fillRect(9, 7, 25, 17, QColor(0, 0, 128));    // screen
    p.fillRect(11, 9, 12, 2, QColor(0, 128, 128));  // text on the screen
    p.fillRect(11, 13, 17, 2, QColor(0, 128, 128));
    p.drawRect(17, 27, 8, 2);                     // neck
    p.drawRect(3, 30, 36, 8);                     // desktop box
    p.fillRect(30, 33, 5, 2, QColor(0, 200, 0));  // power light
}

void DrawMagnifier(QPainter& p, QPointF centre)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(96, 64, 32), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(5, 5), centre + QPointF(11, 11));
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(QColor(230, 245, 255, 170));
    p.drawEllipse(centre, 7, 7);
    p.setRenderHint(QPainter::Antialiasing, false);
}

}  // namespace

std::vector<QImage> AnimationFrames(int width, int height, const QColor& background)
{
    std::vector<QImage> frames;
    frames.reserve(kAnimateFrameCount);
    for (int i = 0; i < kAnimateFrameCount; ++i) {
        QImage img(width, height, QImage::Format_RGB32);
        img.fill(background);
        QPainter p(&img);
        p.translate((width - kClipW) / 2, (height - kClipH) / 2);
        DrawComputer(p);
        // the lens circles over the screen once per loop
        const double a = 2 * std::numbers::pi * i / kAnimateFrameCount;
        DrawMagnifier(p, QPointF(21 + 9 * std::cos(a), 15 + 6 * std::sin(a)));
        frames.push_back(img);
    }
    return frames;
}
