// The header facts of the real FITS files, checked against the FITS world
// coordinate rules applied forwards (pixel to sky) and the Sun's geometry.
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

#include "core/chart/projection.h"
#include "core/chart/sunspot.h"
#include "core/common/angles.h"
#include "core/ephemeris/horizon.h"
#include "core/ephemeris/year_tables.h"
#include "core/images/fits_header.h"
#include "core/images/picture_context.h"
#include "core/measure/pointer.h"
#include "fits/fits_file.h"
#include "support/test_support.h"

namespace zorva {
namespace {

using degrees::Asin;
using degrees::Atan2;
using degrees::Cos;
using degrees::Sin;

constexpr FitsLimits kLimits{30000, int64_t{1} << 30};

FitsPicture Read(const std::filesystem::path& file) {
    FitsRead read = ReadFitsFile(file.string(), kLimits);
    EXPECT_TRUE(read.picture) << read.error;
    return read.picture ? std::move(*read.picture) : FitsPicture{};
}

double Key(const FitsPicture& p, const char* name) {
    return std::stod(p.info.keywords.at(name));
}

// Solar x and y (arcseconds) of a picture position (0-based, row 0 at the top), by the
// FITS rule x = CDELT1 (cos r dp1 - sin r dp2) + CRVAL1, y = CDELT2 (sin r dp1 + cos r dp2)
// + CRVAL2 with r = CROTA2 and dp the offset from CRPIX in FITS pixels (row 1 at the
// bottom).
struct Sky {
    double x;
    double y;
};
Sky SkyOf(const FitsPicture& p, double X, double Y) {
    const double r = Key(p, "CROTA2");
    const double dp1 = X + 1 - Key(p, "CRPIX1");
    const double dp2 = p.height - Y - Key(p, "CRPIX2");
    return {Key(p, "CDELT1") * (Cos(r) * dp1 - Sin(r) * dp2) + Key(p, "CRVAL1"),
            Key(p, "CDELT2") * (Sin(r) * dp1 + Cos(r) * dp2) + Key(p, "CRVAL2")};
}

TEST(FitsHeaderFiles, HmiDiskTimeAndNorthDown) {
    ZORVA_TEST_DATA(data);
    const FitsPicture hmi = Read(data / "fits" / "resampled_hmi.fits");
    // The README's DATE-OBS 2014-03-01T00:00:27.90, to the second.
    EXPECT_EQ(FitsObservationInstant(hmi.info.keywords), (Instant{2014, 3, 1, 0, 0, 28}));
    const auto disk = FitsHeaderDisk(hmi.info.keywords, hmi.height);
    ASSERT_TRUE(disk);
    // The test data's README: RSUN_OBS / CDELT = 968.66 / 20.656 = 46.9 pixels.
    EXPECT_NEAR(disk->disk.r, 46.9, 0.01);
    // Solar x = y = 0 at the centre; near CRPIX = 50.5 (1-based), so near 49.5 0-based.
    const Sky centre = SkyOf(hmi, disk->disk.cx, disk->disk.cy);
    EXPECT_NEAR(centre.x, 0, 1e-9);
    EXPECT_NEAR(centre.y, 0, 1e-9);
    EXPECT_NEAR(disk->disk.cx, 49.5, 0.2);
    EXPECT_NEAR(disk->disk.cy, 49.5, 0.2);

    // Solar north (pa 0) drawn by the chart's rule lands at the bottom of the picture,
    // where the sky rule puts +y; east (pa 90) at -x, to the right.
    const DiskOrientation o = disk->orientation;
    const double R = disk->disk.r;
    for (const double pa : {0.0, 90.0, 200.0, 315.0}) {
        SCOPED_TRACE(pa);
        const PixelPoint px = DiskToPixel(
            DiskFrame{0, o.q, o.MirrorSign, o.FlipSign, disk->disk.cx, disk->disk.cy, R, R}, 1, pa);
        const Sky sky = SkyOf(hmi, px.x, px.y);
        const double rsun = Key(hmi, "RSUN_OBS");
        EXPECT_NEAR(sky.x, -rsun * Sin(pa), 1e-6);
        EXPECT_NEAR(sky.y, rsun * Cos(pa), 1e-6);
    }
    const PixelPoint north = DiskToPixel(
        DiskFrame{0, o.q, o.MirrorSign, o.FlipSign, disk->disk.cx, disk->disk.cy, R, R}, 1, 0);
    EXPECT_GT(north.y, disk->disk.cy + 0.99 * R);
}

TEST(FitsHeaderFiles, HmiClicksMeasureTheHemisphereTheSkySays) {
    ZORVA_TEST_DATA(data);
    const FitsPicture hmi = Read(data / "fits" / "resampled_hmi.fits");
    const auto disk = FitsHeaderDisk(hmi.info.keywords, hmi.height);
    ASSERT_TRUE(disk);
    const DiskOrientation& o = disk->orientation;
    ChartGeometry geometry;
    geometry.FlipSign = o.FlipSign;
    geometry.MirrorSign = o.MirrorSign;
    Ephemeris e;
    e.B0 = Key(hmi, "CRLT_OBS");
    e.L0 = Key(hmi, "CRLN_OBS");
    const double diameter = 2 * Key(hmi, "RSUN_OBS"); // arcseconds
    e.DiamMinutes = static_cast<int32_t>(diameter / 60);
    e.DiamSeconds = diameter - 60 * e.DiamMinutes;
    const DiskFrame frame = ImageFrame(disk->disk.cx, disk->disk.cy, disk->disk.r, geometry, o.q);
    // Pixels below, right of and diagonally off the centre. The expected latitude and
    // longitude come from their sky position, seen from afar (the chart's finite-distance
    // projection differs by up to D/2 r, under 0.15 degrees here).
    const struct {
        double dx;
        double dy;
    } offsets[] = {{0, 20}, {20, 0}, {-15, -25}, {30, 12}};
    for (const auto& off : offsets) {
        SCOPED_TRACE(testing::Message() << off.dx << ", " << off.dy);
        const double X = disk->disk.cx + off.dx;
        const double Y = disk->disk.cy + off.dy;
        const Sky sky = SkyOf(hmi, X, Y);
        const double x = sky.x / Key(hmi, "RSUN_OBS");
        const double y = sky.y / Key(hmi, "RSUN_OBS");
        const double cosRho = std::sqrt(1 - x * x - y * y);
        const double lat = Asin(y * Cos(e.B0) + cosRho * Sin(e.B0));
        const double lon = e.L0 + Atan2(x, cosRho * Cos(e.B0) - y * Sin(e.B0));
        const DiskPoint mm = PixelToDisk(frame, X, Y);
        const LatLong at = LocatePoint(mm.x, mm.y, frame, e).value_or(LatLong{});
        EXPECT_NEAR(at.lat, lat, 0.3);
        EXPECT_NEAR(at.lon, lon, 0.3);
    }
}

TEST(FitsHeaderFiles, AiaWcsRadiusNotTheStalePixelRadius) {
    ZORVA_TEST_DATA(data);
    const FitsPicture aia = Read(data / "fits" / "aia_171_level1.fits");
    const auto disk = FitsHeaderDisk(aia.info.keywords, aia.height);
    ASSERT_TRUE(disk);
    // RSUN_OBS 971.81" over CDELT 19.18" a pixel; R_SUN says 1622 (the full frame's).
    EXPECT_NEAR(disk->disk.r, 971.812597 / 19.183648, 1e-9);
    const Sky centre = SkyOf(aia, disk->disk.cx, disk->disk.cy);
    EXPECT_NEAR(centre.x, 0, 1e-9);
    EXPECT_NEAR(centre.y, 0, 1e-9);
    // CROTA2 = 0.02: north up and east to the left, the sky as seen.
    EXPECT_EQ(
        OrientationText(disk->orientation).substr(OrientationText(disk->orientation).find('(')),
        "(solar north up, east left)");
    // DATE-OBS 2011-02-15T00:00:00.34 to the second.
    EXPECT_EQ(FitsObservationInstant(aia.info.keywords), (Instant{2011, 2, 15, 0, 0, 0}));
}

// Heliographic latitude and Carrington longitude of a pixel by the picture's own world
// coordinates, as SunPy's WCS transform works them out (Thompson, A&A 449, 791, 2006): the
// gnomonic (TAN) projection back to helioprojective longitude and latitude about CRVAL, the
// line of sight met with the sphere of radius RSUN_REF seen from DSUN_OBS, and the
// heliographic frame of the observer (CRLT_OBS, CRLN_OBS). CRLN_OBS is the geometric
// sub-observer longitude; the apparent one, which the ephemeris gives, lies earlier by the
// Sun's turn during the light's travel time (14.1844 degrees a day for DSUN_OBS / c).
LatLong WcsLatLong(const FitsPicture& p, double X, double Y) {
    const Sky sky = SkyOf(p, X, Y);
    const double crval1 = Key(p, "CRVAL1") / 3600;
    const double crval2 = Key(p, "CRVAL2") / 3600;
    const double x = (sky.x - Key(p, "CRVAL1")) / 3600; // intermediate world coordinates
    const double y = (sky.y - Key(p, "CRVAL2")) / 3600;
    const double phi = Atan2(x, -y);
    const double theta = Atan2(180 / std::numbers::pi, std::hypot(x, y));
    const double tx =
        crval1 + Atan2(-Cos(theta) * Sin(phi - 180),
                       Sin(theta) * Cos(crval2) - Cos(theta) * Sin(crval2) * Cos(phi - 180));
    const double ty = Asin(Sin(theta) * Sin(crval2) + Cos(theta) * Cos(crval2) * Cos(phi - 180));
    const double distance = Key(p, "DSUN_OBS");
    const double radius = Key(p, "RSUN_REF");
    const double along = Cos(ty) * Cos(tx);
    const double d =
        distance * along - std::sqrt(distance * distance * (along * along - 1) + radius * radius);
    const double hx = d * Cos(ty) * Sin(tx);
    const double hy = d * Sin(ty);
    const double hz = distance - d * along;
    const double b0 = Key(p, "CRLT_OBS");
    constexpr double kCarringtonDegreesPerDay = 14.1844;
    constexpr double kLightMetresPerDay = 299792458.0 * 86400;
    const double l0 = Key(p, "CRLN_OBS") - kCarringtonDegreesPerDay * distance / kLightMetresPerDay;
    const double lat = Asin((hy * Cos(b0) + hz * Sin(b0)) / radius);
    double lon = std::fmod(l0 + Atan2(hx, hz * Cos(b0) - hy * Sin(b0)) + 360, 360.0);
    return {lat, lon};
}

// The picture as the window and the command line open it: clicks on every fifth pixel within
// 0.9 of the radius agree with the sky's world coordinates within 0.12 degrees of latitude
// and 0.15 of Carrington longitude, north down (HMI) and north up (AIA) alike. The instant,
// disk and turn are the header's; the ephemeris is the program's own for that instant.
TEST(FitsHeaderFiles, ClicksOnOpenedPicturesAgreeWithTheWorldCoordinates) {
    ZORVA_TEST_DATA(data);
    for (const char* name : {"resampled_hmi.fits", "aia_171_level1.fits"}) {
        SCOPED_TRACE(name);
        const FitsPicture fits = Read(data / "fits" / name);
        PictureFile file;
        file.name = name;
        file.width = fits.width;
        file.height = fits.height;
        file.fits = fits.info.keywords;
        const PictureContext picture = OpenPicture(file, {});
        ASSERT_TRUE(picture.disk && picture.instant);
        EXPECT_EQ(picture.diskSource, DiskSource::Header);
        EXPECT_EQ(picture.orientationSource, OrientationSource::Header);
        const Ephemeris e = YearTables(std::nullopt).At(*picture.instant, Observer{});
        const DiskFrame frame = PictureFrame(picture, ChartGeometry{}, e);
        const Circle disk = *picture.disk;
        int checked = 0;
        for (int Y = 0; Y < fits.height; Y += 5) {
            for (int X = 0; X < fits.width; X += 5) {
                if (std::hypot(X - disk.cx, Y - disk.cy) > 0.9 * disk.r) continue;
                const DiskClick click = PointToDisk(frame, X, Y);
                SpotState spot;
                spot.SpotX = RoundToHundredthsAwayFromZero(click.x);
                spot.SpotY = RoundToHundredthsAwayFromZero(click.y);
                LocateSpot(spot, frame, e);
                const LatLong wcs = WcsLatLong(fits, X, Y);
                EXPECT_NEAR(spot.At->latitude, wcs.lat, 0.12) << X << ", " << Y;
                EXPECT_NEAR(std::remainder(spot.At->longitude - wcs.lon, 360.0), 0, 0.15)
                    << X << ", " << Y;
                ++checked;
            }
        }
        EXPECT_GT(checked, 200);
    }
}

} // namespace
} // namespace zorva
