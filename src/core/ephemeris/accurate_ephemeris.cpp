#include "core/ephemeris/accurate_ephemeris.h"

#include <cmath>
#include <numbers>

#include <erfa.h>
#include <erfam.h>

#include "core/common/angles.h"
#include "core/ephemeris/calendar.h"

// How the Sun is placed
// ---------------------
// The geocentric apparent direction is built by hand from ERFA pieces rather than with
// eraAtci13: that family starts from a catalogue star (proper motion, parallax, the
// Sun as a deflecting body) and ends at CIO-based right ascension, none of which fits
// the Sun itself. Here: the Earth's barycentric and heliocentric state from eraEpv00;
// the Sun's barycentric place taken back by the light-time; the stellar aberration of
// the Earth's barycentric velocity (eraAb; no light deflection, the Sun cannot deflect
// its own light); then the IAU 2006/2000A bias-precession-nutation matrix (eraPn06a)
// to the true equator and equinox of date, which is what the tables call RA and Dec.
//
// The convention of the tables
// ----------------------------
// Trying the variants against rows of the printed tables (1990-2014) showed:
//  * the instant is 0h UTC with TT = UTC + (TAI-UTC) + 32.184 s. Taking 0h TT instead
//    moves RA by about 5e-5 h and Dec by up to 2.6e-4 deg, well outside the tables;
//    with 0h UTC the rows agree to 4e-6 h and 6e-6 deg.
//  * B0, L0 and P follow the Carrington system in its IAU form, the one the Astronomical
//    Almanac prints: the solar pole fixed at RA 286.13 deg, Dec 63.87 deg (ICRF), which
//    is I = 7.25 deg, node 75.76 deg on the ecliptic of J2000 (73.6667 + 1.3958333 T of
//    Carrington's elements at that epoch), and the prime meridian W = 84.176 deg +
//    14.1844 deg/day from J2000, both taken at the moment the light left the Sun.
//    Carrington's own meridian, (JDE - 2398220) * 360 / 25.38 with the light-time taken
//    off, puts L0 0.09 deg (1990) to 0.12 deg (2014) above the tables: the rate differs
//    from 14.1844 deg/day by 2.8e-6 deg/day and the epochs do not line up. Without the
//    light-time it lands 0.01-0.04 deg above, drifting - neither can hold 0.01 deg.
//  * L0 includes the aberration (the Almanac's convention): with it the rows agree to
//    0.003 deg; from the geometric direction (as JPL Horizons gives it) L0 sits
//    0.004-0.009 deg higher. B0 goes the other way: from the geometric direction all
//    rows come out exact after rounding, with the aberration two of them miss by one in
//    the last place. That is also the honest B0 - aberration moves the whole image, not
//    which point of the Sun sits at its centre - and the difference is below 0.0007 deg.
//  * the diameter uses the light-time distance; it matches to 0.05".

