#include "core/ephemeris/horizon.h"

#include <algorithm>
#include <cmath>

#include "core/common/angles.h"

namespace zorva {

namespace {
using degrees::Cos;
using degrees::kRadToDeg;
using degrees::Sin;
} // namespace

double SiderealTime(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                    int32_t second) {
    const double t =
        (JulianDate(year, month, day, 0, 0, 0) - JulianDate(2000, 1, 1, 12, 0, 0)) / 36525.0;
    double t0 = 6.697374558 + 2400.051336 * t + 0.000025862 * t * t;
    while (t0 > 24.0)
        t0 -= 24.0;
    while (t0 < 0)
        t0 += 24.0;
    double gst = 1.002737909 * (hour + minute / 60.0 + second / 3600.0) + t0;
    if (gst > 24.0) gst -= 24.0;
    if (gst < 0) gst += 24.0;
    return gst;
}

HorizonCoordinates HorizonPosition(double lat, double lon, double ra, double dec, double gst) {
    double lst = lon / 15.0 + gst;
    if (lst > 24.0) lst -= 24.0;
    if (lst < 0) lst += 24.0;
    double h = lst - ra;
    if (h > 24.0) h -= 24.0;
    if (h < 0) h += 24.0;
    const double hourAngle = 15.0 * h;

    HorizonCoordinates out;
    if (lat == 90.0) {
        out.altitude = dec;
    } else if (lat == -90.0) {
        out.altitude = -dec;
    } else {
        const double x = Sin(dec) * Sin(lat) + Cos(dec) * Cos(lat) * Cos(hourAngle);
        out.altitude = x > 1 ? 90.0 : x < -1 ? -90.0 : std::asin(x) * kRadToDeg;
    }

    const double a = out.altitude;
    if (lat == 90.0 || lat == -90.0 || a == 90.0) {
        double az = lat == 90.0 ? hourAngle - 180.0 : lat == -90.0 ? 360.0 - hourAngle : 0.0;
        if (az < 0) az += 360.0;
        out.azimuth = az;
        return out;
    }
    const double x = (Sin(dec) - Sin(lat) * Sin(a)) / (Cos(lat) * Cos(a));
    if (Sin(hourAngle) < 0) { // east of the meridian
        out.azimuth = x > 1 ? 0.0 : x < -1 ? 180.0 : std::acos(x) * kRadToDeg;
    } else {
        out.azimuth = x > 1 ? 360.0 : x < -1 ? 180.0 : 360.0 - std::acos(x) * kRadToDeg;
    }
    return out;
}

double ComputeParallacticAngle(double lat, double dec, double altitude, double azimuth) {
    if (std::fabs(std::trunc(altitude)) == 90.0 || std::fabs(std::trunc(dec)) == 90.0) return 0;
    double x = (Sin(lat) - Sin(dec) * Sin(altitude)) / (Cos(dec) * Cos(altitude));
    // On the meridian rounding can push the cosine a hair past +-1.
    x = std::clamp(x, -1.0, 1.0);
    double q = std::acos(x) * kRadToDeg;
    if (azimuth < 180.0) q = -q;
    return q;
}

void ComputeHorizon(const Instant& t, const Observer& observer, Ephemeris& record) {
    const double gst = SiderealTime(t.year, t.month, t.day, t.hour, t.minute, t.second);
    const HorizonCoordinates hc =
        HorizonPosition(observer.latitude, observer.longitude, record.RA, record.Dec, gst);
    record.Altitude = hc.altitude;
    record.Azimuth = hc.azimuth;
    record.ParallacticAngle =
        ComputeParallacticAngle(observer.latitude, record.Dec, hc.altitude, hc.azimuth);
}

bool AcceptObserverLatitude(double value, double& latitude) {
    if (!(value >= -90.0 && value <= 90.0)) return false;
    latitude = value;
    return true;
}

bool AcceptObserverLongitude(double value, double& longitude) {
    if (!(value >= -180.0 && value <= 360.0)) return false;
    longitude = value > 180.0 ? value - 360.0 : value;
    return true;
}

} // namespace zorva
