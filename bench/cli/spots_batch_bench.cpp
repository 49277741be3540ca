// zorva-cli spots on a batch of eight 2048-pixel pictures, held to one core and given two:
// the files are shared among threads, one a core, so two cores should take about half the
// time. Wall-clock time, as the work runs on several threads. And the memory the batch
// takes with and without a budget that holds it to one picture at a time.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sched.h>

#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench_application.h"
#include "cli/cli.h"
#include "support/synthetic_sun.h"

namespace {

constexpr int kSide = 2048;
constexpr int kFiles = 8;

struct Batch {
    std::unique_ptr<QTemporaryDir> dir;
    std::vector<std::string> files;
};

const Batch& Files() {
    static const Batch batch = [] {
        zorva::bench::EnsureApplication<QGuiApplication>();
        zorva::test::SyntheticSun sun;
        sun.width = sun.height = kSide;
        sun.cx = sun.cy = kSide / 2.0 - 0.5;
        sun.r = kSide * 0.47;
        for (const double lat : {-20.0, -8.0, 12.0, 25.0}) {
            zorva::test::SyntheticSpot s;
            s.latitude = lat;
            s.centralDistance = lat * 2;
            s.penumbraRadius = zorva::test::CapRadius(200);
            s.umbraRadius = 0.42 * s.penumbraRadius;
            sun.spots.push_back(s);
        }
        const std::vector<uint8_t> pixels = sun.Render();
        const QImage picture(pixels.data(), kSide, kSide, kSide, QImage::Format_Grayscale8);
        Batch b;
        b.dir = std::make_unique<QTemporaryDir>();
        for (int i = 0; i < kFiles; ++i) {
            b.files.push_back(b.dir->filePath(QStringLiteral("sun%1.png").arg(i)).toStdString());
            picture.save(QString::fromStdString(b.files.back()));
        }
        return b;
    }();
    return batch;
}

void BM_SpotsBatch(benchmark::State& state) {
    const Batch& batch = Files();
    cpu_set_t all;
    CPU_ZERO(&all);
    sched_getaffinity(0, sizeof all, &all);
    if (CPU_COUNT(&all) < state.range(0)) {
        state.SkipWithError("fewer cores than asked for");
        return;
    }
    // The first `cores` of the cores this process may use.
    cpu_set_t some;
    CPU_ZERO(&some);
    for (int cpu = 0, taken = 0; cpu < CPU_SETSIZE && taken < state.range(0); ++cpu) {
        if (CPU_ISSET(cpu, &all)) {
            CPU_SET(cpu, &some);
            ++taken;
        }
    }
    sched_setaffinity(0, sizeof some, &some);
    std::vector<std::string> args = {"spots"};
    args.insert(args.end(), batch.files.begin(), batch.files.end());
    for (const char* a :
         {"--at", "2024-05-10T12:00", "--orientation", "axis", "--mirror", "--format", "json"})
        args.emplace_back(a);
    for (auto _ : state) {
        std::ostringstream out, err;
        if (zorva::cli::Run(args, out, err) != 0) state.SkipWithError(err.str().c_str());
        benchmark::DoNotOptimize(out.str().data());
    }
    sched_setaffinity(0, sizeof all, &all);
}
BENCHMARK(BM_SpotsBatch)
    ->ArgName("cores")
    ->Arg(1)
    ->Arg(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The same batch on every core this process may use, with a memory budget of `budget` MiB
// (0: the default, half the memory available): the peak resident memory the search added,
// as a count of pictures of the size one takes (PeakPictures), and the most held at once.
// A budget of one picture's reckoned need holds the search to one picture at a time.
void BM_SpotsBatchMemory(benchmark::State& state) {
    const Batch& batch = Files();
    std::vector<std::string> args = {"spots"};
    args.insert(args.end(), batch.files.begin(), batch.files.end());
    for (const char* a :
         {"--at", "2024-05-10T12:00", "--orientation", "axis", "--mirror", "--format", "json"})
        args.emplace_back(a);
    if (state.range(0) > 0) {
        args.emplace_back("--memory");
        args.emplace_back(std::to_string(state.range(0)));
    }
    std::ostringstream warm, ignored;
    zorva::cli::Run({"spots", batch.files[0], "--at", "2024-05-10T12:00"}, warm, ignored);
    // A 2048-pixel grey picture: what its search is reckoned to take, 3 bytes a pixel.
    const double picture = 3.0 * kSide * kSide;
    for (auto _ : state) {
        malloc_trim(0);
        std::ofstream("/proc/self/clear_refs") << "5"; // restarts the peak count
        const zorva::bench::Resident before = zorva::bench::ReadResident();
        std::ostringstream out, err;
        if (zorva::cli::Run(args, out, err) != 0) state.SkipWithError(err.str().c_str());
        const zorva::bench::Resident after = zorva::bench::ReadResident();
        state.counters["PeakPictures"] = static_cast<double>(after.peak - before.now) / picture;
    }
}
BENCHMARK(BM_SpotsBatchMemory)
    ->ArgName("budgetMiB")
    ->Arg(0)
    ->Arg(13)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
