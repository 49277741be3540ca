// Counts typed at the eyepiece: what can be read is read, what cannot is refused with the
// reason; and the record's tables of what it holds.
#include "core/record/typed_entry.h"

#include <gtest/gtest.h>

#include "core/record/record_tables.h"

namespace zorva {
namespace {

const CalendarDay kToday{2024, 5, 10};

// Places as NOAA writes them: the longitude is L0 plus the degrees west of the central
// meridian (less those east), folded into 0..360.
TEST(TypedEntry, GroupPlacesAsNoaaWritesThem) {
    struct Case {
        const char* text;
        double l0;
        bool north;
        std::optional<double> latitude, longitude;
    };
    const Case read[] = {
        {"N", 100, true, {}, {}},       {" s ", 100, false, {}, {}},
        {"N14", 100, true, 14, {}},     {"s07", 100, false, -7, {}},
        {"N14W23", 100, true, 14, 123}, {"S05E30", 10, false, -5, 340},
        {"n00w90", 300, true, 0, 30},   {"S12E00", 0, false, -12, 0},
    };
    for (const Case& c : read) {
        SCOPED_TRACE(c.text);
        ObservedGroup g;
        EXPECT_EQ(ReadGroupPlace(c.text, c.l0, g), "");
        EXPECT_EQ(g.north, c.north);
        EXPECT_EQ(g.latitude, c.latitude);
        EXPECT_EQ(g.longitude, c.longitude);
    }
    for (const char* bad : {"", "X14", "N91", "N14W91", "N14W", "N1x", "N-4", "NW23", "N123"}) {
        SCOPED_TRACE(bad);
        ObservedGroup g;
        g.latitude = 5;
        EXPECT_NE(ReadGroupPlace(bad, 0, g).find("is not N or S"), std::string::npos);
        EXPECT_EQ(g.latitude, 5); // unchanged
    }
}

// A good day's counts with two groups in the north and one in the south.
TypedCounts Good() {
    TypedCounts t;
    t.instant = {2024, 5, 9, 8, 15, 0};
    t.observer = " ABC ";
    t.seeing = 2;
    t.north = {2, 7};
    t.south = {1, 3};
    t.wolf = "40";
    t.groups = {{"N14W23", "4", "Dao", "13664"}, {}, {"N10", "3", "", ""}, {"S", "3", "", ""}};
    return t;
}

TEST(TypedEntry, CountsThatCannotBeAreRefusedWithTheReason) {
    const TypedRead good = ReadTypedCounts(Good(), 200, kToday);
    ASSERT_TRUE(good.observation) << good.problem;
    const SunspotObservation& o = *good.observation;
    EXPECT_EQ(o.observer, "ABC");
    EXPECT_EQ(o.Wolf(), 40);        // 10 x 3 + 10
    ASSERT_EQ(o.groups.size(), 3u); // the blank row passed over
    EXPECT_EQ(o.groups[2].number, 3);
    EXPECT_EQ(o.groups[0].longitude, 223);
    EXPECT_EQ(o.groups[0].noaa, 13664);
    EXPECT_TRUE(o.groups[0].classReviewed); // typed, so the observer's
    EXPECT_FALSE(o.groups[1].classReviewed);

    struct Case {
        const char* what;
        void (*change)(TypedCounts&);
        const char* problem;
    };
    const Case cases[] = {
        {"fewer spots than groups",
         [](TypedCounts& t) {
             t.north = {2, 1};
         },
         "fewer spots"},
        {"R not 10 g + s", [](TypedCounts& t) { t.wolf = "41"; }, "is not 10 g + s = 40"},
        {"R no number", [](TypedCounts& t) { t.wolf = "forty"; }, "R 'forty' is not a whole"},
        {"a place that is none", [](TypedCounts& t) { t.groups[2].place = "E10"; },
         "group 2: the place 'E10'"},
        {"spots no number", [](TypedCounts& t) { t.groups[0].spots = "4.5"; },
         "group 1: the spots '4.5'"},
        {"groups not the counts", [](TypedCounts& t) { t.groups[3].spots = "4"; },
         "are not the counts given"},
        {"no class", [](TypedCounts& t) { t.groups[0].mcintosh = "Dxx"; }, "no McIntosh class"},
        {"tomorrow", [](TypedCounts& t) { t.instant.day = 11; }, "after today"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TypedCounts t = Good();
        c.change(t);
        const TypedRead read = ReadTypedCounts(t, 200, kToday);
        EXPECT_FALSE(read.observation);
        EXPECT_NE(read.problem.find(c.problem), std::string::npos) << read.problem;
    }
}

TEST(TypedEntry, AClassCorrectedIsTheObserversOnlyWhenItIsOne) {
    SunspotObservation o = *ReadTypedCounts(Good(), 200, kToday).observation;
    EXPECT_NE(ReviewGroupClass(o, 2, "Hkq").find("no McIntosh class"), std::string::npos);
    EXPECT_EQ(ReviewGroupClass(o, 4, "Hsx"), "the observation has no group 4");
    EXPECT_EQ(o.groups[1].mcintosh, "");
    EXPECT_EQ(ReviewGroupClass(o, 2, "Hsx"), "");
    EXPECT_EQ(o.groups[1].mcintosh, "Hsx");
    EXPECT_TRUE(o.groups[1].classReviewed);
}

// A group seen on three days: its row in the list of lives, its days and its area curve.
TEST(RecordTables, AGroupsLifeInRows) {
    GroupLife life;
    life.id = 7;
    life.noaa = 11302;
    const auto day = [](int32_t d, std::optional<double> lat, std::optional<double> area,
                        const char* cls, bool reviewed) {
        GroupSightingDay s;
        s.observation = d;
        s.number = 1;
        s.instant = {2011, 9, d, 12, 0, 0};
        s.latitude = lat;
        s.areaMsh = area;
        s.spots = 3;
        s.mcintosh = cls;
        s.classReviewed = reviewed;
        return s;
    };
    life.days = {day(24, 12, 300, "Dso", false), day(25, {}, {}, "Dso", false),
                 day(27, 13, 450, "Eai", true)};
    const RecordTable lives = GroupLifeTable(std::span(&life, 1));
    ASSERT_EQ(lives.rows.size(), 1u);
    std::vector<std::string> texts;
    for (const RecordCell& c : lives.rows[0].cells)
        texts.push_back(c.text);
    // The mean of the latitudes given, (12 + 13) / 2; the largest area; each class once as it
    // changes.
    EXPECT_EQ(texts, (std::vector<std::string>{"7", "11302", "2011-09-24", "2011-09-27", "3",
                                               "12.5", "450", "Dso Eai"}));
    const RecordTable days = GroupDayTable(life);
    ASSERT_EQ(days.rows.size(), 3u);
    EXPECT_EQ(days.rows[2].cells[kGroupDayClassColumn].text, "Eai");
    EXPECT_EQ(days.rows[2].cells.back().text, "observer");
    EXPECT_EQ(days.rows[0].cells.back().text, "spots");
    EXPECT_EQ(GroupAreaCurve(life),
              (std::vector<GroupAreaPoint>{{0, 300}, {3, 450}})); // 24 to 27 September
}

} // namespace
} // namespace zorva
