// Fills the composition chart from the selected size-tree entry, and the two
// mark styles of the toolbar.
//
// Protocol: called on the UI thread from the tree's selection change and the
// mark-style buttons. The chart repaints itself after these changes (merged
// into one paint). Nothing is kept between calls.
#pragma once

#include <functional>
#include <string>

#include "chart/ChartPanel.h"
#include "chart/PieSeries.h"
#include "sizetree/SizeTree.h"

// Children below this share of the entry's size go into "Other".
inline constexpr double OtherShare = 0.02;

// The label of the smaller files' slice, given their entry (the window's
// own language); empty: their name in the tree.
using RestLabel = std::function<std::string(const TTreeEntry& smallerFiles)>;

// Title := the entry's Path; the chart becomes visible; the series gets one
// point per child of at least 2 % of the entry's size (in tree order, value in
// MB, label = the child's name, "[FILES]" for a FILES entry, "[N smaller
// files]" for the rest of a listing), then "Other" for the rest when it is
// above 0. Sizes are those of kind (the tree's shown figure). An entry of
// size 0 is divided by 1.0 and its record is left as it is. node nullptr:
// nothing changes.
void FeedCompositionChart(TChartPanel& chart, TPieSeries& series, const TTreeEntry* node,
                          SizeKind kind = SizeKind::Apparent, const RestLabel& restLabel = {});

// Marks show each slice's share of the pie.
void ShowMarksAsPercent(TPieSeries& series);
// Marks show each slice's value in MB.
void ShowMarksAsValue(TPieSeries& series);
