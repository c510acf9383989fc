// The chart as the main window sees it: the widget named "Chart" in Panel,
// fed from the selected entry, and the two mark styles.
//
// Protocol: TChartSeam is created once by the main window, with Panel as the
// parent of the chart widget. Feed(entry) runs on every selection change;
// ShowPercent/ShowValue switch the marks. Without the chart library the
// widget is a hidden placeholder that only becomes visible.
#pragma once

#include <QWidget>

#include "sizetree/SizeTree.h"

class TChartSeam {
public:
    explicit TChartSeam(QWidget* panel);
    ~TChartSeam();
    TChartSeam(const TChartSeam&) = delete;
    TChartSeam& operator=(const TChartSeam&) = delete;

    QWidget* Widget() const { return widget_; }
    void Feed(TTreeEntry& entry);
    void ShowPercent();
    void ShowValue();

private:
    QWidget* widget_ = nullptr;  // owned by the panel
};
