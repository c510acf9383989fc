#include "chart/ChartParts.h"

TChartTitle::TChartTitle(TChangeSink* owner, bool isFoot) : owner_(owner), isFoot_(isFoot)
{
    font_.Color = clBlue;
}

void TChartTitle::AddLine(const std::string& line)
{
    std::vector<std::string> lines = text_;
    lines.push_back(line);
    SetText(lines);
}

TChartWall::TChartWall(TChangeSink* owner, TColor colour, TBrushStyle brushStyle)
    : owner_(owner), color_(colour)
{
    brush_.Style = brushStyle;
}
