// zorva-cli locate and chart: a spot's heliographic position, and the chart as a file.
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QString>
#include <algorithm>
#include <cctype>
#include <filesystem>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/help.h"
#include "core/chart/chart_geometry.h"
#include "core/chart/sunspot.h"
#include "core/ephemeris/daily_table.h"
#include "core/ephemeris/horizon.h"
#include "core/text/format.h"
#include "render/chart_export.h"
#include "render/chart_painter.h"

namespace zorva::cli {

namespace {

// The instant, observer, chart settings and spot of one command line, and the
// ephemeris they give.
struct ChartRequest {
    Instant instant;
    Observer observer;
    ChartGeometry geometry;
    SpotState spot;
    Ephemeris ephemeris;
};

// A spot is placed within the largest chart's reach of the disk centre.
constexpr double kFarthestCoordinate = LargestChartDiameter;

double Coordinate(const ParsedArgs& parsed, const std::string& option, bool required,
                  const std::string& usage) {
    const auto text = parsed.Value(option);
    if (!text) {
        if (required) throw UsageError(option + " is required; " + usage);
        return 0;
    }
    return ParseNumberIn(*text, option, -kFarthestCoordinate, kFarthestCoordinate);
}

ChartRequest ReadRequest(const ParsedArgs& parsed, bool coordinatesRequired,
                         const std::string& usage, Context& run) {
    if (parsed.positional.size() != 1) throw UsageError(usage);
    ChartRequest req;
    req.instant = ParseInstant(parsed.positional[0], run);
    req.observer = ParseObserver(parsed);
    req.spot.SpotX = Coordinate(parsed, "--x", coordinatesRequired, usage);
    req.spot.SpotY = Coordinate(parsed, "--y", coordinatesRequired, usage);
    req.geometry = ParseChartGeometry(parsed);
    ReadSpotSize(parsed, req.spot);
    req.ephemeris = run.EphemerisWarned(req.instant, req.observer);
    return req;
}

} // namespace

void ReadSpotSize(const ParsedArgs& parsed, SpotState& spot) {
    if (const auto size = parsed.Value("--size")) {
        spot.SpotSize = ParseNumberIn(*size, "--size", 0, LargestSpotSize);
    }
    if (const auto grid = parsed.Value("--grid")) {
        if (*grid == "mm") {
            spot.GridCellArea = MmGridCellArea;
        } else if (*grid == "in") {
            spot.GridCellArea = InchGridCellArea;
        } else {
            throw UsageError("--grid must be mm or in");
        }
    }
}

void WriteSpotReadouts(std::ostream& out, const SpotState& s) {
    // Only a located spot is written; off the disk the command fails before.
    const DiskPointLocation at = s.At.value_or(DiskPointLocation{});
    out << "SpotRho " << FullPrecision(at.rho) << "\n"
        << "SpotPA " << FullPrecision(at.pa) << "\n"
        << "SpotLat " << FullPrecision(at.latitude) << "\n"
        << "SpotLong " << FullPrecision(at.longitude) << "\n"
        << "SpotRotation " << at.rotation << "\n"
        << "SpotArea " << FullPrecision(s.SpotArea) << "\n";
}

// The command line has no application object of its own. The one made here is never
// destroyed: run from the exit handlers, its destructor would find Qt's own globals
// already gone.
void EnsureGuiApplication() {
    if (QCoreApplication::instance()) {
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            throw std::runtime_error("drawing needs a GUI application object");
        }
        return;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "zorva-cli";
    static char* argv[] = {name, nullptr};
    // Start-up notes of the platform (a missing runtime folder, say) are no concern of
    // a command that only writes a file; keep them off the error stream.
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    new QGuiApplication(argc, argv);
    qInstallMessageHandler(previous);
}

int LocateCommand(const std::vector<std::string>& args, Context& run, std::ostream& out) {
    const ParsedArgs parsed = ParseCommandArgs(args);
    if (parsed.Value("--image")) return ImageLocateCommand(parsed, run, out);
    for (const char* option : {"--px", "--py", "--disk"}) {
        if (parsed.Value(option)) throw UsageError(std::string(option) + " needs --image");
    }
    ChartRequest req = ReadRequest(parsed, true, UsageLine("locate"), run);
    LocateSpot(req.spot, FrameAt(req.geometry, req.ephemeris), req.ephemeris);
    // Off the disk there is nothing to tell, and no stand-in value goes out as a result.
    if (!req.spot.At) {
        throw std::runtime_error("the point (" + RoundTripText(req.spot.SpotX) + ", " +
                                 RoundTripText(req.spot.SpotY) +
                                 ") mm lies off the solar disk of "
                                 "the " +
                                 RoundTripText(req.geometry.ChartDiameter) + " mm chart");
    }
    ComputeSpotArea(req.spot, req.geometry.ChartDiameter);
    WriteSpotReadouts(out, req.spot);
    return 0;
}

int ChartCommand(const std::vector<std::string>& args, Context& run, std::ostream& /*out*/) {
    const ParsedArgs parsed = ParseCommandArgs(args);
    const auto file = parsed.Value("--out");
    if (!file) throw UsageError("--out is required; " + UsageLine("chart"));
    // The name's bytes go to the file system as they are; only its extension is read.
    const std::filesystem::path path(*file);
    const auto format = ChartFormatOfPath(QFile::decodeName(QByteArray::fromStdString(*file)));
    if (!format) throw UsageError("--out must name a .png, .pdf or .svg file");
    ChartStyle style = ChartStyle::Screen;
    if (const auto s = parsed.Value("--style")) {
        if (*s == "print") {
            style = ChartStyle::Print;
        } else if (*s != "screen") {
            throw UsageError("--style must be screen or print");
        }
    }
    ChartRequest req = ReadRequest(parsed, false, UsageLine("chart"), run);
    req.geometry.ShowLatLines = parsed.Has("--lat-lines");
    req.geometry.ShowLongLines = parsed.Has("--long-lines");
    LocateSpot(req.spot, FrameAt(req.geometry, req.ephemeris), req.ephemeris);

    EnsureGuiApplication();
    ChartExport chart;
    chart.Scene = MakeChartScene(req.geometry, req.ephemeris, req.spot, MarkerState{});
    chart.Style = style;
    chart.LongitudeLabels = parsed.Has("--long-labels");
    if (parsed.Has("--caption")) {
        chart.Caption = ChartCaptionLines(req.instant, req.ephemeris, req.observer, req.geometry);
    }
    if (std::string why; !SaveChartFile(path, ChartFileBytes(*format, chart), &why)) {
        throw std::runtime_error("cannot write " + *file + ": " + why);
    }
    return 0;
}

} // namespace zorva::cli
