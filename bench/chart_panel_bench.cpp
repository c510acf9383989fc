// The chart panel at 800 x 600 with 50 points, drawn with QPainter into an
// off-screen image: a full drawing after a change, and a repaint with nothing
// changed (one buffer copy). Runs on Qt's offscreen platform.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <string>

#include "app/CompositionChart.h"
#include "chart/qt/QtSurface.h"

namespace {

QGuiApplication& App()
{
    static int argc = 1;
    static char name[] = "chart_panel_bench";
    static char* argv[] = {name, nullptr};
    static bool platformSet = qputenv("QT_QPA_PLATFORM", "offscreen");
    (void)platformSet;
    static QGuiApplication app(argc, argv);
    return app;
}

struct Setup {
    TChartPanel chart;
    TPieSeries* pie;
    QImage window{800, 600, QImage::Format_RGB32};
    Setup()
    {
        pie = &SetUpCompositionChart(chart);
        chart.SetVisible(true);
        chart.Title().SetText({"/home/user/projects/tallowin"});
        for (int i = 0; i < 50; ++i)
            pie->Add(100.0 / (i + 1), "folder" + std::to_string(i));
    }
    void Paint()
    {
        QPainter p(&window);
        TQtSurface surface(p, 800, 600);
        chart.Paint(surface, {0, 0, 800, 600});
    }
};

void BM_FullDrawing(benchmark::State& state)
{
    App();
    Setup s;
    s.Paint();
    for (auto _ : state) {
        s.chart.Invalidate();
        s.Paint();
    }
}
BENCHMARK(BM_FullDrawing)->Unit(benchmark::kMillisecond);

void BM_RepaintUnchanged(benchmark::State& state)
{
    App();
    Setup s;
    s.Paint();
    for (auto _ : state)
        s.Paint();
}
BENCHMARK(BM_RepaintUnchanged)->Unit(benchmark::kMicrosecond);

}  // namespace
