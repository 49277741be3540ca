// zorva-cli limb, overlay and locate --image: the disk of a solar image, the grid drawn
// over it, and the readouts of a pixel clicked on it.
#include <QFile>
#include <QString>
#include <filesystem>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/help.h"
#include "core/images/fits_header.h"
#include "core/images/image_name.h"
#include "core/images/image_state.h"
#include "core/images/limb_refine.h"
#include "core/measure/pointer.h"
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

struct OpenedImage {
    SolarImage image;
    LimbFit fit;
    std::string name; // bare file name
};

// Opens the image and finds its disk; a file that cannot be opened or a limb that cannot
// be found ends the command with the reason.
OpenedImage OpenAndFit(const std::string& path, bool subPixel = false) {
    EnsureGuiApplication();
    SolarImageLoad load;
    {
        const QuietQtMessages quiet;
        load = LoadSolarImage(std::filesystem::path(path));
    }
    if (!load.image) throw std::runtime_error(load.error.toStdString());
    OpenedImage opened{std::move(*load.image), {}, std::filesystem::path(path).filename().string()};
    opened.fit =
        subPixel ? FindSubPixelLimb(GridOf(opened.image.searched)) : FindSolarLimb(opened.image);
    if (!opened.fit.found) throw std::runtime_error(std::string(LimbNotFoundMessage));
    return opened;
}

std::string TwoDigits(int32_t v) {
    return (v < 10 ? "0" : "") + std::to_string(v);
}

} // namespace

int LimbCommand(const std::vector<std::string>& args, std::ostream& out) {
    const ParsedArgs parsed = ParseCommandArgs(args);
    if (parsed.positional.size() != 1) throw UsageError(UsageLine("limb"));
    const OpenedImage opened = OpenAndFit(parsed.positional[0], parsed.Has("--refine"));
    const LimbFit& fit = opened.fit;
    out << "CentreX " << FullPrecision(fit.disk.cx) << "\n"
        << "CentreY " << FullPrecision(fit.disk.cy) << "\n"
        << "Radius " << FullPrecision(fit.disk.r) << "\n"
        << "Rays " << fit.AcceptedPoints() << "\n"
        << "Mode " << LimbBackgroundName(fit.mode) << "\n";
    // A FITS header's own instant comes before the file name's.
    std::optional<Instant> instant;
    if (const auto& fits = opened.image.fits) {
        instant = FitsObservationInstant(fits->keywords);
        if (const auto disk = FitsHeaderDisk(fits->keywords, opened.image.shown.height())) {
            out << "HeaderCentreX " << FullPrecision(disk->disk.cx) << "\n"
                << "HeaderCentreY " << FullPrecision(disk->disk.cy) << "\n"
                << "HeaderRadius " << FullPrecision(disk->disk.r) << "\n";
        }
    }
    if (!instant) instant = InstantFromImageName(opened.name);
    if (const auto& t = instant) {
        out << "Date " << t->year << "-" << TwoDigits(t->month) << "-" << TwoDigits(t->day) << "\n"
            << "Time " << TwoDigits(t->hour) << ":" << TwoDigits(t->minute) << ":"
            << TwoDigits(t->second) << "\n";
    }
    // Last, as its value is words rather than one number.
    if (opened.image.fits) {
        if (const auto orientation = FitsHeaderOrientation(opened.image.fits->keywords))
            out << "Orientation " << OrientationText(*orientation) << "\n";
    }
    return 0;
}

int OverlayCommand(const std::vector<std::string>& args, std::ostream& /*out*/) {
    const ParsedArgs parsed = ParseCommandArgs(args);
    if (parsed.positional.size() != 1) throw UsageError(UsageLine("overlay"));
    const auto file = parsed.Value("--out");
    if (!file) throw UsageError("--out is required; " + UsageLine("overlay"));
    const std::filesystem::path outPath(*file);
    const auto type = ImageTypeOfName(QFile::decodeName(QByteArray::fromStdString(*file)));
    if (!type) throw UsageError("--out must name a .bmp, .png, .jpg or .tif file");
    ChartGeometry geometry = ParseChartGeometry(parsed);
    geometry.ShowLatLines = parsed.Has("--lat-lines");
    geometry.ShowLongLines = parsed.Has("--long-lines");
    const Observer observer = ParseObserver(parsed);
    const std::string image = parsed.positional[0];
    std::optional<Instant> instant;
    if (const auto at = parsed.Value("--at")) instant = ParseInstant(*at);

    const OpenedImage opened = OpenAndFit(image);
    if (!instant) instant = InstantFromImageName(opened.name);
    if (!instant) throw UsageError("the name '" + opened.name + "' gives no date; give --at");
    geometry.ChartDiameter = ImageChartDiameter(opened.fit.disk.r);

    ImageOverlayScene scene;
    scene.chart =
        MakeChartScene(geometry, EphemerisWarned(*instant, observer), SpotState{}, MarkerState{});
    scene.disk = opened.fit.disk;
    scene.limb = opened.fit.points;
    scene.points = parsed.Has("--points");
    scene.circle = parsed.Has("--circle");
    QImage canvas;
    DrawImageGrid(canvas, opened.image.shown, scene, DefaultChartFont());
    QString error;
    if (!SaveSolarImage(canvas, outPath, *type, &error)) {
        throw std::runtime_error(error.toStdString());
    }
    return 0;
}

int ImageLocateCommand(const ParsedArgs& parsed, std::ostream& out) {
    for (const char* option : {"--x", "--y", "--diameter"}) {
        if (parsed.Value(option)) {
            throw UsageError(std::string(option) + " does not go with --image: the disk is the "
                                                   "image's own");
        }
    }
    if (parsed.positional.size() != 1) throw UsageError(UsageLine("locate"));
    const Instant instant = ParseInstant(parsed.positional[0]);
    const auto px = parsed.Value("--px");
    const auto py = parsed.Value("--py");
    if (!px || !py) throw UsageError("--px and --py are required with --image");
    const int32_t x = ParseInteger(*px, "--px");
    const int32_t y = ParseInteger(*py, "--py");
    ChartGeometry geometry = ParseChartGeometry(parsed);
    SpotState spot;
    ReadSpotSize(parsed, spot);
    const Ephemeris ephemeris = EphemerisWarned(instant, ParseObserver(parsed));

    const OpenedImage opened = OpenAndFit(*parsed.Value("--image"));
    const QImage& picture = opened.image.shown;
    if (x < 0 || y < 0 || x >= picture.width() || y >= picture.height()) {
        throw UsageError("the pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                         ") lies outside the " + std::to_string(picture.width()) + " x " +
                         std::to_string(picture.height()) + " image");
    }
    // As a plain click there: the disk is the fitted circle at the chart scale the image
    // stands for; the position goes into the boxes to two decimals.
    const Circle& disk = opened.fit.disk;
    geometry.ChartDiameter = ImageChartDiameter(disk.r);
    const DiskClick click = PointToDisk(x, y, disk.cx, disk.cy, disk.r, geometry.ChartDiameter);
    if (!OnDisk(click.d, geometry.ChartDiameter)) {
        throw std::runtime_error("the pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                                 ") lies off the solar disk");
    }
    spot.SpotX = RoundToHundredthsAwayFromZero(click.x);
    spot.SpotY = RoundToHundredthsAwayFromZero(click.y);
    LocateSpot(spot, geometry, ephemeris);
    ComputeSpotArea(spot, geometry.ChartDiameter);
    WriteSpotReadouts(out, spot);
    return 0;
}

} // namespace zorva::cli
