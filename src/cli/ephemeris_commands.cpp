// zorva-cli year and at: the daily tables and the ephemeris of one instant.
#include <sstream>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/help.h"
#include "core/ephemeris/accurate_ephemeris.h"
#include "core/ephemeris/daily_table.h"
#include "core/ephemeris/horizon.h"

namespace zorva::cli {

namespace {
constexpr int kFirstAccurateYear = 1800;
constexpr int kLastAccurateYear = 2200;
constexpr int kLastYear = 9999;
} // namespace

int YearCommand(const std::vector<std::string>& args, Context& run, std::ostream& out) {
    const ParsedArgs parsed = ParseCommandArgs(args);
    if (parsed.positional.size() != 1) throw UsageError(UsageLine("year"));
    const int year = ParseInteger(parsed.positional[0], "YEAR");
    DailyTable table;
    int32_t count = 0;
    YearFileDecimals decimals;
    if (parsed.Has("--accurate")) {
        if (year < kFirstAccurateYear || year > kLastAccurateYear) {
            throw UsageError("the accurate table covers the years 1800 to 2200");
        }
        count = AccurateYearTable(year, table);
        decimals = {4, 2};
    } else {
        if (year < 1 || year > kLastYear) throw UsageError("YEAR must lie in 1..9999");
        const YearTable loaded = run.Year(year);
        table = loaded.days;
        count = loaded.count;
    }
    // Built in full first, so a failure leaves the output empty.
    std::ostringstream text;
    WriteYearFile(text, year, table.data(), count, decimals);
    out << text.str();
    return 0;
}

int AtCommand(const std::vector<std::string>& args, Context& run, std::ostream& out) {
    const ParsedArgs parsed = ParseCommandArgs(args);
    if (parsed.positional.size() != 1) {
        throw UsageError(UsageLine("at"));
    }
    const Instant instant = ParseInstant(parsed.positional[0], run);
    const Ephemeris e = run.EphemerisWarned(instant, ParseObserver(parsed));

    out << "RA " << FullPrecision(e.RA) << "\n"
        << "Dec " << FullPrecision(e.Dec) << "\n"
        << "B0 " << FullPrecision(e.B0) << "\n"
        << "L0 " << FullPrecision(e.L0) << "\n"
        << "P " << FullPrecision(e.P) << "\n"
        << "DiamMinutes " << e.DiamMinutes << "\n"
        << "DiamSeconds " << FullPrecision(e.DiamSeconds) << "\n"
        << "Rotation " << e.Rotation << "\n"
        << "Altitude " << FullPrecision(e.Altitude) << "\n"
        << "Azimuth " << FullPrecision(e.Azimuth) << "\n"
        << "ParallacticAngle " << FullPrecision(e.ParallacticAngle) << "\n";
    return 0;
}

} // namespace zorva::cli
