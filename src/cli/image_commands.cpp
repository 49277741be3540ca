// zorva-cli limb, overlay and locate --image: the disk of a solar image, the grid drawn
// over it, and the readouts of a pixel clicked on it.
#include <QFile>
#include <QString>
#include <filesystem>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/help.h"
#include "cli/picture_turn.h"
#include "core/images/picture_context.h"
#include "core/measure/pointer.h"
#include "core/present/presentation.h"
#include "core/session/session.h"
#include "core/settings/settings_store.h"
#include "render/chart_painter.h"
#include "render/image_overlay.h"
#include "render/solar_image.h"

namespace zorva::cli {

namespace {

// Keeps the decoders' own warnings (a damaged file's, say) off the error stream while
// an image is read: the command reports the failure in its own words.
class QuietQtMessages {
  public:
    QuietQtMessages()
        : previous_(
              qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {})) {
    }
    ~QuietQtMessages() { qInstallMessageHandler(previous_); }
    QuietQtMessages(const QuietQtMessages&) = delete;
    QuietQtMessages& operator=(const QuietQtMessages&) = delete;

  private:
    QtMessageHandler previous_;
};

// Opens the picture through the one use case the window shares and insists on a disk; a
// file that cannot be opened, or whose disk nothing gives, ends the command with the reason.
LoadedPicture OpenWithDisk(const std::string& path, const PictureChoices& choices, Context& run) {
    EnsureGuiApplication();
    PictureLoad open;
    {
        const QuietQtMessages quiet;
        open = OpenPictureFile(std::filesystem::path(path), choices);
    }
    if (!open.picture) throw std::runtime_error(open.error.toStdString());
    const PictureContext& context = open.picture->context;
    // A disk given by hand is measured on or refused, never passed over for another.
    std::optional<std::string> refused;
    if (choices.disk) refused = HandDiskProblemOn(*choices.disk, context.width, context.height);
    // What the file's header held that could not be taken, said once each (the hand's disk
    // passed over is said as the refusal).
    for (const std::string& note : context.notes) {
        if (refused && note.ends_with(*refused)) continue;
        run.Warn("warning: " + context.name + ": " + note);
    }
    if (refused) throw std::runtime_error(context.name + ": --disk refused: " + *refused);
    if (!context.disk) {
        throw std::runtime_error(context.name + ": " + LimbNotFoundText(context.limb));
    }
    return std::move(*open.picture);
}

std::string TwoDigits(int32_t v) {
    return (v < 10 ? "0" : "") + std::to_string(v);
}

} // namespace

int LimbCommand(const std::vector<std::string>& args, Context& run, std::ostream& out) {
    const ParsedArgs parsed = ParseCommandArgs(args);
    if (parsed.positional.size() != 1) throw UsageError(UsageLine("limb"));
    PictureChoices choices;
    choices.subPixelLimb = parsed.Has("--refine");
    choices.disk = ParseDisk(parsed);
    choices.turn = GivenTurnOf(parsed);
    const LoadedPicture opened = OpenWithDisk(parsed.positional[0], choices, run);
    const PictureContext& picture = opened.context;
    // The search's own result is what this command tells; a header's disk does not stand
    // in for a search that failed.
    if (!picture.limb.found) {
        throw std::runtime_error(picture.name + ": " + LimbNotFoundText(picture.limb));
    }
    const LimbFit& fit = picture.limb;
    out << "CentreX " << FullPrecision(fit.disk.cx) << "\n"
        << "CentreY " << FullPrecision(fit.disk.cy) << "\n"
        << "Radius " << FullPrecision(fit.disk.r) << "\n"
        << "Rays " << fit.AcceptedPoints() << "\n"
        << "RaysSearched " << fit.raysSearched << "\n"
        << "Residual " << FullPrecision(fit.residual) << "\n"
        << "Mode " << LimbBackgroundName(fit.mode) << "\n";
    if (const auto& header = picture.headerDisk) {
        out << "HeaderCentreX " << FullPrecision(header->cx) << "\n"
            << "HeaderCentreY " << FullPrecision(header->cy) << "\n"
            << "HeaderRadius " << FullPrecision(header->r) << "\n";
    }
    if (const auto& given = choices.disk) {
        out << "GivenCentreX " << FullPrecision(given->cx) << "\n"
            << "GivenCentreY " << FullPrecision(given->cy) << "\n"
            << "GivenRadius " << FullPrecision(given->r) << "\n";
    }
    if (const auto& t = picture.instant) {
        out << "Date " << t->year << "-" << TwoDigits(t->month) << "-" << TwoDigits(t->day) << "\n"
            << "Time " << TwoDigits(t->hour) << ":" << TwoDigits(t->minute) << ":"
            << TwoDigits(t->second) << "\n";
    }
    // Last, as its value is words rather than one number.
    if (picture.turn) {
        out << "Orientation "
            << OrientationWords(PictureGeometry(picture, DefaultPictureOrientation({}))) << " ("
            << OrientationSourceName(picture.orientationSource) << ")\n";
    } else if (const auto& turn = picture.orientation) {
        out << "Orientation " << OrientationText(*turn) << "\n";
    }
    return 0;
}

