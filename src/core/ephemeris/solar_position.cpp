#include "core/ephemeris/solar_position.h"

#include <cmath>

#include "core/common/angles.h"
#include "core/ephemeris/calendar.h"

namespace zorva {

namespace {

using degrees::kRadToDeg;
using degrees::ToRad;

// Orbit of the Sun, epoch 1990.0.
constexpr double kEpoch1990 = 2447891.5;            // JulianDate(1990, 1, 0, 0, 0, 0)
constexpr double kDailyMotion = 0.9856473563866011; // 360 / 365.242191, degrees per day
constexpr double kLongitudeAtEpoch = 279.403303;    // degrees
constexpr double kPerigeeLongitude = 282.768422;    // degrees
constexpr double kEccentricity = 0.016713;
constexpr double kKeplerTolerance = 1e-6;             // radians
constexpr double kTwiceRadToDeg = 114.59155902616465; // 360 / pi

constexpr double kJ2000 = 2451545.0;
constexpr double kPerJulianCentury = 2.7378507871321012e-05; // 1 / 36525

// Physical ephemeris: the Carrington elements of the solar equator.
constexpr double kFixedObliquity = 0.4091400832525107;      // 23.442 degrees, in radians
constexpr double kInclination = 0.1265363707695889;         // 7.25 degrees, in radians
constexpr double kDiameterAtUnitDistance = 0.5339889;       // degrees
constexpr double kPerSiderealPeriod = 0.039401103230890466; // 1 / 25.38 days
constexpr double kPerSynodicPeriod = 0.03666320810403552;   // 1 / 27.2753 days
constexpr double kRotationAngleOrigin = 2398220.0;
constexpr double kRotation1690Origin = 2444235.34;
constexpr double kNodeOrigin = 2415020.0;

} // namespace

double SunLongitude(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                    double second) {
    const double dd = JulianDate(year, month, day, hour, minute, second) - kEpoch1990;
    double n = kDailyMotion * dd;
    n = n - std::floor(n / 360.0) * 360.0;
    double m = n + kLongitudeAtEpoch - kPerigeeLongitude;
    if (m < 0) m += 360.0;
    m = ToRad(m);

    double e = m;
    double delta = e - kEccentricity * std::sin(e) - m;
    while (std::fabs(delta) > kKeplerTolerance) {
        e = e - delta / (1.0 - kEccentricity * std::cos(e));
        delta = e - kEccentricity * std::sin(e) - m;
    }
    const double nu =
        std::atan(std::sqrt((1.0 + kEccentricity) / (1.0 - kEccentricity)) * std::tan(e / 2.0)) *
        kTwiceRadToDeg;
    double lambda = nu + kPerigeeLongitude;
    if (lambda > 360.0) lambda -= 360.0;
    if (lambda < 0) lambda += 360.0;
    return lambda;
}

Equatorial SunEquatorial(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                         double second, double lambda) {
    const double t = (JulianDate(year, month, day, hour, minute, second) - kJ2000) / 36525.0;
    const double eps =
        ToRad(23.441893 - (46.815 * t + 0.0006 * t * t - 0.00181 * t * t * t) / 3600.0);
    const double lam = ToRad(lambda);
    Equatorial out;
    out.RA = std::atan2(std::cos(eps) * std::sin(lam), std::cos(lam)) * kRadToDeg / 15.0;
    if (out.RA < 0) out.RA += 24.0;
    out.Dec = std::asin(std::sin(eps) * std::sin(lam)) * kRadToDeg;
    return out;
}

DailyRecord ComputeDailyRecord(int32_t year, int32_t month, int32_t day) {
    const double jd0 = JulianDate(year, month, day, 0, 0, 0);
    const double t1 = (jd0 - kNodeOrigin) * kPerJulianCentury;
    const double lambda = SunLongitude(year, month, day, 0, 0, 0);
    const Equatorial eq = SunEquatorial(year, month, day, 0, 0, 0, lambda);

    // Ascending node of the solar equator: 74 deg 22' + 84' per century since 1900.
    const double k = 84.0 * t1 / 60.0 + 74.0 + 0.36666666666666664;
    const double kMinusLambda = ToRad(k - lambda);
    const double eta =
        std::atan2(std::cos(kInclination) * std::sin(kMinusLambda), -std::cos(kMinusLambda)) *
        kRadToDeg;

    double theta = (jd0 - kRotationAngleOrigin) * 360.0 * kPerSiderealPeriod;
    theta = theta - std::floor(theta / 360.0) * 360.0;

    double l0 = (360.0 - theta) + eta;
    if (l0 > 360.0) l0 -= 360.0;
    if (l0 < 0) l0 += 360.0;

    const double b0 = std::asin(std::sin(ToRad(lambda - k)) * std::sin(kInclination)) * kRadToDeg;
    const double p = std::atan(-std::cos(ToRad(lambda)) * std::tan(kFixedObliquity)) * kRadToDeg +
                     std::atan(-std::cos(kMinusLambda) * std::tan(kInclination)) * kRadToDeg;

    double trueAnomaly = lambda - kPerigeeLongitude;
    if (trueAnomaly < 0) trueAnomaly += 360.0;
    const double dm = (1.0 + kEccentricity * std::cos(ToRad(trueAnomaly))) *
                      kDiameterAtUnitDistance / (1.0 - kEccentricity * kEccentricity);

    DailyRecord r;
    r.Year = year;
    r.Month = month;
    r.Day = day;
    r.RA = eq.RA;
    r.Dec = eq.Dec;
    r.B0 = b0;
    r.L0 = l0;
    r.P = p;
    r.DiamMinutes = static_cast<int32_t>(std::floor(60.0 * dm));
    r.DiamSeconds = (60.0 * dm - r.DiamMinutes) * 60.0;
    r.Rotation =
        static_cast<int32_t>(std::floor((jd0 - kRotation1690Origin) * kPerSynodicPeriod)) + 1690;
    return r;
}

void FixUpRotations(DailyTable& table, int32_t count) {
    for (int32_t i = 0; i + 1 < count && i + 1 < kDailyTableSize; ++i) {
        DailyRecord& a = table[i];
        DailyRecord& b = table[i + 1];
        if (a.L0 - b.L0 < 0 && a.Rotation == b.Rotation) {
            if (360.0 - b.L0 > a.L0) {
                a.Rotation = b.Rotation - 1;
            } else {
                b.Rotation = a.Rotation + 1;
            }
        }
    }
}

int32_t ComputeYearTable(int32_t year, DailyTable& table) {
    int32_t count = 0;
    for (int32_t month = 1; month <= 12; ++month) {
        const int32_t days = DaysInMonth(year, month);
        for (int32_t day = 1; day <= days; ++day) {
            table[count++] = ComputeDailyRecord(year, month, day);
        }
    }
    FixUpRotations(table, count);
    return count;
}

} // namespace zorva
