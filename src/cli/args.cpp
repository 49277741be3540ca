#include "cli/args.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "cli/context.h"
#include "cli/help.h"
#include "core/images/picture_context.h"
#include "core/text/format.h"
#include "core/text/parse.h"

namespace zorva::cli {

std::optional<std::string> ParsedArgs::Value(const std::string& option) const {
    const auto it = values.find(option);
    if (it == values.end()) return std::nullopt;
    return it->second;
}

std::vector<std::string> ParsedArgs::Values(const std::string& option) const {
    const auto it = repeated.find(option);
    return it == repeated.end() ? std::vector<std::string>() : it->second;
}

ParsedArgs ParseArgs(const std::vector<std::string>& args, std::size_t first,
                     const std::set<std::string>& valued, const std::set<std::string>& flags,
                     const std::set<std::string>& repeatable) {
    ParsedArgs parsed;
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) == 0) {
            if ((parsed.values.count(a) != 0 || parsed.flags.count(a) != 0) &&
                repeatable.count(a) == 0) {
                throw UsageError("option " + a + " given twice");
            }
            if (valued.count(a)) {
                if (i + 1 >= args.size()) throw UsageError("option " + a + " needs a value");
                parsed.values[a] = args[++i];
                parsed.repeated[a].push_back(args[i]);
            } else if (flags.count(a)) {
                parsed.flags.insert(a);
            } else {
                throw UsageError("unknown option " + a);
            }
        } else {
            parsed.positional.push_back(a);
        }
    }
    return parsed;
}

ParsedArgs ParseCommandArgs(const std::vector<std::string>& args) {
    std::set<std::string> valued, flags, repeatable;
    if (const CommandHelp* command = args.empty() ? nullptr : FindCommandHelp(args[0])) {
        for (const OptionHelp& o : command->options) {
            const std::string_view option = o.option.substr(0, o.option.find(' '));
            (option.size() < o.option.size() ? valued : flags).emplace(option);
            if (o.repeatable) repeatable.emplace(option);
        }
    }
    return ParseArgs(args, 1, valued, flags, repeatable);
}

double ParseNumber(const std::string& text, const std::string& what) {
    const auto v = ParseReal(text);
    if (!v) throw UsageError("not a number for " + what + ": '" + text + "'");
    return *v;
}

int ParseInteger(const std::string& text, const std::string& what) {
    const auto v = ParseInt32(text);
    if (!v) throw UsageError("not a whole number for " + what + ": '" + text + "'");
    return *v;
}

double ParseNumberIn(const std::string& text, const std::string& what, double low, double high) {
    const double v = ParseNumber(text, what);
    if (!(v >= low && v <= high)) {
        throw UsageError(what + " must lie in " + ShortestDecimalText(low) + ".." +
                         ShortestDecimalText(high));
    }
    return v;
}

Instant ParseInstant(const std::string& text, Context& run) {
    const auto bad = [&text](const std::string& why) {
        return UsageError("bad instant '" + text + "' (" + why + "; want " + kInstantForms + ")");
    };
    std::string_view rest = text;
    // Exactly `n` digits, and nothing else: a sign would let "T-1:00:00" through.
    const auto digits = [&](std::size_t n) {
        if (rest.size() < n) throw bad("layout");
        int v = 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (rest[i] < '0' || rest[i] > '9') throw bad("digits");
            v = v * 10 + (rest[i] - '0');
        }
        rest.remove_prefix(n);
        return v;
    };
    const auto take = [&](char c) {
        if (rest.empty() || rest.front() != c) return false;
        rest.remove_prefix(1);
        return true;
    };
    Instant t;
    t.year = digits(4);
    if (!take('-')) throw bad("layout");
    t.month = digits(2);
    if (!take('-')) throw bad("layout");
    t.day = digits(2);
    if (!take('T')) throw bad("layout");
    t.hour = digits(2);
    if (!take(':')) throw bad("layout");
    t.minute = digits(2);
    bool roundUp = false;
    if (take(':')) {
        t.second = digits(2);
        if (take('.')) {
            if (rest.empty() || rest.front() < '0' || rest.front() > '9') throw bad("digits");
            // The first decimal decides: .5 and above is the next second.
            roundUp = rest.front() >= '5';
            while (!rest.empty() && rest.front() >= '0' && rest.front() <= '9')
                rest.remove_prefix(1);
        }
    }
    take('Z');
    if (!rest.empty()) throw bad("layout");
    constexpr int kLastMonth = 12, kLastHour = 23, kLastMinute = 59, kLastSecond = 59;
    if (t.year < 1) throw bad("year");
    if (t.month < 1 || t.month > kLastMonth) throw bad("month");
    if (t.day < 1 || t.day > DaysInMonth(t.year, t.month)) throw bad("day");
    if (t.hour > kLastHour) throw bad("hour");
    if (t.minute > kLastMinute) throw bad("minute");
    if (IsLeapSecond(t.hour, t.minute, t.second)) {
        run.Warn("note: " + text + ": " + LeapSecondNote);
        t = AfterLeapSecond(t);
        roundUp = false; // any fraction of the leap second is still 00:00:00
    }
    if (t.second > kLastSecond) throw bad("second");
    if (roundUp && ++t.second > kLastSecond) {
        t.second = 0;
        if (++t.minute > kLastMinute) {
            t.minute = 0;
            if (++t.hour > kLastHour) {
                t.hour = 0;
                AddDays(t.year, t.month, t.day, 1);
            }
        }
    }
    constexpr int kLastYear = 9999;
    if (t.year > kLastYear) throw bad("year");
    return t;
}

