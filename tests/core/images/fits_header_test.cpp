#include "core/images/fits_header.h"

#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/chart/projection.h"

namespace zorva {
namespace {

// The moments the keywords state, in UTC to the nearest second; a date alone is its noon.
TEST(FitsObservationInstant, KeywordsInTheirOrderOfPrecedence) {
    const struct {
        const char* what;
        FitsKeywords k;
        std::optional<Instant> expected;
    } cases[] = {
        {"DATE-AVG before DATE-OBS",
         {{"DATE-AVG", "2014-03-01T00:00:27.50"}, {"DATE-OBS", "2014-03-01T01:00:00"}},
         Instant{2014, 3, 1, 0, 0, 28}},
        {"DATE-OBS, seconds rounded",
         {{"DATE-OBS", "2014-03-01T00:00:27.90"}},
         Instant{2014, 3, 1, 0, 0, 28}},
        {"rounding carries into the new year",
         {{"DATE-OBS", "2013-12-31T23:59:59.6Z"}},
         Instant{2014, 1, 1, 0, 0, 0}},
        {"a date with TIME-OBS",
         {{"DATE-OBS", "2014-03-01"}, {"TIME-OBS", "12:34:56.4"}},
         Instant{2014, 3, 1, 12, 34, 56}},
        {"the old form with TIME-OBS",
         {{"DATE-OBS", "15/03/96"}, {"TIME-OBS", "07:08:09"}},
         Instant{1996, 3, 15, 7, 8, 9}},
        {"a date alone stands for its noon",
         {{"DATE-OBS", "2006-03-15"}},
         Instant{2006, 3, 15, 12, 0, 0}},
        // TAI - UTC was 35 s from 2012 July 1 to 2015 July 1 (IERS Bulletin C).
        {"T_OBS in TAI", {{"T_OBS", "2014.03.01_00:01:25_TAI"}}, Instant{2014, 3, 1, 0, 0, 50}},
        {"T_OBS in UTC", {{"T_OBS", "2014.03.01_00:01:25.4_UTC"}}, Instant{2014, 3, 1, 0, 1, 25}},
        {"T_OBS in the ISO form",
         {{"T_OBS", "2011-02-15T00:00:01.34Z"}},
         Instant{2011, 2, 15, 0, 0, 1}},
        {"DATE-OBS before T_OBS",
         {{"DATE-OBS", "2014-03-01T00:00:27.90"}, {"T_OBS", "2014.03.01_00:01:25_TAI"}},
         Instant{2014, 3, 1, 0, 0, 28}},
        // 37 s since 2017 January 1; TT = TAI + 32.184 s.
        {"TIMESYS TAI",
         {{"TIMESYS", "TAI"}, {"DATE-OBS", "2017-01-01T00:00:37"}},
         Instant{2017, 1, 1, 0, 0, 0}},
        {"TIMESYS TT",
         {{"TIMESYS", "TT"}, {"DATE-OBS", "2017-01-01T00:01:09.184"}},
         Instant{2017, 1, 1, 0, 0, 0}},
        {"an impossible DATE-OBS gives way to T_OBS",
         {{"DATE-OBS", "2014-13-01T00:00:00"}, {"T_OBS", "2014.03.01_00:01:25_UTC"}},
         Instant{2014, 3, 1, 0, 1, 25}},
        {"no moment at all", {{"DATE-OBS", "yesterday"}, {"TIME-OBS", "noon"}}, std::nullopt},
        {"a time of 25 hours", {{"DATE-OBS", "2014-03-01T25:00:00"}}, std::nullopt},
        {"nothing", {}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FitsObservationInstant(c.k), c.expected);
    }
}

// Where the chart puts solar north (pa 0) and east (pa 90) for an orientation, as unit
// steps on the picture (x right, y down).
struct Step {
    double x;
    double y;
};
Step Drawn(const DiskOrientation& o, double pa) {
    const PixelPoint p =
        DiskToPixel(DiskFrame{0, o.q, o.MirrorSign, o.FlipSign, 0, 0, 1, 1}, 1, pa);
    return {p.x, p.y};
}

void ExpectStep(const Step& got, const Step& want) {
    EXPECT_NEAR(got.x, want.x, 1e-9);
    EXPECT_NEAR(got.y, want.y, 1e-9);
}

TEST(FitsHeaderOrientation, NorthAndEastWhereTheCoordinatesPutThem) {
    // Solar y grows to the north and solar x to the west. With CROTA2 = 0 and positive
    // steps, FITS rows run up the picture and columns to the right: north is up and east,
    // decreasing x, to the left, as the sky shows the Sun.
    const Step up{0, -1};
    const Step down{0, 1};
    const Step left{-1, 0};
    const Step right{1, 0};
    const FitsKeywords base = {{"CDELT1", "2.0"}, {"CDELT2", "2.0"}};
    auto with = [&](FitsKeywords extra) {
        FitsKeywords k = base;
        for (auto& [name, value] : extra)
            k[name] = value;
        return k;
    };
    const struct {
        const char* what;
        FitsKeywords k;
        Step north;
        Step east;
    } cases[] = {
        {"as the sky shows it", base, up, left},
        {"turned half round (north down, as HMI)", with({{"CROTA2", "180"}}), down, right},
        // CROTA2 turns the pixel axes: pixel axis 1 then points along +y (north).
        {"a quarter turn", with({{"CROTA2", "90"}}), right, up},
        {"columns to the east", with({{"CDELT1", "-2.0"}}), up, right},
        {"rows downwards", with({{"CDELT2", "-2.0"}}), down, left},
        {"PC matrix of a half turn", with({{"PC1_1", "-1"}, {"PC2_2", "-1"}}), down, right},
        {"CD matrix of a half turn",
         {{"CD1_1", "-2"}, {"CD2_2", "-2"}, {"CDELT1", "9"}, {"CDELT2", "9"}},
         down,
         right},
        // Pixel axis 1 then runs north and axis 2 west, up the picture.
        {"axes named in the other order", with({{"CTYPE1", "HPLT-TAN"}, {"CTYPE2", "HPLN-TAN"}}),
         right, down},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto o = FitsHeaderOrientation(c.k);
        ASSERT_TRUE(o);
        EXPECT_TRUE(o->FlipSign == 1);
        ExpectStep(Drawn(*o, 0), c.north);
        ExpectStep(Drawn(*o, 90), c.east);
    }
}

TEST(FitsHeaderOrientation, NoOrientationWithoutSolarCoordinates) {
    EXPECT_FALSE(FitsHeaderOrientation({}));
    EXPECT_FALSE(FitsHeaderOrientation({{"CDELT1", "2"}}));
    EXPECT_FALSE(FitsHeaderOrientation(
        {{"CDELT1", "2"}, {"CDELT2", "2"}, {"CTYPE1", "RA---TAN"}, {"CTYPE2", "DEC--TAN"}}));
    EXPECT_FALSE(FitsHeaderOrientation({{"CDELT1", "2"}, {"CDELT2", "0"}}));
    EXPECT_FALSE(FitsHeaderOrientation({{"CDELT1", "2"}, {"CDELT2", "2"}, {"CUNIT1", "parsec"}}));
}

TEST(FitsHeaderDisk, CentreWhereSolarXAndYAreZeroAndRadiusInPixels) {
    // 2 arcsec a pixel, the reference pixel (1-based) at (101, 51) looking at solar
    // (10, -4): x = y = 0 lies 5 pixels left and 2 up of it, at FITS pixel (96, 53), which
    // is 0-based column 95 and, in a picture of 120 rows with row 1 at the bottom, row 67.
    FitsKeywords k = {{"CDELT1", "2"},  {"CDELT2", "2"},  {"CRPIX1", "101"},   {"CRPIX2", "51"},
                      {"CRVAL1", "10"}, {"CRVAL2", "-4"}, {"RSUN_OBS", "960"}, {"R_SUN", "1"},
                      {"X0", "1"},      {"Y0", "1"}};
    auto disk = FitsHeaderDisk(k, 120);
    ASSERT_TRUE(disk);
    EXPECT_DOUBLE_EQ(disk->disk.cx, 95);
    EXPECT_DOUBLE_EQ(disk->disk.cy, 67);
    EXPECT_DOUBLE_EQ(disk->disk.r, 480); // 960" over 2" a pixel; the stale R_SUN is not read
    // In arcminutes the same header says the same, and SOLAR_R stands in for RSUN_OBS.
    k = {{"CDELT1", "0.0333333333333333"},
         {"CDELT2", "0.0333333333333333"},
         {"CUNIT1", "arcmin"},
         {"CUNIT2", "arcmin"},
         {"CRPIX1", "101"},
         {"CRPIX2", "51"},
         {"CRVAL1", "0.1666666666666667"},
         {"CRVAL2", "-0.0666666666666667"},
         {"SOLAR_R", "960"}};
    disk = FitsHeaderDisk(k, 120);
    ASSERT_TRUE(disk);
    EXPECT_NEAR(disk->disk.cx, 95, 1e-9);
    EXPECT_NEAR(disk->disk.cy, 67, 1e-9);
    EXPECT_NEAR(disk->disk.r, 480, 1e-9);
    k.erase("SOLAR_R");
    EXPECT_FALSE(FitsHeaderDisk(k, 120));
}

TEST(ReadFitsHeader, ValuesOutOfRangeArePassedOverWithANoteNamingTheKeyword) {
    // A good header: 2" a pixel, the disk centre at the reference pixel, radius 480 px.
    const FitsKeywords good = {{"CDELT1", "2"},     {"CDELT2", "2"},
                               {"CRPIX1", "101"},   {"CRPIX2", "51"},
                               {"RSUN_OBS", "960"}, {"DATE-OBS", "2014-03-01T00:00:00"}};
    auto with = [&](FitsKeywords extra) {
        FitsKeywords k = good;
        for (auto& [name, value] : extra)
            k[name] = value;
        return k;
    };
    const Instant goodInstant{2014, 3, 1, 0, 0, 0};
    const struct {
        FitsKeywords k;
        bool disk;
        bool orientation;
        std::optional<Instant> instant;
        const char* note;
    } cases[] = {
        {with({{"RSUN_OBS", "1e308"}}), false, true, goodInstant,
         "RSUN_OBS = 1e308 ignored: outside 60 to 36000 arcseconds"},
        {with({{"RSUN_OBS", "1e-300"}}), false, true, goodInstant,
         "RSUN_OBS = 1e-300 ignored: outside 60 to 36000 arcseconds"},
        {with({{"RSUN_OBS", "-960"}}), false, true, goodInstant,
         "RSUN_OBS = -960 ignored: a radius is positive"},
        {with({{"CRPIX1", "1e300"}}), false, true, goodInstant,
         "CRPIX1 = 1e300 ignored: outside 0 to 1000000 pixels"},
        {with({{"CDELT1", "1e-200"}}), false, false, goodInstant,
         "CDELT1 = 1e-200 ignored: outside 0.0001 to 3600 arcseconds a pixel"},
        {with({{"CDELT2", "NaN"}}), false, false, goodInstant,
         "CDELT2 = NaN ignored: not a number"},
        {with({{"CD1_1", "1D300"}, {"CD2_2", "2"}}), false, false, goodInstant,
         "CD1_1 = 1D300 ignored: outside 0 to 3600 arcseconds a pixel"},
        {with({{"CRVAL2", "-1e300"}}), false, false, goodInstant,
         "CRVAL2 = -1e300 ignored: outside 0 to 648000 arcseconds"},
        {with({{"CROTA2", "1e300"}}), false, false, goodInstant,
         "CROTA2 = 1e300 ignored: outside 0 to 360 degrees"},
        // 60" over 3600" a pixel: a disk a sixtieth of a pixel across.
        {with({{"CDELT1", "3600"}, {"CDELT2", "3600"}, {"RSUN_OBS", "60"}}), false, true,
         goodInstant,
         "the disk radius by the solar radius and the pixel scale ignored: 0.0167 pixels, "
         "outside 1 to 1000000 pixels"},
        // Solar x = 0 lies 600000" / 0.0001" = 6e9 pixels left of the reference pixel.
        {with({{"CDELT1", "0.0001"}, {"CDELT2", "0.0001"}, {"CRVAL1", "600000"}}), false, true,
         goodInstant,
         "the disk centre by CRPIX and CRVAL ignored: -6e+09, 69 lies more than 1000000 pixels "
         "off the picture"},
        {with({{"DATE-OBS", "0000-01-01"}}), true, true, std::nullopt,
         "DATE-OBS = 0000-01-01 ignored: outside the years 1600 to 9999"},
        // Rounded to the second it is 10000-01-01T00:00:00; DATE-OBS stands in.
        {with({{"DATE-AVG", "9999-12-31T23:59:59.9"}}), true, true, goodInstant,
         "DATE-AVG = 9999-12-31T23:59:59.9 ignored: outside the years 1600 to 9999"},
        {with({{"DATE-OBS", "yesterday"}}), true, true, std::nullopt,
         "DATE-OBS = yesterday ignored: not a date and time"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.note);
        const FitsHeaderReading r = ReadFitsHeader(c.k, 120);
        EXPECT_EQ(r.disk.has_value(), c.disk);
        EXPECT_EQ(FitsHeaderDisk(c.k, 120).has_value(), c.disk);
        EXPECT_EQ(r.orientation.has_value(), c.orientation);
        EXPECT_EQ(r.instant, c.instant);
        EXPECT_EQ(FitsObservationInstant(c.k), c.instant);
        EXPECT_THAT(r.notes, testing::Contains(std::string(c.note)));
    }
    // A radius out of range gives way to the next keyword that holds one.
    const FitsHeaderReading next =
        ReadFitsHeader(with({{"RSUN_OBS", "1e308"}, {"SOLAR_R", "960"}}), 120);
    ASSERT_TRUE(next.disk);
    EXPECT_DOUBLE_EQ(next.disk->disk.r, 480);
    EXPECT_EQ(next.notes.size(), 1u);
    EXPECT_TRUE(ReadFitsHeader(good, 120).notes.empty());
}

TEST(LimbFromHeaderText, OffsetOfTheCentreAndOfTheRadius) {
    // A 3-4-5 triangle: the centres lie 0.50 px apart.
    EXPECT_EQ(LimbFromHeaderText({10.3, 20.4, 46.37}, {10.0, 20.0, 46.9}),
              "Limb fit: centre 0.50 px from the FITS header's, radius -0.53 px");
}

TEST(OrientationText, NumbersAndCompassWords) {
    EXPECT_EQ(OrientationText({180.0702, 1, -1}),
              "q 180.07, flip +1, mirror -1 (solar north down, east right)");
    EXPECT_EQ(OrientationText({0, 1, 1}),
              "q 0.00, flip +1, mirror +1 (solar north up, east right)");
}

} // namespace
} // namespace zorva
