#include "core/ephemeris/builtin_table_codec.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/ephemeris/calendar.h"

namespace zorva {
namespace {

// A year of made-up records at table precision (whole units over their power of ten, as
// RoundToTablePrecision leaves them) with every awkward turn the real tables have: RA
// across 24 h, L0 restarting from 360.00, 31' 60.0", negative values and zeros.
std::vector<DailyRecord> AwkwardYear(int year) {
    std::vector<DailyRecord> days;
    int y = year, m = 1, d = 1;
    const int count = IsLeapYear(year) ? 366 : 365;
    for (int i = 0; i < count; ++i) {
        const long ra = (23'999'999 - 65'712L * i + 24'000'000L * 10) % 24'000'000;
        const long l0 = (36'000 - 1'318L * i + 36'000L * 20) % 36'000;
        days.push_back({y, m, d, ra / 1e6, (-23'441'522 + 128'003L * i) / 1e6, -725 / 1e2,
                        (l0 == 0 ? 36'000 : l0) / 1e2, (2'631 - 10 * i) / 1e2, 31 + i % 2,
                        (600 - i % 7) / 1e1, 1824 + i / 27});
        AddDays(y, m, d, 1);
    }
    return days;
}

TEST(BuiltinTableCodec, GivesBackExactlyWhatItWasGiven) {
    for (const int year : {2001, 2024}) {
        const auto days = AwkwardYear(year);
        const DecodedYear back = DecodeYearTable(year, EncodeYearTable(days));
        EXPECT_TRUE(back.error.empty()) << back.error;
        ASSERT_EQ(back.days.size(), days.size());
        for (size_t i = 0; i < days.size(); ++i) {
            ASSERT_EQ(back.days[i], days[i]) << year << " day " << i;
        }
        // The same doubles as decimal literals of the printed digits.
        EXPECT_EQ(back.days[0].RA, 23.999999);
        EXPECT_EQ(back.days[0].Dec, -23.441522);
        EXPECT_EQ(back.days[0].L0, 360.0);
        EXPECT_EQ(back.days[0].DiamSeconds, 60.0);
        EXPECT_EQ(back.days[1].P, 26.21);
    }
}

TEST(BuiltinTableCodec, BrokenTextIsReportedAndNeverOverread) {
    const std::string good = EncodeYearTable(AwkwardYear(2001));
    const std::string twoYears = EncodeYearTable(AwkwardYear(2001)) + good;
    struct Case {
        const char* what;
        std::string code;
    };
    const Case cases[] = {
        {"empty", ""},
        {"cut short inside a record", good.substr(0, good.size() - 3)},
        {"cut inside a number", good.substr(0, good.size() - 1) + "z"},
        {"letter outside the alphabet", "!" + good.substr(1)},
        {"quote", "\"" + good},
        {"number longer than any the tables hold", std::string(40, '/') + good},
        {"more days than the year", twoYears},
        {"value out of range", std::string(7, 'z') + "A" + good},
    };
    for (const Case& c : cases) {
        const DecodedYear r = DecodeYearTable(2001, c.code);
        EXPECT_FALSE(r.error.empty()) << c.what;
        EXPECT_LE(r.days.size(), 365u) << c.what;
    }
    EXPECT_TRUE(DecodeYearTable(2001, good).error.empty());
    EXPECT_FALSE(DecodeYearTable(2004, good).error.empty()); // a leap year needs 366
}

} // namespace
} // namespace zorva
