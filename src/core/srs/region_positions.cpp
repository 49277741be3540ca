#include "core/srs/region_positions.h"

#include <array>
#include <cmath>

#include "core/ephemeris/horizon.h"

namespace zorva {

namespace {

constexpr int32_t kLongitudes = 360;

// Far enough beyond any image that a region there is simply not drawn, and well inside
// the range of a pixel coordinate.
constexpr double kFarthestPixel = 1 << 30;

std::size_t LongitudeIndex(int32_t lon) {
    return static_cast<std::size_t>((lon % kLongitudes + kLongitudes) % kLongitudes);
}

} // namespace

std::optional<int32_t> ReferenceLongitude(std::span<const SrsRegion> regions) {
    std::array<std::size_t, kLongitudes> counts{};
    for (const SrsRegion& r : regions)
        ++counts[LongitudeIndex(r.CentralLongitude)];
    std::optional<int32_t> best;
    std::size_t bestCount = 0;
    for (const SrsRegion& r : regions) {
        const std::size_t n = counts[LongitudeIndex(r.CentralLongitude)];
        if (n > bestCount) {
            bestCount = n;
            best = r.CentralLongitude;
        }
    }
    return best;
}

double RegionLongitudeOffset(std::span<const SrsRegion> regions, double epochL0) {
    const auto reference = ReferenceLongitude(regions);
    return reference ? epochL0 - *reference : 0.0;
}

RegionPlace PlaceRegion(const SrsRegion& region, double offset, const Ephemeris& now) {
    RegionPlace p;
    p.CentralDistance = now.L0 - region.Lo - offset;
    ProjectPoint(region.Latitude, p.CentralDistance, ApparentDiameter(now), now.B0, p.Disk);
    p.Visible = p.Disk.rho != FarSide;
    return p;
}

std::vector<RegionPlace> PlaceRegions(std::span<const SrsRegion> regions, double offset,
                                      const Ephemeris& now) {
    std::vector<RegionPlace> places;
    places.reserve(regions.size());
    for (const SrsRegion& r : regions)
        places.push_back(PlaceRegion(r, offset, now));
    return places;
}

std::optional<Pixel> RegionPixel(const DiskFrame& f, const RegionPlace& place) {
    if (!place.Visible) return std::nullopt;
    const PixelPoint p = DiskToPixel(f, place.Disk.r, place.Disk.pa);
    const double x = std::floor(p.x);
    const double y = std::floor(p.y);
    if (!(std::fabs(x) < kFarthestPixel && std::fabs(y) < kFarthestPixel)) return std::nullopt;
    return Pixel{static_cast<int32_t>(x), static_cast<int32_t>(y)};
}

DiskPoint RegionChartPoint(const RegionPlace& place, const DiskFrame& frame) {
    return PolarToDisk(frame, place.Disk.r, place.Disk.pa);
}

} // namespace zorva
