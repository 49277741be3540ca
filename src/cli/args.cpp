#include "cli/args.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "cli/help.h"
#include "core/text/format.h"
#include "core/text/parse.h"

namespace zorva::cli {

std::optional<std::string> ParsedArgs::Value(const std::string& option) const {
    const auto it = values.find(option);
    if (it == values.end()) return std::nullopt;
    return it->second;
}

ParsedArgs ParseArgs(const std::vector<std::string>& args, std::size_t first,
                     const std::set<std::string>& valued, const std::set<std::string>& flags) {
    ParsedArgs parsed;
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) == 0) {
            if (valued.count(a)) {
                if (i + 1 >= args.size()) throw UsageError("option " + a + " needs a value");
                parsed.values[a] = args[++i];
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
    std::set<std::string> valued, flags;
    if (const CommandHelp* command = args.empty() ? nullptr : FindCommandHelp(args[0])) {
        for (const OptionHelp& o : command->options) {
            const std::string_view option = o.option.substr(0, o.option.find(' '));
            (option.size() < o.option.size() ? valued : flags).emplace(option);
        }
    }
    return ParseArgs(args, 1, valued, flags);
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

Instant ParseInstant(const std::string& text) {
    // Exactly YYYY-MM-DDTHH:MM:SS.
    const auto bad = [&text](const std::string& why) {
        return UsageError("bad instant '" + text + "' (" + why + "; want YYYY-MM-DDTHH:MM:SS)");
    };
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':') {
        throw bad("layout");
    }
    // Digits and nothing else: a sign would let "T-1:00:00" through.
    const auto field = [&](std::size_t pos, std::size_t len) {
        int v = 0;
        for (std::size_t i = pos; i < pos + len; ++i) {
            if (text[i] < '0' || text[i] > '9') throw bad("digits");
            v = v * 10 + (text[i] - '0');
        }
        return v;
    };
    Instant t;
    t.year = field(0, 4);
    t.month = field(5, 2);
    t.day = field(8, 2);
    t.hour = field(11, 2);
    t.minute = field(14, 2);
    t.second = field(17, 2);
    if (t.year < 1) throw bad("year");
    if (t.month < 1 || t.month > 12) throw bad("month");
    if (t.day < 1 || t.day > DaysInMonth(t.year, t.month)) throw bad("day");
    if (t.hour > 23) throw bad("hour");
    if (t.minute > 59) throw bad("minute");
    if (t.second > 59) throw bad("second");
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
        } else {
            throw UsageError("--orientation must be equatorial, axis or altaz");
        }
    }
    if (parsed.Has("--flip")) g.FlipSign = -1;
    if (parsed.Has("--mirror")) g.MirrorSign = -1;
    return g;
}

namespace {
std::vector<std::string>& Warnings() {
    static std::vector<std::string> warnings;
    return warnings;
}
} // namespace

void Warn(const std::string& line) {
    std::vector<std::string>& w = Warnings();
    if (std::find(w.begin(), w.end(), line) == w.end()) w.push_back(line);
}

std::vector<std::string> TakeWarnings() {
    return std::exchange(Warnings(), {});
}

namespace {
std::optional<YearTables>& CurrentTables() {
    static std::optional<YearTables> tables;
    return tables;
}
} // namespace

void StartWithWorkingFolderTables() {
    CurrentTables().emplace(std::filesystem::path("."));
}

YearTables& WorkingFolderTables() {
    std::optional<YearTables>& tables = CurrentTables();
    if (!tables) StartWithWorkingFolderTables();
    return *tables;
}

Ephemeris EphemerisWarned(const Instant& instant, const Observer& observer) {
    YearTables& tables = WorkingFolderTables();
    if (const std::string& error = tables.Year(instant.year).source.error; !error.empty()) {
        Warn("warning: " + error);
    }
    return tables.At(instant, observer);
}

std::string FullPrecision(double v) {
    constexpr int kRoundTripDigits = 17;
    return GeneralText(v, kRoundTripDigits);
}

} // namespace zorva::cli
