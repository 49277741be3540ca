#include "core/images/fits_header.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <erfa.h>

#include "core/common/angles.h"
#include "core/text/format.h"
#include "core/text/parse.h"

namespace zorva {

namespace {

using degrees::Atan2;
using degrees::Cos;
using degrees::Sin;

// ---- Keyword values -------------------------------------------------------------------

const std::string* Find(const FitsKeywords& k, std::string_view name) {
    const auto it = k.find(name);
    return it == k.end() ? nullptr : &it->second;
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

// A number, also in the Fortran form with a D before the exponent.
std::optional<double> Number(const FitsKeywords& k, std::string_view name) {
    const std::string* text = Find(k, name);
    if (text == nullptr) return std::nullopt;
    std::string word(Trimmed(*text));
    for (char& c : word) {
        if (c == 'D' || c == 'd') c = 'E';
    }
    return ParseReal(word);
}

// ---- Dates and times ------------------------------------------------------------------

enum class TimeScale { Utc, Tai, Tt };

// A calendar date and a time of day as a header states them, in some time scale.
struct Stated {
    int year = 0;
    int month = 0;
    int day = 0;
    bool hasTime = false;
    int hour = 0;
    int minute = 0;
    double second = 0;
};

constexpr int kNoonHour = 12;
constexpr int kLastSecond = 59;
constexpr int kOldFormCentury = 1900;

// Exactly `n` digits at the front of s, taken off.
std::optional<int> Digits(std::string_view& s, std::size_t n) {
    if (s.size() < n) return std::nullopt;
    int v = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (s[i] < '0' || s[i] > '9') return std::nullopt;
        v = v * 10 + (s[i] - '0');
    }
    s.remove_prefix(n);
    return v;
}

bool Take(std::string_view& s, char c) {
    if (s.empty() || s.front() != c) return false;
    s.remove_prefix(1);
    return true;
}

// "hh:mm:ss" with an optional decimal fraction of the second; the rest of s is left.
bool TimeOfDay(std::string_view& s, Stated& t) {
    const auto h = Digits(s, 2);
    if (!h || !Take(s, ':')) return false;
    const auto m = Digits(s, 2);
    if (!m || !Take(s, ':')) return false;
    std::size_t n = 0;
    while (n < s.size() && ((s[n] >= '0' && s[n] <= '9') || s[n] == '.'))
        ++n;
    const auto sec = ParseReal(s.substr(0, n));
    if (n < 2 || !sec) return false;
    s.remove_prefix(n);
    t.hasTime = true;
    t.hour = *h;
    t.minute = *m;
    t.second = *sec;
    return true;
}

// "YYYY-MM-DD", optionally followed by "Thh:mm:ss[.s]" and a "Z".
std::optional<Stated> IsoDate(std::string_view s) {
    s = Trimmed(s);
    Stated t;
    const auto y = Digits(s, 4);
    if (!y || !Take(s, '-')) return std::nullopt;
    const auto m = Digits(s, 2);
    if (!m || !Take(s, '-')) return std::nullopt;
    const auto d = Digits(s, 2);
    if (!d) return std::nullopt;
    t.year = *y;
    t.month = *m;
    t.day = *d;
    if (Take(s, 'T') && !TimeOfDay(s, t)) return std::nullopt;
    Take(s, 'Z');
    if (!s.empty()) return std::nullopt;
    return t;
}

// The FITS form before 2000: "DD/MM/YY", a day of 19YY.
std::optional<Stated> OldDate(std::string_view s) {
    s = Trimmed(s);
    Stated t;
    const auto d = Digits(s, 2);
    if (!d || !Take(s, '/')) return std::nullopt;
    const auto m = Digits(s, 2);
    if (!m || !Take(s, '/')) return std::nullopt;
    const auto y = Digits(s, 2);
    if (!y || !s.empty()) return std::nullopt;
    t.year = kOldFormCentury + *y;
    t.month = *m;
    t.day = *d;
    return t;
}

std::optional<TimeScale> ScaleNamed(std::string_view name) {
    name = Trimmed(name);
    if (name.empty() || name == "UTC" || name == "UT" || name == "GMT") return TimeScale::Utc;
    if (name == "TAI") return TimeScale::Tai;
    if (name == "TT" || name == "TDT") return TimeScale::Tt;
    return std::nullopt;
}

// The form the SDO data centre writes: "2014.03.01_00:01:25[.fff]_TAI".
std::optional<Stated> JsocTime(std::string_view s, TimeScale& scale) {
    s = Trimmed(s);
    Stated t;
    const auto y = Digits(s, 4);
    if (!y || !Take(s, '.')) return std::nullopt;
    const auto m = Digits(s, 2);
    if (!m || !Take(s, '.')) return std::nullopt;
    const auto d = Digits(s, 2);
    if (!d || !Take(s, '_') || !TimeOfDay(s, t)) return std::nullopt;
    t.year = *y;
    t.month = *m;
    t.day = *d;
    scale = TimeScale::Utc;
    if (Take(s, '_')) {
        const auto named = ScaleNamed(s);
        if (!named) return std::nullopt;
        scale = *named;
    } else if (!s.empty()) {
        return std::nullopt;
    }
    return t;
}

// The stated moment in UTC, to the nearest whole second.
std::optional<Instant> ToUtc(const Stated& t, TimeScale scale) {
    if (!t.hasTime) {
        // A day without a time: its noon, with no time scale to apply.
        double d1 = 0;
        double d2 = 0;
        const int j = eraCal2jd(t.year, t.month, t.day, &d1, &d2);
        if (j != 0) return std::nullopt;
        return Instant{t.year, t.month, t.day, kNoonHour, 0, 0};
    }
    const char* name = scale == TimeScale::Utc ? "UTC" : scale == TimeScale::Tai ? "TAI" : "TT";
    double a1 = 0;
    double a2 = 0;
    // 0 is good and 1 a year outside the leap-second table; anything else is no moment.
    const int stated = eraDtf2d(name, t.year, t.month, t.day, t.hour, t.minute, t.second, &a1, &a2);
    if (stated != 0 && stated != 1) return std::nullopt;
    double u1 = a1;
    double u2 = a2;
    if (scale == TimeScale::Tt) {
        double tai1 = 0;
        double tai2 = 0;
        if (eraTttai(a1, a2, &tai1, &tai2) != 0) return std::nullopt;
        a1 = tai1;
        a2 = tai2;
    }
    if (scale != TimeScale::Utc && eraTaiutc(a1, a2, &u1, &u2) < 0) return std::nullopt;
    int y = 0;
    int m = 0;
    int d = 0;
    std::array<int, 4> hmsf{};
    if (eraD2dtf("UTC", 0, u1, u2, &y, &m, &d, hmsf.data()) < 0) return std::nullopt;
    // A leap second has no place in a clock of whole seconds 0..59.
    return Instant{y, m, d, hmsf[0], hmsf[1], std::min(hmsf[2], kLastSecond)};
}

std::optional<Instant> FromDateKeyword(const FitsKeywords& k, std::string_view name,
                                       TimeScale scale) {
    const std::string* text = Find(k, name);
    if (text == nullptr) return std::nullopt;
    std::optional<Stated> t = IsoDate(*text);
    if (!t) t = OldDate(*text);
    if (!t) return std::nullopt;
    // A date without its time of day takes TIME-OBS when there is one.
    if (!t->hasTime) {
        if (const std::string* time = Find(k, "TIME-OBS")) {
            std::string_view rest = Trimmed(*time);
            Stated withTime = *t;
            if (TimeOfDay(rest, withTime) && rest.empty()) t = withTime;
        }
    }
    return ToUtc(*t, scale);
}

// ---- World coordinates ----------------------------------------------------------------

constexpr double kArcsecPerArcmin = 60;
constexpr double kArcsecPerDegree = 3600;
constexpr double kArcsecPerRadian = 206264.80624709636;
constexpr double kArcsecPerMas = 0.001;

// Arcseconds in one unit of an axis; an axis without CUNIT is in arcseconds, the unit of
// every solar helioprojective header.
std::optional<double> ArcsecPerUnit(const FitsKeywords& k, std::string_view key) {
    const std::string* unit = Find(k, key);
    if (unit == nullptr) return 1.0;
    const std::string_view u = Trimmed(*unit);
    if (u.empty() || u == "arcsec") return 1.0;
    if (u == "arcmin") return kArcsecPerArcmin;
    if (u == "deg") return kArcsecPerDegree;
    if (u == "rad") return kArcsecPerRadian;
    if (u == "mas") return kArcsecPerMas;
    return std::nullopt;
}

enum class AxisKind { Unstated, SolarX, SolarY, Other };

AxisKind KindOfAxis(const FitsKeywords& k, std::string_view key) {
    const std::string* type = Find(k, key);
    if (type == nullptr) return AxisKind::Unstated;
    const std::string_view t = Trimmed(*type);
    if (t.starts_with("HPLN") || t.starts_with("SOLAR-X") || t.starts_with("SOLARX"))
        return AxisKind::SolarX;
    if (t.starts_with("HPLT") || t.starts_with("SOLAR-Y") || t.starts_with("SOLARY"))
        return AxisKind::SolarY;
    return AxisKind::Other;
}

// The linear part of the coordinates: arcseconds of solar x and y per pixel of the file's
// axes (axis 1 along a row, axis 2 up the rows), and the solar x and y at the reference
// pixel.
struct Wcs {
    std::array<double, 4> m{}; // row-major: (x, y) = m (p1 - CRPIX1, p2 - CRPIX2) + crval
    double crvalX = 0;
    double crvalY = 0;
};

std::optional<Wcs> LinearWcs(const FitsKeywords& k) {
    const AxisKind a1 = KindOfAxis(k, "CTYPE1");
    const AxisKind a2 = KindOfAxis(k, "CTYPE2");
    const bool swapped = a1 == AxisKind::SolarY && a2 == AxisKind::SolarX;
    const bool plain = (a1 == AxisKind::SolarX && a2 == AxisKind::SolarY) ||
                       (a1 == AxisKind::Unstated && a2 == AxisKind::Unstated);
    if (!swapped && !plain) return std::nullopt;
    const auto unit1 = ArcsecPerUnit(k, "CUNIT1");
    const auto unit2 = ArcsecPerUnit(k, "CUNIT2");
    if (!unit1 || !unit2) return std::nullopt;

    Wcs w;
    const auto cd11 = Number(k, "CD1_1");
    const auto cd12 = Number(k, "CD1_2");
    const auto cd21 = Number(k, "CD2_1");
    const auto cd22 = Number(k, "CD2_2");
    const auto pc11 = Number(k, "PC1_1");
    const auto pc12 = Number(k, "PC1_2");
    const auto pc21 = Number(k, "PC2_1");
    const auto pc22 = Number(k, "PC2_2");
    if (cd11 || cd12 || cd21 || cd22) {
        w.m = {cd11.value_or(0), cd12.value_or(0), cd21.value_or(0), cd22.value_or(0)};
    } else {
        const auto cdelt1 = Number(k, "CDELT1");
        const auto cdelt2 = Number(k, "CDELT2");
        if (!cdelt1 || !cdelt2) return std::nullopt;
        if (pc11 || pc12 || pc21 || pc22) {
            w.m = {*cdelt1 * pc11.value_or(1), *cdelt1 * pc12.value_or(0),
                   *cdelt2 * pc21.value_or(0), *cdelt2 * pc22.value_or(1)};
        } else {
            // CROTA2 turns the axes by the angle from the second pixel axis to solar north.
            const double rho = Number(k, "CROTA2").value_or(0);
            w.m = {*cdelt1 * Cos(rho), -*cdelt2 * Sin(rho), *cdelt1 * Sin(rho), *cdelt2 * Cos(rho)};
        }
    }
    w.m[0] *= *unit1;
    w.m[1] *= *unit1;
    w.m[2] *= *unit2;
    w.m[3] *= *unit2;
    w.crvalX = Number(k, "CRVAL1").value_or(0) * *unit1;
    w.crvalY = Number(k, "CRVAL2").value_or(0) * *unit2;
    if (swapped) {
        std::swap(w.m[0], w.m[2]);
        std::swap(w.m[1], w.m[3]);
        std::swap(w.crvalX, w.crvalY);
    }
    const double det = w.m[0] * w.m[3] - w.m[1] * w.m[2];
    if (det == 0 || !std::isfinite(det)) return std::nullopt;
    return w;
}

double Determinant(const Wcs& w) {
    return w.m[0] * w.m[3] - w.m[1] * w.m[2];
}

// The pixel step (along the file's axes) that moves solar x and y by (dx, dy).
std::array<double, 2> PixelStep(const Wcs& w, double dx, double dy) {
    const double det = Determinant(w);
    return {(w.m[3] * dx - w.m[1] * dy) / det, (w.m[0] * dy - w.m[2] * dx) / det};
}

DiskOrientation OrientationOf(const Wcs& w) {
    // Solar north is +y, east is -x. On the picture rows run downwards, so the file's
    // second axis changes sign.
    const auto n = PixelStep(w, 0, 1);
    const auto e = PixelStep(w, -1, 0);
    const double nx = n[0];
    const double ny = -n[1];
    const double ex = e[0];
    const double ey = -e[1];
    // The chart with both signs +1 has north up and east to the right: a positive turn
    // from north to east on the screen's axes. A negative one is a mirror image.
    const double turn = nx * ey - ny * ex;
    DiskOrientation o;
    double q = 0;
    if (turn > 0) {
        // DiskToPixel with both signs +1 puts pa = 0 at (sin q, -cos q).
        q = Atan2(nx, -ny);
    } else {
        // With MirrorSign -1 it puts pa = 0 at (-sin q, -cos q).
        o.MirrorSign = -1;
        q = Atan2(-nx, -ny);
    }
    if (q < 0) q += degrees::kFullCircle;
    if (q >= degrees::kFullCircle) q -= degrees::kFullCircle;
    o.q = q;
    return o;
}

std::optional<double> SolarRadiusArcsec(const FitsKeywords& k) {
    for (const std::string_view key : {"RSUN_OBS", "SOLAR_R", "RADIUS"}) {
        const auto r = Number(k, key);
        if (r && *r > 0) return r;
    }
    return std::nullopt;
}

const char* SideName(double dx, double dy) {
    if (std::fabs(dx) > std::fabs(dy)) return dx > 0 ? "right" : "left";
    return dy > 0 ? "down" : "up";
}

} // namespace

std::optional<Instant> FitsObservationInstant(const FitsKeywords& k) {
    TimeScale scale = TimeScale::Utc;
    if (const std::string* sys = Find(k, "TIMESYS")) scale = ScaleNamed(*sys).value_or(scale);
    for (const std::string_view key : {"DATE-AVG", "DATE-OBS"}) {
        if (auto t = FromDateKeyword(k, key, scale)) return t;
    }
    if (const std::string* tobs = Find(k, "T_OBS")) {
        TimeScale own = TimeScale::Utc;
        if (const auto t = JsocTime(*tobs, own)) return ToUtc(*t, own);
        if (const auto t = IsoDate(*tobs)) return ToUtc(*t, scale);
    }
    return std::nullopt;
}

std::optional<DiskOrientation> FitsHeaderOrientation(const FitsKeywords& k) {
    const auto w = LinearWcs(k);
    if (!w) return std::nullopt;
    return OrientationOf(*w);
}

std::optional<FitsDisk> FitsHeaderDisk(const FitsKeywords& k, int32_t height) {
    const auto w = LinearWcs(k);
    const auto crpix1 = Number(k, "CRPIX1");
    const auto crpix2 = Number(k, "CRPIX2");
    const auto radius = SolarRadiusArcsec(k);
    if (!w || !crpix1 || !crpix2 || !radius) return std::nullopt;
    // Solar x = y = 0 lies -CRVAL away from the reference pixel. Near the disk the
    // gnomonic projection is linear to a few parts in a hundred thousand of the offset.
    const auto step = PixelStep(*w, -w->crvalX, -w->crvalY);
    const double p1 = *crpix1 + step[0];
    const double p2 = *crpix2 + step[1];
    FitsDisk out;
    // FITS pixels count from 1 along a row and from the bottom row up.
    out.disk.cx = p1 - 1;
    out.disk.cy = static_cast<double>(height) - p2;
    out.disk.r = *radius / std::sqrt(std::fabs(Determinant(*w)));
    if (!std::isfinite(out.disk.cx) || !std::isfinite(out.disk.cy) || !std::isfinite(out.disk.r))
        return std::nullopt;
    out.orientation = OrientationOf(*w);
    return out;
}

std::string LimbFromHeaderText(const Circle& limb, const Circle& header) {
    const double offset = std::hypot(limb.cx - header.cx, limb.cy - header.cy);
    return "Limb fit: centre " + FixedText(offset, 2) + " px from the FITS header's, radius " +
           FixedText(limb.r - header.r, 2) + " px";
}

std::string OrientationText(const DiskOrientation& o) {
    const double sx = o.MirrorSign;
    const double sy = o.FlipSign;
    // Where pa = 0 and pa = 90 land, by the DiskToPixel rule.
    const char* north = SideName(Sin(o.q) * sx, -Cos(o.q) * sy);
    const char* east = SideName(Cos(o.q) * sx, Sin(o.q) * sy);
    auto sign = [](int32_t s) { return s < 0 ? "-1" : "+1"; };
    return "q " + FixedText(o.q, 2) + ", flip " + sign(o.FlipSign) + ", mirror " +
           sign(o.MirrorSign) + " (solar north " + north + ", east " + east + ")";
}

} // namespace zorva
