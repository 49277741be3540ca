#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/spots/mcintosh.h"

namespace zorva {
namespace {

// A spot at (lat, long) of `area` millionths with `umbra` of them dark; alone in a round
// penumbra unless told otherwise.
ClassifiedSpot Spot(double lat, double lon, double area, double umbra, int32_t sharing = 1,
                    double ratio = 1) {
    return {lat, lon, area, umbra, area, sharing, ratio};
}
// A pore: all umbra.
ClassifiedSpot Pore(double lat, double lon) {
    return Spot(lat, lon, 5, 5);
}
// A mature spot: the umbra a fifth of it.
ClassifiedSpot Mature(double lat, double lon, double area = 60) {
    return Spot(lat, lon, area, area / 5);
}

// Every expected class follows from McIntosh's (1990) definitions: unipolar within 3
// degrees, the ends each side of the middle of the group's longitudes, D up to 10 degrees
// long, E up to 15, F beyond; a penumbra small up to 2.5 degrees across (a round one of 400
// millionths is 3.2 across, of 60 is 1.3).
TEST(McIntosh, ClassesFromTheDefinitions) {
    struct Case {
        const char* what;
        std::vector<ClassifiedSpot> spots;
        const char* expected;
    };
    const Case cases[] = {
        {"a pore alone", {Pore(10, 100)}, "Axx"},
        {"a cluster of pores within 3 degrees", {Pore(10, 100), Pore(11, 101.5)}, "Axx"},
        {"two pores 6 degrees apart", {Pore(10, 100), Pore(10, 94)}, "Bxo"},
        {"a round mature spot", {Mature(10, 100)}, "Hsx"},
        {"a large round spot", {Mature(10, 100, 400)}, "Hhx"},
        {"a penumbra under 1.5 times its umbra", {Spot(10, 100, 40, 26)}, "Hrx"},
        {"a spot smaller than the largest pores", {Spot(10, 100, 8, 1)}, "Hrx"},
        {"a patch larger than a pore, its umbra not seen", {Spot(10, 100, 60, 0)}, "Hsx"},
        {"a pore whose core is not dark enough for an umbra", {Spot(10, 100, 8, 0)}, "Axx"},
        {"two umbrae in one small penumbra", {Spot(10, 100, 60, 12, 2)}, "Hax"},
        {"a long large penumbra", {Spot(10, 100, 400, 80, 1, 2.0)}, "Hkx"},
        // Longitudes grow westward: the leader is the westernmost.
        {"penumbra on the leader only", {Mature(10, 100), Pore(10, 95), Pore(10, 94)}, "Cso"},
        {"penumbra on the follower only", {Pore(10, 100), Mature(10, 94)}, "Cso"},
        {"penumbra at both ends, 8 degrees", {Mature(10, 100), Mature(10, 92)}, "Dso"},
        {"penumbra at both ends, 12 degrees", {Mature(10, 100), Mature(10, 88)}, "Eso"},
        {"penumbra at both ends, 18 degrees", {Mature(10, 100), Mature(10, 82)}, "Fso"},
        {"many pores between",
         {Mature(10, 100), Pore(10, 98), Pore(11, 97), Pore(9, 96), Mature(10, 92)},
         "Dsi"},
        {"spots with penumbra between",
         {Mature(10, 100), Mature(10, 97, 30), Mature(11, 95, 30), Mature(10, 92)},
         "Dsc"},
        {"many pores between pores",
         {Pore(10, 100), Pore(10, 98), Pore(11, 97), Pore(9, 96), Pore(10, 92)},
         "Bxi"},
        {"a group across longitude 0", {Mature(10, 2), Pore(10, 357)}, "Cso"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(McIntoshClass(c.spots), c.expected) << c.what;
    EXPECT_EQ(McIntoshClass({}), "");
}

// A detection's groups are classed from their spots and patches: the patch's outline gives
// its shape. A penumbra whose outline runs 20 by 4 pixels is 5 times longer than wide (the
// second moments of a rectangle stand as its sides' squares), asymmetric; a square is round.
TEST(McIntosh, ADetectionsGroupsGetTheirClasses) {
    SpotDetection d;
    const auto rectangle = [](int32_t w, int32_t h) {
        return Outline{{0, 0}, {w - 1, 0}, {w - 1, h - 1}, {0, h - 1}};
    };
    d.patches = {{1, rectangle(21, 5), 60, 105, {1}}, {2, rectangle(9, 9), 60, 81, {2}}};
    DetectedSpot a;
    a.id = 1, a.group = 1, a.patch = 0, a.latitude = 10, a.longitude = 100, a.areaMsh = 60;
    a.umbraMsh = 12;
    DetectedSpot b = a;
    b.id = 2, b.group = 2, b.patch = 1, b.latitude = -10;
    d.spots = {a, b};
    d.groups.resize(2);
    d.groups[0].id = 1;
    d.groups[1].id = 2;
    ClassifyGroups(d);
    EXPECT_EQ(d.groups[0].mcintosh, "Hax");
    EXPECT_EQ(d.groups[1].mcintosh, "Hsx");
}

TEST(McIntosh, WhatIsAClass) {
    for (const char* good : {"Axx", "Bxo", "Bxi", "Cso", "Dkc", "Ekc", "Fhi", "Hsx", "Hrx"})
        EXPECT_TRUE(IsMcIntoshClass(good)) << good;
    // Letters out of place, penumbra on A or B or none on the others, a unipolar group with a
    // distribution, a bipolar one without, a compact group without penumbra.
    for (const char* bad : {"", "Ax", "Axxx", "Zxx", "axx", "Aqx", "Axq", "Asx", "Cxo", "Hso",
                            "Axo", "Csx", "Bxc", "dso"})
        EXPECT_FALSE(IsMcIntoshClass(bad)) << bad;
}

} // namespace
} // namespace zorva