int OverlayCommand(const std::vector<std::string>& args, Context& run, std::ostream& /*out*/) {
    const ParsedArgs parsed = ParseCommandArgs(args);
    if (parsed.positional.size() != 1) throw UsageError(UsageLine("overlay"));
    const auto file = parsed.Value("--out");
    if (!file) throw UsageError("--out is required; " + UsageLine("overlay"));
    const std::filesystem::path outPath(*file);
    const auto type = ImageTypeOfName(QFile::decodeName(QByteArray::fromStdString(*file)));
    if (!type) throw UsageError("--out must name a .bmp, .png, .jpg or .tif file");
    const ChartGeometry chart = PictureOrientationOf(parsed);
    const Observer observer = ParseObserver(parsed);
    PictureChoices choices;
    if (const auto at = parsed.Value("--at")) choices.instant = ParseInstant(*at, run);
    choices.orientationGiven = OrientationGiven(parsed);
    choices.turn = GivenTurnOf(parsed);
    choices.disk = ParseDisk(parsed);

    LoadedPicture opened = OpenWithDisk(parsed.positional[0], choices, run);
    TurnByDriftFrom(parsed, opened.context);
    const PictureContext& picture = opened.context;
    if (!picture.instant) {
        throw UsageError(picture.name + " gives no date; give --at");
    }
    // Said of a damaged year file the grid draws on.
    const Ephemeris ephemeris = run.EphemerisWarned(*picture.instant, observer);
    TurnBySolving(parsed, opened, ephemeris, run, observer, chart);

    // The picture opened in a session with the options given, and drawn over from its
    // presentation, as the window draws it.
    LoadedSettingsFiles options;
    options.settings = DefaultSettingsLoad();
    Settings& o = options.settings.settings;
    o.ObserverLat = observer.latitude;
    o.ObserverLong = observer.longitude;
    o.PictureOrientation = chart.Mode;
    o.PictureFlipSign = chart.FlipSign;
    o.PictureMirrorSign = chart.MirrorSign;
    o.ShowLatLines = parsed.Has("--lat-lines");
    o.ShowLongLines = parsed.Has("--long-lines");
    o.Points = parsed.Has("--points");
    o.Circle = parsed.Has("--circle");
    o.Sunspot = false;
    options.settings.sunspotChecked = false;
    Session session(run.Tables());
    const Instant& at = *picture.instant;
    session.Start(options, {at.year, at.month, at.day});
    session.Picture().OpenImage(parsed.positional[0], picture, HeldImages(opened.image));
    if (!(session.Observing().observation().instant == at)) {
        throw UsageError(picture.name +
                         ": its instant lies beyond the years the grid is drawn for");
    }
    const QImage canvas =
        PictureWithOverlay(ShownImage(session.Picture().opened()->images), *PresentPicture(session),
                           PresentPictureCaption(session), DefaultChartFont());
    QString error;
    if (!SaveSolarImage(canvas, outPath, *type, &error)) {
        throw std::runtime_error(error.toStdString());
    }
    return 0;
}

int ImageLocateCommand(const ParsedArgs& parsed, Context& run, std::ostream& out) {
    for (const char* option : {"--x", "--y", "--diameter"}) {
        if (parsed.Value(option)) {
            throw UsageError(std::string(option) + " does not go with --image: the disk is the "
                                                   "image's own");
        }
    }
    if (parsed.positional.size() > 1) throw UsageError(UsageLine("locate"));
    PictureChoices choices;
    if (!parsed.positional.empty()) choices.instant = ParseInstant(parsed.positional[0], run);
    choices.orientationGiven = OrientationGiven(parsed);
    choices.turn = GivenTurnOf(parsed);
    choices.disk = ParseDisk(parsed);
    const auto px = parsed.Value("--px");
    const auto py = parsed.Value("--py");
    if (!px || !py) throw UsageError("--px and --py are required with --image");
    const int32_t x = ParseInteger(*px, "--px");
    const int32_t y = ParseInteger(*py, "--py");
    const ChartGeometry chart = PictureOrientationOf(parsed);
    SpotState spot;
    ReadSpotSize(parsed, spot);
    const Observer observer = ParseObserver(parsed);

    LoadedPicture opened = OpenWithDisk(*parsed.Value("--image"), choices, run);
    TurnByDriftFrom(parsed, opened.context);
    const PictureContext& picture = opened.context;
    if (!picture.instant) {
        throw UsageError(picture.name + " gives no date; give the instant");
    }
    if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) {
        throw UsageError("the pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                         ") lies outside the " + std::to_string(picture.width) + " x " +
                         std::to_string(picture.height) + " image");
    }
    // As a plain click there in the window: the position goes into the boxes to two
    // decimals, in millimetres of the chart the disk stands for.
    const Ephemeris ephemeris = run.EphemerisWarned(*picture.instant, observer);
    TurnBySolving(parsed, opened, ephemeris, run, observer, chart);
    const DiskFrame frame = PictureFrame(picture, chart, ephemeris);
    const DiskClick click = PointToDisk(frame, x, y);
    if (!OnDisk(click.d, frame.diameter)) {
        throw std::runtime_error("the pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                                 ") lies off the solar disk");
    }
    spot.SpotX = RoundToHundredthsAwayFromZero(click.x);
    spot.SpotY = RoundToHundredthsAwayFromZero(click.y);
    LocateSpot(spot, frame, ephemeris);
    ComputeSpotArea(spot, frame.diameter);
    WriteSpotReadouts(out, spot);
    return 0;
}

} // namespace zorva::cli
