#pragma once

#include <optional>
#include <span>

namespace zorva {

// The brightness across the limb, along a line through the disk's centre, as it forms.
// Near its edge a disk darkened towards the limb grows brighter inwards with
// mu = sqrt(1 - (d / R)^2), which at a depth s inside the edge is sqrt(2 s / R) to first
// order; any limb darkening smooth in mu therefore gives a + c sqrt(s) there, and the sky
// outside is flat. The optics spread both with a point spread taken as a Gaussian of
// width sigma, so that at an outward distance t
//     B(t) = sky + step Phi((e - t) / sigma) + darkening sqrt(sigma) G((e - t) / sigma)
// with Phi the normal distribution and G below. Fitting the edge e with the rest finds
// the disk's own edge, where the steepest fall of a limb-darkened limb lies inside it by
// a good part of sigma (the rise of the square root adds to the fall on the inner side).
struct LimbProfileFit {
    double edge = 0;      // e, along the line
    double spread = 0;    // sigma, pixels
    double sky = 0;       // the brightness outside
    double step = 0;      // the fall at the edge itself
    double darkening = 0; // c, the rise inwards per square root of a pixel
};

// G(x) = the integral over y > 0 of phi(x - y) sqrt(y), phi the standard normal density:
// the square root seen through a Gaussian of unit width. G(0) = 2^(1/4) Gamma(3/4) /
// (2 sqrt(pi)); G(x) tends to sqrt(x) for large x and to 0 for large negative x.
double BlurredSquareRoot(double x);

// The fit to brightness samples taken at first, first + step, ... along the line
// outwards, starting from the edge `start` (the steepest fall, say). `outward` is -1 when
// the brightness falls outwards (a disk on a dark sky) and +1 when it rises. Nothing when
// the samples show no limb the model fits: no settled fit, an edge off the samples or far
// from the start, a spread too large for the samples, or too little contrast.
std::optional<LimbProfileFit> FitLimbProfile(std::span<const double> brightness, double first,
                                             double step, double start, double outward);

} // namespace zorva
