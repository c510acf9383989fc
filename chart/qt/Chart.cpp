#include "chart/qt/Chart.h"

#include <QPainter>

#include "chart/qt/QtSurface.h"

TChart::TChart(QWidget* parent) : QWidget(parent), panel_(this)
{
    setObjectName("Chart");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    resize(400, 250);
}

TChart::~TChart() = default;

void TChart::paintEvent(QPaintEvent*)
{
    ++paintCount_;
    if (panel_.Canvas().Stale())
        ++fullDrawCount_;
    QPainter painter(this);
    TQtSurface window(painter, width(), height());
    panel_.Paint(window, {0, 0, width(), height()});
}

void TChart::resizeEvent(QResizeEvent*)
{
    panel_.Invalidate();
}
