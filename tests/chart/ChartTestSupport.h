// Helpers shared by the chart engine tests.
#pragma once

#include <string>
#include <vector>

#include "chart/ChartPanel.h"
#include "RecordingSurface.h"

// A window host that counts repaint requests.
class TCountingHost : public TChartHost {
public:
    void RequestRepaint() override { ++requests; }
    void SetHostVisible(bool v) override { visible = v; }
    int requests = 0;
    bool visible = true;
};

// Text metrics resembling a proportional font: width 7 per byte, height
// pixel size * 1.15 rounded, so bold 16-pixel text is 18 high.
inline TPoint FakeMeasure(const TSurfaceFont& font, std::string_view text)
{
    int px = font.PixelHeight > 0 ? font.PixelHeight : MulDiv(font.Size, 96, 72);
    int h = (px * 115 + 50) / 100;
    return {static_cast<int>(text.size()) * 7, h};
}

inline std::vector<TRecord> OfKind(const std::vector<TRecord>& records, TRecordKind kind)
{
    std::vector<TRecord> out;
    for (const TRecord& r : records)
        if (r.Kind == kind)
            out.push_back(r);
    return out;
}
