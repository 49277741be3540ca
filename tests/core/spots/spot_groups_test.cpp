#include <gtest/gtest.h>
#include <vector>

#include "core/ephemeris/year_tables.h"
#include "core/spots/region_match.h"
#include "core/spots/spot_groups.h"
#include "core/srs/region_positions.h"
#include "support/test_support.h"

namespace zorva {
namespace {

// Angles on the sphere by spherical trigonometry: along a meridian the difference of the
// latitudes, along the equator of the longitudes, and across a pole 180 less the two
// latitudes.
TEST(SpotGroups, DistancesAndRadiiOnTheSphere) {
    struct Case {
        double lat1, long1, lat2, long2, degrees;
    };
    const Case cases[] = {
        {0, 0, 10, 0, 10},     {0, 350, 0, 10, 20}, {60, 0, 60, 180, 60},
        {-20, 40, -20, 40, 0}, {0, 0, 0, 90, 90},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(HeliographicDistance(c.lat1, c.long1, c.lat2, c.long2), c.degrees, 1e-9);
    // A cap of radius a covers 1 - cos a of the hemisphere: 1 degree is 152.3 millionths.
    EXPECT_NEAR(SpotRadiusDegrees(152.3), 1.0, 1e-3);
    EXPECT_EQ(SpotRadiusDegrees(0), 0.0);
    EXPECT_NEAR(SpotRadiusDegrees(1e6), 90.0, 1e-9);
}

// The grouping rule, case by case. With the links of 3 and 20 degrees: two spots of 100
// millionths (radius 0.81 degrees) reach 3 + 0.25 sqrt(100) = 5.5 degrees along the
// parallel edge to edge and 3 across it; a group of their 200 millionths may be
// 6 + 0.1 sqrt(200) = 7.4 degrees tall.
TEST(SpotGroups, GroupsFollowTheParallelsAndAreSplitByGaps) {
    const double r100 = SpotRadiusDegrees(100), r5 = SpotRadiusDegrees(5);
    const auto spot = [](double lat, double lon, double area, bool umbra = true) {
        return SpotPlace{lat, lon, SpotRadiusDegrees(area), area, umbra};
    };
    struct Case {
        const char* what;
        std::vector<SpotPlace> spots;
        std::vector<int32_t> groups;
    };
    // A bipolar pair 12 degrees long with pores between: a chain the pores could bridge,
    // but the two large spots reach each other through the smaller one in the middle.
    std::vector<SpotPlace> bipolar = {spot(10, 0, 300), spot(10.5, 6, 60), spot(11, 12, 200)};
    const Case cases[] = {
        {"edges 5 degrees apart along a parallel",
         {spot(0, 0, 100), spot(0, 5 + 2 * r100, 100)},
         {0, 0}},
        {"edges 6 degrees apart along a parallel",
         {spot(0, 0, 100), spot(0, 6 + 2 * r100, 100)},
         {0, 1}},
        {"edges 4 degrees apart across the parallels",
         {spot(10, 30, 100), spot(10 + 4 + 2 * r100, 30, 100)},
         {0, 1}},
        {"edges 2.5 degrees apart across the parallels",
         {spot(10, 30, 100), spot(10 + 2.5 + 2 * r100, 30, 100)},
         {0, 0}},
        {"a bipolar group along the parallel", bipolar, {0, 0, 0}},
        // Two groups 9 degrees of longitude apart edge to edge, with a pore between them
        // within reach of both, nearer the first: it joins that one and no more.
        {"a stray pore between two groups",
         {spot(-15, 0, 100), spot(-15, 9 + 2 * r100, 100), spot(-15, 4 + r100 + r5, 5, false)},
         {0, 1, 0}},
        {"pores alone, close together and far from the rest",
         {spot(20, 50, 5, false), spot(20, 52, 5, false), spot(20, 70, 5, false)},
         {0, 0, 1}},
        {"none", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(GroupSpots(c.spots, 3, 20).groupOf, c.groups);
    }
    // A chain of spots every 4 degrees along the parallel never grows past 20 degrees.
    std::vector<SpotPlace> chain;
    for (int k = 0; k < 10; ++k)
        chain.push_back(spot(5, 4.0 * k, 100));
    const SpotGrouping g = GroupSpots(chain, 3, 20);
    for (const double extent : g.extent)
        EXPECT_LE(extent, 20.0 + 1e-9);
    EXPECT_GE(g.extent.size(), 2u);
}

// Our groups beside the regions of a real summary (NOAA's of 7 June 2011): each found
// group is paired with its own region, even where two regions lie 8 degrees apart; what one
// side lacks is listed; a week later the regions then in the west have rotated behind the
// limb (13.2 degrees a day carries W35 to W127) and only the one then at E07 is in view.
TEST(RegionMatch, GroupsArePairedWithTheRegionsOfASummary) {
    ZORVA_TEST_DATA(data);
    const SrsSummary s = LoadSrsFile(data / "srs" / "20110607SRS.txt");
    ASSERT_EQ(s.Regions.size(), 5u); // 1226, 1227, 1228, 1232, 1233
    YearTables tables(std::nullopt);
    const Ephemeris epoch = tables.At(s.Epoch, {});
    const double offset = RegionLongitudeOffset(s.Regions, epoch.L0);
    std::vector<SpotGroup> groups;
    for (const std::size_t r : {0, 1, 2, 4}) { // 1232 not found
        SpotGroup g;
        g.id = static_cast<int32_t>(groups.size() + 1);
        g.latitude = s.Regions[r].Latitude + 0.8;
        g.longitude = s.Regions[r].Lo + offset - 1.0;
        groups.push_back(g);
    }
    SpotGroup extra;
    extra.id = 5;
    extra.latitude = 40;
    extra.longitude = s.Regions[2].Lo + offset + 30;
    groups.push_back(extra);

    const RegionMatching m = MatchRegions(groups, s.Regions, offset, epoch);
    ASSERT_EQ(m.pairs.size(), 4u);
    const std::size_t expected[] = {0, 1, 2, 4};
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(m.pairs[k].group, static_cast<int32_t>(k + 1));
        EXPECT_EQ(m.pairs[k].region, expected[k]);
        EXPECT_NEAR(m.pairs[k].latitudeDifference, 0.8, 1e-9);
        EXPECT_NEAR(m.pairs[k].longitudeDifference, -1.0, 1e-9);
    }
    EXPECT_EQ(m.groupsOnlyOurs, std::vector<int32_t>{5});
    EXPECT_EQ(m.regionsNotFound, std::vector<std::size_t>{3});
    EXPECT_TRUE(m.regionsHidden.empty());

    Instant later = s.Epoch;
    AddDays(later.year, later.month, later.day, 7);
    const RegionMatching week = MatchRegions({}, s.Regions, offset, tables.At(later, {}));
    EXPECT_EQ(week.regionsHidden, (std::vector<std::size_t>{0, 1, 2, 4}));
    EXPECT_EQ(week.regionsNotFound, std::vector<std::size_t>{3});
}

} // namespace
} // namespace zorva
