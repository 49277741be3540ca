// What the program writes and reads keeps its decimal point under a locale whose decimal
// separator is a comma and whose numbers are grouped, as a window's toolkit sets the
// process locale from the user's.
#include <clocale>
#include <gtest/gtest.h>
#include <locale>
#include <sstream>
#include <string>

#include "core/chart/chart_geometry.h"
#include "core/ephemeris/daily_table.h"
#include "core/text/format.h"
#include "core/text/numeric_text.h"
#include "core/text/parse.h"

namespace zorva {
namespace {

// The German locale for C and C++ while the object lives (scripts/deps.sh generates it).
class GermanLocale {
  public:
    GermanLocale() : previousC_(std::setlocale(LC_ALL, nullptr)) {
        installed_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
        if (installed_) previousCpp_ = std::locale::global(std::locale("de_DE.UTF-8"));
    }
    ~GermanLocale() {
        std::setlocale(LC_ALL, previousC_.c_str());
        std::locale::global(previousCpp_);
    }
    GermanLocale(const GermanLocale&) = delete;
    GermanLocale& operator=(const GermanLocale&) = delete;
    bool Installed() const { return installed_; }

  private:
    std::string previousC_;
    std::locale previousCpp_ = std::locale::classic();
    bool installed_ = false;
};

TEST(Locale, NumbersKeepTheirPointUnderAGermanLocale) {
    const GermanLocale german;
    ASSERT_TRUE(german.Installed()) << "de_DE.UTF-8 is not installed; scripts/deps.sh makes it";
    // The locale really is in force: printf writes a comma now.
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 150.0);
    ASSERT_STREQ(probe, "150,0");

    EXPECT_EQ(DiamBoxText(150), "150.0");
    EXPECT_EQ(FixedText(-2.25, 3), "-2.250");
    EXPECT_EQ(ShortestDecimalText(5.90551), "5.90551");
    EXPECT_EQ(ParseReal("0.5"), 0.5);
    EXPECT_EQ(NumericValue("150.5"), 150.5);

    // One day of a year file, by printf's rules in the C locale:
    // "%d %s %2d %10.6f %10.6f %6.2f %7.2f %6.2f %d %4.1f %d".
    DailyRecord day{2026, 3, 20, 23.9876543, -0.0123456, -7.123, 345.22, -26.1, 32, 8.5, 2306};
    std::ostringstream out;
    WriteYearFile(out, 2026, &day, 1, YearFileDecimals{});
    EXPECT_EQ(out.str(), "Zorva daily solar ephemeris 2026 0h UT\n"
                         "Year Month Day RA(h) Dec(deg) B0(deg) L0(deg) P(deg) Diam(') Diam(\") "
                         "Rotation\n"
                         "2026 Mar 20  23.987654  -0.012346  -7.12  345.22 -26.10 32  8.5 2306\n");
}

} // namespace
} // namespace zorva
