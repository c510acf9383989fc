// The whole composition chart at 800 x 600: title, legend and a 50-slice pie
// with its marks, drawn anew each time. With QPainter into an off-screen
// image (percent and megabyte marks), and on the recording surface (the
// engine's layout and geometry alone). Runs on Qt's offscreen platform.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <string>

#include "app/CompositionChart.h"
#include "RecordingSurface.h"
#include "chart/qt/QtSurface.h"

namespace {

QGuiApplication& App()
{
    static int argc = 1;
    static char name[] = "chart_full_bench";
    static char* argv[] = {name, nullptr};
    static bool platformSet = qputenv("QT_QPA_PLATFORM", "offscreen");
    (void)platformSet;
    static QGuiApplication app(argc, argv);
    return app;
}

// 50 folders of decreasing size, in megabytes.
void Fill(TChartPanel& chart, TPieSeries& pie, TSeriesMarksStyle style)
{
    chart.SetVisible(true);
    chart.Title().SetText({"/home/user/projects/tallowin"});
    pie.Marks().SetStyle(style);
    for (int i = 0; i < 50; ++i)
        pie.Add(12345.6 / (i + 1), "folder " + std::to_string(i));
}

void BM_FullChartQPainter(benchmark::State& state)
{
    App();
    TChartPanel chart(nullptr);
    TPieSeries& pie = SetUpCompositionChart(chart);
    Fill(chart, pie, state.range(0) ? smsValue : smsPercent);
    QImage window(800, 600, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&window);
        TQtSurface surface(p, 800, 600);
        chart.Draw(surface, {0, 0, 800, 600});
    }
    state.SetLabel(state.range(0) ? "MB marks" : "percent marks");
}
BENCHMARK(BM_FullChartQPainter)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FullChartRecording(benchmark::State& state)
{
    TChartPanel chart(nullptr);
    TPieSeries& pie = SetUpCompositionChart(chart);
    Fill(chart, pie, smsPercent);
    TRecordingSurface window(800, 600);
    for (auto _ : state) {
        chart.Draw(window, {0, 0, 800, 600});
        window.LastBuffer()->ClearRecords();
    }
}
BENCHMARK(BM_FullChartRecording)->Unit(benchmark::kMillisecond);

}  // namespace
