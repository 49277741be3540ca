// Speed of the spot search alone on synthetic pictures of 4096 and 1024 pixels a side:
// a limb-darkened, noisy disk filling most of the frame with a dozen spots in four groups.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "core/measure/pointer.h"
#include "core/spots/spot_detection.h"
#include "support/synthetic_sun.h"

namespace {

zorva::test::SyntheticSun Sun(int32_t side) {
    zorva::test::SyntheticSun sun;
    sun.width = sun.height = side;
    sun.cx = sun.cy = side / 2.0 - 0.5;
    sun.r = side * 0.47;
    sun.b0 = -3;
    const double areas[] = {600, 250, 120, 40, 300, 90, 30, 500, 150, 60, 20, 200};
    const double places[][2] = {{12, -50}, {14, -46}, {11, -44}, {13, -41}, {-8, -5}, {-9, -1},
                                {-7, 2},   {20, 35},  {22, 39},  {19, 41},  {21, 44}, {-25, 60}};
    for (std::size_t i = 0; i < std::size(areas); ++i) {
        zorva::test::SyntheticSpot s;
        s.latitude = places[i][0];
        s.centralDistance = places[i][1];
        s.penumbraRadius = zorva::test::CapRadius(areas[i]);
        s.umbraRadius = 0.42 * s.penumbraRadius;
        sun.spots.push_back(s);
    }
    return sun;
}

struct Picture {
    zorva::test::SyntheticSun sun;
    std::vector<uint8_t> pixels;
};

const Picture& PictureOf(int32_t side) {
    static Picture big{Sun(4096), {}}, small{Sun(1024), {}};
    Picture& p = side == 4096 ? big : small;
    if (p.pixels.empty()) p.pixels = p.sun.Render();
    return p;
}

void BM_DetectSpots(benchmark::State& state) {
    const Picture& p = PictureOf(static_cast<int32_t>(state.range(0)));
    const zorva::PixelGrid grid(p.pixels.data(), p.sun.width, p.sun.height, p.sun.width,
                                zorva::PixelLayout::Grey8);
    zorva::ChartGeometry g;
    g.Mode = zorva::Orientation::RotationAxis;
    g.MirrorSign = -1;
    const zorva::DiskFrame frame = zorva::ImageFrame(p.sun.cx, p.sun.cy, p.sun.r, g, 0);
    zorva::Ephemeris e;
    e.B0 = p.sun.b0;
    e.L0 = 150;
    e.DiamMinutes = 32;
    e.Rotation = 2250;
    for (auto _ : state) {
        const zorva::SpotDetection d = zorva::DetectSpots(grid, frame, e);
        if (d.spots.size() != std::size(p.sun.spots)) state.SkipWithError("spots missed");
        benchmark::DoNotOptimize(d.groups.data());
    }
}
BENCHMARK(BM_DetectSpots)->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond);

// One spot measured alone where a click falls, as before or without a search of the whole
// disk: the largest spot of the picture, at its centre.
void BM_MeasureSpotAt(benchmark::State& state) {
    const Picture& p = PictureOf(static_cast<int32_t>(state.range(0)));
    const zorva::PixelGrid grid(p.pixels.data(), p.sun.width, p.sun.height, p.sun.width,
                                zorva::PixelLayout::Grey8);
    zorva::ChartGeometry g;
    g.Mode = zorva::Orientation::RotationAxis;
    g.MirrorSign = -1;
    const zorva::DiskFrame frame = zorva::ImageFrame(p.sun.cx, p.sun.cy, p.sun.r, g, 0);
    zorva::Ephemeris e;
    e.B0 = p.sun.b0;
    e.L0 = 150;
    e.DiamMinutes = 32;
    e.Rotation = 2250;
    const zorva::SpotDetection all = zorva::DetectSpots(grid, frame, e);
    const auto largest =
        std::max_element(all.spots.begin(), all.spots.end(),
                         [](const auto& a, const auto& b) { return a.areaMsh < b.areaMsh; });
    if (largest == all.spots.end()) {
        state.SkipWithError("no spot");
        return;
    }
    for (auto _ : state) {
        const zorva::SpotDetection one =
            zorva::MeasureSpotAt(grid, frame, e, largest->x, largest->y);
        if (one.spots.empty()) state.SkipWithError("spot missed");
        benchmark::DoNotOptimize(one.spots.data());
    }
}
BENCHMARK(BM_MeasureSpotAt)->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond);

} // namespace
