#include "app/CompositionFeed.h"

#include <string>

namespace {

constexpr double BytesToMB = 1e-6;

// The text after the last "/" of path (all of it when there is none).
std::string LastPathPart(const std::string& path)
{
    std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void FeedCompositionChart(TChartPanel& chart, TPieSeries& series, const TTreeEntry* node)
{
    if (!node)
        return;
    const TNode& record = node->Node();
    chart.Title().SetText({record.Path});
    chart.SetVisible(true);

    // An empty folder's size stays 0 in its record; only the share test
    // divides by 1 instead.
    const double divisor = record.Size == 0 ? 1.0 : record.Size;

    double other = 0;
    for (int i = 0; i < node->ChildCount(); ++i) {
        const TNode& child = node->ChildAt(i)->Node();
        if (child.Size / divisor < OtherShare)
            other += child.Size;
    }

    series.Clear();
    for (int i = 0; i < node->ChildCount(); ++i) {
        const TNode& child = node->ChildAt(i)->Node();
        if (!(child.Size / divisor < OtherShare))
            series.Add(child.Size * BytesToMB, LastPathPart(child.Path), clAutomatic);
    }
    if (other > 0)
        series.Add(other * BytesToMB, "Other", clAutomatic);
}

void ShowMarksAsPercent(TPieSeries& series) { series.Marks().SetStyle(smsPercent); }

void ShowMarksAsValue(TPieSeries& series) { series.Marks().SetStyle(smsValue); }