namespace zorva {
namespace {

using degrees::ToDeg;
using degrees::ToRad;
constexpr double kSecondsPerDay = 86400.0;
constexpr double kArcsecPerDeg = 3600.0;

// TT runs ahead of TAI by this much, by definition.
constexpr double kTTMinusTAI = 32.184;
// Days the light takes to cross one au.
constexpr double kLightDaysPerAU = ERFA_AULT / ERFA_DAYSEC;
// Earth's velocity from au/day to units of the speed of light.
constexpr double kCPerAUPerDay = ERFA_AULT / ERFA_DAYSEC;

// North pole of the solar rotation axis in the ICRF and the prime meridian (IAU Working
// Group on Cartographic Coordinates and Rotational Elements, report 2009).
constexpr double kSolarPoleRA = 286.13;
constexpr double kSolarPoleDec = 63.87;
constexpr double kPrimeMeridianAtJ2000 = 84.176;
constexpr double kSiderealRotationPerDay = 14.1844;
constexpr double kJ2000 = ERFA_DJ00;

// Apparent diameter of the Sun at one au, degrees.
constexpr double kDiameterAtOneAU = 0.5339889;

// Rotation 1 began 1853 November 9.9 (JD 2398167.4, the classical epoch), and a
// rotation lasts 27.2752316 days on average (Meeus, Astronomical Algorithms, ch. 29).
// The count only has to land within half a rotation: the exact phase comes from L0.
constexpr double kFirstRotationStart = 2398167.4;
constexpr double kMeanSynodicRotation = 27.2752316;

// Delta T = TT - UT1 in seconds from the polynomials of Espenak and Meeus, "Five
// Millennium Canon of Solar Eclipses" (NASA/TP-2006-214141), as published on the NASA
// eclipse site. y is the decimal year. Before 1700 and after 2150 the long-term
// parabola of Morrison and Stephenson stands in.
double DeltaTModel(double y) {
    if (y >= 1700.0 && y < 1800.0) {
        const double t = y - 1700.0;
        return 8.83 + t * (0.1603 + t * (-0.0059285 + t * (0.00013336 - t / 1174000.0)));
    }
    if (y >= 1800.0 && y < 1860.0) {
        const double t = y - 1800.0;
        return 13.72 +
               t * (-0.332447 +
                    t * (0.0068612 +
                         t * (0.0041116 +
                              t * (-0.00037436 + t * (0.0000121272 +
                                                      t * (-0.0000001699 + t * 0.000000000875))))));
    }
    if (y >= 1860.0 && y < 1900.0) {
        const double t = y - 1860.0;
        return 7.62 + t * (0.5737 +
                           t * (-0.251754 + t * (0.01680668 + t * (-0.0004473624 + t / 233174.0))));
    }
    if (y >= 1900.0 && y < 1920.0) {
        const double t = y - 1900.0;
        return -2.79 + t * (1.494119 + t * (-0.0598939 + t * (0.0061966 - t * 0.000197)));
    }
    if (y >= 1920.0 && y < 1941.0) {
        const double t = y - 1920.0;
        return 21.20 + t * (0.84493 + t * (-0.076100 + t * 0.0020936));
    }
    if (y >= 1941.0 && y < 1961.0) {
        const double t = y - 1950.0;
        return 29.07 + t * (0.407 + t * (-1.0 / 233.0 + t / 2547.0));
    }
    if (y >= 1961.0 && y < 1986.0) {
        const double t = y - 1975.0;
        return 45.45 + t * (1.067 + t * (-1.0 / 260.0 - t / 718.0));
    }
    if (y >= 1986.0 && y < 2005.0) {
        const double t = y - 2000.0;
        return 63.86 + t * (0.3345 + t * (-0.060374 +
                                          t * (0.0017275 + t * (0.000651814 + t * 0.00002373599))));
    }
    if (y >= 2005.0 && y < 2050.0) {
        const double t = y - 2000.0;
        return 62.92 + t * (0.32217 + t * 0.005589);
    }
    const double u = (y - 1820.0) / 100.0;
    if (y >= 2050.0 && y < 2150.0) return -20.0 + 32.0 * u * u - 0.5628 * (2150.0 - y);
    return -20.0 + 32.0 * u * u;
}

double Length(const double v[3]) {
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

// Round to `decimals` places; adding +0.0 turns a rounded -0.0 into 0.0 so the tables
// never print "-0.00".
double RoundTo(double value, double scale) {
    return std::round(value * scale) / scale + 0.0;
}

} // namespace

namespace {
// The first day past the years the leap-second table vouches for, as a decimal year, and
// TT - UTC on it.
struct TableEnd {
    double year = 0;
    double ttMinusUtc = 0;
};

TableEnd LeapSecondTableEnd() {
    static const TableEnd end = [] {
        double taiMinusUtc = 0;
        int32_t year = 2000;
        while (eraDat(year + 1, 1, 1, 0.0, &taiMinusUtc) == 0)
            ++year;
        eraDat(year, 12, 31, 0.0, &taiMinusUtc);
        return TableEnd{year + 1.0, taiMinusUtc + kTTMinusTAI};
    }();
    return end;
}
} // namespace

double TTMinusUTC(int32_t year, int32_t month, int32_t day, double dayFraction) {
    double taiMinusUtc = 0;
    // eraDat answers 0 only inside its table; before 1960 (no UTC, so UT1 stands in)
    // the Delta T model takes over.
    if (eraDat(year, month, day, dayFraction, &taiMinusUtc) == 0) return taiMinusUtc + kTTMinusTAI;
    const double y = year + (month - 0.5) / 12.0;
    const TableEnd end = LeapSecondTableEnd();
    if (y < end.year) return DeltaTModel(y);
    // Past the table the last known value goes on with the model's trend, without the
    // jump of several seconds that switching to the model outright would make.
    return end.ttMinusUtc + DeltaTModel(y) - DeltaTModel(end.year);
}

AccurateSun AccurateSunAt(int32_t year, int32_t month, int32_t day, double dayFraction) {
    double mjdZero = 0;
    double mjd = 0;
    eraCal2jd(year, month, day, &mjdZero, &mjd);
    // TT as two parts: the Julian date of 0h, and the day fraction with TT - UTC added.
    const double tt1 = mjdZero + mjd;
    const double tt2 = dayFraction + TTMinusUTC(year, month, day, dayFraction) / kSecondsPerDay;

    double earthHelio[2][3];
    double earthBary[2][3];
    eraEpv00(tt1, tt2, earthHelio, earthBary);

    // The Sun's barycentric place when the light left it. Its barycentric velocity is a
    // few metres a second and barely changes in eight minutes, so a straight line back
    // along it is as good as a second ephemeris call.
    double toSun[3];
    double lightDays = 0;
    for (int iteration = 0; iteration < 3; ++iteration) {
        for (int i = 0; i < 3; ++i) {
            const double sunBary = earthBary[0][i] - earthHelio[0][i];
            const double sunVelocity = earthBary[1][i] - earthHelio[1][i];
            toSun[i] = sunBary - sunVelocity * lightDays - earthBary[0][i];
        }
        lightDays = Length(toSun) * kLightDaysPerAU;
    }
    const double distance = Length(toSun);
    double astrometric[3];
    for (int i = 0; i < 3; ++i)
        astrometric[i] = toSun[i] / distance;

    double velocity[3];
    for (int i = 0; i < 3; ++i)
        velocity[i] = earthBary[1][i] * kCPerAUPerDay;
    const double inverseLorentz = std::sqrt(
        1.0 - (velocity[0] * velocity[0] + velocity[1] * velocity[1] + velocity[2] * velocity[2]));
    double apparent[3];
    eraAb(astrometric, velocity, distance, inverseLorentz, apparent);

    double dpsi = 0, deps = 0, epsa = 0;
    double rb[3][3], rp[3][3], rbp[3][3], rn[3][3], rbpn[3][3];
    eraPn06a(tt1, tt2, &dpsi, &deps, &epsa, rb, rp, rbp, rn, rbpn);
    double ofDate[3];
    eraRxp(rbpn, apparent, ofDate);
    double ra = 0, dec = 0;
    eraC2s(ofDate, &ra, &dec);

    AccurateSun sun;
    sun.RA = ToDeg(eraAnp(ra)) / 15.0;
    sun.Dec = ToDeg(dec);
    sun.DistanceAU = distance;
    sun.DiameterDeg = kDiameterAtOneAU / distance;

    // Heliographic frame: z along the solar pole, x at the ascending node of the solar
    // equator on the ICRF equator, from where W is counted.
    double toHeliographic[3][3];
    eraIr(toHeliographic);
    eraRz(ToRad(kSolarPoleRA + 90.0), toHeliographic);
    eraRx(ToRad(90.0 - kSolarPoleDec), toHeliographic);
    // B0 from the direction the light came along; L0 from the direction we see, with
    // the aberration (see the top of the file).
    double geometric[3];
    double seen[3];
    for (int i = 0; i < 3; ++i) {
        geometric[i] = -astrometric[i];
        seen[i] = -apparent[i];
    }
    double subEarth[3];
    double longitude = 0, latitude = 0, ignored = 0;
    eraRxp(toHeliographic, geometric, subEarth);
    eraC2s(subEarth, &ignored, &latitude);
    sun.B0 = ToDeg(latitude);
    eraRxp(toHeliographic, seen, subEarth);
    eraC2s(subEarth, &longitude, &ignored);

    // The meridian is where it was when the light left, hence the light-time off.
    const double daysFromJ2000 = (tt1 - kJ2000) + tt2 - lightDays;
    const double meridian = kPrimeMeridianAtJ2000 + kSiderealRotationPerDay * daysFromJ2000;
    // The Earth's heliographic longitude wraps once a year, so (W - longitude) / 360
    // knows the phase of the rotation but not how many have gone by; the mean
    // synodic count settles that. L0 = longitude - W then counts down from 360 through
    // the rotation in progress, taken from the same phase so the two cannot disagree
    // at the wrap.
    const double turns = (meridian - ToDeg(longitude)) / 360.0;
    const double phase = turns - std::floor(turns);
    const double meanCount =
        1.0 + (tt1 - kFirstRotationStart + tt2 - lightDays) / kMeanSynodicRotation;
    sun.Rotation = std::round(meanCount - phase) + phase;
    sun.L0 = 360.0 * (1.0 - phase);

    // P: the pole's position angle at the apparent Sun, north through east, on the
    // true equator of date.
    double pole[3];
    eraS2c(ToRad(kSolarPoleRA), ToRad(kSolarPoleDec), pole);
    double poleOfDate[3];
    eraRxp(rbpn, pole, poleOfDate);
    double east[3] = {-ofDate[1], ofDate[0], 0.0};
    const double eastLength = Length(east);
    for (double& component : east)
        component /= eastLength;
    double north[3];
    eraPxp(ofDate, east, north);
    sun.P = ToDeg(std::atan2(eraPdp(poleOfDate, east), eraPdp(poleOfDate, north)));
    return sun;
}

DailyRecord AccurateDailyRecord(int32_t year, int32_t month, int32_t day) {
    const AccurateSun sun = AccurateSunAt(year, month, day, 0.0);
    DailyRecord record;
    record.Year = year;
    record.Month = month;
    record.Day = day;
    record.RA = sun.RA;
    record.Dec = sun.Dec;
    record.B0 = sun.B0;
    record.L0 = sun.L0;
    record.P = sun.P;
    const double arcseconds = sun.DiameterDeg * kArcsecPerDeg;
    record.DiamMinutes = static_cast<int32_t>(std::floor(arcseconds / 60.0));
    record.DiamSeconds = arcseconds - 60.0 * record.DiamMinutes;
    record.Rotation = static_cast<int32_t>(std::floor(sun.Rotation));
    return record;
}

int32_t AccurateYearTable(int32_t year, DailyTable& table) {
    table.fill(DailyRecord{});
    int32_t count = 0;
    for (int32_t month = 1; month <= 12; ++month) {
        for (int32_t day = 1; day <= DaysInMonth(year, month); ++day) {
            table[count++] = AccurateDailyRecord(year, month, day);
        }
    }
    return count;
}

DailyRecord RoundToTablePrecision(const DailyRecord& record) {
    constexpr double kSixDecimals = 1e6;
    constexpr double kTwoDecimals = 1e2;
    constexpr double kOneDecimal = 1e1;
    DailyRecord rounded = record;
    rounded.RA = RoundTo(record.RA, kSixDecimals);
    rounded.Dec = RoundTo(record.Dec, kSixDecimals);
    rounded.B0 = RoundTo(record.B0, kTwoDecimals);
    rounded.L0 = RoundTo(record.L0, kTwoDecimals);
    rounded.P = RoundTo(record.P, kTwoDecimals);
    rounded.DiamSeconds = RoundTo(record.DiamSeconds, kOneDecimal);
    return rounded;
}

} // namespace zorva
