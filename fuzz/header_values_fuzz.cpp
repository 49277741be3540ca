// A FITS header's values followed to the logfile, as opening a picture does: the keywords
// (one "KEY = value" a line) give the disk, orientation and instant; the grid is projected
// onto the picture in whole pixels; a click near the disk centre becomes a spot, which is
// located, measured and written as a logfile line. Whatever the values, what comes out of
// the header is in range and finite, no pixel overflows, and every line is as long as the
// logfile's header.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/chart/chart_geometry.h"
#include "core/chart/projection.h"
#include "core/chart/sunspot.h"
#include "core/ephemeris/year_tables.h"
#include "core/images/fits_header.h"
#include "core/images/image_state.h"
#include "core/logfile/logfile.h"
#include "core/measure/pointer.h"

namespace {

using namespace zorva;

// No year file lives here: the built-in or computed table is used.
const char* const kNoFiles = "/nonexistent-zorva-fuzz-folder";
constexpr int32_t kLargestSide = 30000; // the largest picture that opens
constexpr int32_t kDefaultHeight = 1024;
constexpr double kFarthestPixel = 1e6;
constexpr std::array<int, 9> kGridDegrees = {-80, -60, -40, -20, 0, 20, 40, 60, 80};

void Check(bool ok) {
    if (!ok) std::abort();
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\''))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\'' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

FitsKeywords Keywords(std::string_view text) {
    FitsKeywords k;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        k.emplace(Trimmed(line.substr(0, equals)), Trimmed(line.substr(equals + 1)));
    }
    return k;
}

int32_t PictureHeight(const FitsKeywords& k) {
    const auto it = k.find("NAXIS2");
    if (it == k.end()) return kDefaultHeight;
    int32_t h = 0;
    for (const char c : it->second) {
        if (c < '0' || c > '9' || h > kLargestSide) return kDefaultHeight;
        h = h * 10 + (c - '0');
    }
    return h >= 1 && h <= kLargestSide ? h : kDefaultHeight;
}

void CheckInstant(const Instant& t) {
    Check(t.year >= kFirstSupportedYear && t.year <= kLastSupportedYear);
    Check(t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= DaysInMonth(t.year, t.month));
    Check(t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 &&
          t.second <= 59);
}

void CheckDisk(const Circle& d) {
    Check(std::isfinite(d.cx) && std::isfinite(d.cy) && std::isfinite(d.r));
    Check(std::fabs(d.cx) <= kFarthestPixel && std::fabs(d.cy) <= kFarthestPixel);
    Check(d.r >= 1 && d.r <= kFarthestPixel);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const FitsKeywords keywords =
        Keywords(std::string_view(reinterpret_cast<const char*>(data), size));
    const int32_t height = PictureHeight(keywords);
    const FitsHeaderReading header = ReadFitsHeader(keywords, height);
    for (const std::string& note : header.notes)
        Check(!note.empty() && note.size() < 200);
    if (header.instant) CheckInstant(*header.instant);
    if (header.orientation) {
        Check(header.orientation->q >= 0 && header.orientation->q < 360);
        Check(std::abs(header.orientation->MirrorSign) == 1);
    }
    if (!header.disk) return 0;
    const Circle& disk = header.disk->disk;
    CheckDisk(disk);

    // The picture as the window shows it: the header's disk and orientation, its instant.
    const Instant t = header.instant.value_or(Instant{2014, 3, 1, 0, 0, 0});
    YearTables tables{std::filesystem::path(kNoFiles)};
    tables.LoadFor(t);
    const Ephemeris e = tables.At(t, Observer{});
    ChartGeometry geometry;
    geometry.ChartDiameter = ImageChartDiameter(disk.r);
    geometry.MirrorSign = header.disk->orientation.MirrorSign;
    geometry.FlipSign = header.disk->orientation.FlipSign;
    const double q = header.disk->orientation.q;
    const DiskFrame frame = ImageFrame(disk.cx, disk.cy, disk.r, geometry, q);

    // The grid's latitude circles in whole pixels.
    const auto& dL = ChartLongitudeSamples();
    std::array<DiskPosition, LatitudeCircleSamples> circle;
    for (const int lat : kGridDegrees) {
        ProjectLatitudeCircle(lat, dL, 0.533, e.B0, circle);
        for (const DiskPosition& pt : circle) {
            if (pt.rho == FarSide) continue;
            const Pixel p = PolarToWholePixel(frame, pt.r, pt.pa);
            Check(std::abs(p.X) <= (1 << 24) && std::abs(p.Y) <= (1 << 24));
        }
    }

    // A click a little off the disk centre, inside the picture.
    const auto inside = [](double v, int32_t side) {
        return static_cast<int32_t>(std::fmin(std::fmax(std::floor(v), 0), side - 1));
    };
    const DiskClick click = PointToDisk(frame, inside(disk.cx + 0.3 * disk.r, kLargestSide),
                                        inside(disk.cy - 0.2 * disk.r, height));
    Check(std::isfinite(click.x) && std::isfinite(click.y) && std::isfinite(click.d));
    SpotState spot;
    spot.SpotX = RoundToHundredthsAwayFromZero(click.x);
    spot.SpotY = RoundToHundredthsAwayFromZero(click.y);
    spot.SpotSize = 12;
    LocateSpot(spot, frame, e);
    ComputeSpotArea(spot, frame.diameter);

    LogfileInputs in;
    in.instant = t;
    in.ephemeris = e;
    in.FlipSign = geometry.FlipSign;
    in.MirrorSign = geometry.MirrorSign;
    in.ChartDiameter = geometry.ChartDiameter;
    in.spot = spot;
    const std::string line = LogfileLine(in);
    Check(line.size() == LogfileHeader().size());
    Check(line.find("inf") == std::string::npos && line.find("nan") == std::string::npos);
    return 0;
}
