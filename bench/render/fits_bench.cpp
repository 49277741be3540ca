// Speed of opening a large FITS image, against cfitsio's own bare read of the same file
// into new memory in the same run. The 4096 x 4096 float file is written here, never kept.
// On a shared machine, --benchmark_enable_random_interleaving=true lets the open and the
// bare read take turns, so that both meet the same load.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fitsio.h>
#include <memory>
#include <unistd.h>
#include <vector>

#include "render/solar_image.h"

namespace {

constexpr long kSide = 4096;

// A limb-darkened disk on a faint, uneven sky, as a float image.
const std::string& BigFloatFits() {
    static const std::string path = [] {
        const std::string p = (std::filesystem::temp_directory_path() /
                               ("zorva-bench-" + std::to_string(getpid()) + ".fits"))
                                  .string();
        std::vector<float> v(static_cast<std::size_t>(kSide * kSide));
        const double cx = 2050.3;
        const double cy = 2040.7;
        const double r = 1900;
        for (long y = 0; y < kSide; ++y) {
            for (long x = 0; x < kSide; ++x) {
                const double d2 = ((x - cx) * (x - cx) + (y - cy) * (y - cy)) / (r * r);
                v[static_cast<std::size_t>(y * kSide + x)] =
                    d2 < 1 ? static_cast<float>(50000 * (0.4 + 0.6 * std::sqrt(1 - d2)))
                           : static_cast<float>(20 + (x * 7 + y * 3) % 11);
            }
        }
        fitsfile* f = nullptr;
        int status = 0;
        long axes[2] = {kSide, kSide};
        std::filesystem::remove(p);
        fits_create_file(&f, p.c_str(), &status);
        fits_create_img(f, FLOAT_IMG, 2, axes, &status);
        fits_write_img(f, TFLOAT, 1, static_cast<LONGLONG>(v.size()), v.data(), &status);
        fits_close_file(f, &status);
        if (status != 0) std::abort();
        std::atexit([] { std::filesystem::remove(path); });
        return p;
    }();
    return path;
}

// cfitsio alone: open, one read of every pixel as float into memory taken for it, close.
// `fresh` takes new memory each time, as any open must; otherwise the same memory is
// read into again, which leaves out the cost of the pages.
void BareRead(benchmark::State& state, bool fresh) {
    const std::string& path = BigFloatFits();
    const auto n = static_cast<std::size_t>(kSide * kSide);
    std::unique_ptr<float[]> kept(new float[n]);
    for (auto _ : state) {
        std::unique_ptr<float[]> values(fresh ? new float[n] : nullptr);
        float* into = fresh ? values.get() : kept.get();
        fitsfile* f = nullptr;
        int status = 0;
        long first[2] = {1, 1};
        int anyNull = 0;
        fits_open_diskfile(&f, path.c_str(), READONLY, &status);
        fits_read_pix(f, TFLOAT, first, static_cast<LONGLONG>(n), nullptr, into, &anyNull, &status);
        fits_close_file(f, &status);
        if (status != 0) state.SkipWithError("cfitsio failed");
        benchmark::DoNotOptimize(into);
    }
}

void BM_BareFitsReadPix4096(benchmark::State& state) {
    BareRead(state, true);
}
BENCHMARK(BM_BareFitsReadPix4096)->Unit(benchmark::kMillisecond);

void BM_BareFitsReadPix4096IntoKeptMemory(benchmark::State& state) {
    BareRead(state, false);
}
BENCHMARK(BM_BareFitsReadPix4096IntoKeptMemory)->Unit(benchmark::kMillisecond);

// The program's open: header, values turned the right way up, stretch levels and the
// 8-bit picture.
void BM_OpenFitsSolarImage4096(benchmark::State& state) {
    const QString path = QString::fromStdString(BigFloatFits());
    for (auto _ : state) {
        const zorva::SolarImageLoad load = zorva::LoadSolarImage(path);
        if (!load.image) state.SkipWithError("the open failed");
        benchmark::DoNotOptimize(load.image->shown.constBits());
    }
}
BENCHMARK(BM_OpenFitsSolarImage4096)->Unit(benchmark::kMillisecond);

} // namespace
