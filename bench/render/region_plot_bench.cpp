// Speed of the region summary on the chart: loading a summary of 30 regions and plotting
// it over a drawn 150 mm chart, and what Link with Date adds to a change of date (finding
// the day's file among a year of NOAA-named files, reading it, plotting it).
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "bench_application.h"
#include "core/chart/projection.h"
#include "core/ephemeris/horizon.h"
#include "core/ephemeris/year_tables.h"
#include "core/srs/region_positions.h"
#include "core/srs/srs_link.h"
#include "core/srs/srs_reader.h"
#include "render/chart_painter.h"
#include "render/region_plot.h"

namespace {

using namespace zorva;

void EnsureApplication() {
    zorva::bench::EnsureApplication<QGuiApplication>();
}

constexpr int kRegions = 30;

// A summary of 30 regions spread over the disk, in the modern layout.
std::string Summary() {
    std::string s = ":Product: 0607SRS.txt\n:Issued: 2011 Jun 07 0030 UTC\n"
                    "I.  Regions with Sunspots.  Locations Valid at 06/2400Z \n"
                    "Nmbr Location  Lo  Area  Z   LL   NN Mag Type\n";
    for (int i = 0; i < kRegions; ++i) {
        const int lat = (i * 7) % 60 - 30;
        const int dist = (i * 13) % 160 - 80;
        const int lo = (344 - dist + 360) % 360;
        char line[80];
        std::snprintf(line, sizeof line, "%04d %c%02d%c%02d   %03d  %04d Dao  10   08 Beta\n",
                      1200 + i, lat < 0 ? 'S' : 'N', std::abs(lat), dist < 0 ? 'W' : 'E',
                      std::abs(dist), lo, 10 * i);
        s += line;
    }
    return s + "IA. H-alpha Plages without Spots.  Locations Valid at 06/2400Z Jun\n";
}

// A year folder of daily summaries named as NOAA names them ("20110607SRS.txt"), all but
// the one of 31 December.
struct SummaryFolder {
    std::filesystem::path root;
    std::string folder; // the SRS folder as stored, ending in its year
    SummaryFolder() {
        root = std::filesystem::temp_directory_path() /
               ("zorva-bench-srs-" + std::to_string(::getpid()));
        const auto year = root / "SRS" / "2011";
        std::filesystem::create_directories(year);
        const std::string text = Summary();
        int month = 1, day = 1, y = 2011;
        for (int i = 0; i < 364; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "%04d%02d%02dSRS.txt", y, month, day);
            std::ofstream(year / name) << text;
            AddDays(y, month, day, 1);
        }
        folder = year.string() + "/";
    }
    ~SummaryFolder() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
};

const SummaryFolder& Folder() {
    static const SummaryFolder f;
    return f;
}

// The chart of 7 June 2011 12:00 on 150 mm, drawn once.
YearTables& Tables() {
    static YearTables tables(std::nullopt);
    return tables;
}

struct Chart {
    ChartGeometry geometry;
    Ephemeris now = Tables().At({2011, 6, 7, 12, 0, 0}, Observer{});
    QImage image;
    DiskFrame frame;
    Chart() {
        EnsureApplication();
        geometry.ChartDiameter = 150;
        ChartScene scene = MakeChartScene(geometry, now, SpotState{}, MarkerState{});
        image = NewChartImage(geometry.ChartDiameter);
        RedrawChart(image, scene, DefaultChartFont());
        frame = ChartDiskFrame(image.width(), image.height(), geometry, scene.Frame.q);
    }
};

// Everything a summary adds to a chart: read the file, work out the offset at its epoch,
// carry the regions to the instant and draw them.
void LoadAndPlot(const std::filesystem::path& file, Chart& chart, const QFont& font) {
    const SrsSummary s = LoadSrsFile(file);
    const double offset = RegionLongitudeOffset(s.Regions, Tables().At(s.Epoch, Observer{}).L0);
    const auto places = PlaceRegions(s.Regions, offset, chart.now);
    RegionPlotStyle style;
    style.FileNameLabel = true;
    style.FileName = file.filename().string();
    DrawRegions(chart.image, chart.frame, s.Regions, places, style, font);
}

void BM_LoadAndPlotSummary30(benchmark::State& state) {
    Chart chart;
    const QFont font = DefaultChartFont();
    const std::filesystem::path file = Folder().folder + "20110607SRS.txt";
    for (auto _ : state) {
        LoadAndPlot(file, chart, font);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LoadAndPlotSummary30)->Unit(benchmark::kMicrosecond);

// The replot alone, as every redraw of the chart runs it with the summary in memory.
void BM_ReplotSummary30(benchmark::State& state) {
    Chart chart;
    const QFont font = DefaultChartFont();
    const SrsSummary s = LoadSrsFile(Folder().folder + "20110607SRS.txt");
    const double offset = RegionLongitudeOffset(s.Regions, Tables().At(s.Epoch, Observer{}).L0);
    for (auto _ : state) {
        const auto places = PlaceRegions(s.Regions, offset, chart.now);
        DrawRegions(chart.image, chart.frame, s.Regions, places, RegionPlotStyle{}, font);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ReplotSummary30)->Unit(benchmark::kMicrosecond);

// Link with Date on a change of date: the day's name is built, looked for in the year
// folder (the NOAA name differs in case, so the folder is searched), read and plotted.
void BM_LinkWithDateChange(benchmark::State& state) {
    Chart chart;
    const QFont font = DefaultChartFont();
    int month = 1, day = 1, year = 2011;
    for (auto _ : state) {
        const SrsLookup found = FindSrsFile(Folder().folder, year, month, day);
        if (!found.Path) {
            state.SkipWithError("summary not found");
            break;
        }
        LoadAndPlot(*found.Path, chart, font);
        AddDays(year, month, day, 1);
        if (month == 12 && day == 31) month = day = 1;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LinkWithDateChange)->Unit(benchmark::kMicrosecond);

// A date without a summary: the whole year folder is searched and nothing is found.
void BM_LinkWithDateMissing(benchmark::State& state) {
    for (auto _ : state) {
        const SrsLookup found = FindSrsFile(Folder().folder, 2011, 12, 31);
        benchmark::DoNotOptimize(found.Path);
    }
}
BENCHMARK(BM_LinkWithDateMissing)->Unit(benchmark::kMicrosecond);

} // namespace
