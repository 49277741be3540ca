// zorva-cli record: the observer's record of observations, added from pictures, from the
// spots command's JSON lines or from counts typed at the eyepiece, and reported and plotted.
#include <chrono>
#include <cmath>
#include <ctime>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/help.h"
#include "cli/spot_search.h"
#include "core/record/activity.h"
#include "core/record/monthly_report.h"
#include "core/record/spots_line.h"
#include "core/record/typed_entry.h"
#include "core/text/format.h"
#include "core/text/parse.h"
#include "render/record_plot.h"
#include "store/record_store.h"

namespace zorva::cli {

namespace {

CalendarDay TodayUt() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm ut{};
    gmtime_r(&now, &ut);
    constexpr int kTmYearBase = 1900;
    return {ut.tm_year + kTmYearBase, ut.tm_mon + 1, ut.tm_mday};
}

std::string RecordPath(const ParsedArgs& parsed) {
    return parsed.Value("--record").value_or(kDefaultRecordName);
}

std::unique_ptr<Record> OpenRecord(const ParsedArgs& parsed, bool readOnly) {
    RecordOptions options;
    options.readOnly = readOnly;
    std::string error;
    auto record = Record::Open(std::filesystem::path(RecordPath(parsed)), error, options);
    if (!record) throw std::runtime_error(error);
    return record;
}

// "YYYY-MM" as the first and last day of the month.
std::pair<CalendarDay, CalendarDay> ParseMonth(const std::string& text, const char* option) {
    const auto day = ParseDayText(text + "-01");
    if (text.size() != 7 || !day)
        throw UsageError(std::string(option) + " wants a month as YYYY-MM, not '" + text + "'");
    return {*day, {day->year, day->month, DaysInMonth(day->year, day->month)}};
}

// The details of the observation that the options give: who, where, with what, how well.
void ApplyDetails(const ParsedArgs& parsed, SunspotObservation& o) {
    if (const auto v = parsed.Value("--observer")) o.observer = *v;
    if (const auto v = parsed.Value("--site")) o.site = *v;
    if (const auto v = parsed.Value("--instrument")) o.instrument = *v;
    if (const auto v = parsed.Value("--seeing")) {
        const int seeing = ParseInteger(*v, "--seeing");
        if (seeing < kBestSeeing || seeing > kWorstSeeing)
            throw UsageError("--seeing must lie in 1..5 (1 excellent, 5 very poor)");
        o.seeing = seeing;
    }
    o.dayChoice = parsed.Has("--day");
}

// "G,S": a hemisphere's groups and spots as typed; whole numbers (a negative one is the
// record's to refuse, with its reason).
HemisphereCount ParseCount(const std::string& text, const char* option) {
    const std::size_t comma = text.find(',');
    const auto g = ParseInt32(text.substr(0, comma));
    const auto s = comma == std::string::npos ? std::nullopt : ParseInt32(text.substr(comma + 1));
    if (!g || !s)
        throw UsageError(std::string(option) + " wants G,S (groups and spots), not '" + text + "'");
    return {*g, *s};
}

// --group LOCATION,SPOTS[,CLASS[,NOAA]]: LOCATION is N or S, or a place as NOAA writes it
// (ReadGroupPlace), which the ephemeris of the instant turns into a Carrington longitude.
ObservedGroup ParseGroup(const std::string& text, int32_t number, const Ephemeris& at) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, ',');)
        parts.push_back(part);
    const auto bad = [&text](const std::string& why) {
        return UsageError("bad --group '" + text + "' (" + why +
                          "; want LOCATION,SPOTS[,CLASS[,NOAA]] with LOCATION N, S or as "
                          "N14W23)");
    };
    constexpr std::size_t kFewest = 2, kMost = 4;
    if (parts.size() < kFewest || parts.size() > kMost) throw bad("two to four parts");
    ObservedGroup g;
    g.number = number;
    if (!ReadGroupPlace(parts[0], at.L0, g).empty()) throw bad("the location");
    const auto spots = ParseInt32(parts[1]);
    if (!spots) throw bad("the spots");
    g.spots = *spots;
    if (parts.size() > 2) {
        // A class typed is the observer's own.
        g.mcintosh = parts[2];
        g.classReviewed = !g.mcintosh.empty();
    }
    if (parts.size() > 3) {
        const auto noaa = ParseInt32(parts[3]);
        if (!noaa) throw bad("the NOAA number");
        g.noaa = *noaa;
    }
    return g;
}

