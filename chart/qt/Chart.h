// The chart control: a QWidget that hosts a chart panel.
//
// Protocol: create it with its parent; set the chart up and change it through
// Panel() (settings, series, title lines, visibility). Every change asks Qt
// for a repaint with update(), which Qt merges into one paint. A paint with
// nothing changed copies the buffer. The background is never erased by Qt
// (WA_OpaquePaintEvent). GUI thread only.
#pragma once

#include <QWidget>

#include "chart/ChartPanel.h"

class TChart : public QWidget, private TChartHost {
    Q_OBJECT
public:
    explicit TChart(QWidget* parent = nullptr);
    ~TChart() override;

    TChartPanel& Panel() { return panel_; }

    // Paint events received, and those that drew the chart anew (the others
    // copied the buffer).
    int PaintCount() const { return paintCount_; }
    int FullDrawCount() const { return fullDrawCount_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void RequestRepaint() override { update(); }
    void SetHostVisible(bool visible) override { QWidget::setVisible(visible); }

    TChartPanel panel_;
    int paintCount_ = 0;
    int fullDrawCount_ = 0;
};
