#include "core/chart/chart_caption.h"

#include <cmath>
#include <cstdio>

#include "core/readouts/readouts.h"
#include "core/text/format.h"

namespace zorva {
namespace {

// Hundredths of a degree for B0, L0 and P, tenths of an arcsecond for the diameter: the
// readouts' finer choices.
constexpr int32_t kFinePrecision = 2;
constexpr int kSiteDecimals = 2;
constexpr const char* kGap = "   ";

// The readout texts carry leading blanks to keep their columns; a caption needs none.
std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first);
}

std::string TwoDigits(int32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", static_cast<int>(v));
    return text;
}

std::string OrientationText(const ChartGeometry& g) {
    std::string text = "Orientation: ";
    switch (g.Mode) {
    case Orientation::Equatorial:
        text += "celestial north up";
        break;
    case Orientation::RotationAxis:
        text += "rotation axis up";
        break;
    case Orientation::AltAzimuth:
        text += "zenith up";
        break;
    case Orientation::FromHeader:
        text += "as the image's FITS header states";
        break;
    }
    if (g.FlipSign == -1) text += ", flipped top to bottom";
    if (g.MirrorSign == -1) text += ", mirrored left to right";
    return text;
}

// 51.50° N, 0.50° W: the size of the angle and the side it lies on.
std::string SiteAngle(double degrees, const char* positive, const char* negative) {
    const double v = RoundHalfUp(std::fabs(degrees), kSiteDecimals);
    return FixedText(v, kSiteDecimals) + "\u00B0 " + (degrees < 0 && v != 0 ? negative : positive);
}

std::string DateTimeText(const Instant& t) {
    return std::to_string(t.year) + "-" + TwoDigits(t.month) + "-" + TwoDigits(t.day) + "  " +
           TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second) + " UT";
}

CaptionLine SolarAnglesLine(const Ephemeris& e) {
    return {"B0 " + Trimmed(B0Text(e.B0, kFinePrecision)) + kGap + "L0 " +
            Trimmed(L0Text(e.L0, kFinePrecision)) + kGap + "P " +
            Trimmed(PText(e.P, kFinePrecision))};
}

CaptionLine RotationLine(const Ephemeris& e) {
    return {"Carrington rotation " + RotationText(e.Rotation) + kGap + "Diameter " +
            Trimmed(DiameterText(e.DiamMinutes, e.DiamSeconds, kFinePrecision))};
}

} // namespace

std::vector<CaptionLine> ChartCaptionLines(const Instant& t, const Ephemeris& e,
                                           const Observer& observer, const ChartGeometry& g) {
    return {
        {DateTimeText(t)},
        SolarAnglesLine(e),
        RotationLine(e),
        {OrientationText(g)},
        {"Latitude " + SiteAngle(observer.latitude, "N", "S") + kGap + "Longitude " +
         SiteAngle(observer.longitude, "E", "W")},
        {"Observer", true},
        {"Seeing", true},
        {"Notes", true},
    };
}

std::vector<CaptionLine> PictureCaptionLines(const PictureContext& picture, const Instant& t,
                                             const Ephemeris& e, const ChartGeometry& inUse) {
    const std::string instantSource = InstantSourceWords(picture);
    constexpr int kPixelDecimals = 1;
    const Circle disk = picture.disk.value_or(Circle{});
    return {
        {picture.name},
        {DateTimeText(t) + " (" + instantSource + ")"},
        SolarAnglesLine(e),
        RotationLine(e),
        {"Orientation: " + OrientationWords(inUse) + " (" +
         std::string(OrientationSourceName(picture.orientationSource)) + ")"},
        {"Disk: centre " + FixedText(disk.cx, kPixelDecimals) + ", " +
         FixedText(disk.cy, kPixelDecimals) + " px, radius " + FixedText(disk.r, kPixelDecimals) +
         " px (" + std::string(DiskSourceName(picture.diskSource)) + ")"},
    };
}

} // namespace zorva
