// North on a picture: from the drift with the drive off, from a turn given, and solved
// from the day's regions.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/chart/projection.h"
#include "core/common/angles.h"
#include "core/images/picture_north.h"
#include "core/spots/spot_types.h"

namespace zorva {
namespace {

using degrees::Cos;
using degrees::Sin;

double Apart(double a, double b) {
    const double d = std::fmod(std::abs(a - b), 360.0);
    return std::min(d, 360 - d);
}

TEST(PictureNorth, TheDriftRunsWest) {
    // Hand derivation: as the sky is seen, north up puts west to the right; the picture
    // turned so that the drift runs up puts west up and north to the left (90). Mirrored
    // (a projection), west lies a quarter turn counter-clockwise of north.
    const struct {
        double dx, dy; // pixels, y down
        EastSense east;
        double north;
    } cases[] = {
        {40, 0, EastSense::AsTheSky, 0},    {-40, 0, EastSense::AsTheSky, 180},
        {0, -40, EastSense::AsTheSky, 90},  {30, -30, EastSense::AsTheSky, 45},
        {-40, 0, EastSense::Mirrored, 0},   {40, 0, EastSense::Mirrored, 180},
        {0, -40, EastSense::Mirrored, 270}, {0, 40, EastSense::Mirrored, 90},
    };
    for (const auto& c : cases) {
        const DriftNorth n = NorthFromDrift(100, 100, 100 + c.dx, 100 + c.dy, c.east);
        ASSERT_TRUE(n.celestialNorthTurn) << n.error;
        EXPECT_NEAR(Apart(*n.celestialNorthTurn, c.north), 0, 1e-9) << c.dx << " " << c.dy;
    }
    EXPECT_FALSE(NorthFromDrift(10, 10, 11, 11, EastSense::AsTheSky).celestialNorthTurn);
    // Two pictures: the disk moved 50 px to the right; a disk of another size is refused.
    const DriftNorth two =
        NorthFromTwoDisks({200, 300, 150}, {250, 300, 150.5}, EastSense::AsTheSky);
    ASSERT_TRUE(two.celestialNorthTurn);
    EXPECT_NEAR(*two.celestialNorthTurn, 0, 1e-9);
    EXPECT_FALSE(NorthFromTwoDisks({200, 300, 150}, {250, 300, 160}, EastSense::AsTheSky)
                     .celestialNorthTurn);
    EXPECT_FALSE(NorthFromTwoDisks({200, 300, 150}, {200.5, 300, 150}, EastSense::AsTheSky)
                     .celestialNorthTurn);
}

// A turn given in any mode puts that mode's north where it says, whatever the flip and
// mirror; the second method is DiskToPixel itself: where it draws the north pole.
TEST(PictureNorth, ATurnPutsTheModesNorthWhereItSays) {
    constexpr double kP = 17.5, kParallactic = -31;
    for (const Orientation mode :
         {Orientation::Equatorial, Orientation::RotationAxis, Orientation::AltAzimuth}) {
        for (const int32_t mirror : {1, -1}) {
            for (double turn = 0; turn < 360; turn += 15) {
                ChartGeometry g;
                g.Mode = mode;
                g.MirrorSign = mirror;
                g.Turn = turn;
                const double q = ChartRotation(g, kP, kParallactic);
                DiskFrame f = FrameOf(g, q);
                f.rx = f.ry = 1;
                // The mode's north: celestial north lies at solar position angle -P, the
                // zenith at -(P - parallactic angle), the axis at 0.
                const double pa = mode == Orientation::Equatorial   ? -kP
                                  : mode == Orientation::AltAzimuth ? -(kP - kParallactic)
                                                                    : 0;
                const PixelPoint p = DiskToPixel(f, 1, pa);
                const double drawn = Degrees360(std::atan2(-p.x, -p.y) * 180 / M_PI);
                EXPECT_NEAR(Apart(drawn, turn), 0, 1e-9) << turn;
                // And the frame's own north and east agree with the drawing.
                const SolarNorth n = NorthOfFrame(q, 1, mirror);
                const PixelPoint pole = DiskToPixel(f, 1, 0);
                EXPECT_NEAR(Apart(n.turn, std::atan2(-pole.x, -pole.y) * 180 / M_PI), 0, 1e-9);
                EXPECT_EQ(n.east, mirror == -1 ? EastSense::AsTheSky : EastSense::Mirrored);
            }
        }
    }
}

// Groups made from regions placed on a disk turned by a known north, each moved a little
// as a real group lies off its region's listed position; the solver finds that north.
TEST(PictureNorth, SolvedFromTheRegionsGroupsLieOn) {
    const std::vector<RegionPlace> regions = [] {
        std::vector<RegionPlace> r;
        const double at[][2] = {{0.3, 20}, {0.55, 100}, {0.7, 200}, {0.2, 290}, {0.8, 330}};
        for (const auto& a : at) {
            RegionPlace p;
            p.Visible = true;
            p.Disk.r = a[0];
            p.Disk.pa = a[1];
            r.push_back(p);
        }
        RegionPlace hidden; // behind the limb: never matched
        r.push_back(hidden);
        return r;
    }();
    const Circle disk{400, 300, 200};
    const auto groupsFor = [&](double north, int32_t sense, std::size_t count) {
        std::vector<SpotGroup> g;
        const double nudge[] = {0.01, -0.02, 0.015, -0.01, 0.02};
        for (std::size_t i = 0; i < count; ++i) {
            const double angle = north + sense * regions[i].Disk.pa;
            const double r = regions[i].Disk.r + nudge[i];
            SpotGroup s;
            s.x = disk.cx - disk.r * r * Sin(angle);
            s.y = disk.cy - disk.r * r * Cos(angle);
            g.push_back(s);
        }
        SpotGroup stray; // a group the summary does not list
        stray.x = disk.cx + 0.9 * disk.r * Sin(37);
        stray.y = disk.cy + 0.1 * disk.r;
        g.push_back(stray);
        return g;
    };
    for (const int32_t sense : {1, -1}) {
        for (double north = 0; north < 360; north += 45) {
            const std::vector<SpotGroup> groups = groupsFor(north, sense, 5);
            const NorthSolution s = SolveNorthFromRegions(groups, disk, regions);
            ASSERT_TRUE(s.north) << s.error;
            EXPECT_LT(Apart(s.north->turn, north), 1.0);
            EXPECT_EQ(s.north->east, sense == 1 ? EastSense::AsTheSky : EastSense::Mirrored);
            EXPECT_EQ(s.matched, 5);
            EXPECT_EQ(s.groups, 6);
            EXPECT_LT(s.residual, 0.03);
        }
    }
    // One group alone cannot tell; two groups at the same distance from the centre fit
    // mirrored and not equally well.
    const NorthSolution one = SolveNorthFromRegions(groupsFor(30, 1, 1), disk, regions);
    EXPECT_FALSE(one.north);
    EXPECT_NE(one.error.find("at least two"), std::string::npos) << one.error;
    std::vector<RegionPlace> pair(2);
    for (RegionPlace& p : pair)
        p.Visible = true;
    pair[0].Disk = {0, 0.5, 10};
    pair[1].Disk = {0, 0.5, 70};
    std::vector<SpotGroup> two(2);
    two[0].x = disk.cx, two[0].y = disk.cy - 100;
    two[1].x = disk.cx - 100 * Sin(60), two[1].y = disk.cy - 100 * Cos(60);
    const NorthSolution either = SolveNorthFromRegions(two, disk, pair);
    EXPECT_FALSE(either.north);
    EXPECT_NE(either.error.find("equally well"), std::string::npos) << either.error;
}

} // namespace
} // namespace zorva
