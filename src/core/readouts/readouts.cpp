#include "core/readouts/readouts.h"

#include <array>
#include <charconv>
#include <cmath>

#include "core/text/format.h"

namespace zorva {
namespace {

constexpr std::string_view kDegree = "\u00B0";
constexpr std::string_view kArcSecond = "\""; // the labels use a plain double quote
constexpr double kSexagesimal = 60.0;         // minutes per hour or degree, seconds per minute
constexpr double kFullCircle = 360.0;
constexpr double kHoursPerDay = 24.0;

// Decimal text of a value that is already whole; kept in floating point so that even a
// wild ephemeris value cannot overflow an integer conversion.
std::string Whole(double v) {
    return FixedText(v, 0);
}

struct Centres3 {
    double p1, p2, p3;
};
double Pick(const Centres3& c, int32_t item) {
    return item == 1 ? c.p1 : item == 2 ? c.p2 : c.p3;
}

constexpr Centres3 kRACentre{24, 22, 20};
constexpr Centres3 kDecCentre{116, 112, 108};
constexpr Centres3 kAltCentre{214, 211, 208};
constexpr Centres3 kAziCentre{266, 263, 260};
constexpr double kB0Centre[2] = {30, 28};
constexpr double kL0Centre[2] = {86, 84};
constexpr double kPCentre[2] = {142, 140};

// With the zenith up the position group makes room for the parallactic angle.
constexpr int32_t kDecCaptionLeft = 124;
constexpr int32_t kDecCaptionLeftAltAz = 114;
constexpr double kDecLabelShiftAltAz = 10;
constexpr int32_t kAltCaptionLeft = 216;
constexpr int32_t kAziCaptionLeft = 268;
constexpr int32_t kAltCaptionLeftAltAz = 181;
constexpr int32_t kAziCaptionLeftAltAz = 228;
constexpr double kAltLabelShiftAltAz = 35;
constexpr double kAziLabelShiftAltAz = 40;
constexpr int32_t kPACaptionFromAziCaption = 52;
constexpr int32_t kPALabelFromAziLabel = 47;
constexpr std::string_view kAltAziCaption = "Alt && Azi";
constexpr std::string_view kAltAziPaCaption = "Alt, Azi && Par Angle";

// Scale and decimals of the altitude, azimuth and parallactic angle per precision item.
int AltAziDecimals(int32_t item) {
    return item - 1;
}

// Altitude and parallactic angle: blanks stand in for a missing tens digit and sign.
std::string SignedAnglePrefix(double v) {
    if (v >= 10) return " ";
    if (v >= 0) return "   ";
    if (v > -10) return "  ";
    return "";
}

std::string AltAziStyleText(double value, int32_t precision, bool wrapAtFullCircle,
                            bool azimuthPrefix) {
    const int32_t item = PrecisionItemOf3(precision);
    double v = RoundHalfUp(value, AltAziDecimals(item));
    if (wrapAtFullCircle && v == kFullCircle) v = 0;
    std::string prefix;
    if (azimuthPrefix) {
        prefix = v >= 100 ? "" : v >= 10 ? "  " : "    ";
    } else {
        prefix = SignedAnglePrefix(v);
    }
    return prefix + FixedText(v, AltAziDecimals(item)) + std::string(kDegree);
}

int BlpDecimals(int32_t item) {
    return item == 1 ? 1 : 2;
}

} // namespace

int32_t PrecisionItemOf3(int32_t precision) {
    return precision == 1 || precision == 2 ? precision : 3;
}

int32_t PrecisionItemOf2(int32_t precision) {
    return precision == 1 ? 1 : 2;
}

int32_t CentredLeft(double centre, std::string_view text, double shift) {
    return static_cast<int32_t>(std::trunc(centre - Utf8Length(text) / 2.0 - shift));
}

std::string RightAscensionText(double raHours, int32_t precision) {
    const int32_t item = PrecisionItemOf3(precision);
    double h = std::floor(raHours);
    const double x = kSexagesimal * (raHours - h);
    std::string text;
    if (item == 3) {
        // Seconds are cut, not rounded, so no minute or hour can carry.
        const double m = std::floor(x);
        const double s = std::floor(kSexagesimal * (x - m));
        text = Whole(h) + (m >= 10 ? "h " : "h 0") + Whole(m) + (s >= 10 ? "m " : "m 0") +
               Whole(s) + "s";
    } else {
        double m = RoundHalfUp(x, item == 1 ? 0 : 1);
        if (m == kSexagesimal) {
            m = 0;
            h += 1;
            if (h == kHoursPerDay) h = 0;
        }
        text = Whole(h) + (m >= 10 ? "h " : "h 0") + (item == 1 ? Whole(m) : FixedText(m, 1)) + "m";
    }
    if (h <= 9) text.insert(0, "  ");
    return text;
}

std::string DeclinationText(double decDegrees, int32_t precision) {
    const int32_t item = PrecisionItemOf3(precision);
    const bool south = decDegrees < 0;
    const double a = std::fabs(decDegrees);
    double d = std::floor(a);
    const double x = kSexagesimal * (a - d);
    std::string tail(kDegree);
    if (item == 3) {
        const double m = std::floor(x);
        const double s = std::floor(kSexagesimal * (x - m));
        tail += (m >= 10 ? " " : " 0") + Whole(m) + (s >= 10 ? "' " : "' 0") + Whole(s) +
                std::string(kArcSecond);
    } else {
        double m = RoundHalfUp(x, item == 1 ? 0 : 1);
        if (m == kSexagesimal) {
            m = 0;
            d += 1;
        }
        tail += (m >= 10 ? " " : " 0") + (item == 1 ? Whole(m) : FixedText(m, 1)) + "'";
    }
    // The sign part is chosen after the carry; tenths of a minute take one more blank
    // for southern declinations.
    const bool tenths = item == 2;
    std::string sign;
    if (!south) {
        sign = (d >= 10 ? "+" : "  +") + Whole(d);
    } else if (d == 0) {
        sign = tenths ? "   -0" : "  -0";
    } else if (d <= 9) {
        sign = (tenths ? "   " : "  ") + Whole(-d);
    } else {
        sign = (tenths ? " " : "") + Whole(-d);
    }
    return sign + tail;
}

std::string AltitudeText(double degrees, int32_t precision) {
    return AltAziStyleText(degrees, precision, false, false);
}

std::string AzimuthText(double degrees, int32_t precision) {
    return AltAziStyleText(degrees, precision, true, true);
}

std::string ParallacticAngleText(double degrees, int32_t precision) {
    return AltAziStyleText(degrees, precision, false, false);
}

std::string B0Text(double degrees, int32_t precision) {
    const int32_t item = PrecisionItemOf2(precision);
    const double v = RoundHalfUp(degrees, BlpDecimals(item));
    return (v >= 0 ? "+" : " ") + FixedText(v, BlpDecimals(item)) + std::string(kDegree);
}

std::string L0Text(double degrees, int32_t precision) {
    const int32_t item = PrecisionItemOf2(precision);
    double v = RoundHalfUp(degrees, BlpDecimals(item));
    if (v == kFullCircle) v = 0;
    std::string prefix;
    if (v >= 100) {
        prefix = item == 1 ? " " : "";
    } else if (v >= 10) {
        prefix = item == 1 ? "   " : "  ";
    } else {
        prefix = item == 1 ? "     " : "    ";
    }
    return prefix + FixedText(v, BlpDecimals(item)) + std::string(kDegree);
}

std::string PText(double degrees, int32_t precision) {
    const int32_t item = PrecisionItemOf2(precision);
    const double v = RoundHalfUp(degrees, BlpDecimals(item));
    std::string prefix;
    if (v >= 10) {
        prefix = item == 1 ? " +" : "+";
    } else if (v >= 0) {
        prefix = item == 1 ? "   +" : "  +";
    } else if (v > -10) {
        prefix = item == 1 ? "    " : "   ";
    } else {
        prefix = item == 1 ? "  " : " ";
    }
    return prefix + FixedText(v, BlpDecimals(item)) + std::string(kDegree);
}

std::string DiameterText(int32_t minutes, double seconds, int32_t precision) {
    const int32_t item = PrecisionItemOf2(precision);
    int64_t m = minutes; // wide enough for the carry whatever the table held
    double s = RoundHalfUp(seconds, item == 1 ? 0 : 1);
    if (s == kSexagesimal) {
        s = 0;
        m += 1;
    }
    const std::string tail = (s >= 10 ? "' " : "' 0") + (item == 1 ? Whole(s) : FixedText(s, 1)) +
                             std::string(kArcSecond);
    return (item == 1 ? "  " : "") + std::to_string(m) + tail;
}

std::string RotationText(int32_t rotation) {
    return std::to_string(rotation);
}

PositionReadouts PositionReadoutTexts(const Ephemeris& e, const ReadoutPrecisions& precisions,
                                      Orientation orientation) {
    const bool zenithUp = orientation == Orientation::AltAzimuth;
    const int32_t raItem = PrecisionItemOf3(precisions.RAPrecision);
    const int32_t decItem = PrecisionItemOf3(precisions.DecPrecision);
    const int32_t altAziItem = PrecisionItemOf3(precisions.AltAziPrecision);

    PositionReadouts r;
    r.RALabel.text = RightAscensionText(e.RA, raItem);
    r.RALabel.left = CentredLeft(Pick(kRACentre, raItem), r.RALabel.text);

    r.DecLabel.text = DeclinationText(e.Dec, decItem);
    r.DecLabel.left =
        CentredLeft(Pick(kDecCentre, decItem), r.DecLabel.text, zenithUp ? kDecLabelShiftAltAz : 0);
    r.DecCaptionLeft = zenithUp ? kDecCaptionLeftAltAz : kDecCaptionLeft;

    r.AltLabel.text = AltitudeText(e.Altitude, altAziItem);
    r.AziLabel.text = AzimuthText(e.Azimuth, altAziItem);
    r.PALabel.text = ParallacticAngleText(e.ParallacticAngle, altAziItem);
    const double a = Pick(kAltCentre, altAziItem);
    const double b = Pick(kAziCentre, altAziItem);
    if (zenithUp) {
        r.AltCaptionLeft = kAltCaptionLeftAltAz;
        r.AziCaptionLeft = kAziCaptionLeftAltAz;
        r.AltLabel.left = CentredLeft(a, r.AltLabel.text, kAltLabelShiftAltAz);
        r.AziLabel.left = CentredLeft(b, r.AziLabel.text, kAziLabelShiftAltAz);
        r.PAVisible = true;
        r.AltAzi1Caption = kAltAziPaCaption;
    } else {
        r.AltCaptionLeft = kAltCaptionLeft;
        r.AziCaptionLeft = kAziCaptionLeft;
        r.AltLabel.left = CentredLeft(a, r.AltLabel.text);
        r.AziLabel.left = CentredLeft(b, r.AziLabel.text);
        r.PAVisible = false;
        r.AltAzi1Caption = kAltAziCaption;
    }
    r.PACaptionLeft = r.AziCaptionLeft + kPACaptionFromAziCaption;
    r.PALabel.left = r.AziLabel.left + kPALabelFromAziLabel;
    return r;
}

SolarParameterReadouts SolarParameterTexts(const Ephemeris& e,
                                           const ReadoutPrecisions& precisions) {
    const int32_t blpItem = PrecisionItemOf2(precisions.BLPPrecision);
    const int i = blpItem - 1;
    SolarParameterReadouts r;
    r.B0Label.text = B0Text(e.B0, blpItem);
    r.B0Label.left = CentredLeft(kB0Centre[i], r.B0Label.text);
    r.L0Label.text = L0Text(e.L0, blpItem);
    r.L0Label.left = CentredLeft(kL0Centre[i], r.L0Label.text);
    r.PLabel.text = PText(e.P, blpItem);
    r.PLabel.left = CentredLeft(kPCentre[i], r.PLabel.text);
    r.DiamLabel = DiameterText(e.DiamMinutes, e.DiamSeconds, precisions.DiamPrecision);
    r.CRLabel = RotationText(e.Rotation);
    return r;
}

} // namespace zorva
