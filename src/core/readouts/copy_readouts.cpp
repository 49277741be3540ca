#include "core/readouts/copy_readouts.h"

#include <cmath>
#include <cstdio>

#include "core/common/angles.h"
#include "core/text/format.h"

namespace zorva {
namespace {

constexpr char kSeparator = '\t';
constexpr const char* kDash = "-";

constexpr const char* kHeader = "Date\tTime (UT)\tB0 (deg)\tL0 (deg)\tP (deg)\tCR\t"
                                "Spot latitude (deg)\tSpot longitude (deg)\t"
                                "Spot area (millionths)\tSpot rotation\n";

// A value rounded half upwards at `decimals`, with a plus for the signed readouts.
std::string Cell(double value, int decimals, bool plus) {
    const double v = RoundHalfUp(value, decimals);
    return (plus && v >= 0 ? "+" : "") + FixedText(v, decimals);
}

// A longitude rounded at `decimals`, where 360 is 0.
std::string LongitudeCell(double value, int decimals) {
    double v = RoundHalfUp(value, decimals);
    if (v == degrees::kFullCircle) v = 0;
    return FixedText(v, decimals);
}

std::string DateText(const Instant& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", static_cast<int>(t.year),
                  static_cast<int>(t.month), static_cast<int>(t.day));
    return text;
}

std::string TimeText(const Instant& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(t.hour),
                  static_cast<int>(t.minute), static_cast<int>(t.second));
    return text;
}

} // namespace

std::string CopyReadoutsText(const Instant& instant, const Ephemeris& e, const Options& options,
                             const SpotState& spot) {
    const int blp = PrecisionItemOf2(options.BLPPrecision) == 1 ? 1 : 2;
    const int latLong = options.LatLongPrecision != 1 ? 1 : 0;
    std::string area = kDash;
    if (spot.At) {
        area = FixedText(options.AreaPrecision == 1 ? 10 * std::floor(spot.SpotArea * 0.1 + 0.5)
                                                    : std::floor(spot.SpotArea + 0.5),
                         0);
    }
    const std::string cells[] = {
        DateText(instant),
        TimeText(instant),
        Cell(e.B0, blp, true),
        LongitudeCell(e.L0, blp),
        Cell(e.P, blp, true),
        std::to_string(e.Rotation),
        spot.At ? Cell(spot.At->latitude, latLong, true) : kDash,
        spot.At ? LongitudeCell(spot.At->longitude, latLong) : kDash,
        area,
        spot.At ? std::to_string(spot.At->rotation) : kDash,
    };
    std::string values;
    for (const std::string& c : cells)
        values += (values.empty() ? "" : std::string(1, kSeparator)) + c;
    return kHeader + values + "\n";
}

} // namespace zorva
