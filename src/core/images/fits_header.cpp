#include "core/images/fits_header.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <erfa.h>
#include <utility>
#include <vector>

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

// Why header values were passed over; each reason once.
class Notes {
  public:
    explicit Notes(std::vector<std::string>& lines) : lines_(lines) {}
    void Add(std::string line) {
        if (std::find(lines_.begin(), lines_.end(), line) == lines_.end())
            lines_.push_back(std::move(line));
    }
    // "KEY = value ignored: why", the value as the header writes it.
    void Ignored(const FitsKeywords& k, std::string_view name, std::string_view why) {
        const std::string* text = Find(k, name);
        std::string value(text != nullptr ? Trimmed(*text) : std::string_view());
        if (value.size() > kLongestValueShown) value = value.substr(0, kLongestValueShown) + "...";
        Add(std::string(name) + " = " + value + " ignored: " + std::string(why));
    }
    // "KEY = value: what was made of it".
    void Noted(const FitsKeywords& k, std::string_view name, std::string_view what) {
        const std::string* text = Find(k, name);
        std::string value(text != nullptr ? Trimmed(*text) : std::string_view());
        if (value.size() > kLongestValueShown) value = value.substr(0, kLongestValueShown) + "...";
        Add(std::string(name) + " = " + value + ": " + std::string(what));
    }

  private:
    static constexpr std::size_t kLongestValueShown = 24;
    std::vector<std::string>& lines_;
};

// A number, also in the Fortran form with a D before the exponent. Text that is no
// finite number is passed over with a note.
std::optional<double> Number(const FitsKeywords& k, std::string_view name, Notes& notes) {
    const std::string* text = Find(k, name);
    if (text == nullptr) return std::nullopt;
    std::string word(Trimmed(*text));
    for (char& c : word) {
        if (c == 'D' || c == 'd') c = 'E';
    }
    const auto v = ParseReal(word);
    if (!v) notes.Ignored(k, name, "not a number");
    return v;
}

std::string RangeWords(double low, double high, std::string_view unit) {
    return "outside " + ShortestDecimalText(low) + " to " + ShortestDecimalText(high) + " " +
           std::string(unit);
}

