// Speed of the accurate ephemeris: one leap year of daily records (the generator runs
// this 25 times, the command line once per --accurate year).
#include <benchmark/benchmark.h>

#include "core/ephemeris/accurate_ephemeris.h"

namespace {

void BM_AccurateLeapYear(benchmark::State& state) {
    zorva::DailyTable table;
    for (auto _ : state) {
        benchmark::DoNotOptimize(zorva::AccurateYearTable(2000, table));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_AccurateLeapYear)->Unit(benchmark::kMillisecond);

} // namespace
