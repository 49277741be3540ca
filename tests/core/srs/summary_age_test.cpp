// A summary shown far from its own time says so, and fades beyond half a rotation.
#include "core/srs/summary_age.h"

#include <gtest/gtest.h>

#include "core/present/presentation.h"
#include "core/session/session.h"
#include "support/test_support.h"

namespace zorva {
namespace {

TEST(SummaryAge, FarAndFadedByTheDaysBetween) {
    const SrsDate june7{2011, 6, 7};
    const Instant valid{2011, 6, 7, 0, 0, 0}; // the summary's locations hold at 00:00
    const struct {
        Instant shown;
        bool far, faded;
        const char* text;
    } cases[] = {
        {{2011, 6, 7, 12, 0, 0}, false, false, ""},
        {{2011, 6, 8, 0, 0, 0}, false, false, ""}, // a day exactly
        {{2011, 6, 8, 0, 0, 1}, true, false, "summary of 2011-06-07, 1 day from the chart"},
        {{2011, 6, 5, 12, 0, 0}, true, false, "summary of 2011-06-07, 2 days from the chart"},
        {{2011, 6, 21, 0, 0, 0}, true, false, "summary of 2011-06-07, 14 days from the chart"},
        {{2011, 6, 21, 0, 0, 1}, true, true, "summary of 2011-06-07, 14 days from the chart"},
        // Four years, one of them a leap year: 4 x 365 + 1 days.
        {{2015, 6, 7, 12, 0, 0}, true, true, "summary of 2011-06-07, 1,461 days from the chart"},
        {{2004, 6, 7, 12, 0, 0}, true, true, "summary of 2011-06-07, 2,556 days from the chart"},
    };
    for (const auto& c : cases) {
        const SummaryAge age = AgeOfSummary(june7, valid, c.shown);
        EXPECT_EQ(age.far, c.far) << c.text;
        EXPECT_EQ(age.faded, c.faded) << c.text;
        EXPECT_EQ(age.text, c.text);
    }
    EXPECT_EQ(GroupedThousands(0), "0");
    EXPECT_EQ(GroupedThousands(999), "999");
    EXPECT_EQ(GroupedThousands(-1234567), "-1,234,567");
}

TEST(SummaryAge, ThePlotAndTheStatusLineSayIt) {
    ZORVA_TEST_DATA(data);
    test::TempDir dir;
    Session s{YearTables(dir.path())};
    s.Start(LoadSettingsFiles(dir.path()), {2011, 6, 7});
    s.Summaries().LoadSummary((data / "srs" / "20110607SRS.txt").string());
    ASSERT_TRUE(PresentChart(s).regions);
    EXPECT_EQ(PresentChart(s).regions->ageLabel, "");
    s.Observing().SetInstant({2015, 6, 7, 12, 0, 0});
    EXPECT_EQ(s.Status(), "Summary of 2011-06-07, 1,461 days from the chart");
    const std::optional<RegionsOverlay> far = PresentChart(s).regions;
    ASSERT_TRUE(far);
    EXPECT_EQ(far->ageLabel, "summary of 2011-06-07, 1,461 days from the chart");
    EXPECT_TRUE(far->faded);
    // Said once for each distance, not again at every redraw.
    const uint64_t said = s.StatusCount();
    s.Observing().Recalculate();
    EXPECT_EQ(s.StatusCount(), said);
}

} // namespace
} // namespace zorva
