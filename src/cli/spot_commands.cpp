// zorva-cli spots: the sunspots of one picture or many, found in parallel on the cores the
// program may use as far as a memory budget allows, told in words, CSV or JSON in the order
// the files were given.
#include <sched.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/help.h"
#include "cli/picture_turn.h"
#include "cli/spot_search.h"
#include "core/common/memory_gate.h"
#include "core/images/picture_context.h"
#include "core/spots/review_file.h"
#include "core/spots/spot_detection.h"
#include "core/spots/spot_report.h"
#include "core/srs/region_positions.h"
#include "core/text/parse.h"
#include "render/solar_image.h"

namespace zorva::cli {

namespace {

// "LOW,HIGH" in degrees.
std::pair<double, double> ParseLinks(const std::string& text) {
    const std::size_t comma = text.find(',');
    const auto low = ParseReal(text.substr(0, comma));
    const auto high = comma == std::string::npos ? std::nullopt : ParseReal(text.substr(comma + 1));
    constexpr double kWidest = 180.0;
    if (!low || !high || !(*low >= 0 && *low <= *high && *high <= kWidest)) {
        throw UsageError("--group-link wants SMALLEST,LARGEST in degrees, 0..180, not '" + text +
                         "'");
    }
    return {*low, *high};
}

} // namespace

SpotRequest ParseSpotRequest(const ParsedArgs& parsed, Context& run) {
    SpotRequest req;
    if (const auto at = parsed.Value("--at")) req.choices.instant = ParseInstant(*at, run);
    req.choices.disk = ParseDisk(parsed);
    req.choices.orientationGiven = OrientationGiven(parsed) || TurnGiven(parsed);
    req.choices.turn = GivenTurnOf(parsed);
    req.chart = PictureOrientationOf(parsed);
    req.parsed = parsed;
    if (const auto file = parsed.Value("--regions")) {
        if (parsed.Value("--orientation") != "solve") {
            throw UsageError("--regions goes with --orientation solve");
        }
        req.regions = LoadSrsFile(*file);
        if (req.regions->Status == SrsStatus::NotRead) throw std::runtime_error(req.regions->Error);
    }
    req.observer = ParseObserver(parsed);
    if (const auto f = parsed.Value("--format")) {
        if (*f == "text") {
            req.format = SpotFormat::Text;
        } else if (*f == "csv") {
            req.format = SpotFormat::Csv;
        } else if (*f == "json") {
            req.format = SpotFormat::Json;
        } else {
            throw UsageError("--format must be text, csv or json");
        }
    }
    req.fresh = parsed.Has("--fresh");
    SpotOptions& o = req.options;
    if (const auto v = parsed.Value("--penumbra"))
        o.penumbraLevel = ParseNumberIn(*v, "--penumbra", 0.01, 1);
    if (const auto v = parsed.Value("--umbra"))
        o.umbraLevel = ParseNumberIn(*v, "--umbra", 0, o.penumbraLevel);
    if (o.umbraLevel > o.penumbraLevel) throw UsageError("--umbra must not exceed --penumbra");
    o.adaptiveUmbra = !parsed.Has("--fixed-umbra");
    if (const auto v = parsed.Value("--limb-mu")) o.limbMu = ParseNumberIn(*v, "--limb-mu", 0, 0.9);
    if (const auto v = parsed.Value("--smallest"))
        o.smallestSpotMsh = ParseNumberIn(*v, "--smallest", 0, 1000);
    if (const auto v = parsed.Value("--group-link")) {
        std::tie(o.smallestGroupLink, o.largestGroupLink) = ParseLinks(*v);
    }
    return req;
}

SpotOutcome FindSpots(const std::string& path, const SpotRequest& req, Context& run) {
    SpotOutcome outcome;
    PictureLoad open = OpenPictureFile(std::filesystem::path(path), req.choices);
    if (!open.picture) {
        outcome.error = open.error.toStdString();
        return outcome;
    }
    PictureContext& context = open.picture->context;
    // A disk given by hand is measured on or refused, never passed over for another.
    if (req.choices.disk) {
        if (const auto refused =
                HandDiskProblemOn(*req.choices.disk, context.width, context.height)) {
            outcome.error = context.name + ": --disk refused: " + *refused;
            return outcome;
        }
    }
    for (const std::string& note : context.notes)
        outcome.warnings.push_back("warning: " + context.name + ": " + note);
    if (!context.disk) {
        outcome.error = context.name + ": " + std::string(LimbNotFoundMessage);
        return outcome;
    }
    if (!context.instant) {
        outcome.error = context.name + " gives no date; give --at";
        return outcome;
    }
    const Ephemeris ephemeris = run.EphemerisWarned(*context.instant, req.observer);
    TurnByDriftFrom(req.parsed, context);
    SpotReport report;
    report.file = path;
    report.instant = context.instant;
    report.disk = *context.disk;
    report.diskSource = std::string(DiskSourceName(context.diskSource));
    // The search reads the picture as it is shown: its colours too.
    const PixelGrid grid = GridOf(open.picture->image.shown);
    if (!req.fresh) {
        // The count a user reviewed and kept beside the picture stands for the search, on
        // the disk and at the instant it was made.
        const ReviewRead kept = LoadReview(std::filesystem::path(path), grid);
        if (kept.review) {
            const DiskFrame& f = kept.review->Frame();
            report.disk = {f.cx, f.cy, f.rx};
            if (kept.instant) report.instant = kept.instant;
            report.detection = kept.review->Result();
            report.source = "reviewed";
            DescribePicture(report, context, req.chart, ephemeris);
            outcome.report = std::move(report);
            return outcome;
        }
        if (!kept.problem.empty()) {
            outcome.warnings.push_back("warning: " + context.name +
                                       ": the reviewed count beside it is set aside, and the "
                                       "picture searched again: " +
                                       kept.problem);
        }
    }
    report.detection = DetectSpots(grid, context, req.chart, ephemeris, req.options);
    std::optional<NorthSolution> solved;
    if (req.regions && report.detection.error.empty()) {
        // The groups are found once on the turn the picture has, laid on the regions, and the
        // spots found again and placed on the turn found.
        std::vector<RegionPlace> places;
        const double offset = RegionLongitudeOffset(
            req.regions->Regions, run.EphemerisWarned(req.regions->Epoch, req.observer).L0);
        places = PlaceRegions(req.regions->Regions, offset, ephemeris);
        solved = SolveNorthFromRegions(report.detection.groups, *context.disk, places);
        if (!solved->north) {
            outcome.error = context.name + ": north cannot be solved: " + solved->error;
            return outcome;
        }
        TurnPicture(context, TurnOfSolarNorth(*solved->north, OrientationSource::Solved));
        report.detection = DetectSpots(grid, context, req.chart, ephemeris, req.options);
    }
    DescribePicture(report, context, req.chart, ephemeris);
    if (solved) {
        report.orientation->matched = solved->matched;
        report.orientation->groups = solved->groups;
        report.orientation->residual = solved->residual;
    }
    if (!report.detection.error.empty()) {
        outcome.error = context.name + ": " + report.detection.error;
    }
    outcome.report = std::move(report);
    return outcome;
}

namespace {

// The cores this process may run on (which taskset can narrow), at least one.
std::size_t UsableCores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        const int count = CPU_COUNT(&set);
        if (count > 0) return static_cast<std::size_t>(count);
    }
    return std::max(1U, std::thread::hardware_concurrency());
}

