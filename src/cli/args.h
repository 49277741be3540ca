#pragma once

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/chart/chart_geometry.h"
#include "core/ephemeris/calendar.h"
#include "core/ephemeris/daily_table.h"
#include "core/ephemeris/horizon.h"
#include "core/images/circle_fit.h"

namespace zorva::cli {

class Context;

// A wrong argument; its message is the one line shown to the user.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Positional words and --options of one command. `valued` options take the next word,
// `flags` take none; anything else starting with "--" is an unknown option.
struct ParsedArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;                // the last value of each option
    std::map<std::string, std::vector<std::string>> repeated; // every value, in order
    std::set<std::string> flags;

    bool Has(const std::string& flag) const { return flags.count(flag) != 0; }
    std::optional<std::string> Value(const std::string& option) const;
    // Every value given to an option that may be repeated (--group A --group B).
    std::vector<std::string> Values(const std::string& option) const;
};

// An option given twice is refused (which value is meant is anyone's guess), unless it is
// `repeatable`.
ParsedArgs ParseArgs(const std::vector<std::string>& args, std::size_t first,
                     const std::set<std::string>& valued, const std::set<std::string>& flags,
                     const std::set<std::string>& repeatable = {});

// The arguments of the command args[0] by the options its help lists: those written with
// a value ("--lat DEG") take one, the others are flags.
ParsedArgs ParseCommandArgs(const std::vector<std::string>& args);

// A whole decimal number, or a UsageError naming `what`.
double ParseNumber(const std::string& text, const std::string& what);
int ParseInteger(const std::string& text, const std::string& what);
// The same within low..high, or a UsageError saying the range.
double ParseNumberIn(const std::string& text, const std::string& what, double low, double high);

// An instant in the ISO 8601 forms YYYY-MM-DDTHH:MM, YYYY-MM-DDTHH:MM:SS and
// YYYY-MM-DDTHH:MM:SS.s (any number of decimals), each optionally ending in Z; always UT.
// Fields are digits only, so none is negative. A fraction of a second is rounded to the
// nearest whole second, a half upwards, and the rounding carries into the minute, hour
// and date (23:59:59.5 is 00:00:00 the next day). The leap second is the next day's first,
// with a note to the run.
Instant ParseInstant(const std::string& text, Context& run);
// The forms ParseInstant takes, for the help and messages.
inline constexpr const char* kInstantForms = "YYYY-MM-DDTHH:MM[:SS[.s]][Z]";

// The observer of --lat and --long (51.5, 0.5 when not given), checked and folded as the
// observer boxes do.
Observer ParseObserver(const ParsedArgs& parsed);

// The chart of --diameter (1..2000 mm), --orientation, --flip and --mirror; the first-run
// chart for the options not given.
ChartGeometry ParseChartGeometry(const ParsedArgs& parsed);

// Whether --orientation, --flip or --mirror gives a picture's orientation, which then stands
// over the file's own.
bool OrientationGiven(const ParsedArgs& parsed);
// Whether --turn, --drift, --drift-from or --orientation solve turns the picture, which then
// stands over the file's own orientation.
bool TurnGiven(const ParsedArgs& parsed);
// How a picture whose file says nothing lies: as those options give, else as a camera sees
// the sky (celestial north up, east to the left), as the window takes it.
ChartGeometry PictureOrientationOf(const ParsedArgs& parsed);

// The disk given by hand with --disk CX,CY,R (pixels: the centre's column and row, 0
// being the first and the top one, and the radius), checked as the window checks one; none
// without the option.
std::optional<Circle> ParseDisk(const ParsedArgs& parsed);
inline constexpr const char* kDiskForm = "CX,CY,R";

// The shortest text that reads back to exactly the same double, or the double to 15
// significant digits when that is shorter: what lies beyond them is the rounding noise of
// the computation, not a digit of the value.
std::string FullPrecision(double v);

} // namespace zorva::cli
