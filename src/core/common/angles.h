#pragma once

#include <algorithm>
#include <cmath>

// Angles: every interface holds degrees, and the conversion to radians happens only
// here, inside the trigonometric call.
namespace zorva::degrees {

inline constexpr double kPi = 3.141592653589793;
inline constexpr double kRadToDeg = 57.29577951308232;
inline constexpr double kFullCircle = 360.0;
inline constexpr double kHalfCircle = 180.0;

inline double ToRad(double deg) {
    return deg * kPi / 180.0;
}
inline double ToDeg(double rad) {
    return rad * kRadToDeg;
}
inline double Sin(double deg) {
    return std::sin(ToRad(deg));
}
inline double Cos(double deg) {
    return std::cos(ToRad(deg));
}
inline double Tan(double deg) {
    return std::tan(ToRad(deg));
}
inline double Asin(double v) {
    return std::asin(v) * kRadToDeg;
}
inline double Acos(double v) {
    return std::acos(v) * kRadToDeg;
}
inline double Atan(double v) {
    return std::atan(v) * kRadToDeg;
}
inline double Atan2(double y, double x) {
    return std::atan2(y, x) * kRadToDeg;
}

// The angle (0..360) whose sine is s and whose cosine has the sign of c: the rule every
// position angle and course is resolved by. Rounding can carry s a hair past +-1; it is
// clamped, so the angle is then 90 or 270, never NaN.
inline double QuadrantAngle(double s, double c) {
    s = std::clamp(s, -1.0, 1.0);
    if (s >= 0 && c >= 0) return Asin(s);
    if (s >= 0 || c <= 0) return kHalfCircle - Asin(s);
    return Asin(s) + kFullCircle;
}

} // namespace zorva::degrees