void WriteOutcome(std::ostream& out, const std::string& path, const SpotOutcome& outcome,
                  SpotFormat format, bool first) {
    switch (format) {
    case SpotFormat::Json:
        out << (outcome.report ? SpotReportJson(*outcome.report)
                               : SpotErrorJson(path, outcome.error))
            << "\n";
        break;
    case SpotFormat::Csv:
        if (outcome.report) out << SpotReportCsv(*outcome.report);
        break;
    case SpotFormat::Text:
        if (outcome.report) out << (first ? "" : "\n") << SpotReportText(*outcome.report);
        break;
    }
}

} // namespace

std::vector<std::string> SpotFiles(const ParsedArgs& parsed, std::istream& standardInput) {
    std::vector<std::string> files = parsed.positional;
    if (const auto list = parsed.Value("--files-from")) {
        std::ifstream file;
        if (*list != "-") {
            file.open(std::filesystem::path(*list), std::ios::binary);
            if (!file) throw std::runtime_error("cannot read the list of files '" + *list + "'");
        }
        std::istream& in = *list == "-" ? standardInput : file;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty()) files.push_back(line);
        }
        if (in.bad()) throw std::runtime_error("cannot read the list of files '" + *list + "'");
    }
    if (const auto shard = parsed.Value("--shard")) {
        const std::size_t slash = shard->find('/');
        const auto k =
            slash == std::string::npos ? std::nullopt : ParseInt32(shard->substr(0, slash));
        const auto n =
            slash == std::string::npos ? std::nullopt : ParseInt32(shard->substr(slash + 1));
        if (!k || !n || *n < 1 || *k < 1 || *k > *n)
            throw UsageError("--shard wants K/N with 1 <= K <= N, not '" + *shard + "'");
        std::vector<std::string> mine;
        for (std::size_t i = static_cast<std::size_t>(*k - 1); i < files.size();
             i += static_cast<std::size_t>(*n))
            mine.push_back(files[i]);
        files = std::move(mine);
    }
    return files;
}

