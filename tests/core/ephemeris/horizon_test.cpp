#include "core/ephemeris/horizon.h"

#include <cmath>
#include <gtest/gtest.h>

namespace zorva {
namespace {

TEST(Horizon, SiderealTimeMatchesMeeus) {
    // Meeus, Astronomical Algorithms, example 12.a: 1987 April 10, 0h UT,
    // mean sidereal time 13h 10m 46.3668s.
    EXPECT_NEAR(SiderealTime(1987, 4, 10, 0, 0, 0), 13.0 + 10.0 / 60 + 46.3668 / 3600, 2e-5);
    // Example 12.b: 19h 21m 00s UT the same day, 8h 34m 57.0896s.
    EXPECT_NEAR(SiderealTime(1987, 4, 10, 19, 21, 0), 8.0 + 34.0 / 60 + 57.0896 / 3600, 2e-5);
}

TEST(Horizon, AltitudeAndAzimuthAroundTheSky) {
    struct Case {
        const char* what;
        double lat, lon, ra, dec, gst;
        double alt, azi;
    };
    const Case cases[] = {
        // Upper culmination: due south at 90 - lat + dec.
        {"noon", 51.5, 0, 6, 20, 6, 58.5, 180},
        // Six hours before and after culmination with dec 0: on the horizon, E and W.
        {"rising", 51.5, 0, 12, 0, 6, 0, 90},
        {"setting", 51.5, 0, 12, 0, 18, 0, 270},
        // The observer's longitude shifts the local sidereal time (east positive).
        {"east", 51.5, 90, 12, 0, 0, 0, 90},
        // Southern site, Sun culminating north of the zenith.
        {"south", -33.9, 0, 0, 10, 0, 90 - 43.9, 0},
        // The poles: altitude is the declination, azimuth follows the hour angle.
        {"north pole", 90, 0, 3, 15, 9, 15, 90 - 180 + 360},
        {"south pole", -90, 0, 3, -15, 9, 15, 360 - 90},
    };
    for (const Case& c : cases) {
        const HorizonCoordinates h = HorizonPosition(c.lat, c.lon, c.ra, c.dec, c.gst);
        EXPECT_NEAR(h.altitude, c.alt, 1e-9) << c.what;
        // Compared round the circle, so 359.9999999 matches 0.
        EXPECT_NEAR(std::remainder(h.azimuth - c.azi, 360.0), 0.0, 1e-5) << c.what;
    }
}

// Both are undefined at the zenith; 0 is the convention the readouts keep.
TEST(Horizon, ZenithGivesZeroAzimuthAndAngle) {
    const HorizonCoordinates h = HorizonPosition(0, 0, 6, 0, 6);
    EXPECT_EQ(h.altitude, 90);
    EXPECT_EQ(h.azimuth, 0);
    EXPECT_EQ(ComputeParallacticAngle(0, 0, h.altitude, h.azimuth), 0);
}

TEST(Horizon, ParallacticAngleSignAndMeridian) {
    // Morning: azimuth below 180 and a negative angle; afternoon the opposite.
    for (const double gst : {3.0, 9.0}) {
        const HorizonCoordinates h = HorizonPosition(51.5, 0, 6, 10, gst);
        const double q = ComputeParallacticAngle(51.5, 10, h.altitude, h.azimuth);
        EXPECT_EQ(h.azimuth < 180, gst < 6);
        EXPECT_EQ(q < 0, gst < 6) << gst;
        EXPECT_GT(std::fabs(q), 1);
    }
    // On the meridian the cosine may round past 1; the angle stays a number.
    for (double lat = -80; lat <= 80; lat += 0.37) {
        for (double dec = -23.4; dec <= 23.4; dec += 0.61) {
            if (std::fabs(lat - dec) < 1) continue; // near the zenith the angle is ill-defined
            const HorizonCoordinates h = HorizonPosition(lat, 0, 12, dec, 12);
            const double q = ComputeParallacticAngle(lat, dec, h.altitude, h.azimuth);
            ASSERT_TRUE(std::isfinite(q)) << lat << " " << dec;
            ASSERT_TRUE(std::fabs(q) < 1e-4 || std::fabs(std::fabs(q) - 180) < 1e-4)
                << lat << " " << dec << " " << q;
        }
    }
    // Directly forced past the bounds: the cosine taken as 1, so the angle is 0.
    EXPECT_EQ(ComputeParallacticAngle(50, 0, 40.0000001, 200), 0); // cosine just above 1
    EXPECT_TRUE(std::isfinite(ComputeParallacticAngle(45, 45.0000000001, 89.9999999999, 180)));
}

// The boxes' rule: latitude -90..90; longitude -180..360 (east positive), above 180 less 360.
TEST(Horizon, ObserverLimitsAndFolding) {
    struct Case {
        double value;
        bool accepted;
        double held;
    };
    double lat = 51.5;
    for (const Case c : {Case{90, true, 90},
                         {-90, true, -90},
                         {90.001, false, 0},
                         {-91, false, 0},
                         {12.25, true, 12.25}}) {
        lat = 7;
        EXPECT_EQ(AcceptObserverLatitude(c.value, lat), c.accepted) << c.value;
        EXPECT_EQ(lat, c.accepted ? c.held : 7) << c.value;
    }
    double lon = 0.5;
    for (const Case c : {Case{270, true, -90},
                         {-180, true, -180},
                         {360, true, 0},
                         {180, true, 180},
                         {180.5, true, -179.5},
                         {361, false, 0},
                         {-181, false, 0}}) {
        lon = 7;
        EXPECT_EQ(AcceptObserverLongitude(c.value, lon), c.accepted) << c.value;
        EXPECT_EQ(lon, c.accepted ? c.held : 7) << c.value;
    }
    EXPECT_FALSE(AcceptObserverLatitude(std::nan(""), lat));
}

} // namespace
} // namespace zorva
