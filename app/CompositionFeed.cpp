#include "app/CompositionFeed.h"

#include <string>

namespace {

constexpr double BytesToMB = 1e-6;

// A slice's label: the entry's name, "[FILES]" for a FILES entry.
std::string SliceLabel(const TTreeEntry& entry, const RestLabel& restLabel)
{
    if (entry.IsSmallerFiles() && restLabel)
        return restLabel(entry);
    return entry.IsFiles() ? std::string(kFilesName) : entry.Name();
}

}  // namespace

void FeedCompositionChart(TChartPanel& chart, TPieSeries& series, const TTreeEntry* node, SizeKind kind,
                          const RestLabel& restLabel)
{
    if (!node)
        return;
    chart.Title().SetText({node->Path()});
    chart.SetVisible(true);

    // An empty folder's size stays 0 in its record; only the share test
    // divides by 1 instead.
    const double total = ShownSize(*node, kind);
    const double divisor = total == 0 ? 1.0 : total;

    double other = 0;
    for (int i = 0; i < node->ChildCount(); ++i) {
        const double size = ShownSize(*node->ChildAt(i), kind);
        if (size / divisor < OtherShare)
            other += size;
    }

    series.Clear();
    for (int i = 0; i < node->ChildCount(); ++i) {
        const TTreeEntry& child = *node->ChildAt(i);
        const double size = ShownSize(child, kind);
        if (!(size / divisor < OtherShare))
            series.Add(size * BytesToMB, SliceLabel(child, restLabel), clAutomatic);
    }
    if (other > 0)
        series.Add(other * BytesToMB, "Other", clAutomatic);
}

void ShowMarksAsPercent(TPieSeries& series)
{
    series.Marks().SetStyle(smsPercent);
}

void ShowMarksAsValue(TPieSeries& series)
{
    series.Marks().SetStyle(smsValue);
}