SunspotObservation TypedObservation(const ParsedArgs& parsed, Context& run) {
    SunspotObservation o;
    const auto at = parsed.Value("--at");
    if (!at) throw UsageError("record add --visual needs --at INSTANT (UT)");
    o.instant = ParseInstant(*at, run);
    o.instantSource = std::string(TypedInstantSource);
    o.method = ObservationMethod::Visual;
    if (const auto m = parsed.Value("--method")) {
        const auto method = MethodOfName(*m);
        if (!method || *method == ObservationMethod::Picture)
            throw UsageError("--method must be visual or drawing");
        o.method = *method;
    }
    const Ephemeris ephemeris = run.EphemerisWarned(o.instant, ParseObserver(parsed));
    int32_t number = 0;
    for (const std::string& g : parsed.Values("--group"))
        o.groups.push_back(ParseGroup(g, ++number, ephemeris));
    const auto north = parsed.Value("--north"), south = parsed.Value("--south");
    if (north || south) {
        if (!north || !south) throw UsageError("give both --north and --south");
        o.north = ParseCount(*north, "--north");
        o.south = ParseCount(*south, "--south");
    } else if (!o.groups.empty()) {
        CountGroups(o);
    } else {
        throw UsageError("record add --visual needs the counts: --north G,S and --south G,S, or "
                         "the groups");
    }
    if (const auto wolf = parsed.Value("--wolf")) o.statedWolf = ParseInteger(*wolf, "--wolf");
    ApplyDetails(parsed, o);
    return o;
}

std::string AddedLine(const SunspotObservation& o, int64_t id) {
    const auto n = [](int64_t v) { return std::to_string(v); };
    return "observation " + n(id) + " " + IsoInstantText(o.instant) + " " +
           std::string(MethodName(o.method)) + " g " + n(o.Groups()) + " s " + n(o.Spots()) +
           " R " + n(o.Wolf()) + " gN " + n(o.north.groups) + " sN " + n(o.north.spots) + " gS " +
           n(o.south.groups) + " sS " + n(o.south.spots) +
           (o.picture.empty() ? "" : " " + o.picture) + "\n";
}

int Add(const ParsedArgs& parsed, const std::vector<std::string>& files, Context& run,
        std::ostream& out) {
    std::vector<SunspotObservation> observations;
    std::vector<std::string> problems;
    if (parsed.Has("--visual")) {
        if (!files.empty() || parsed.Has("--json"))
            throw UsageError("record add --visual takes no files");
        observations.push_back(TypedObservation(parsed, run));
    } else if (files.empty()) {
        throw UsageError("record add wants pictures, --json FILE... or --visual");
    } else if (parsed.Has("--json")) {
        for (const std::string& file : files) {
            std::ifstream in(std::filesystem::path(file), std::ios::binary);
            if (!in) throw std::runtime_error("cannot read '" + file + "'");
            std::size_t number = 0;
            for (std::string line; std::getline(in, line);) {
                ++number;
                if (line.empty() || line == "\r") continue;
                const std::string where = file + ":" + std::to_string(number) + ": ";
                SpotsLine read = ReadSpotsLine(line);
                if (!read.unsearched.empty()) {
                    run.Warn(where + "no observation (" + read.unsearched + "), passed over");
                } else if (!read.observation) {
                    problems.push_back(where + read.error);
                } else {
                    read.observation->fingerprint =
                        PictureFingerprintOfFile(read.observation->picture);
                    ApplyDetails(parsed, *read.observation);
                    observations.push_back(std::move(*read.observation));
                }
            }
        }
    } else {
        const SpotRequest req = ParseSpotRequest(parsed, run);
        EnsureGuiApplication();
        for (const std::string& file : files) {
            const SpotOutcome outcome = FindSpots(file, req, run);
            for (const std::string& w : outcome.warnings)
                run.Warn(w);
            if (!outcome.error.empty() || !outcome.report) {
                problems.push_back(outcome.error.empty() ? file + ": not searched" : outcome.error);
                continue;
            }
            SunspotObservation o = ObservationOfReport(*outcome.report);
            o.fingerprint = PictureFingerprintOfFile(file);
            ApplyDetails(parsed, o);
            observations.push_back(std::move(o));
        }
    }
    const std::string path = RecordPath(parsed);
    if (!problems.empty()) {
        for (const std::string& p : problems)
            run.Warn(p);
        throw std::runtime_error("nothing was added to " + path);
    }
    auto record = OpenRecord(parsed, false);
    const RecordAdded added = record->Add(observations, TodayUt());
    if (!added.Ok()) {
        for (const std::string& p : added.problems)
            run.Warn(p);
        throw std::runtime_error("nothing was added to " + path);
    }
    for (std::size_t i = 0; i < observations.size(); ++i)
        out << AddedLine(observations[i], added.ids[i]);
    return 0;
}

std::pair<std::optional<CalendarDay>, std::optional<CalendarDay>> Span(const ParsedArgs& parsed) {
    std::optional<CalendarDay> first, last;
    if (const auto month = parsed.Value("--month")) {
        std::tie(first, last) = ParseMonth(*month, "--month");
        return {first, last};
    }
    if (const auto from = parsed.Value("--from")) first = ParseMonth(*from, "--from").first;
    if (const auto to = parsed.Value("--to")) last = ParseMonth(*to, "--to").second;
    return {first, last};
}

