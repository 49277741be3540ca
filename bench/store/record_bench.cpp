// Speed of the observer's record with 15 years of daily observations (5,500 days, groups that
// live ten days and drift with the Sun's rotation, following a cycle): adding them all, as
// one batch and one transaction a day; a month's report; and the activity curve and the
// butterfly diagram drawn from the whole record. Each of the last three opens the record as
// the command line does, so the time is what a user waits for.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench_application.h"
#include "core/record/activity.h"
#include "core/record/group_tracking.h"
#include "core/record/monthly_report.h"
#include "render/record_plot.h"
#include "store/record_store.h"

namespace {

using namespace zorva;
namespace fs = std::filesystem;

constexpr int kDays = 5500;
const CalendarDay kToday{2100, 1, 1};

// Daily observations from 1 January 2008: groups are born at a rate that follows an 11-year
// cycle, at latitudes that fall from 30 degrees to 8 through it, live ten days and drift as
// the law says.
std::vector<SunspotObservation> FifteenYears() {
    struct Born {
        int day;
        double latitude, longitude, area;
    };
    std::vector<Born> born;
    uint32_t seed = 12345;
    const auto random = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / 16777216.0;
    };
    constexpr double kCycleDays = 11 * 365.25, kPi = 3.141592653589793;
    std::vector<SunspotObservation> all;
    int32_t year = 2008, month = 1, day = 1;
    for (int d = 0; d < kDays; ++d) {
        const double phase = std::fmod(d, kCycleDays) / kCycleDays;
        const double rate = 0.9 * std::sin(kPi * phase) * std::sin(kPi * phase);
        for (double r = rate; r > 0; r -= 1) {
            if (random() < std::min(1.0, r)) {
                const double lat = (30 - 22 * phase) * (random() < 0.5 ? -1 : 1);
                born.push_back({d, lat, 360 * random(), 20 + 400 * random()});
            }
        }
        SunspotObservation o;
        o.instant = {year, month, day, 10, 0, 0};
        o.method = ObservationMethod::Picture;
        o.picture = "sun_" + std::to_string(d) + ".png";
        o.fingerprint = PictureFingerprint(o.picture);
        o.seeing = 1 + d % 5;
        o.observer = "BENCH";
        int32_t number = 0;
        for (const Born& b : born) {
            if (d < b.day || d - b.day >= 10) continue;
            ObservedGroup g;
            g.number = ++number;
            g.latitude = b.latitude;
            g.north = b.latitude >= 0;
            g.longitude =
                std::fmod(b.longitude + CarringtonDrift(b.latitude, d - b.day) + 360, 360);
            g.areaMsh = b.area;
            g.spots = 1 + static_cast<int32_t>(b.area / 40);
            g.mcintosh = "Cso";
            o.groups.push_back(g);
        }
        CountGroups(o);
        all.push_back(std::move(o));
        AddDays(year, month, day, 1);
    }
    return all;
}

const std::vector<SunspotObservation>& Days() {
    static const std::vector<SunspotObservation> days = FifteenYears();
    return days;
}

std::unique_ptr<Record> Open(const fs::path& path, bool readOnly = false) {
    std::string error;
    RecordOptions options;
    options.readOnly = readOnly;
    auto record = Record::Open(path, error, options);
    if (!record) throw std::runtime_error(error);
    return record;
}

void BM_AddFifteenYearsAsOneBatch(benchmark::State& state) {
    const std::vector<SunspotObservation>& days = Days();
    for (auto _ : state) {
        QTemporaryDir dir;
        auto record = Open(fs::path(dir.filePath("r.sqlite").toStdString()));
        if (!record->Add(days, kToday).Ok()) state.SkipWithError("not added");
    }
}
BENCHMARK(BM_AddFifteenYearsAsOneBatch)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5);

void BM_AddFifteenYearsADayAtATime(benchmark::State& state) {
    const std::vector<SunspotObservation>& days = Days();
    for (auto _ : state) {
        QTemporaryDir dir;
        auto record = Open(fs::path(dir.filePath("r.sqlite").toStdString()));
        for (const SunspotObservation& o : days) {
            if (!record->Add({o}, kToday).Ok()) state.SkipWithError("not added");
        }
    }
}
BENCHMARK(BM_AddFifteenYearsADayAtATime)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);

// The record of 15 years, made once.
const fs::path& FullRecord() {
    static QTemporaryDir dir;
    static const fs::path path = [] {
        const fs::path p(dir.filePath("full.sqlite").toStdString());
        Open(p)->Add(Days(), kToday);
        return p;
    }();
    return path;
}

void BM_MonthlyReportFromFifteenYears(benchmark::State& state) {
    const fs::path& path = FullRecord();
    for (auto _ : state) {
        auto record = Open(path, true);
        const MonthlyReport report = MakeMonthlyReport(
            record->Observations(CalendarDay{2014, 3, 1}, CalendarDay{2014, 3, 31}), 2014, 3);
        benchmark::DoNotOptimize(MonthlyReportText(report));
    }
}
BENCHMARK(BM_MonthlyReportFromFifteenYears)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_PlotFromFifteenYears(benchmark::State& state) {
    bench::EnsureApplication<QGuiApplication>();
    const fs::path& path = FullRecord();
    const bool butterfly = state.range(0) == 1;
    const QFont font("DejaVu Sans", 10);
    for (auto _ : state) {
        auto record = Open(path, true);
        const std::vector<SunspotObservation> days = ObservationsOfTheDays(record->Observations());
        QByteArray bytes;
        if (butterfly) {
            const auto points = MakeButterfly(days);
            bytes = RecordPlotBytes(ChartFileFormat::Png, [&](QPainter& p, const QRectF& area) {
                PaintButterfly(p, area, points, font);
            });
        } else {
            const ActivityCurve curve = MakeActivityCurve(days);
            bytes = RecordPlotBytes(ChartFileFormat::Png, [&](QPainter& p, const QRectF& area) {
                PaintActivity(p, area, curve, font);
            });
        }
        benchmark::DoNotOptimize(bytes);
    }
}
// 0 the activity curve, 1 the butterfly diagram.
BENCHMARK(BM_PlotFromFifteenYears)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5);

} // namespace
