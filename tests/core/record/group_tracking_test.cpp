#include <gtest/gtest.h>
#include <vector>

#include "core/record/group_tracking.h"

namespace zorva {
namespace {

// The law's drift against the Carrington system (360/25.38 = 14.1844 degrees a day): at the
// equator 14.377 - 14.1844 = +0.1926 a day; at 30 degrees, where sin^2 is 1/4,
// 14.377 - 0.6925 - 14.1844 = -0.4999 a day.
TEST(GroupTracking, TheLawCarriesSpotsAgainstCarringtonLongitude) {
    EXPECT_NEAR(CarringtonDrift(0, 1), 0.1926, 1e-4);
    EXPECT_NEAR(CarringtonDrift(30, 1), -0.4999, 1e-4);
    EXPECT_NEAR(CarringtonDrift(-30, 10), -4.999, 1e-3);
}

GroupSighting At(double lat, double lon) {
    return {lat, lon, {}, 0};
}

const auto kNothingTaken = [](int64_t) { return false; };

// A week of daily observations of two groups moving exactly at the law (one at 30 degrees
// north, which falls back 3.5 degrees in the week, one at 8 south): each keeps one id. A
// rotation (27.3 days) after the last sighting a group appears where the first one would be:
// it is a new group.
TEST(GroupTracking, AGroupKeepsItsIdForItsLife) {
    GroupTracker tracker({}, kNothingTaken, 1);
    const double start = 2460000.5;
    std::vector<int64_t> north, south;
    for (int day = 0; day < 7; ++day) {
        const GroupSighting g[] = {At(30, 100 + CarringtonDrift(30, day)),
                                   At(-8, 140 + CarringtonDrift(-8, day))};
        const auto ids = tracker.Follow(start + day, g);
        north.push_back(ids[0]);
        south.push_back(ids[1]);
    }
    EXPECT_EQ(north, std::vector<int64_t>(7, 1));
    EXPECT_EQ(south, std::vector<int64_t>(7, 2));
    const double later = start + 6 + 27.3;
    const GroupSighting again[] = {At(30, 100 + CarringtonDrift(30, later - start))};
    EXPECT_EQ(tracker.Follow(later, again), std::vector<int64_t>{3});
}

// Beside the law, the rules a match keeps to.
TEST(GroupTracking, MatchesKeepToTheirRules) {
    const double t = 2460000.5;
    // Two groups 6 degrees apart seen a day later each a degree further west: each the
    // nearest to its own.
    {
        GroupTracker tracker({}, kNothingTaken, 1);
        const GroupSighting first[] = {At(10, 100), At(10, 106)};
        const GroupSighting next[] = {At(10, 107), At(10, 101)};
        EXPECT_EQ(tracker.Follow(t, first), (std::vector<int64_t>{1, 2}));
        EXPECT_EQ(tracker.Follow(t + 1, next), (std::vector<int64_t>{2, 1}));
    }
    // Too far from where the law carries it (6 degrees after a day, 5 allowed), or 5 degrees
    // off in latitude: another group.
    {
        GroupTracker tracker({}, kNothingTaken, 1);
        const GroupSighting first[] = {At(10, 100), At(-20, 200)};
        const GroupSighting next[] = {At(10, 106.2), At(-25, 200)};
        tracker.Follow(t, first);
        EXPECT_EQ(tracker.Follow(t + 1, next), (std::vector<int64_t>{3, 4}));
    }
    // NOAA numbers decide before places: the same number far off is the same group, another
    // number close by is not.
    {
        GroupTracker tracker({}, kNothingTaken, 1);
        const GroupSighting first[] = {{10, 100, 11354, 0}, {-10, 50, 11355, 0}};
        const GroupSighting next[] = {{10, 100.5, 11356, 0}, {-10, 80, 11355, 0}};
        tracker.Follow(t, first);
        EXPECT_EQ(tracker.Follow(t + 1, next), (std::vector<int64_t>{3, 2}));
    }
    // A group with neither place nor number cannot be followed; a number alone can.
    {
        GroupTracker tracker({}, kNothingTaken, 1);
        const GroupSighting bare[] = {{{}, {}, {}, 0}, {{}, {}, 13664, 0}};
        EXPECT_EQ(tracker.Follow(t, bare), (std::vector<int64_t>{0, 1}));
        EXPECT_EQ(tracker.Follow(t + 1, bare), (std::vector<int64_t>{0, 1}));
    }
    // A new group keeps the id it had unless that is taken; new ids pass over taken ones.
    {
        GroupTracker tracker(
            {}, [](int64_t id) { return id == 7 || id == 1; }, 1);
        const GroupSighting seen[] = {{10, 100, {}, 9}, {20, 50, {}, 7}, {-20, 50, {}, 0}};
        EXPECT_EQ(tracker.Follow(t, seen), (std::vector<int64_t>{9, 2, 3}));
    }
    // Groups alive before the first observation are continued.
    {
        GroupTracker tracker({{42, t - 2, 10.0, 100.0, {}}}, kNothingTaken, 43);
        const GroupSighting seen[] = {At(10, 100 + CarringtonDrift(10, 2))};
        EXPECT_EQ(tracker.Follow(t, seen), std::vector<int64_t>{42});
    }
}

} // namespace
} // namespace zorva