namespace {

// The memory the pictures searched at once may take: --memory, else half of what the system
// has available when the command starts (the other half left to everything else), else 2 GiB.
uint64_t MemoryBudget(const ParsedArgs& parsed) {
    constexpr uint64_t kBytesPerMiB = uint64_t{1} << 20;
    constexpr double kLargestMiB = 1 << 30;
    constexpr uint64_t kWhenUnknown = uint64_t{2} << 30;
    if (const auto mib = parsed.Value("--memory")) {
        return static_cast<uint64_t>(ParseNumberIn(*mib, "--memory", 1, kLargestMiB)) *
               kBytesPerMiB;
    }
    const std::optional<uint64_t> available = AvailableMemory();
    return available ? *available / 2 : kWhenUnknown;
}

} // namespace

int SpotsCommand(const std::vector<std::string>& args, Context& run, std::ostream& out) {
    const ParsedArgs parsed = ParseCommandArgs(args);
    if (parsed.positional.empty() && !parsed.Value("--files-from"))
        throw UsageError(UsageLine("spots"));
    const SpotRequest req = ParseSpotRequest(parsed, run);
    const std::vector<std::string> files = SpotFiles(parsed, std::cin);
    if (files.empty()) return 0;
    // Fonts and image plug-ins are set up once, here, before any thread opens a file.
    EnsureGuiApplication();

    // The pictures searched at once take no more memory than the budget: each takes what its
    // headers say it will need before it is opened, and waits while that is not there.
    MemoryGate memory(MemoryBudget(parsed));
    std::vector<SpotOutcome> outcomes(files.size());
    std::vector<std::atomic<bool>> done(files.size());
    std::atomic<std::size_t> next{0}, finished{0};
    const auto searchOne = [&](std::size_t i) {
        try {
            const MemoryHeld held(memory,
                                  static_cast<uint64_t>(std::max<int64_t>(
                                      PictureSearchBytes(std::filesystem::path(files[i])), 0)));
            outcomes[i] = FindSpots(files[i], req, run);
        } catch (const std::exception& e) {
            outcomes[i].error = files[i] + ": " + e.what();
        }
        done[i] = true;
        ++finished;
    };
    const auto work = [&] {
        for (std::size_t i = next++; i < files.size(); i = next++)
            searchOne(i);
    };
    const std::size_t threads = std::min(files.size(), UsableCores());
    std::vector<std::thread> pool;
    for (std::size_t t = 1; t < threads; ++t)
        pool.emplace_back(work);

    // This thread works too, and between files writes what is ready, in the order given,
    // and the progress line when someone watches the terminal.
    const bool progress = isatty(STDERR_FILENO) != 0 && files.size() > 1;
    std::size_t written = 0;
    int status = 0;
    if (req.format == SpotFormat::Csv) out << SpotCsvHeader();
    const auto writeReady = [&] {
        while (written < files.size() && done[written]) {
            const SpotOutcome& o = outcomes[written];
            for (const std::string& w : o.warnings)
                run.Warn(w);
            if (!o.error.empty()) run.Warn(o.error);
            if (!o.error.empty()) status = 1;
            WriteOutcome(out, files[written], o, req.format, written == 0);
            out.flush();
            ++written;
        }
        if (progress) {
            std::cerr << "\rspots: " << finished.load() << " of " << files.size() << " files"
                      << std::flush;
        }
    };
    for (std::size_t i = next++; i < files.size(); i = next++) {
        searchOne(i);
        writeReady();
    }
    for (std::thread& t : pool)
        t.join();
    writeReady();
    if (progress) std::cerr << "\r\033[K" << std::flush;
    return status;
}

} // namespace zorva::cli
