// Test support for the pie, marks and legend tests: the program's chart on a
// recording surface, and filters over the recorded primitives.
#pragma once

#include <string>
#include <vector>

#include "chart/ChartPanel.h"
#include "PieChartDesign.h"
#include "chart/PieSeries.h"
#include "RecordingSurface.h"

namespace pietest {

// The composition chart drawn on a recording surface of width x height. With
// bare set, nothing but the pie draws: no gradient, bevels, title or legend.
struct TestChart {
    TChartPanel chart;
    TPieSeries& pie;
    TRecordingSurface window;

    explicit TestChart(int width = 400, int height = 300, bool bare = false)
        : chart(nullptr), pie(SetUpPieChart(chart)), window(width, height)
    {
        if (bare) {
            chart.Gradient().SetVisible(false);
            chart.SetBevelOuter(bvNone);
            chart.SetBevelInner(bvNone);
            chart.Title().ClearText();
            chart.Legend().SetVisible(false);
        }
    }

    void Values(const std::vector<double>& values)
    {
        pie.Clear();
        for (double v : values)
            pie.Add(v);
    }

    // One point of value 1 per label.
    void Labels(const std::vector<std::string>& labels)
    {
        pie.Clear();
        for (const std::string& l : labels)
            pie.Add(1, l);
    }

    const std::vector<TRecord>& Draw()
    {
        chart.Draw(window, {0, 0, window.Width(), window.Height()});
        return window.LastBuffer()->Records();
    }
};

inline std::vector<TRecord> Select(const std::vector<TRecord>& records, TRecordKind kind)
{
    std::vector<TRecord> out;
    for (const TRecord& r : records)
        if (r.Kind == kind)
            out.push_back(r);
    return out;
}

// Filled polygons (slice faces and rim bands), in drawing order; the back
// wall is drawn with a clear brush and is left out.
inline std::vector<TRecord> SolidPolygons(const std::vector<TRecord>& records)
{
    std::vector<TRecord> out;
    for (const TRecord& r : records)
        if (r.Kind == rkPolygon && r.Brush.Style == bsSolid)
            out.push_back(r);
    return out;
}

inline std::vector<TRecord> Texts(const std::vector<TRecord>& records)
{
    return Select(records, rkText);
}

}  // namespace pietest
