#pragma once

#include <cmath>

// Trigonometry in degrees for the chart code: every interface holds degrees, and the
// conversion to radians happens only here, inside the trigonometric call.
namespace zorva::degrees {

inline constexpr double kPi = 3.141592653589793;
inline constexpr double kRadToDeg = 57.29577951308232;

inline double ToRad(double deg) {
    return deg * kPi / 180.0;
}
inline double Sin(double deg) {
    return std::sin(ToRad(deg));
}
inline double Cos(double deg) {
    return std::cos(ToRad(deg));
}
inline double Asin(double v) {
    return std::asin(v) * kRadToDeg;
}
inline double Acos(double v) {
    return std::acos(v) * kRadToDeg;
}
inline double Atan2(double y, double x) {
    return std::atan2(y, x) * kRadToDeg;
}

} // namespace zorva::degrees
