#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace zorva {

// A spot as the grouping sees it: where it lies on the Sun and how far its edge reaches
// from its centre, all in degrees; its area; and whether it has an umbra. The longitude is
// any east-west angle that runs on without a wrap across the disk (the distance from the
// central meridian will do).
struct SpotPlace {
    double latitude = 0;
    double longitude = 0;
    double radius = 0;
    double areaMsh = 0;
    bool umbra = true;
};

// The angle on the Sun between two heliographic positions, degrees.
double HeliographicDistance(double lat1, double long1, double lat2, double long2);

// The angular radius of a circular spot of `areaMsh` millionths of the hemisphere: a cap
// of radius a covers 1 - cos a of the hemisphere.
double SpotRadiusDegrees(double areaMsh);

// How far east or west of a spot of `areaMsh` millionths another spot of its group may
// lie, edge to edge, and how tall north to south a group of that area may be, degrees.
// Observers group by the conventions of the Zurich classification as McIntosh (1990, Solar
// Physics 125, 251) sets them out: spots within `smallestLink` (3) degrees of each other are
// one group; a bipolar group stretches along the parallel, its spots following a leader
// further the larger the leader is (the classes D, E and F reach 10, 15 and more degrees);
// and groups lie along the parallels, tilted by only a few degrees (Joy's law), so two
// groups are told apart by a gap in latitude sooner than in longitude. The reach's growth
// with the spot's radius is this program's estimate: smallestLink + 0.25 sqrt(area), 4.6
// degrees from a spot of 40 millionths, 6.5 from one of 200, never more than
// `largestLink`; the height is 2 smallestLink + 0.1 sqrt(area) of the whole group, which
// leaves room for a group tilted across a few degrees of latitude with its spots' own
// size.
double GroupReach(double areaMsh, double smallestLink, double largestLink);
double GroupHeight(double areaMsh, double smallestLink, double largestLink);

// Whether two spots are close enough to be of one group: the gap between their edges along
// the parallel within the reach of the larger, and across it within `smallestLink`. The gap
// along the parallel, degrees, in `gap` when they are.
bool SpotsLinked(const SpotPlace& a, const SpotPlace& b, double smallestLink, double largestLink,
                 double* gap = nullptr);

// The groups of the spots. Spots with an umbra are grouped first, nearest pairs first
// (a gap in latitude counting three times one in longitude): two spots are of one group
// when the gap between their edges along the parallel is within the reach of the larger
// of them and the gap across it within `smallestLink`, so long as the joined group stays
// within `largestLink` east to west and within the height of a group of its area. A spot
// without an umbra (a pore) then joins the nearest group it is so close to, else groups
// with other pores by the same rule: a stray pore between two groups never joins them.
// Each spot's group index (0.., in the order of each group's first spot), and each
// group's extent: degrees from one edge of it to the other.
struct SpotGrouping {
    std::vector<int32_t> groupOf;
    std::vector<double> extent;
};
SpotGrouping GroupSpots(std::span<const SpotPlace> spots, double smallestLink, double largestLink);

} // namespace zorva
