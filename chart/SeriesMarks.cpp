// Stub: drawing comes with the pie, marks and legend work.
#include "chart/PieSeries.h"
#include "chart/SeriesMarks.h"

std::string TSeriesMarks::MarkText(int) const { return ""; }
void TSeriesMarks::DrawAllMarks() {}
void TSeriesMarks::DrawMarkBox(int, TColor, const std::string&, TSeriesMarkPosition&) {}

bool TPieSeries::PlaceMark(int, TSeriesMarkPosition&) { return false; }
