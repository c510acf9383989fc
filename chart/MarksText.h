// Mark texts as lines: splitting at the line separator, measuring the widest
// line, and the widest mark of a chart.
//
// Protocol: measuring uses the canvas' current font; the caller sets it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class TChartCanvas3D;
class TChartPanel;

// The line separator of mark texts: carriage return.
inline constexpr char MarkLineSeparator = '\r';

// The lines of a mark text as drawn: after each separator at most 255 further
// bytes of the text are taken (never cutting a UTF-8 character).
std::vector<std::string_view> MarkDrawLines(std::string_view text);

// Width of the widest line of text (every line, untruncated).
int WidestMarkLine(TChartCanvas3D& canvas, std::string_view text);

// Number of lines of text.
int MarkLineCount(std::string_view text);

// The widest line of the mark text of any point of any active series of chart.
int WidestMark(TChartPanel& chart, TChartCanvas3D& canvas);
