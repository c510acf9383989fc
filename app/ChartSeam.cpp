// Placeholder chart: a hidden widget shown on the first selection.
#include "app/ChartSeam.h"

TChartSeam::TChartSeam(QWidget* panel) : widget_(new QWidget(panel))
{
    widget_->setObjectName(QStringLiteral("Chart"));
    widget_->hide();
}

TChartSeam::~TChartSeam() = default;

void TChartSeam::Feed(TTreeEntry&) { widget_->show(); }

void TChartSeam::ShowPercent() {}

void TChartSeam::ShowValue() {}
