#include "core/chart/rotation_markers.h"

#include <cmath>
#include <gtest/gtest.h>

namespace zorva {
namespace {

Ephemeris SampleEphemeris(double L0, double B0 = 0) {
    Ephemeris e;
    e.B0 = B0;
    e.L0 = L0;
    e.P = 15;
    e.DiamMinutes = 32;
    e.DiamSeconds = 0;
    e.Rotation = 2263;
    e.ParallacticAngle = 40;
    return e;
}

// Independent form of the equatorial drift: sidereal 14.37 deg/day seen in the
// Carrington frame (360 deg in 25.38 sidereal days), scaled to the synodic 27.2753 days.
constexpr double kEquatorDrift = (14.37 * 25.38 - 360.0) / 27.2753;

// By the seam rule: a longitude more than 180 deg below L0 is in the rotation before, one
// more than 180 above it in the next; exactly 180 stays.
TEST(RotationMarkers, SpotRotationAcrossTheSeam) {
    struct Case {
        double spotLong, L0;
        int32_t rotation;
    };
    const Case cases[] = {
        {10, 350, 2262},   {350, 10, 2264}, {100, 200, 2263}, {300, 200, 2263},
        {19.9, 200, 2262}, {20, 200, 2263}, {190, 10, 2263},  {190.1, 10, 2264},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RotationAtLongitude(c.spotLong, c.L0, 2263), c.rotation)
            << c.spotLong << " " << c.L0;
    }
}

TEST(RotationMarkers, ProjectLimbPointPutsTheNearSideOnTheLimb) {
    DiskPosition p{0, 0.3, 77};
    ProjectLimbPoint(0, 80, 0.53, 0, p);
    EXPECT_NEAR(p.rho, 80, 1e-9);
    EXPECT_EQ(p.r, 1);
    EXPECT_NEAR(p.pa, 90, 1e-9);
    ProjectLimbPoint(0, -80, 0.53, 0, p);
    EXPECT_NEAR(p.pa, 270, 1e-9);
    ProjectLimbPoint(20, 0, 0.53, 20, p);
    EXPECT_EQ(p, (DiskPosition{0, 1, 0}));

    p = {0, 0.3, 77};
    ProjectLimbPoint(0, 91, 0.53, 0, p);
    EXPECT_EQ(p, (DiskPosition{FarSide, 0.3, 77}));
}

// Carried with an unchanged ephemeris, the Carrington marker sits where the spot was
// typed, whatever the orientation and signs.
TEST(RotationMarkers, CarringtonMarkerStartsOnTheSpot) {
    const Ephemeris e = SampleEphemeris(123, 5.5);
    for (const Orientation mode :
         {Orientation::Equatorial, Orientation::RotationAxis, Orientation::AltAzimuth}) {
        for (const int sx : {1, -1}) {
            for (const int sy : {1, -1}) {
                ChartGeometry g;
                g.Mode = mode;
                g.MirrorSign = sx;
                g.FlipSign = sy;
                SpotState spot;
                spot.SpotX = 20;
                spot.SpotY = -31;
                LocateSpot(spot, FrameAt(g, e), e);
                MarkerState m;
                m.CarrMarkerShown = true;
                const Instant t{2020, 5, 1, 12, 0, 0};
                CarryRotationMarkers(t, t, e, FrameAt(g, e), spot, m, DateFoldLimit);
                EXPECT_TRUE(m.CarrRefSet);
                EXPECT_EQ(m.CarrRefLong, spot.At->longitude);
                EXPECT_FALSE(m.CarrMarkerFarSide);
                EXPECT_NEAR(m.CarrMarkerX, 20, 0.1) << int(mode) << sx << sy;
                EXPECT_NEAR(m.CarrMarkerY, -31, 0.1) << int(mode) << sx << sy;
            }
        }
    }
}

TEST(RotationMarkers, CarringtonMarkerKeepsItsLongitudeAndGoesBehind) {
    const DiskFrame g; // the rotation axis up: not turned
    SpotState spot;
    spot.SpotX = 30;
    spot.SpotY = 10;
    LocateSpot(spot, g, SampleEphemeris(5));
    MarkerState m;
    m.CarrMarkerShown = true;
    const Instant t0{2020, 5, 1, 12, 0, 0};
    CarryRotationMarkers(t0, t0, SampleEphemeris(5), g, spot, m, DateFoldLimit);
    const double x0 = m.CarrMarkerX, y0 = m.CarrMarkerY;
    const double ref = m.CarrRefLong;

    // Half a rotation on, the spot is behind the disk: shown mirrored through it.
    const Instant t1{2020, 5, 15, 12, 0, 0};
    CarryRotationMarkers(t0, t1, SampleEphemeris(185), g, spot, m, DateFoldLimit);
    EXPECT_EQ(m.CarrRefLong, ref);
    EXPECT_TRUE(m.CarrMarkerFarSide);
    EXPECT_NEAR(m.CarrMarkerX, -x0, 0.1);
    EXPECT_NEAR(m.CarrMarkerY, y0, 0.1);

    // Back at L0 = 5: the spot east of the centre has a longitude near 340, across the
    // seam from L0, and sits where it was typed.
    EXPECT_GT(ref, 300);
    CarryRotationMarkers(t1, t0, SampleEphemeris(5), g, spot, m, DateFoldLimit);
    EXPECT_FALSE(m.CarrMarkerFarSide);
    EXPECT_NEAR(m.CarrMarkerX, x0, 0.1);
    EXPECT_NEAR(m.CarrMarkerY, y0, 0.1);
}

TEST(RotationMarkers, DifferentialLongitudeFoldsAcrossTheSeam) {
    const DiskFrame g;
    SpotState spot;
    spot.At.emplace();
    spot.At->rho = 10;
    spot.At->latitude = 0;
    spot.At->longitude = 359.9;
    spot.At->rotation = RotationAtLongitude(359.9, 5, 2263);
    EXPECT_EQ(spot.At->rotation, 2264);
    MarkerState m;
    m.DiffMarkerShown = true;
    const Instant t0{2021, 3, 1, 0, 0, 0};
    const Instant t1{2021, 3, 2, 0, 0, 0};
    CarryRotationMarkers(t0, t1, SampleEphemeris(5), g, spot, m, TimeFoldLimit);
    EXPECT_NEAR(spot.At->longitude, 359.9 + kEquatorDrift - 360, 1e-9);
    EXPECT_EQ(spot.At->rotation, 2263);
    EXPECT_FALSE(m.DiffMarkerFarSide);
    EXPECT_GT(m.DiffMarkerX, 0); // 5 degrees east of the central meridian
    EXPECT_LT(m.DiffMarkerX, 10);

    // And back the other way.
    CarryRotationMarkers(t1, t0, SampleEphemeris(5), g, spot, m, TimeFoldLimit);
    EXPECT_NEAR(spot.At->longitude, 359.9, 1e-9);
}

TEST(RotationMarkers, HighLatitudeDriftsBackwardAndFoldsFully) {
    const DiskFrame g;
    const Instant t0{2021, 3, 1, 0, 0, 0};
    const Instant farAway{2031, 3, 1, 0, 0, 0}; // a typed year: ten years on, 3652 days
    for (const int limit : {DateFoldLimit, TimeFoldLimit}) {
        SpotState spot;
        spot.At.emplace();
        spot.At->rho = 10;
        spot.At->latitude = 60;
        spot.At->longitude = 100;
        MarkerState m;
        m.DiffMarkerShown = true;
        CarryRotationMarkers(t0, farAway, SampleEphemeris(5), g, spot, m, limit);
        const double rate = (14.37 - 2.6 * 0.75) * 25.38 / 27.2753 - 360 / 27.2753;
        const double expected = std::fmod(100 + 3652 * rate + 3600000, 360);
        EXPECT_NEAR(spot.At->longitude, expected, 1e-6) << limit;
        EXPECT_GE(spot.At->longitude, 0);
        EXPECT_LT(spot.At->longitude, 360);
    }
}

TEST(RotationMarkers, NothingMovesOffTheDisk) {
    const DiskFrame g;
    SpotState spot; // not located: every angle NoValue
    MarkerState m;
    m.CarrMarkerShown = true;
    m.DiffMarkerShown = true;
    m.DiffMarkerX = 7;
    const SpotState before = spot;
    const MarkerState markersBefore = m;
    CarryRotationMarkers({2021, 3, 1, 0, 0, 0}, {2021, 3, 9, 0, 0, 0}, SampleEphemeris(5), g, spot,
                         m, DateFoldLimit);
    EXPECT_EQ(spot, before);
    EXPECT_EQ(m, markersBefore);
}

TEST(RotationMarkers, LimbBandGoesOnTheLimb) {
    // Just beyond the apparent limb (90 - D/2) but short of 90: on the geometric limb.
    const DiskFrame g;
    const Ephemeris e = SampleEphemeris(100);
    double x = 0, y = 0;
    bool far = false;
    PlaceMarker(100 - 89.9, 0, e, g, x, y, far);
    EXPECT_TRUE(far);
    EXPECT_NEAR(x, 75, 1e-9);
    EXPECT_NEAR(y, 0, 1e-9);
    PlaceMarker(100 + 89.9, 0, e, g, x, y, far);
    EXPECT_TRUE(far);
    EXPECT_NEAR(x, -75, 1e-9);
    // Just beyond the geometric limb: mirrored back onto the limb band's other side.
    PlaceMarker(100 - 90.1, 0, e, g, x, y, far);
    EXPECT_TRUE(far);
    EXPECT_NEAR(x, 75, 1e-9);
}

} // namespace
} // namespace zorva
