#include "core/measure/separation.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/common/angles.h"
#include "core/text/format.h"

namespace zorva {

namespace {

using namespace degrees;

constexpr double kPole = 90.0;
constexpr double kCircumferenceRadians = 6.283185307179586; // 2 pi
constexpr double kArcMinutesPerDegree = 60.0;
const std::string kDegree = "\u00B0";

// Rounding can carry a sine or cosine a hair past +-1; the angle is then 0, 90 or 180,
// not NaN.
double Unit(double v) {
    return std::clamp(v, -1.0, 1.0);
}

double ArcKm(double degreesOfArc) {
    return SunRadiusKm * kCircumferenceRadians * (degreesOfArc / kFullCircle);
}

std::string LatLongLabel(double lat, double lon) {
    const std::string t = FixedText(RoundHalfUp(lat, 0), 0) + kDegree + " / " +
                          FixedText(RoundHalfUp(lon, 0), 0) + kDegree;
    const int32_t n = Utf8Length(t);
    constexpr int32_t kNarrow = 7;
    const std::string prefix = n <= kNarrow       ? "    "
                               : n == kNarrow + 1 ? "   "
                               : n == kNarrow + 2 ? "  "
                               : n == kNarrow + 3 ? " "
                                                  : "";
    return prefix + t;
}

// Prefix that right-aligns a separation of up to three integer digits.
std::string SeparationPrefix(double v) {
    if (v < 10) return "    ";
    if (v < 100) return "  ";
    return "";
}

} // namespace

void ResetSeparation(SeparationState& s) {
    s.SepPending = false;
    s.AlongParallel = false;
    s.SepShown.reset();
    s.SepKm.reset();
    s.At1.reset();
    s.At2.reset();
}

double GreatCircleDegrees(double lat1, double lon1, double lat2, double lon2) {
    // The cosine formula cannot resolve angles below about 1e-6 degrees: a point measured
    // against itself would come out a hair apart, or as NaN without the clamp.
    if (lat1 == lat2 && lon1 == lon2) return 0;
    return Acos(Unit(Sin(lat1) * Sin(lat2) + Cos(lat1) * Cos(lat2) * Cos(lon2 - lon1)));
}

void ComputeSeparation(SeparationState& s, const DiskFrame& frame, const Ephemeris& ephemeris) {
    s.At1 = LocatePoint(s.SepX1, s.SepY1, frame, ephemeris);
    s.At2 = LocatePoint(s.SepX2, s.SepY2, frame, ephemeris);
    s.SepDegrees.reset();
    if (s.At1 && s.At2)
        s.SepDegrees = GreatCircleDegrees(s.At1->lat, s.At1->lon, s.At2->lat, s.At2->lon);
}

void GreatCircleResults(SeparationState& s) {
    s.AlongParallel = false;
    s.SepShown = s.SepDegrees;
    s.SepKm.reset();
    if (s.SepDegrees) s.SepKm = ArcKm(*s.SepDegrees);
}

void LongitudeArcResults(SeparationState& s, const Ephemeris& ephemeris) {
    s.AlongParallel = false;
    // Without both points on the Sun there is no mean latitude to measure along.
    if (!s.SepDegrees || !s.At1 || !s.At2) {
        s.SepShown.reset();
        s.SepKm.reset();
        return;
    }
    const double mean = (s.At1->lat + s.At2->lat) * 0.5;
    s.At1->lat = mean;
    s.At2->lat = mean;
    const LongitudeRange range =
        LongitudeArcRange(s.At1->lon, s.At2->lon, ephemeris.L0, ephemeris.Rotation);
    s.SepShown = range.end - range.start;
    s.SepKm = Cos(mean) * ArcKm(*s.SepShown);
    s.AlongParallel = true;
}

void OutsideDiskResults(SeparationState& s, const DiskFrame& frame, const Ephemeris& ephemeris) {
    s.AlongParallel = false;
    const double dx = s.SepX1 - s.SepX2;
    const double dy = s.SepY1 - s.SepY2;
    const double d = std::sqrt(dx * dx + dy * dy);
    const double D = ApparentDiameter(ephemeris);
    s.SepShown = d * D / frame.diameter;
    s.SepKm = (*s.SepShown / D) * SolarDiameterKm;
}

LongitudeRange LongitudeArcRange(double lon1, double lon2, double L0, int32_t rotation) {
    if (RotationAtLongitude(lon1, L0, rotation) == RotationAtLongitude(lon2, L0, rotation)) {
        return {std::min(lon1, lon2), std::max(lon1, lon2)};
    }
    if (lon1 > lon2) return {lon1, lon2 + kFullCircle};
    return {lon2, lon1 + kFullCircle};
}

double CourseAngle(double lat1, double lon1, double lat2, double lon2, double separation) {
    if (separation == 0) return 0;
    const double s = Sin(lon2 - lon1) * Cos(lat2) / Sin(separation);
    const double c = (Sin(lat2) - Cos(separation) * Sin(lat1)) / (Cos(lat1) * Sin(separation));
    return QuadrantAngle(s, c);
}

LatLong PointAlongCourse(double lat1, double lon1, double course, double t) {
    const double lat = Asin(Unit(Sin(lat1) * Cos(t) + Cos(lat1) * Sin(t) * Cos(course)));
    if (lat == kPole || lat == -kPole) return {lat, lon1};
    const double s = Sin(t) * Sin(course) / Cos(lat);
    const double c = (Cos(t) - Sin(lat) * Sin(lat1)) / (Cos(lat) * Cos(lat1));
    double lon = lon1 + QuadrantAngle(s, c);
    if (lon > kFullCircle) {
        lon -= kFullCircle;
    } else if (lon < 0) {
        lon += kFullCircle;
    }
    return {lat, lon};
}

std::vector<LatLong> GreatCirclePoints(const SeparationState& s) {
    std::vector<LatLong> points;
    if (!s.SepDegrees || !s.At1 || !s.At2) return points;
    const double degrees = *s.SepDegrees;
    const double course = CourseAngle(s.At1->lat, s.At1->lon, s.At2->lat, s.At2->lon, degrees);
    // Whole degrees from point 1, the last of them moved onto point 2 exactly.
    const auto whole = static_cast<int64_t>(std::floor(degrees));
    for (int64_t t = 0; t <= whole; ++t) {
        const double along = t == whole ? degrees : static_cast<double>(t);
        points.push_back(PointAlongCourse(s.At1->lat, s.At1->lon, course, along));
    }
    return points;
}

LatLong GreatCircleMiddle(const SeparationState& s) {
    if (!s.SepDegrees || !s.At1 || !s.At2) return {};
    const double course =
        CourseAngle(s.At1->lat, s.At1->lon, s.At2->lat, s.At2->lon, *s.SepDegrees);
    return PointAlongCourse(s.At1->lat, s.At1->lon, course, *s.SepDegrees / 2);
}

std::vector<LatLong> LongitudeArcPoints(const SeparationState& s, const Ephemeris& ephemeris) {
    std::vector<LatLong> points;
    if (!s.SepDegrees || !s.At1 || !s.At2) return points;
    const LongitudeRange range =
        LongitudeArcRange(s.At1->lon, s.At2->lon, ephemeris.L0, ephemeris.Rotation);
    const auto n = static_cast<int64_t>(std::trunc(std::floor(range.end - range.start) + 1));
    for (int64_t i = 0; i <= n; ++i) {
        const double lon = i == 0   ? range.start
                           : i == n ? range.end
                                    : range.start + static_cast<double>(i);
        points.push_back({s.At1->lat, lon});
    }
    return points;
}

LatLong LongitudeArcMiddle(const SeparationState& s, const Ephemeris& ephemeris) {
    if (!s.At1 || !s.At2) return {};
    const LongitudeRange range =
        LongitudeArcRange(s.At1->lon, s.At2->lon, ephemeris.L0, ephemeris.Rotation);
    double lon = (range.start + range.end) * 0.5;
    if (lon > kFullCircle) lon -= kFullCircle;
    return {s.At1->lat, lon};
}

std::vector<DiskPosition> ProjectFigurePoints(const std::vector<LatLong>& points,
                                              const Ephemeris& ephemeris) {
    std::vector<DiskPosition> out;
    out.reserve(points.size());
    const double D = ApparentDiameter(ephemeris);
    DiskPosition current;
    bool seen = false;
    for (const LatLong& p : points) {
        ProjectPoint(p.lat, ephemeris.L0 - p.lon, D, ephemeris.B0, current);
        if (current.rho != FarSide) seen = true;
        if (seen) out.push_back(current);
    }
    return out;
}

SeparationFigure SeparationFigureOf(const SeparationState& s, FigureForm form,
                                    const Ephemeris& ephemeris) {
    SeparationFigure f;
    if (!s.SepPoint1Inside) {
        f.OutsideLine = true;
        f.LineFrom = {s.SepX1, s.SepY1};
        f.LineTo = {s.SepX2, s.SepY2};
        return f;
    }
    if (!s.SepDegrees) return f;
    const bool great = form == FigureForm::GreatCircle;
    if (s.SpotInMiddle) {
        const LatLong m = great ? GreatCircleMiddle(s) : LongitudeArcMiddle(s, ephemeris);
        DiskPosition p;
        ProjectPoint(m.lat, ephemeris.L0 - m.lon, ApparentDiameter(ephemeris), ephemeris.B0, p);
        if (p.rho != FarSide) f.Middle = p;
    }
    f.Arc = ProjectFigurePoints(great ? GreatCirclePoints(s) : LongitudeArcPoints(s, ephemeris),
                                ephemeris);
    return f;
}

ShiftClickOutcome ShiftClickSeparation(const SeparationState& state, const DiskClick& click,
                                       FigureForm checkedForm, const DiskFrame& frame,
                                       const Ephemeris& ephemeris) {
    ShiftClickOutcome out;
    SeparationState& s = out.State;
    s = state;
    const bool inside = OnDisk(click.d, frame.diameter);
    if (!s.SepPending) {
        s.SepPoint1Inside = inside;
        s.SepPending = true;
        s.SepX1 = click.x;
        s.SepY1 = click.y;
        out.FirstPoint = true;
        return out;
    }
    s.SepPoint2Inside = inside;
    s.SepPending = false;
    if (s.SepPoint1Inside) {
        out.Check = ArcItem::Arc1;
        if (inside) {
            s.SepX2 = click.x;
            s.SepY2 = click.y;
        } else {
            const DiskPoint p = LimbCrossing(s.SepX1, s.SepY1, click.x, click.y, frame.diameter);
            s.SepX2 = p.x;
            s.SepY2 = p.y;
        }
        ComputeSeparation(s, frame, ephemeris);
        if (checkedForm == FigureForm::GreatCircle) {
            GreatCircleResults(s);
        } else {
            LongitudeArcResults(s, ephemeris);
        }
        out.Draw = checkedForm;
        return out;
    }
    out.Check = ArcItem::Arc2;
    // Point 1 is off the Sun and has no heliographic place; neither has point 2 when it
    // is off the disk too. Whatever an earlier measurement left there must not be shown
    // or logged as this one's.
    s.At1.reset();
    s.SepDegrees.reset();
    if (inside) {
        const LimbPoint limb = OutsideLimbPoint(s.SepX1, s.SepY1, frame, ephemeris);
        s.SepX2 = limb.x;
        s.SepY2 = limb.y;
        s.At2 = limb.location;
    } else {
        s.SepX2 = click.x;
        s.SepY2 = click.y;
        s.At2.reset();
    }
    OutsideDiskResults(s, frame, ephemeris);
    out.Draw = FigureForm::GreatCircle; // whose outside-disk branch draws the line
    return out;
}

SeparationLabels ShowSeparationTexts(const SeparationState& s) {
    SeparationLabels l;
    if (!s.SepShown) {
        l.Sep1Label = "          -";
    } else if (s.SepPoint1Inside) {
        const double v = RoundHalfUp(*s.SepShown, 1);
        l.Sep1Label = SeparationPrefix(v) + FixedText(v, 1) + kDegree;
    } else {
        const double v = RoundHalfUp(kArcMinutesPerDegree * *s.SepShown, 1);
        l.Sep1Label = SeparationPrefix(v) + FixedText(v, 1) + "'";
    }

    if (!s.SepKm) {
        l.Sep2Label = "             -";
    } else {
        const double v = RoundHalfUp(*s.SepKm, 0);
        const char* prefix = v < 1000      ? "        "
                             : v < 10000   ? "      "
                             : v < 100000  ? "    "
                             : v < 1000000 ? "  "
                                           : "";
        l.Sep2Label = prefix + FixedText(v, 0) + " km";
    }

    const std::string dash = "        -";
    l.LL1Label = (s.SepPoint1Inside && s.At1) ? LatLongLabel(s.At1->lat, s.At1->lon) : dash;
    l.LL2Label = ((s.SepPoint1Inside || s.SepPoint2Inside) && s.At2)
                     ? LatLongLabel(s.At2->lat, s.At2->lon)
                     : dash;
    if (s.AlongParallel && s.SepShown) {
        l.SepCaption = "\u0394long, along parallel";
        l.LL1Caption = "Mean lat / Long1";
        l.LL2Caption = "Mean lat / Long2";
        l.Sep1Hint = "\u0394long: the difference of the two points' longitudes";
        l.Sep2Hint = "Distance along the parallel at the mean latitude of the two points";
        l.LL1Hint = "Mean latitude of the two points, longitude of point 1";
        l.LL2Hint = "Mean latitude of the two points, longitude of point 2";
    }
    return l;
}

std::string LongitudeArcStatus(const SeparationState& s) {
    if (!s.AlongParallel || !s.SepShown || !s.SepKm || !s.At1) return {};
    return "Longitude arc: \u0394long " + FixedText(RoundHalfUp(*s.SepShown, 1), 1) + kDegree +
           ", " + FixedText(RoundHalfUp(*s.SepKm, 0), 0) +
           " km along the parallel at mean latitude " + FixedText(RoundHalfUp(s.At1->lat, 1), 1) +
           kDegree + "; both points are shown at the mean latitude";
}

std::optional<PixelPoint> MiddlePixel(const SeparationFigure& figure, const DiskFrame& f) {
    if (!figure.Middle) return std::nullopt;
    return DiskToPixel(f, figure.Middle->r, figure.Middle->pa);
}

} // namespace zorva
