#include <cmath>
#include <gtest/gtest.h>
#include <string>

#include "core/ephemeris/planets.h"
#include "core/ephemeris/year_tables.h"

namespace zorva {
namespace {

// The transits of the catalogue of F. Espenak (NASA, "Transits of Mercury" and "Transits
// of Venus", geocentric): the instant of greatest transit, the least distance of the
// planet's centre from the Sun's and the planet's diameter then. The least distance is
// found here by stepping through the hours round it a minute at a time.
TEST(Planets, TransitsOfMercuryAndVenusAsCatalogued) {
    struct Case {
        InnerPlanet planet;
        int32_t year, month, day;
        double greatestHour; // UT
        double leastArcseconds;
        double diameterArcseconds;
    };
    const Case cases[] = {
        {InnerPlanet::Mercury, 2019, 11, 11, 15 + 19.8 / 60, 75.9, 10.0},
        {InnerPlanet::Mercury, 2016, 5, 9, 14 + 57.4 / 60, 318.5, 12.0},
        {InnerPlanet::Venus, 2012, 6, 6, 1 + 29.6 / 60, 554.4, 57.8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(InnerPlanetName(c.planet)) + " " + std::to_string(c.year));
        double least = 1e9, atHour = 0;
        PlanetAgainstSun there;
        for (int minute = -120; minute <= 120; ++minute) {
            const double hour = c.greatestHour + minute / 60.0;
            const PlanetAgainstSun p = InnerPlanetAt(c.planet, c.year, c.month, c.day, hour / 24);
            if (p.separation < least) {
                least = p.separation;
                atHour = hour;
                there = p;
            }
        }
        EXPECT_NEAR(least * 3600, c.leastArcseconds, 2.0);
        EXPECT_NEAR(atHour, c.greatestHour, 2.0 / 60);
        EXPECT_NEAR(2 * there.radius * 3600, c.diameterArcseconds, 0.3);
    }
}

// On a picture the planet lies at its separation over the Sun's semidiameter from the
// centre, in the direction its position angle gives turned as the picture is: with
// celestial north up and east to the right, a planet due north of the Sun's centre is
// straight up. Off the disk it is nowhere.
TEST(Planets, APlanetIsPlacedOnThePicture) {
    YearTables tables(std::nullopt);
    const Instant greatest{2019, 11, 11, 15, 20, 0};
    const Ephemeris e = tables.At(greatest, {});
    ChartGeometry g; // celestial north up, east to the right
    const DiskFrame frame = ImageFrame(500, 400, 300, g, ChartRotation(g, e.P, 0));
    const std::optional<PlanetOnDisk> on =
        PlaceInnerPlanet(InnerPlanet::Mercury, greatest, frame, e);
    ASSERT_TRUE(on.has_value());
    const PlanetAgainstSun p =
        InnerPlanetAt(InnerPlanet::Mercury, 2019, 11, 11, (15 + 20 / 60.0) / 24);
    const double semidiameter = ApparentDiameter(e) / 2;
    EXPECT_NEAR(on->distance, p.separation / semidiameter, 1e-9);
    EXPECT_NEAR(std::hypot(on->x - 500, on->y - 400), 300 * on->distance, 1e-6);
    // East to the right: position angle 90 is +x, 0 is -y.
    constexpr double kPi = 3.141592653589793;
    EXPECT_NEAR(on->x - 500, 300 * on->distance * std::sin(p.positionAngle * kPi / 180), 1e-6);
    EXPECT_NEAR(on->y - 400, -300 * on->distance * std::cos(p.positionAngle * kPi / 180), 1e-6);
    EXPECT_NEAR(on->radius, 300 * p.radius / semidiameter, 1e-9);
    EXPECT_FALSE(PlaceInnerPlanet(InnerPlanet::Mercury, Instant{2019, 11, 12, 12, 0, 0}, frame,
                                  tables.At(Instant{2019, 11, 12, 12, 0, 0}, {})));
    EXPECT_FALSE(PlaceInnerPlanet(InnerPlanet::Venus, greatest, frame, e));
}

} // namespace
} // namespace zorva
