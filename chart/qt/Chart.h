// The chart control: a QWidget that hosts the chart panel with the program's
// composition chart (form settings and its one pie series).
//
// Protocol: create it with its parent panel; it starts hidden, like the form's
// chart. Change the chart through Panel() and PieSeries() (title lines,
// visibility, points, mark style); every change asks Qt for a repaint with
// update(), which Qt merges into one paint. A paint with nothing changed
// copies the buffer. The background is never erased by Qt
// (WA_OpaquePaintEvent). GUI thread only.
#pragma once

#include <QWidget>

#include "chart/ChartPanel.h"
#include "chart/PieSeries.h"

class TChart : public QWidget, private TChartHost {
    Q_OBJECT
public:
    explicit TChart(QWidget* parent = nullptr);
    ~TChart() override;

    TChartPanel& Panel() { return panel_; }
    TPieSeries& PieSeries() { return *pie_; }

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
    TPieSeries* pie_;
    int paintCount_ = 0;
    int fullDrawCount_ = 0;
};
