// Speed and memory of the spots on a 4096 x 4096 picture, as zorva-cli spots and limb
// take them: opening the file and finding its limb (all that limb does), against that and
// the spot search (all that spots does); and the memory the search takes beyond the open
// picture. The picture is the tests' synthetic Sun, with a dozen spots, saved as an 8-bit
// grey PNG in a temporary folder. Run the memory figures on their own for a clean process:
//   zorva_bench_render --benchmark_filter=SpotMemory
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <malloc.h>
#include <memory>
#include <string>

#include "bench_application.h"
#include "core/ephemeris/year_tables.h"
#include "core/spots/spot_detection.h"
#include "render/solar_image.h"
#include "support/synthetic_sun.h"

namespace {

constexpr int kSide = 4096;

struct SpotPicture {
    std::unique_ptr<QTemporaryDir> dir;
    QString path;
    std::size_t spots = 0;
};

const SpotPicture& Picture() {
    static const SpotPicture picture = [] {
        zorva::bench::EnsureApplication<QGuiApplication>();
        zorva::test::SyntheticSun sun;
        sun.width = sun.height = kSide;
        sun.cx = sun.cy = kSide / 2.0 - 0.5;
        sun.r = kSide * 0.47;
        const double areas[] = {600, 250, 120, 40, 300, 90, 30, 500, 150, 60, 20, 200};
        const double places[][2] = {{12, -50}, {14, -46}, {11, -44}, {13, -41},
                                    {-8, -5},  {-9, -1},  {-7, 2},   {20, 35},
                                    {22, 39},  {19, 41},  {21, 44},  {-25, 60}};
        for (std::size_t i = 0; i < std::size(areas); ++i) {
            zorva::test::SyntheticSpot s;
            s.latitude = places[i][0];
            s.centralDistance = places[i][1];
            s.penumbraRadius = zorva::test::CapRadius(areas[i]);
            s.umbraRadius = 0.42 * s.penumbraRadius;
            sun.spots.push_back(s);
        }
        const std::vector<uint8_t> pixels = sun.Render();
        SpotPicture p;
        p.dir = std::make_unique<QTemporaryDir>();
        p.path = p.dir->filePath("sun4096.png");
        QImage(pixels.data(), kSide, kSide, kSide, QImage::Format_Grayscale8).save(p.path);
        p.spots = sun.spots.size();
        return p;
    }();
    return picture;
}

zorva::PictureChoices Choices() {
    zorva::PictureChoices choices;
    choices.instant = zorva::Instant{2024, 5, 10, 12, 0, 0};
    choices.orientationGiven = true;
    return choices;
}

zorva::ChartGeometry NorthUpEastLeft() {
    zorva::ChartGeometry g;
    g.Mode = zorva::Orientation::RotationAxis;
    g.MirrorSign = -1;
    return g;
}

// What zorva-cli limb does with the file.
void BM_OpenPictureAndLimb4096(benchmark::State& state) {
    const SpotPicture& p = Picture();
    for (auto _ : state) {
        const zorva::PictureLoad open = zorva::OpenPictureFile(p.path, Choices());
        if (!open.picture || !open.picture->context.disk) state.SkipWithError("no disk");
        benchmark::DoNotOptimize(open.picture->context.limb.disk.r);
    }
}
BENCHMARK(BM_OpenPictureAndLimb4096)->Unit(benchmark::kMillisecond);

// What zorva-cli spots does with it: the same, then the spots.
void BM_OpenPictureAndSpots4096(benchmark::State& state) {
    const SpotPicture& p = Picture();
    zorva::YearTables tables(std::nullopt);
    for (auto _ : state) {
        const zorva::PictureLoad open = zorva::OpenPictureFile(p.path, Choices());
        if (!open.picture || !open.picture->context.disk) state.SkipWithError("no disk");
        const zorva::PictureContext& context = open.picture->context;
        const zorva::Ephemeris e = tables.At(*context.instant, zorva::Observer{});
        const zorva::SpotDetection d = zorva::DetectSpots(
            zorva::GridOf(open.picture->image.searched), context, NorthUpEastLeft(), e);
        if (d.spots.size() != p.spots) state.SkipWithError("spots missed");
        benchmark::DoNotOptimize(d.groups.data());
    }
}
BENCHMARK(BM_OpenPictureAndSpots4096)->Unit(benchmark::kMillisecond);

// The peak of resident memory while a picture is opened and its spots found, and while
// the spots alone are found on a picture already open, against the picture's size as 8-bit
// grey. Large blocks are mapped and unmapped directly, so freed memory leaves the count at
// once.
void BM_SpotMemory4096(benchmark::State& state) {
    constexpr int kMappedFrom = 256 * 1024;
    mallopt(M_MMAP_THRESHOLD, kMappedFrom);
    const SpotPicture& p = Picture();
    zorva::YearTables tables(std::nullopt);
    const zorva::Ephemeris e = tables.At(*Choices().instant, zorva::Observer{});
    zorva::OpenPictureFile(p.path, Choices()); // plug-ins loaded, decoder's buffers settled
    const double eightBit = static_cast<double>(kSide) * kSide;
    for (auto _ : state) {
        malloc_trim(0);
        std::ofstream("/proc/self/clear_refs") << "5"; // restarts the peak count
        const zorva::bench::Resident start = zorva::bench::ReadResident();
        const zorva::PictureLoad open = zorva::OpenPictureFile(p.path, Choices());
        const zorva::bench::Resident opened = zorva::bench::ReadResident();
        std::ofstream("/proc/self/clear_refs") << "5";
        const zorva::bench::Resident before = zorva::bench::ReadResident();
        const zorva::SpotDetection d =
            zorva::DetectSpots(zorva::GridOf(open.picture->image.searched), open.picture->context,
                               NorthUpEastLeft(), e);
        const zorva::bench::Resident after = zorva::bench::ReadResident();
        benchmark::DoNotOptimize(d.spots.data());
        state.counters["OpenPeakPer8Bit"] = static_cast<double>(opened.peak - start.now) / eightBit;
        state.counters["SpotsPeakPer8Bit"] =
            static_cast<double>(after.peak - before.now) / eightBit;
        state.counters["WholePeakPer8Bit"] =
            static_cast<double>(std::max(opened.peak, after.peak) - start.now) / eightBit;
    }
}
BENCHMARK(BM_SpotMemory4096)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
