// Speed of a chart redraw, run on every change of date, time, diameter or grid: the
// whole grid with labels, the N E S W points and the spot marker.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "bench_application.h"
#include "render/chart_export.h"
#include "render/chart_painter.h"

namespace {

void EnsureApplication() {
    zorva::bench::EnsureApplication<QGuiApplication>();
}

void BM_RedrawFullChart(benchmark::State& state) {
    EnsureApplication();
    zorva::ChartScene s;
    s.Frame.diameter = static_cast<double>(state.range(0));
    s.ShowLatLines = true;
    s.ShowLongLines = true;
    s.B0 = 5.2;
    s.P = -12.4;
    s.Frame.q = s.P;
    s.D = 0.53;
    s.SpotX = 20;
    s.SpotY = -10;
    const QFont font = zorva::DefaultChartFont();
    QImage image = zorva::NewChartImage(s.Frame.diameter);
    for (auto _ : state) {
        benchmark::DoNotOptimize(zorva::RedrawChart(image, s, font));
    }
}
BENCHMARK(BM_RedrawFullChart)->Arg(150)->Arg(450)->Unit(benchmark::kMillisecond);

// A true-size export in memory with every grid line, the longitude labels and the
// caption, as File > Export and `zorva-cli chart` make it; the argument picks the format.
void BM_ExportFullChart(benchmark::State& state) {
    EnsureApplication();
    zorva::ChartExport e;
    e.Scene.Frame.diameter = 150;
    e.Scene.ShowLatLines = true;
    e.Scene.ShowLongLines = true;
    e.Scene.B0 = 5.2;
    e.Scene.P = -12.4;
    e.Scene.Frame.q = e.Scene.P;
    e.Scene.L0 = 124.3;
    e.Scene.D = 0.53;
    e.LongitudeLabels = true;
    e.Caption = {{"2026-12-07  12:00:00 UT"}, {"B0 +5.20\u00B0"}, {"Notes", true}};
    const auto format = static_cast<zorva::ChartFileFormat>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(zorva::ChartFileBytes(format, e));
    }
}
BENCHMARK(BM_ExportFullChart)
    ->ArgName("png0_pdf1_svg2")
    ->Arg(static_cast<int>(zorva::ChartFileFormat::Png))
    ->Arg(static_cast<int>(zorva::ChartFileFormat::Pdf))
    ->Arg(static_cast<int>(zorva::ChartFileFormat::Svg))
    ->Unit(benchmark::kMillisecond);

} // namespace