// A number whose size (sign aside) lies within least..most, after `factor` takes it to
// the unit of the bounds; anything else is passed over with a note.
std::optional<double> SizeWithin(const FitsKeywords& k, std::string_view name, double factor,
                                 double least, double most, std::string_view unit, Notes& notes) {
    const auto v = Number(k, name, notes);
    if (!v) return std::nullopt;
    const double size = std::fabs(*v * factor);
    if (!(size >= least && size <= most)) {
        notes.Ignored(k, name, RangeWords(least, most, unit));
        return std::nullopt;
    }
    return *v;
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

// The stated moment in UTC, to the nearest whole second. UTC's leap second (23:59:60 and
// any fraction of it) is 00:00:00 of the next day, and `leapSecond` (when given) says the
// header stated one.
std::optional<Instant> ToUtc(Stated t, TimeScale scale, bool* leapSecond = nullptr) {
    constexpr double kLeapSecondStart = 60;
    constexpr double kLeapSecondEnd = 61;
    if (t.hasTime && scale == TimeScale::Utc &&
        IsLeapSecond(t.hour, t.minute, static_cast<int>(kLeapSecondStart)) &&
        t.second >= kLeapSecondStart && t.second < kLeapSecondEnd) {
        AddDays(t.year, t.month, t.day, 1);
        t.hour = t.minute = 0;
        t.second = 0;
        if (leapSecond != nullptr) *leapSecond = true;
    }
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
    // A time rounded into a leap second goes on to the next day, as a stated one does.
    const Instant utc{y, m, d, hmsf[0], hmsf[1], hmsf[2]};
    return IsLeapSecond(utc.hour, utc.minute, utc.second) ? AfterLeapSecond(utc) : utc;
}

// An instant within the years the program works in; any other is passed over with a
// note naming the keyword.
std::optional<Instant> Supported(const FitsKeywords& k, std::string_view name,
                                 std::optional<Instant> t, Notes& notes) {
    if (!t) {
        notes.Ignored(k, name, "not a date and time");
        return std::nullopt;
    }
    if (t->year < kFirstSupportedYear || t->year > kLastSupportedYear) {
        notes.Ignored(k, name,
                      "outside the years " + std::to_string(kFirstSupportedYear) + " to " +
                          std::to_string(kLastSupportedYear));
        return std::nullopt;
    }
    return t;
}

std::optional<Instant> FromDateKeyword(const FitsKeywords& k, std::string_view name,
                                       TimeScale scale, Notes& notes) {
    const std::string* text = Find(k, name);
    if (text == nullptr) return std::nullopt;
    std::optional<Stated> t = IsoDate(*text);
    if (!t) t = OldDate(*text);
    if (!t) return Supported(k, name, std::nullopt, notes);
    // A date without its time of day takes TIME-OBS when there is one.
    if (!t->hasTime) {
        if (const std::string* time = Find(k, "TIME-OBS")) {
            std::string_view rest = Trimmed(*time);
            Stated withTime = *t;
            if (TimeOfDay(rest, withTime) && rest.empty()) t = withTime;
        }
    }
    bool leapSecond = false;
    const std::optional<Instant> utc = Supported(k, name, ToUtc(*t, scale, &leapSecond), notes);
    if (utc && leapSecond) notes.Noted(k, name, LeapSecondNote);
    return utc;
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

// What a header's coordinates may say and still describe a picture of the Sun.
// A pixel from a ten-thousandth of an arcsecond, finer than any telescope resolves, to a
// degree, where the whole disk is a pixel across.
constexpr double kLeastPixelScale = 1e-4;
constexpr double kGreatestPixelScale = 3600;
// The solar x and y of the reference pixel: at most half a turn from the disk centre.
constexpr double kFarthestReferenceValue = 648000;
// A reference pixel, or the disk's centre, a million pixels off lies far beyond any
// picture that can be opened.
constexpr double kFarthestPixel = 1e6;
// A turn of the axes, in degrees either way.
constexpr double kGreatestTurn = 360;
// The Sun's apparent radius, arcseconds: from an arcminute (seen from past Saturn) to ten
// degrees (from closer than any probe has been).
constexpr double kLeastSolarRadius = 60;
constexpr double kGreatestSolarRadius = 36000;
// A disk less than a pixel across is no disk to measure.
constexpr double kLeastDiskRadius = 1;

constexpr std::string_view kScaleUnit = "arcseconds a pixel";

std::optional<Wcs> LinearWcs(const FitsKeywords& k, Notes& notes) {
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
    const bool cd = Find(k, "CD1_1") || Find(k, "CD1_2") || Find(k, "CD2_1") || Find(k, "CD2_2");
    if (cd) {
        // Each element of the matrix is a scale, or no more than one where the axes turn.
        std::array<double, 4> m{};
        constexpr std::array<std::string_view, 4> kNames = {"CD1_1", "CD1_2", "CD2_1", "CD2_2"};
        for (std::size_t i = 0; i < kNames.size(); ++i) {
            const double unit = i < 2 ? *unit1 : *unit2;
            if (!Find(k, kNames[i])) continue;
            const auto v =
                SizeWithin(k, kNames[i], unit, 0, kGreatestPixelScale, kScaleUnit, notes);
            if (!v) return std::nullopt;
            m[i] = *v;
        }
        w.m = m;
    } else {
        const auto cdelt1 = SizeWithin(k, "CDELT1", *unit1, kLeastPixelScale, kGreatestPixelScale,
                                       kScaleUnit, notes);
        const auto cdelt2 = SizeWithin(k, "CDELT2", *unit2, kLeastPixelScale, kGreatestPixelScale,
                                       kScaleUnit, notes);
        if (!cdelt1 || !cdelt2) return std::nullopt;
        const bool pc =
            Find(k, "PC1_1") || Find(k, "PC1_2") || Find(k, "PC2_1") || Find(k, "PC2_2");
        if (pc) {
            // A matrix that turns, and perhaps skews, the axes: its elements are near one.
            constexpr double kLargestElement = 2;
            auto element = [&](std::string_view name, double fallback) -> std::optional<double> {
                if (!Find(k, name)) return fallback;
                return SizeWithin(k, name, 1, 0, kLargestElement, "for a turn of the axes", notes);
            };
            const auto pc11 = element("PC1_1", 1);
            const auto pc12 = element("PC1_2", 0);
            const auto pc21 = element("PC2_1", 0);
            const auto pc22 = element("PC2_2", 1);
            if (!pc11 || !pc12 || !pc21 || !pc22) return std::nullopt;
            w.m = {*cdelt1 * *pc11, *cdelt1 * *pc12, *cdelt2 * *pc21, *cdelt2 * *pc22};
        } else {
            // CROTA2 turns the axes by the angle from the second pixel axis to solar north.
            double rho = 0;
            if (Find(k, "CROTA2")) {
                const auto turn = SizeWithin(k, "CROTA2", 1, 0, kGreatestTurn, "degrees", notes);
                if (!turn) return std::nullopt;
                rho = *turn;
            }
            w.m = {*cdelt1 * Cos(rho), -*cdelt2 * Sin(rho), *cdelt1 * Sin(rho), *cdelt2 * Cos(rho)};
        }
    }
    w.m[0] *= *unit1;
    w.m[1] *= *unit1;
    w.m[2] *= *unit2;
    w.m[3] *= *unit2;
    auto reference = [&](std::string_view name, double unit) -> std::optional<double> {
        if (!Find(k, name)) return 0.0;
        const auto v = SizeWithin(k, name, unit, 0, kFarthestReferenceValue, "arcseconds", notes);
        if (!v) return std::nullopt;
        return *v * unit;
    };
    const auto crval1 = reference("CRVAL1", *unit1);
    const auto crval2 = reference("CRVAL2", *unit2);
    if (!crval1 || !crval2) return std::nullopt;
    w.crvalX = *crval1;
    w.crvalY = *crval2;
    if (swapped) {
        std::swap(w.m[0], w.m[2]);
        std::swap(w.m[1], w.m[3]);
        std::swap(w.crvalX, w.crvalY);
    }
    // The pixel's size, whatever the axes' turn: the square root of its area.
    const double scale = std::sqrt(std::fabs(w.m[0] * w.m[3] - w.m[1] * w.m[2]));
    if (!(scale >= kLeastPixelScale && scale <= kGreatestPixelScale)) {
        if (scale > 0) {
            notes.Add(std::string(cd ? "CD1_1 to CD2_2" : "CDELT1, CDELT2 and PC1_1 to PC2_2") +
                      " ignored: a pixel of " + GeneralText(scale, 3) + " " +
                      std::string(kScaleUnit) + ", " +
                      RangeWords(kLeastPixelScale, kGreatestPixelScale, kScaleUnit));
        }
        return std::nullopt;
    }
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

std::optional<double> SolarRadiusArcsec(const FitsKeywords& k, Notes& notes) {
    for (const std::string_view key : {"RSUN_OBS", "SOLAR_R", "RADIUS"}) {
        const auto r =
            SizeWithin(k, key, 1, kLeastSolarRadius, kGreatestSolarRadius, "arcseconds", notes);
        if (r && *r > 0) return r;
        if (r) notes.Ignored(k, key, "a radius is positive");
    }
    return std::nullopt;
}

// The disk the coordinates give, when it is one a picture can show.
std::optional<FitsDisk> DiskOf(const FitsKeywords& k, const std::optional<Wcs>& w, int32_t height,
                               Notes& notes) {
    const auto crpix1 = SizeWithin(k, "CRPIX1", 1, 0, kFarthestPixel, "pixels", notes);
    const auto crpix2 = SizeWithin(k, "CRPIX2", 1, 0, kFarthestPixel, "pixels", notes);
    const auto radius = SolarRadiusArcsec(k, notes);
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
    if (!(std::fabs(out.disk.cx) <= kFarthestPixel && std::fabs(out.disk.cy) <= kFarthestPixel)) {
        notes.Add("the disk centre by CRPIX and CRVAL ignored: " + GeneralText(out.disk.cx, 3) +
                  ", " + GeneralText(out.disk.cy, 3) + " lies more than " +
                  ShortestDecimalText(kFarthestPixel) + " pixels off the picture");
        return std::nullopt;
    }
    if (!(out.disk.r >= kLeastDiskRadius && out.disk.r <= kFarthestPixel)) {
        notes.Add("the disk radius by the solar radius and the pixel scale ignored: " +
                  GeneralText(out.disk.r, 3) + " pixels, " +
                  RangeWords(kLeastDiskRadius, kFarthestPixel, "pixels"));
        return std::nullopt;
    }
    out.orientation = OrientationOf(*w);
    return out;
}

std::optional<Instant> InstantOf(const FitsKeywords& k, Notes& notes) {
    TimeScale scale = TimeScale::Utc;
    if (const std::string* sys = Find(k, "TIMESYS")) scale = ScaleNamed(*sys).value_or(scale);
    for (const std::string_view key : {"DATE-AVG", "DATE-OBS"}) {
        if (auto t = FromDateKeyword(k, key, scale, notes)) return t;
    }
    if (const std::string* tobs = Find(k, "T_OBS")) {
        TimeScale own = TimeScale::Utc;
        std::optional<Instant> t;
        bool leapSecond = false;
        if (const auto jsoc = JsocTime(*tobs, own)) {
            t = ToUtc(*jsoc, own, &leapSecond);
        } else if (const auto iso = IsoDate(*tobs)) {
            t = ToUtc(*iso, scale, &leapSecond);
        }
        t = Supported(k, "T_OBS", t, notes);
        if (t && leapSecond) notes.Noted(k, "T_OBS", LeapSecondNote);
        return t;
    }
    return std::nullopt;
}

const char* SideName(double dx, double dy) {
    if (std::fabs(dx) > std::fabs(dy)) return dx > 0 ? "right" : "left";
    return dy > 0 ? "down" : "up";
}

} // namespace

FitsHeaderReading ReadFitsHeader(const FitsKeywords& k, int32_t height) {
    FitsHeaderReading out;
    Notes notes(out.notes);
    out.instant = InstantOf(k, notes);
    const auto w = LinearWcs(k, notes);
    if (w) out.orientation = OrientationOf(*w);
    out.disk = DiskOf(k, w, height, notes);
    return out;
}

std::optional<Instant> FitsObservationInstant(const FitsKeywords& k) {
    std::vector<std::string> unused;
    Notes notes(unused);
    return InstantOf(k, notes);
}

std::optional<DiskOrientation> FitsHeaderOrientation(const FitsKeywords& k) {
    std::vector<std::string> unused;
    Notes notes(unused);
    const auto w = LinearWcs(k, notes);
    if (!w) return std::nullopt;
    return OrientationOf(*w);
}

std::optional<FitsDisk> FitsHeaderDisk(const FitsKeywords& k, int32_t height) {
    std::vector<std::string> unused;
    Notes notes(unused);
    return DiskOf(k, LinearWcs(k, notes), height, notes);
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
