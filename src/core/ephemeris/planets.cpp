// Mercury and Venus against the Sun, for a transit seen on a picture or drawn on a chart.
#include "core/ephemeris/planets.h"

#include <cmath>

#include <erfa.h>
#include <erfam.h>

#include "core/chart/projection.h"
#include "core/ephemeris/accurate_ephemeris.h"

namespace zorva {

namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr double kDegreesPerRadian = 57.29577951308232;
// The planets' mean radii, km (IAU Working Group on Cartographic Coordinates and
// Rotational Elements, Archinal et al. 2018, Celestial Mechanics 130, 22).
constexpr double kMercuryRadiusKm = 2439.4;
constexpr double kVenusRadiusKm = 6051.8;
constexpr double kAstronomicalUnitKm = ERFA_DAU / 1000.0;

double Length(const double v[3]) {
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

} // namespace

std::string_view InnerPlanetName(InnerPlanet planet) {
    return planet == InnerPlanet::Mercury ? "Mercury" : "Venus";
}

PlanetAgainstSun InnerPlanetAt(InnerPlanet planet, int32_t year, int32_t month, int32_t day,
                               double dayFraction) {
    double mjdZero = 0, mjd = 0;
    eraCal2jd(year, month, day, &mjdZero, &mjd);
    // TT, which stands for TDB to the few milliseconds that matter nothing here.
    const double tt1 = mjdZero + mjd;
    const double tt2 = dayFraction + TTMinusUTC(year, month, day, dayFraction) / kSecondsPerDay;
    double earthHelio[2][3], earthBary[2][3];
    eraEpv00(tt1, tt2, earthHelio, earthBary);
    const int number = planet == InnerPlanet::Mercury ? 1 : 2; // eraPlan94's numbering

    // The planet where its light left it: a few minutes earlier, found in three steps.
    double toPlanet[3] = {0, 0, 0};
    double lightDays = 0;
    for (int iteration = 0; iteration < 3; ++iteration) {
        double pv[2][3];
        eraPlan94(tt1, tt2 - lightDays, number, pv);
        for (int i = 0; i < 3; ++i)
            toPlanet[i] = pv[0][i] - earthHelio[0][i];
        lightDays = Length(toPlanet) * ERFA_AULT / kSecondsPerDay;
    }
    // The Sun from the Earth; the Sun's own motion about the barycentre in the light's
    // eight minutes is a few hundred kilometres, nothing at this scale.
    double toSun[3];
    for (int i = 0; i < 3; ++i)
        toSun[i] = -earthHelio[0][i];
    // Both directions onto the true equator and equinox of date, in which P is given.
    double dpsi = 0, deps = 0, epsa = 0;
    double rb[3][3], rp[3][3], rbp[3][3], rn[3][3], rbpn[3][3];
    eraPn06a(tt1, tt2, &dpsi, &deps, &epsa, rb, rp, rbp, rn, rbpn);
    double planetOfDate[3], sunOfDate[3];
    eraRxp(rbpn, toPlanet, planetOfDate);
    eraRxp(rbpn, toSun, sunOfDate);
    double sunRa = 0, sunDec = 0, planetRa = 0, planetDec = 0;
    eraC2s(sunOfDate, &sunRa, &sunDec);
    eraC2s(planetOfDate, &planetRa, &planetDec);

    PlanetAgainstSun at;
    at.separation = eraSepp(planetOfDate, sunOfDate) * kDegreesPerRadian;
    at.positionAngle = eraAnp(eraPas(sunRa, sunDec, planetRa, planetDec)) * kDegreesPerRadian;
    const double radiusKm = planet == InnerPlanet::Mercury ? kMercuryRadiusKm : kVenusRadiusKm;
    at.radius = std::asin(radiusKm / (Length(toPlanet) * kAstronomicalUnitKm)) * kDegreesPerRadian;
    return at;
}

std::optional<PlanetOnDisk> PlaceInnerPlanet(InnerPlanet planet, const Instant& instant,
                                             const DiskFrame& frame, const Ephemeris& ephemeris) {
    const double semidiameter = ApparentDiameter(ephemeris) / 2;
    if (!(semidiameter > 0) || !std::isfinite(frame.cx) || !std::isfinite(frame.cy) ||
        !std::isfinite(frame.rx) || !std::isfinite(ephemeris.P))
        return std::nullopt;
    constexpr double kSecondsPerHour = 3600.0;
    const double dayFraction =
        (instant.hour * kSecondsPerHour + instant.minute * 60.0 + instant.second) / kSecondsPerDay;
    const PlanetAgainstSun at =
        InnerPlanetAt(planet, instant.year, instant.month, instant.day, dayFraction);
    const double distance = at.separation / semidiameter;
    if (!std::isfinite(distance) || distance >= 1) return std::nullopt;
    // The chart draws a position angle counted from the Sun's north pole turned by its own
    // rotation q; counted from celestial north it is the angle less P.
    const PixelPoint p = DiskToPixel(frame, distance, at.positionAngle - ephemeris.P);
    PlanetOnDisk on;
    on.x = p.x;
    on.y = p.y;
    on.radius = at.radius / semidiameter * frame.rx;
    on.distance = distance;
    return on;
}

} // namespace zorva
