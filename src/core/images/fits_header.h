#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ephemeris/calendar.h"
#include "core/images/circle_fit.h"
#include "core/images/float_stretch.h"

namespace zorva {

// The keywords of a FITS header: name to value text, a string value without its quotes
// and trailing blanks. The first card of a name counts.
using FitsKeywords = std::map<std::string, std::string, std::less<>>;

// What an opened FITS file tells beside its pixels.
struct FitsInfo {
    FitsKeywords keywords;
    int32_t bitpix = 0;  // 8, 16, 32, 64, -32 or -64
    bool colour = false; // three planes, red, green and blue
    FloatLevels levels;  // the values that became black and white
};

// The observation instant in UTC, to the nearest second: DATE-AVG, else DATE-OBS (ISO
// "2014-03-01T00:00:27.90", or a date alone with TIME-OBS, or the old "DD/MM/YY" of the
// 1900s with TIME-OBS), else T_OBS (ISO, or "2014.03.01_00:01:25_TAI" with the time scale
// after the last underscore). The ISO forms are in the scale TIMESYS names (UTC unless it
// says TAI or TT). A date without a time of day stands for 12:00:00, as a file name that
// gives only the day does. Nothing when none of them holds a real date within the years
// the program works in; ReadFitsHeader checks every value in the same way and says why.
std::optional<Instant> FitsObservationInstant(const FitsKeywords& keywords);

// Which way the solar disk lies on a picture, in the chart's own terms: a point at
// position angle pa (from solar north through east) and radial fraction r lies at
//   x = cx + sin(pa + q) MirrorSign r R,   y = cy - cos(pa + q) FlipSign r R,
// as DiskToPixel places it, with q in place of ChartRotation. A picture that shows the
// disk turned keeps both signs +1; one that shows it mirrored (east to the left when
// north is up, as the sky appears) has MirrorSign -1 and FlipSign +1. q is 0..360.
struct DiskOrientation {
    double q = 0;
    int32_t FlipSign = 1;
    int32_t MirrorSign = 1;

    bool operator==(const DiskOrientation&) const = default;
};

// The disk and orientation the header's helioprojective coordinates give, for a picture
// of `height` rows whose top row is the FITS file's last. The disk's centre is the pixel
// where solar x = y = 0 (0-based columns and rows, row 0 at the top) and its radius is
// the Sun's apparent radius (RSUN_OBS, else SOLAR_R, else RADIUS, in arcseconds) over the
// pixel scale. The pixel keywords R_SUN, X0 and Y0 are never read: resampled files keep
// them from the full frame. Nothing without CRPIX1/2 and a scale (CDi_j, or CDELT1/2 with
// PCi_j or CROTA2), without a radius, or when the axes are not helioprojective.
struct FitsDisk {
    Circle disk;
    DiskOrientation orientation;
};
std::optional<FitsDisk> FitsHeaderDisk(const FitsKeywords& keywords, int32_t height);

// The orientation alone, which needs no centre or radius.
std::optional<DiskOrientation> FitsHeaderOrientation(const FitsKeywords& keywords);

// Everything a header tells of the observation, read once. Every value is checked
// before it is used: a scale (CDELTi, CDi_j) within 0.0001 to 3600 arcseconds a pixel, a
// reference pixel (CRPIXi) within a million pixels, a solar radius within 60 to 36000
// arcseconds, a disk of at least a pixel's radius whose centre lies within a million
// pixels, an instant within the years the program works in. A value outside its range
// is passed over, as if the header had none, and a note says why, naming the keyword:
// "RSUN_OBS = 1e308 ignored: outside 60 to 36000 arcseconds". What comes out is finite.
struct FitsHeaderReading {
    std::optional<Instant> instant;
    std::optional<FitsDisk> disk;
    std::optional<DiskOrientation> orientation;
    std::vector<std::string> notes; // for the status bar, one line each
};
FitsHeaderReading ReadFitsHeader(const FitsKeywords& keywords, int32_t height);

// The status bar's words for how far the limb search lies from the header's disk, in
// pixels: "Limb fit: centre 0.29 px from the FITS header's, radius -0.52 px".
std::string LimbFromHeaderText(const Circle& limb, const Circle& header);

// One line for people: "q 180.07, flip +1, mirror -1 (solar north down, east right)",
// the compass words naming the nearest picture side.
std::string OrientationText(const DiskOrientation& orientation);

} // namespace zorva
