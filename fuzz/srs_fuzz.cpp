// Feeds arbitrary bytes to the region summary reader as a summary, then does with what it
// read what the program does: the reference longitude and offset, each region carried to
// an instant and projected, its pixel on a chart and on an image, the table's texts.
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

#include "core/chart/chart_geometry.h"
#include "core/chart/projection.h"
#include "core/ephemeris/horizon.h"
#include "core/ephemeris/year_tables.h"
#include "core/srs/region_positions.h"
#include "core/srs/region_table_text.h"
#include "core/srs/srs_reader.h"

namespace {

using namespace zorva;

// The first bytes choose the file's date, the instant and the chart; the rest is the file.
struct Choices {
    uint8_t year, month, day;
    int8_t hours;   // observation instant, hours from the summary's epoch
    uint8_t minute; // and its minute
    uint8_t diameter;
    uint8_t look; // flip, mirror, orientation
    double imageCx, imageCy, imageRadius;
};
constexpr std::size_t kChoiceBytes = 7 + 3 * sizeof(double);

// Years whose daily table is built in, so that each run stays quick.
constexpr int32_t kFirstYear = 1991;
constexpr int32_t kYears = 58;

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

Instant Later(Instant t, int32_t hours, int32_t minute) {
    int32_t h = t.hour + hours;
    int32_t days = 0;
    while (h < 0) {
        h += 24;
        --days;
    }
    days += h / 24;
    t.hour = h % 24;
    t.minute = minute % 60;
    AddDays(t.year, t.month, t.day, days);
    return t;
}

void CheckSummary(const SrsSummary& s) {
    Check(s.Regions.size() <= SrsRegionLimit);
    Check((s.Status == SrsStatus::Complete) == s.Error.empty());
    Check(s.Status != SrsStatus::NotRead || s.Regions.empty());
    for (const SrsRegion& r : s.Regions) {
        Check(r.Latitude >= -90 && r.Latitude <= 90);
        Check(r.Lo >= 0 && r.Lo <= 360);
        Check(r.CentralLongitude >= 0 && r.CentralLongitude < 360);
        Check(r.Location.size() + r.Class.size() + r.MagType.size() <= SrsLineLimit);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kChoiceBytes) return 0;
    Choices c{};
    std::memcpy(&c, data, 7);
    std::memcpy(&c.imageCx, data + 7, sizeof(double));
    std::memcpy(&c.imageCy, data + 7 + sizeof(double), sizeof(double));
    std::memcpy(&c.imageRadius, data + 7 + 2 * sizeof(double), sizeof(double));
    const std::string text(reinterpret_cast<const char*>(data) + kChoiceBytes, size - kChoiceBytes);

    const SrsDate date = {kFirstYear + c.year % kYears, 1 + c.month % 12, 1 + c.day % 28};
    std::istringstream in(text);
    const SrsSummary s = ReadSrs(in, date, "fuzz.txt");
    CheckSummary(s);
    SrsFileDate(text.substr(0, 16));
    ResolveValidTime(c.hours, c.minute, c.day, date);

    const Instant when = Later(s.Epoch, c.hours, c.minute);
    YearTables tables(std::nullopt);
    const Ephemeris now = tables.At(when, Observer{});
    const double offset = RegionLongitudeOffset(s.Regions, tables.At(s.Epoch, Observer{}).L0);
    Check(std::isfinite(offset));
    const std::vector<RegionPlace> places = PlaceRegions(s.Regions, offset, now);

    ChartGeometry g;
    g.ChartDiameter = 1 + c.diameter % 200;
    g.FlipSign = (c.look & 1) ? -1 : 1;
    g.MirrorSign = (c.look & 2) ? -1 : 1;
    constexpr std::array<Orientation, 3> kModes = {
        Orientation::Equatorial, Orientation::RotationAxis, Orientation::AltAzimuth};
    g.Mode = kModes[(c.look >> 2) % kModes.size()];
    const double q = ChartRotation(g.Mode, now.P, now.ParallacticAngle);
    const int32_t side = ChartSide(g.ChartDiameter);
    const DiskFrame chart = ChartDiskFrame(side, side, g, q);
    const DiskFrame image = ImageFrame(c.imageCx, c.imageCy, c.imageRadius, g, q);
    for (std::size_t i = 0; i < places.size(); ++i) {
        const RegionPlace& p = places[i];
        const auto px = RegionPixel(chart, p);
        Check(px.has_value() == p.Visible);
        if (px) {
            // On the disk: within its radius of the centre, give or take the pixel taken down.
            Check(std::abs(px->X - chart.cx) <= chart.rx + 1);
            Check(std::abs(px->Y - chart.cy) <= chart.ry + 1);
            const DiskPoint mm = RegionChartPoint(p, chart);
            Check(std::hypot(mm.x, mm.y) <= 0.5 * g.ChartDiameter + 1e-9);
        }
        RegionPixel(image, p);
        RegionTableCells(s.Regions[i]);
    }
    WolfNumberText(s.Regions);
    return 0;
}