int List(const ParsedArgs& parsed, std::ostream& out) {
    const auto [first, last] = Span(parsed);
    const std::vector<SunspotObservation> all = OpenRecord(parsed, true)->Observations(first, last);
    std::set<int64_t> ofTheDays;
    for (const SunspotObservation& o : ObservationsOfTheDays(all))
        ofTheDays.insert(o.id);
    for (const SunspotObservation& o : all) {
        out << o.id << " " << IsoInstantText(o.instant) << " " << MethodName(o.method) << " seeing "
            << (o.seeing ? std::to_string(*o.seeing) : "-") << " g " << o.Groups() << " s "
            << o.Spots() << " R " << o.Wolf() << " observer "
            << (o.observer.empty() ? "-" : o.observer)
            << (ofTheDays.count(o.id) ? (o.dayChoice ? " day marked" : " day") : "")
            << (o.picture.empty() ? "" : " picture " + o.picture)
            << (o.instantSource.empty() ? "" : " instant " + o.instantSource) << "\n";
    }
    return 0;
}

int Report(const ParsedArgs& parsed, std::ostream& out) {
    const auto month = parsed.Value("--month");
    if (!month) throw UsageError("record report needs --month YYYY-MM");
    const auto [first, last] = ParseMonth(*month, "--month");
    const std::string format = parsed.Value("--format").value_or("text");
    if (format != "text" && format != "csv") throw UsageError("--format must be text or csv");
    const auto report = MakeMonthlyReport(OpenRecord(parsed, true)->Observations(first, last),
                                          first.year, first.month);
    out << (format == "csv" ? MonthlyReportCsv(report) : MonthlyReportText(report));
    return 0;
}

int Groups(const ParsedArgs& parsed, std::ostream& out) {
    const auto [first, last] = Span(parsed);
    constexpr int kPlaceDecimals = 1, kAreaDecimals = 0;
    for (const GroupLife& life : OpenRecord(parsed, true)->Groups(first, last)) {
        out << "group " << life.id << " noaa " << (life.noaa ? std::to_string(*life.noaa) : "-")
            << " days " << life.days.size() << "\n";
        for (const GroupSightingDay& d : life.days) {
            const auto place = [](const std::optional<double>& v, int decimals) {
                return v ? FixedText(*v, decimals) : std::string("-");
            };
            out << "  " << IsoInstantText(d.instant) << " lat " << place(d.latitude, kPlaceDecimals)
                << " long " << place(d.longitude, kPlaceDecimals) << " area "
                << place(d.areaMsh, kAreaDecimals) << " spots " << d.spots << " class "
                << (d.mcintosh.empty() ? "-" : d.mcintosh) << " observation " << d.observation
                << "\n";
        }
    }
    return 0;
}

int Plot(const ParsedArgs& parsed) {
    const std::string kind = parsed.Value("--kind").value_or("");
    if (kind != "activity" && kind != "butterfly")
        throw UsageError("record plot needs --kind activity or --kind butterfly");
    const auto outPath = parsed.Value("--out");
    if (!outPath) throw UsageError("record plot needs --out FILE (.png, .svg or .pdf)");
    const auto format = ChartFormatOfPath(QString::fromStdString(*outPath));
    if (!format) throw UsageError("--out must end in .png, .svg or .pdf");
    const auto [first, last] = Span(parsed);
    const std::vector<SunspotObservation> days =
        ObservationsOfTheDays(OpenRecord(parsed, true)->Observations(first, last));
    EnsureGuiApplication();
    constexpr int kPlotPoints = 10;
    const QFont font("DejaVu Sans", kPlotPoints);
    QByteArray bytes;
    if (kind == "activity") {
        const ActivityCurve curve = MakeActivityCurve(days);
        bytes = RecordPlotBytes(
            *format, [&](QPainter& p, const QRectF& area) { PaintActivity(p, area, curve, font); });
    } else {
        const std::vector<ButterflyPoint> points = MakeButterfly(days);
        bytes = RecordPlotBytes(*format, [&](QPainter& p, const QRectF& area) {
            PaintButterfly(p, area, points, font);
        });
    }
    std::string error;
    if (!SaveChartFile(std::filesystem::path(*outPath), bytes, &error))
        throw std::runtime_error("cannot write '" + *outPath + "': " + error);
    return 0;
}

} // namespace

int RecordCommand(const std::vector<std::string>& args, Context& run, std::ostream& out) {
    const ParsedArgs parsed = ParseCommandArgs(args);
    if (parsed.positional.empty()) throw UsageError(UsageLine("record"));
    const std::string what = parsed.positional[0];
    const std::vector<std::string> rest(parsed.positional.begin() + 1, parsed.positional.end());
    if (what == "add") return Add(parsed, rest, run, out);
    if (what == "mark") {
        if (rest.size() != 1) throw UsageError("record mark wants one observation's number");
        const auto id = ParseInt64(rest[0]);
        if (!id)
            throw UsageError("record mark wants an observation's number, not '" + rest[0] + "'");
        if (std::string error = OpenRecord(parsed, false)->MarkDay(*id); !error.empty())
            throw std::runtime_error(error);
        return 0;
    }
    if (!rest.empty()) throw UsageError("record " + what + " takes no files");
    if (what == "list") return List(parsed, out);
    if (what == "report") return Report(parsed, out);
    if (what == "groups") return Groups(parsed, out);
    if (what == "plot") return Plot(parsed);
    throw UsageError("record wants add, list, mark, report, groups or plot, not '" + what + "'");
}

} // namespace zorva::cli
