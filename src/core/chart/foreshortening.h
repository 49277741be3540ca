#pragma once

#include <algorithm>
#include <cmath>

namespace zorva {

// Foreshortening: an area of the Sun's surface where mu is the cosine of the heliocentric
// angle is seen on the disk shrunk by mu, so a seen area stands for the surface area over
// mu.
inline double SurfaceArea(double seen, double mu) {
    return seen / mu;
}
inline double SeenArea(double surface, double mu) {
    return surface * mu;
}

// mu of a point at r2, the square of its distance from the disk centre as a fraction of the
// radius, on a disk seen from afar; 0 on and beyond the limb.
inline double MuAtRadius(double r2) {
    return std::sqrt(std::max(0.0, 1 - r2));
}

// The surface area one pixel at r2 stands for, in pixels: 1 / mu, with mu kept from falling
// below 0.001 at the limb, where the weight would grow without bound.
inline constexpr double LeastMuSquared = 1e-6;
inline double PixelAreaWeight(double r2) {
    return SurfaceArea(1, std::sqrt(std::max(LeastMuSquared, 1 - r2)));
}

} // namespace zorva
