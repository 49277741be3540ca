// Feeds arbitrary small pictures to the spot search, with the disk the limb search finds
// or one the bytes give, an orientation and a B0 the bytes choose, and follows what it
// finds through the grouping, a click on the picture, the matching with a summary's regions
// and the JSON and CSV it is told in: nothing may read outside the picture, and every
// number that comes out must be finite and every count consistent.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/images/limb.h"
#include "core/measure/pointer.h"
#include "core/spots/region_match.h"
#include "core/spots/spot_detection.h"
#include "core/spots/spot_report.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

bool Finite(double v) {
    return std::isfinite(v);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    constexpr std::size_t kHead = 6;
    if (size < kHead + 1) return 0;
    // Byte 0: the width; 1: how the disk is given; 2-4: a disk by the bytes (centre and
    // radius in pixels); 5: B0, orientation and options. The rest are the pixels.
    const int32_t width = data[0] % 128 + 1;
    const uint8_t* pixels = data + kHead;
    const std::size_t count = size - kHead;
    const int32_t height = static_cast<int32_t>(count / static_cast<std::size_t>(width));
    if (height < 1) return 0;
    const zorva::PixelGrid grid(pixels, width, height, width, zorva::PixelLayout::Grey8);

    zorva::Circle disk;
    if (data[1] & 1) {
        disk = zorva::FindLimb(grid).disk;
    } else {
        disk = {data[2] * 0.5, data[3] * 0.5, data[4] * 0.5 + (data[1] >> 1)};
    }
    zorva::ChartGeometry g;
    g.Mode = (data[5] & 1) ? zorva::Orientation::RotationAxis : zorva::Orientation::Equatorial;
    g.MirrorSign = (data[5] & 2) ? -1 : 1;
    g.FlipSign = (data[5] & 4) ? -1 : 1;
    zorva::Ephemeris e;
    e.B0 = (data[5] >> 3) - 15.0; // within the Sun's +-7.25, and beyond
    e.L0 = data[2] * 1.4;
    e.P = data[3] - 128.0;
    e.DiamMinutes = 32;
    e.Rotation = 2100;
    const zorva::DiskFrame frame =
        zorva::ImageFrame(disk.cx, disk.cy, disk.r, g, zorva::ChartRotation(g, e.P, 0));
    zorva::SpotOptions options;
    options.adaptiveUmbra = (data[5] & 0x80) == 0;
    options.limbMu = (data[1] & 2) ? 0.0 : 0.1;

    const zorva::SpotDetection d = zorva::DetectSpots(grid, frame, e, options);
    // One spot measured alone where a click at bytes 2 and 3 falls, as the search measures
    // it.
    const zorva::SpotDetection one =
        zorva::MeasureSpotAt(grid, frame, e, data[2] % width, data[3] % height, options);
    Check(one.spots.empty() || one.wolf.groups == 1);
    for (const zorva::DetectedSpot& s : one.spots)
        Check(Finite(s.x) && Finite(s.y) && Finite(s.areaMsh) && s.patch >= 0 &&
              s.patch < static_cast<int32_t>(one.patches.size()));
    Check(Finite(d.quietSun));
    if (!d.error.empty()) Check(d.spots.empty() && d.groups.empty() && d.patches.empty());
    int32_t spots = 0;
    for (const zorva::SpotGroup& group : d.groups) {
        for (const double v :
             {group.x, group.y, group.latitude, group.longitude, group.centralDistance, group.mu,
              group.areaMsh, group.umbraMsh, group.extent})
            Check(Finite(v));
        Check(group.spots >= 1 && group.areaMsh > 0 && group.umbraMsh <= group.areaMsh + 1e-9);
        spots += group.spots;
    }
    Check(spots == static_cast<int32_t>(d.spots.size()));
    for (const zorva::DetectedSpot& s : d.spots) {
        for (const double v : {s.x, s.y, s.latitude, s.longitude, s.centralDistance, s.mu,
                               s.areaMsh, s.umbraMsh, s.darkest})
            Check(Finite(v));
        Check(s.group >= 1 && s.group <= static_cast<int32_t>(d.groups.size()));
        Check(s.patch >= 0 && s.patch < static_cast<int32_t>(d.patches.size()));
        Check(s.x >= 0 && s.y >= 0 && s.x < width && s.y < height);
    }
    Check(d.wolf.total == 10 * d.wolf.groups + d.wolf.spots);
    Check(d.wolf.north + d.wolf.south == d.wolf.total);

    // A summary's regions where the groups are and one where none is.
    std::vector<zorva::SrsRegion> regions;
    for (const zorva::SpotGroup& group : d.groups) {
        zorva::SrsRegion r;
        r.Latitude = static_cast<int32_t>(std::lround(group.latitude));
        r.Lo = static_cast<int32_t>(std::lround(group.longitude)) % 360;
        r.LongExtent = data[4];
        regions.push_back(r);
    }
    regions.push_back(zorva::SrsRegion{});
    const zorva::RegionMatching m = zorva::MatchRegions(d.groups, regions, 0, e);
    Check(m.pairs.size() + m.groupsOnlyOurs.size() == d.groups.size());
    Check(m.pairs.size() + m.regionsNotFound.size() + m.regionsHidden.size() == regions.size());

    zorva::SpotReport report;
    report.file = "fuzz\"\n.png";
    report.disk = disk;
    report.detection = d;
    Check(!zorva::SpotReportJson(report).empty());
    Check(zorva::SpotReportCsv(report).size() >= d.groups.size() + d.spots.size());
    return 0;
}
