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

// The linking rule: edges within 3 degrees plus the larger group's extent, at most 15.
TEST(SpotGroups, GroupsGrowByTheirOwnExtent) {
    struct Case {
        const char* what;
        std::vector<SpotPlace> spots;
        std::vector<int32_t> groups;
    };
    const double small = 0.1;    // a spot's radius, degrees
    std::vector<SpotPlace> wide; // a group 10.2 degrees across, then two spots beyond it
    for (double lon = 0; lon <= 10; lon += 2.5)
        wide.push_back({0, lon, small});
    std::vector<SpotPlace> reached = wide, missed = wide;
    reached.push_back({0, 10 + 13, small});  // 12.8 from the edge, within 3 + 10.2
    missed.push_back({0, 10 + 13.6, small}); // 13.4 from the edge, beyond it
    std::vector<SpotPlace> huge;             // 22 degrees across: the link stops at 15
    for (double lon = 0; lon <= 22; lon += 2)
        huge.push_back({10, lon, small});
    huge.push_back({10, 22 + 16 / 0.9848, small}); // 16 degrees along the parallel at 10 N
    const Case cases[] = {
        {"two spots 2.5 apart", {{0, 0, small}, {0, 2.5, small}}, {0, 0}},
        {"two spots 4 apart", {{0, 0, small}, {0, 4, small}}, {0, 1}},
        {"a chain of small steps",
         {{5, 0, small}, {5, 2.5, small}, {5, 5, small}, {5, 7.5, small}},
         {0, 0, 0, 0}},
        {"large spots whose edges are close", {{0, 0, 1.5}, {0, 6, 1.5}}, {0, 0}},
        {"a spot the wide group reaches", reached, {0, 0, 0, 0, 0, 0}},
        {"a spot beyond its reach", missed, {0, 0, 0, 0, 0, 1}},
        {"a spot beyond 15 degrees", huge, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}},
        {"none", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(GroupSpots(c.spots, 3, 15).groupOf, c.groups);
    }
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