Observer ParseObserver(const ParsedArgs& parsed) {
    Observer observer;
    if (const auto lat = parsed.Value("--lat")) {
        if (!AcceptObserverLatitude(ParseNumber(*lat, "--lat"), observer.latitude)) {
            throw UsageError("--lat must lie in -90..90");
        }
    }
    if (const auto lon = parsed.Value("--long")) {
        if (!AcceptObserverLongitude(ParseNumber(*lon, "--long"), observer.longitude)) {
            throw UsageError("--long must lie in -180..360");
        }
    }
    return observer;
}

ChartGeometry ParseChartGeometry(const ParsedArgs& parsed) {
    ChartGeometry g;
    if (const auto d = parsed.Value("--diameter")) {
        g.ChartDiameter =
            ParseNumberIn(*d, "--diameter", SmallestChartDiameter, LargestChartDiameter);
    }
    if (const auto o = parsed.Value("--orientation")) {
        if (*o == "equatorial") {
            g.Mode = Orientation::Equatorial;
        } else if (*o == "axis") {
            g.Mode = Orientation::RotationAxis;
        } else if (*o == "altaz") {
            g.Mode = Orientation::AltAzimuth;
        } else if (*o == "solve" && parsed.Value("--regions")) {
            // Found from the regions once the spots are; meanwhile as a camera sees the sky.
            g.MirrorSign = -1;
        } else if (*o == "solve") {
            throw UsageError("--orientation solve needs --regions SRSFILE");
        } else {
            throw UsageError("--orientation must be equatorial, axis or altaz");
        }
    }
    if (parsed.Has("--flip")) g.FlipSign = -1;
    if (parsed.Has("--mirror")) g.MirrorSign = -1;
    return g;
}

bool OrientationGiven(const ParsedArgs& parsed) {
    return parsed.Value("--orientation") || parsed.Has("--flip") || parsed.Has("--mirror");
}

bool TurnGiven(const ParsedArgs& parsed) {
    return parsed.Value("--turn") || parsed.Value("--drift") || parsed.Value("--drift-from") ||
           parsed.Value("--orientation") == "solve";
}

ChartGeometry PictureOrientationOf(const ParsedArgs& parsed) {
    const ChartGeometry chart = ParseChartGeometry(parsed);
    return OrientationGiven(parsed) ? chart : DefaultPictureOrientation(chart);
}

std::optional<Circle> ParseDisk(const ParsedArgs& parsed) {
    const auto text = parsed.Value("--disk");
    if (!text) return std::nullopt;
    const auto bad = [&text](const std::string& why) {
        return UsageError("bad --disk '" + *text + "' (" + why + "; want " + kDiskForm +
                          " in pixels, as 255.5,255.5,202.9)");
    };
    std::vector<double> values;
    std::string_view rest = *text;
    while (true) {
        const std::size_t comma = rest.find(',');
        const auto v = ParseReal(rest.substr(0, comma));
        if (!v) throw bad("not three numbers");
        values.push_back(*v);
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    constexpr std::size_t kDiskNumbers = 3;
    if (values.size() != kDiskNumbers) throw bad("not three numbers");
    const Circle disk{values[0], values[1], values[2]};
    if (const auto problem = HandDiskProblem(disk)) throw bad(*problem);
    return disk;
}

std::string FullPrecision(double v) {
    // Sums of table values carry noise in their last bits (124.3 comes out of an
    // interpolation as 124.29999999999998); a double holds 15 significant digits exactly.
    constexpr int kHeldDigits = 15;
    const std::string shortest = RoundTripText(v);
    const std::string held = GeneralText(v, kHeldDigits);
    return held.size() < shortest.size() ? held : shortest;
}

} // namespace zorva::cli
