#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace zorva {

// A spot as the grouping sees it: where it lies on the Sun and how far its edge reaches
// from its centre, all in degrees.
struct SpotPlace {
    double latitude = 0;
    double longitude = 0; // Carrington
    double radius = 0;
};

// The angle on the Sun between two heliographic positions, degrees.
double HeliographicDistance(double lat1, double long1, double lat2, double long2);

// The angular radius of a circular spot of `areaMsh` millionths of the hemisphere: a cap
// of radius a covers 1 - cos a of the hemisphere.
double SpotRadiusDegrees(double areaMsh);

// The groups of the spots by single linkage: two groups join when an edge of one lies
// within the link distance of an edge of the other, the link being `smallestLink` plus the
// larger group's extent, at most `largestLink`; joining goes on until no more
// groups join. Each spot's group index (0.., in the order of each group's first spot), and
// each group's extent: degrees from one edge of it to the other.
struct SpotGrouping {
    std::vector<int32_t> groupOf;
    std::vector<double> extent;
};
SpotGrouping GroupSpots(std::span<const SpotPlace> spots, double smallestLink, double largestLink);

} // namespace zorva
