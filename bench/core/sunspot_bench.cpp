// Speed of a spot entry: what a typed coordinate or a click costs in core (location,
// readout texts and area), and one grid line of the chart.
#include <benchmark/benchmark.h>

#include <array>

#include "core/chart/projection.h"
#include "core/chart/sunspot.h"

namespace {

zorva::Ephemeris SampleEphemeris() {
    zorva::Ephemeris e;
    e.B0 = 5.2;
    e.L0 = 211.7;
    e.P = -12.4;
    e.DiamMinutes = 31;
    e.DiamSeconds = 40;
    e.Rotation = 2250;
    e.ParallacticAngle = 20;
    return e;
}

void BM_LocateSpotAndReadouts(benchmark::State& state) {
    const zorva::Ephemeris e = SampleEphemeris();
    zorva::ChartGeometry g;
    zorva::SpotState spot;
    spot.SpotSize = 12;
    spot.LatLongPrecision = 2;
    double x = 0;
    for (auto _ : state) {
        spot.SpotX = x;
        spot.SpotY = -0.7 * x;
        x = x > 50 ? -50 : x + 0.37;
        zorva::LocateSpot(spot, zorva::FrameAt(g, e), e);
        const zorva::SpotReadouts texts = zorva::UpdateSpotReadouts(spot);
        const zorva::AreaReadout area = zorva::ComputeSpotArea(spot, g.ChartDiameter);
        benchmark::DoNotOptimize(texts.LatText.data());
        benchmark::DoNotOptimize(area.Text.data());
    }
}
BENCHMARK(BM_LocateSpotAndReadouts)->Unit(benchmark::kMicrosecond);

void BM_LatitudeCircle(benchmark::State& state) {
    std::array<zorva::DiskPosition, zorva::LatitudeCircleSamples> points;
    for (auto _ : state) {
        zorva::ProjectLatitudeCircle(20, zorva::ChartLongitudeSamples(), 0.53, 5.2, points);
        benchmark::DoNotOptimize(points.data());
    }
}
BENCHMARK(BM_LatitudeCircle)->Unit(benchmark::kMicrosecond);

} // namespace
