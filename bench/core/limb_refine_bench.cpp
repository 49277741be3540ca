// Speed of the sub-pixel refinement of a limb on a 4096 x 4096 picture, after the
// whole-pixel search it starts from.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/images/limb_refine.h"

namespace {

constexpr int kSide = 4096;

// A limb-darkened disk on a black sky, its limb softened over a pixel.
const std::vector<uint8_t>& Disk() {
    static const std::vector<uint8_t> px = [] {
        std::vector<uint8_t> v(static_cast<std::size_t>(kSide) * kSide);
        const double cx = 2050.3;
        const double cy = 2040.7;
        const double r = 1900.4;
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
                const double d = std::hypot(x - cx, y - cy);
                const double inside = std::clamp(r - d + 0.5, 0.0, 1.0);
                const double mu = d < r ? std::sqrt(1 - (d / r) * (d / r)) : 0;
                v[static_cast<std::size_t>(y) * kSide + x] =
                    static_cast<uint8_t>(200 * inside * (0.4 + 0.6 * mu));
            }
        }
        return v;
    }();
    return px;
}

void BM_SubPixelRefinement4096(benchmark::State& state) {
    const zorva::PixelGrid grid(Disk().data(), kSide, kSide, kSide, zorva::PixelLayout::Grey8);
    const zorva::LimbFit search = zorva::FindLimb(grid);
    if (!search.found) state.SkipWithError("no limb");
    for (auto _ : state)
        benchmark::DoNotOptimize(zorva::RefineLimb(grid, search));
}
BENCHMARK(BM_SubPixelRefinement4096)->Unit(benchmark::kMillisecond);

} // namespace
