#include "core/chart/sunspot.h"

#include <cmath>
#include <cstdio>

#include "core/chart/foreshortening.h"
#include "core/chart/projection.h"
#include "core/common/angles.h"
#include "core/text/format.h"
#include "core/text/numeric_text.h"

namespace zorva {

namespace {

constexpr const char* kDegree = "\u00B0";
constexpr double kMillionths = 1000000.0;
constexpr double kRedFromRho = 60.0; // foreshortened too much for a trusted area

// Left-edge anchors of the readout labels, pixels in their group box.
constexpr double kLatAnchorTenths = 35;
constexpr double kLatAnchorWhole = 37;
constexpr double kLongAnchorWhole = 128;
constexpr double kLongAnchorTenths = 124;
constexpr double kAreaAnchor = 204;

constexpr const char* kLatDash = "    -";
constexpr const char* kLongDash = "     -";
constexpr const char* kRotationDash = "    -";
constexpr const char* kAreaDash = "     -";

// Latitude sign column: a "+" for the north, blanks where the minus would stand.
const char* LatPrefix(double v) {
    if (v >= 10) return "+";
    if (v >= 0) return "  +";
    if (v > -10) return "   ";
    return " ";
}

} // namespace

void LocateSpot(SpotState& spot, const DiskFrame& frame, const Ephemeris& ephemeris) {
    spot.At = LocateDiskPoint(spot.SpotX, spot.SpotY, frame, ApparentDiameter(ephemeris),
                              ephemeris.B0, ephemeris.L0, ephemeris.Rotation);
}

AreaReadout ComputeSpotArea(SpotState& spot, double chartDiameter) {
    AreaReadout out;
    // The hemisphere at the drawing's scale is pi d^2 / 2 square millimetres.
    double a = spot.SpotSize * spot.GridCellArea * 2 * kMillionths /
               (chartDiameter * (chartDiameter * degrees::kPi));
    if (!spot.At) {
        spot.SpotArea = 0;
        out.Text = kAreaDash;
        return out;
    }
    a = SurfaceArea(a, degrees::Cos(spot.At->rho));
    spot.SpotArea = a;
    out.Area = a;
    out.Red = spot.At->rho >= kRedFromRho;
    // Kept as a double: a size typed with many digits must not overflow an integer.
    const double m = spot.AreaPrecision == 1 ? 10 * std::floor(a * 0.1 + 0.5) : std::floor(a + 0.5);
    const std::string digits = FixedText(m, 0);
    if (m < 10) {
        out.Text = "    " + digits;
    } else if (m < 100) {
        out.Text = "  " + digits;
    } else if (m < 1000) {
        out.Text = " " + digits;
    } else {
        out.Text = digits;
        out.NewLeft = static_cast<int32_t>(std::trunc(kAreaAnchor - Utf8Length(out.Text) / 2.0));
    }
    return out;
}

std::string AreaHintText(const SpotState& spot, const AreaReadout& area) {
    if (!spot.At) return "Area (millionths of the hemisphere): none while the spot is off the disk";
    std::string hint = "Area " + FixedText(area.Area, 1) + " millionths of the hemisphere, shown " +
                       (spot.AreaPrecision == 1 ? "to the nearest 10" : "to the nearest 1");
    if (area.Red) {
        hint += ". Red: the spot is " + FixedText(spot.At->rho, 0) + kDegree +
                " from the disk's centre (" + FixedText(kRedFromRho, 0) + kDegree +
                " or more), where foreshortening makes the area uncertain";
    }
    return hint;
}

SpotReadouts UpdateSpotReadouts(const SpotState& spot) {
    SpotReadouts out;
    const bool tenths = spot.LatLongPrecision != 1;
    if (spot.At) {
        const int decimals = tenths ? 1 : 0;
        const double v = RoundHalfUp(spot.At->latitude, decimals);
        out.LatText = LatPrefix(v) + FixedText(v, decimals) + kDegree;
    } else {
        out.LatText = kLatDash;
    }
    const double latAnchor = tenths ? kLatAnchorTenths : kLatAnchorWhole;
    out.LatLeft =
        static_cast<int32_t>(std::trunc(latAnchor - std::floor(Utf8Length(out.LatText) * 0.5)));

    if (!spot.At) {
        out.LongText = kLongDash;
        out.LongLeft =
            static_cast<int32_t>(std::trunc(kLongAnchorWhole - Utf8Length(out.LongText) * 0.5));
    } else if (tenths) {
        double v = RoundHalfUp(spot.At->longitude, 1);
        if (v == degrees::kFullCircle) v = 0; // 359.95 and up is longitude 0
        const char* prefix = v >= 100 ? "" : v >= 10 ? " " : "   ";
        out.LongText = prefix + FixedText(v, 1) + kDegree;
        out.LongLeft =
            static_cast<int32_t>(std::trunc(kLongAnchorTenths - Utf8Length(out.LongText) * 0.5));
    } else {
        double v = RoundHalfUp(spot.At->longitude, 0);
        if (v == degrees::kFullCircle) v = 0;
        const char* prefix = v >= 100 ? "" : v >= 10 ? "  " : "    ";
        out.LongText = prefix + FixedText(v, 0) + kDegree;
        out.LongLeft =
            static_cast<int32_t>(std::trunc(kLongAnchorWhole - Utf8Length(out.LongText) * 0.5));
    }

    out.RotationText = spot.At ? std::to_string(spot.At->rotation) : kRotationDash;
    return out;
}

std::optional<double> AcceptSpotSize(const std::string& text, char separator) {
    if (!IsNumericText(text)) return std::nullopt;
    const std::optional<double> v = NumericValue(text, separator);
    if (!v || !(*v >= 0 && *v <= LargestSpotSize)) return std::nullopt;
    return v;
}

} // namespace zorva
