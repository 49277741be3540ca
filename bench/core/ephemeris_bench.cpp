// Speed of the ephemeris: a computed year, one instant, and the 31 December look-ahead.
#include <benchmark/benchmark.h>

#include "core/ephemeris/daily_table.h"
#include "core/ephemeris/horizon.h"
#include "core/ephemeris/year_tables.h"

namespace {

// A folder without year files, so every year comes from the built-in or computed tables.
const std::filesystem::path kNoYearFiles = "/nonexistent-zorva-folder";

void BM_ComputedYear(benchmark::State& state) {
    zorva::DailyTable table;
    for (auto _ : state) {
        benchmark::DoNotOptimize(zorva::LoadYearTable(2030, table, kNoYearFiles));
    }
}
BENCHMARK(BM_ComputedYear)->Unit(benchmark::kMillisecond);

void Instant(benchmark::State& state, int year, int month, int day) {
    zorva::YearTables tables(kNoYearFiles);
    const zorva::Observer observer{51.5, 0.5};
    int second = 0;
    for (auto _ : state) {
        const zorva::Instant t{year, month, day, 14, 31, second};
        second = (second + 1) % 60;
        benchmark::DoNotOptimize(tables.At(t, observer));
    }
}

void BM_OneInstant(benchmark::State& state) {
    Instant(state, 2030, 6, 15);
}
BENCHMARK(BM_OneInstant)->Unit(benchmark::kMicrosecond);

void BM_OneInstantBuiltinYear(benchmark::State& state) {
    Instant(state, 2005, 6, 15);
}
BENCHMARK(BM_OneInstantBuiltinYear)->Unit(benchmark::kMicrosecond);

void BM_OneInstant31DecemberComputed(benchmark::State& state) {
    Instant(state, 2030, 12, 31);
}
BENCHMARK(BM_OneInstant31DecemberComputed)->Unit(benchmark::kMillisecond);

} // namespace
