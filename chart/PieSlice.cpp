// Stub: drawing comes with the pie, marks and legend work.
#include "chart/Canvas3D.h"

void TChartCanvas3D::DrawPieSlice(int, int, int, int, int, int, double, double, bool, bool) {}
