#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/record/activity.h"
#include "core/record/monthly_report.h"

namespace zorva {
namespace {

SunspotObservation Day(int64_t id, Instant t, HemisphereCount north, HemisphereCount south,
                       std::optional<int32_t> seeing = {}, bool marked = false) {
    SunspotObservation o;
    o.id = id;
    o.instant = t;
    o.north = north;
    o.south = south;
    o.seeing = seeing;
    o.dayChoice = marked;
    o.observer = "ABC";
    return o;
}

// Which observation stands for its day: the marked one, else the best seeing (1 is best), an
// observation without a seeing last, the first kept between equals.
TEST(MonthlyReport, TheDaysObservationIsTheMarkedOneOrTheBestSeeing) {
    const Instant morning{2011, 11, 2, 8, 0, 0}, noon{2011, 11, 2, 12, 0, 0};
    struct Case {
        const char* what;
        std::vector<SunspotObservation> observations;
        int64_t expected;
    };
    const Case cases[] = {
        {"best seeing", {Day(1, morning, {1, 1}, {}, 3), Day(2, noon, {1, 1}, {}, 2)}, 2},
        {"marked over seeing",
         {Day(1, morning, {1, 1}, {}, 3, true), Day(2, noon, {1, 1}, {}, 1)},
         1},
        {"a seeing over none", {Day(1, morning, {1, 1}, {}), Day(2, noon, {1, 1}, {}, 5)}, 2},
        {"the first of equals", {Day(2, noon, {1, 1}, {}, 2), Day(1, morning, {1, 1}, {}, 2)}, 1},
    };
    for (const Case& c : cases) {
        const auto days = ObservationsOfTheDays(c.observations);
        ASSERT_EQ(days.size(), 1u) << c.what;
        EXPECT_EQ(days[0].id, c.expected) << c.what;
    }
}

// Three observing days of November 2011 (one with two observations) and one of December:
// R 10 x 7 + 30 = 100, 10 x 5 + 15 = 65 (seeing 2 beats 4) and 10 x 6 + 20 = 80; mean g
// (7 + 5 + 6) / 3 = 6.00, mean R 245 / 3 = 81.7.
TEST(MonthlyReport, AMonthsRowsAndSummary) {
    const std::vector<SunspotObservation> all = {
        Day(1, {2011, 11, 1, 8, 5, 0}, {3, 10}, {4, 20}, 2),
        Day(2, {2011, 11, 2, 9, 0, 0}, {2, 8}, {3, 12}, 4),
        Day(3, {2011, 11, 2, 13, 45, 0}, {2, 5}, {3, 10}, 2),
        Day(4, {2011, 11, 30, 7, 0, 0}, {6, 20}, {}),
        Day(5, {2011, 12, 1, 7, 0, 0}, {9, 99}, {9, 99}, 1),
    };
    const MonthlyReport r = MakeMonthlyReport(all, 2011, 11);
    EXPECT_EQ(r.observingDays, 3);
    EXPECT_DOUBLE_EQ(r.meanGroups, 6.0);
    EXPECT_DOUBLE_EQ(r.meanWolf, 245.0 / 3);
    EXPECT_EQ(MonthlyReportCsv(r), "date,ut,seeing,g,s,R,gN,sN,gS,sS,method,observer\n"
                                   "2011-11-01,08:05,2,7,30,100,3,10,4,20,visual,ABC\n"
                                   "2011-11-02,13:45,2,5,15,65,2,5,3,10,visual,ABC\n"
                                   "2011-11-30,07:00,,6,20,80,6,20,0,0,visual,ABC\n");
    EXPECT_EQ(MonthlyReportText(r),
              "Sunspot counts of 2011-11 (UT), one observation a day\n"
              "date        UT     seeing  g   s    R  gN  sN  gS  sS  method  observer\n"
              "2011-11-01  08:05       2  7  30  100   3  10   4  20  visual  ABC\n"
              "2011-11-02  13:45       2  5  15   65   2   5   3  10  visual  ABC\n"
              "2011-11-30  07:00       -  6  20   80   6  20   0   0  visual  ABC\n"
              "Observing days 3\n"
              "Mean daily groups 6.00\n"
              "Mean R 81.7\n");
    const MonthlyReport empty = MakeMonthlyReport(all, 2011, 10);
    EXPECT_EQ(empty.observingDays, 0);
    EXPECT_NE(MonthlyReportText(empty).find("Mean R -"), std::string::npos);
}

// Decimal years by counting days: 2 July 2011 at noon is 182.5 days into a year of 365, so
// 2011.5; 1 January 2012 at noon is half a day into 366.
TEST(Activity, TheCurveAndTheButterflyFromTheDays) {
    EXPECT_DOUBLE_EQ(DecimalYear({2011, 7, 2}), 2011.5);
    EXPECT_DOUBLE_EQ(DecimalYear({2012, 1, 1}), 2012 + 0.5 / 366);
    std::vector<SunspotObservation> days = {Day(1, {2011, 11, 1, 8, 0, 0}, {1, 2}, {}),
                                            Day(2, {2011, 11, 3, 8, 0, 0}, {2, 4}, {}),
                                            Day(3, {2011, 12, 5, 8, 0, 0}, {}, {1, 1})};
    ObservedGroup g;
    g.latitude = 14;
    g.areaMsh = 120;
    g.spots = 2;
    days[0].groups = {g};
    g.latitude.reset();
    days[1].groups = {g};
    const ActivityCurve curve = MakeActivityCurve(days);
    ASSERT_EQ(curve.daily.size(), 3u);
    EXPECT_EQ(curve.daily[1].wolf, 24);
    ASSERT_EQ(curve.monthly.size(), 2u);
    EXPECT_EQ(curve.monthly[0].wolf, (12 + 24) / 2.0);
    EXPECT_EQ(curve.monthly[0].days, 2);
    EXPECT_EQ(curve.monthly[1].wolf, 11);
    // The middle of November: halfway between the noons of the 1st and the 30th.
    EXPECT_DOUBLE_EQ(curve.monthly[0].year,
                     (DecimalYear({2011, 11, 1}) + DecimalYear({2011, 11, 30})) / 2);
    const auto butterfly = MakeButterfly(days);
    ASSERT_EQ(butterfly.size(), 1u); // the group without a latitude is left out
    EXPECT_EQ(butterfly[0], (ButterflyPoint{DecimalYear({2011, 11, 1}), 14, 120}));
}

} // namespace
} // namespace zorva
