#include "core/ephemeris/year_tables.h"
#include "core/srs/region_positions.h"

#include <cmath>
#include <gtest/gtest.h>
#include <sstream>

#include "core/chart/projection.h"
#include "core/ephemeris/horizon.h"
#include "support/test_support.h"

namespace zorva {
namespace {

// Longitude difference folded into -180..180.
double Folded(double d) {
    return std::remainder(d, 360.0);
}

SrsRegion Region(int32_t cm) {
    SrsRegion r;
    r.CentralLongitude = cm;
    return r;
}

TEST(RegionPositions, ReferenceLongitudeIsTheMostFrequentFirstListed) {
    const std::vector<SrsRegion> tie = {Region(120), Region(121), Region(121), Region(120)};
    EXPECT_EQ(ReferenceLongitude(tie), 120);
    const std::vector<SrsRegion> later = {Region(10), Region(20), Region(20)};
    EXPECT_EQ(ReferenceLongitude(later), 20);
    EXPECT_FALSE(ReferenceLongitude({}));
    EXPECT_EQ(RegionLongitudeOffset(later, 25.5), 5.5);
    EXPECT_EQ(RegionLongitudeOffset({}, 25.5), 0.0);
}

// At the time the summary's locations are valid, every region drawn on the chart lies at
// its listed latitude and distance from the central meridian within a degree: the drawn
// pixel is taken back to the Sun by the inverse projection of a click.
TEST(RegionPositions, AtTheValidTimeRegionsLieWhereTheFileLists) {
    ZORVA_TEST_DATA(data);
    struct Look {
        int32_t flip, mirror;
        Orientation mode;
    };
    const Look looks[] = {{1, 1, Orientation::Equatorial},
                          {-1, -1, Orientation::Equatorial},
                          {1, -1, Orientation::AltAzimuth},
                          {-1, 1, Orientation::RotationAxis}};
    // The valid times as the files print them ("06/2400Z" in a file of 7 June).
    const std::pair<const char*, Instant> files[] = {{"19960106SRS.txt", {1996, 1, 6, 0, 0, 0}},
                                                     {"20100621SRS.txt", {2010, 6, 21, 0, 0, 0}},
                                                     {"20110607SRS.txt", {2011, 6, 7, 0, 0, 0}},
                                                     {"20150906SRS.txt", {2015, 9, 6, 0, 0, 0}}};
    YearTables tables(std::nullopt);
    int checked = 0;
    for (const auto& [file, valid] : files) {
        const SrsSummary s = LoadSrsFile(data / "srs" / file);
        ASSERT_EQ(s.Status, SrsStatus::Complete) << s.Error;
        const Ephemeris now = tables.At(valid, Observer{});
        const double offset = RegionLongitudeOffset(s.Regions, tables.At(s.Epoch, {}).L0);
        const std::vector<RegionPlace> places = PlaceRegions(s.Regions, offset, now);
        ASSERT_EQ(places.size(), s.Regions.size());
        for (const Look& look : looks) {
            ChartGeometry g;
            g.ChartDiameter = 150;
            g.FlipSign = look.flip;
            g.MirrorSign = look.mirror;
            g.Mode = look.mode;
            const double q = ChartRotation(g.Mode, now.P, now.ParallacticAngle);
            const int32_t side = ChartSide(g.ChartDiameter);
            const DiskFrame frame = ChartDiskFrame(side, side, g, q);
            for (std::size_t i = 0; i < places.size(); ++i) {
                SCOPED_TRACE(std::string(file) + " region " + std::to_string(s.Regions[i].Number));
                const auto px = RegionPixel(frame, places[i]);
                ASSERT_TRUE(px);
                const DiskClick click = PointToDisk(frame, px->X, px->Y);
                const LatLong at = LocatePoint(click.x, click.y, frame, now).value_or(LatLong{});
                EXPECT_NEAR(at.lat, s.Regions[i].Latitude, 1.0);
                EXPECT_NEAR(Folded(now.L0 - at.lon), s.Regions[i].CentralDistance, 1.0);
                // The millimetres of the command line, unrounded, agree too.
                const DiskPoint mm = RegionChartPoint(places[i], frame);
                const LatLong exact = LocatePoint(mm.x, mm.y, frame, now).value_or(LatLong{});
                EXPECT_NEAR(exact.lat, s.Regions[i].Latitude, 1.0);
                EXPECT_NEAR(Folded(now.L0 - exact.lon), s.Regions[i].CentralDistance, 1.0);
                ++checked;
            }
        }
    }
    EXPECT_EQ(checked, 4 * (2 + 1 + 5 + 2));
}

// A summary for 5 May 2006 holds at 5 May 00:00 (its "04/2400Z"): a day later its regions
// have turned by the day's change of L0, about 13.2 degrees (360 / 27.2753 days, the
// synodic Carrington period), towards the west limb.
TEST(RegionPositions, RegionsTurnWithTheCarringtonFrame) {
    std::istringstream in(":Product: 0505SRS.txt\nI.  Regions with Sunspots.  Locations Valid "
                          "at 04/2400Z\nNmbr Location  Lo  Area  Z   LL   NN Mag Type\n"
                          "0875 S08W42   290  0120 Dso  05   04 Beta\n"
                          "0876 N12E20   228  0030 Cro  03   02 Beta\n"
                          "0877 N05W92   340  0010 Axx  01   01 Alpha\nIA. H-alpha\n");
    const SrsSummary s = ReadSrs(in, {2006, 5, 5}, "20060505SRS.txt");
    ASSERT_EQ(s.Regions.size(), 3u);
    ASSERT_EQ(s.Epoch, (Instant{2006, 5, 5, 0, 0, 0}));
    YearTables tables(std::nullopt);
    const double offset = RegionLongitudeOffset(s.Regions, tables.At(s.Epoch, {}).L0);
    const auto atEpoch = PlaceRegions(s.Regions, offset, tables.At(s.Epoch, Observer{}));
    const auto dayLater =
        PlaceRegions(s.Regions, offset, tables.At({2006, 5, 6, 0, 0, 0}, Observer{}));
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_NEAR(atEpoch[i].CentralDistance, s.Regions[i].CentralDistance, 1e-9);
        EXPECT_TRUE(atEpoch[i].Visible);
        EXPECT_NEAR(Folded(dayLater[i].CentralDistance - atEpoch[i].CentralDistance),
                    -360 / 27.2753, 0.1);
    }
    // Beyond the west limb: not drawn.
    EXPECT_FALSE(atEpoch[2].Visible);
    EXPECT_FALSE(RegionPixel(ChartDiskFrame(300, 300, ChartGeometry{}, 0), atEpoch[2]));
}

TEST(RegionPositions, PixelsAreTakenDownward) {
    // r = 0.5 at pa 45 on a 300-pixel chart (radius 120): 0.5 * 120 * sin 45 = 42.43
    // pixels right of and above the centre 150: 192.43 and 107.57, taken down.
    RegionPlace p;
    p.Visible = true;
    p.Disk = {10, 0.5, 45};
    ChartGeometry g;
    EXPECT_EQ(RegionPixel(ChartDiskFrame(300, 300, g, 0), p), (Pixel{192, 107}));
    g.MirrorSign = -1;
    g.FlipSign = -1;
    EXPECT_EQ(RegionPixel(ChartDiskFrame(300, 300, g, 0), p), (Pixel{107, 192}));
    // Turned by 45 degrees: straight right, 60 pixels.
    EXPECT_EQ(RegionPixel(ChartDiskFrame(300, 300, ChartGeometry{}, 45), p), (Pixel{210, 150}));
    // An image disk of radius 80 about (200.5, 100.25): 28.28 pixels each way.
    EXPECT_EQ(RegionPixel(ImageFrame(200.5, 100.25, 80, ChartGeometry{}, 0), p), (Pixel{228, 71}));
    // Millimetres on a 150 mm chart: 0.5 * 75 * sin 45 = 26.52 each way.
    const DiskPoint mm = RegionChartPoint(p, DiskFrame{});
    EXPECT_NEAR(mm.x, 26.5165, 1e-4);
    EXPECT_NEAR(mm.y, 26.5165, 1e-4);
    // A frame beyond any image gives no pixel rather than an overflow.
    EXPECT_FALSE(RegionPixel(ImageFrame(1e300, 0, 80, ChartGeometry{}, 0), p));
}

} // namespace
} // namespace zorva
