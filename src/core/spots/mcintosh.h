#pragma once

#include <cstdint>
#include <string>

#include "core/spots/spot_types.h"

namespace zorva {

// The McIntosh class of a sunspot group (McIntosh 1990, Solar Physics 125, 251), three
// letters:
// - the modified Zurich class: A a unipolar group without penumbra, B a bipolar one without,
//   C bipolar with penumbra at one end, D, E and F bipolar with penumbra at both ends and a
//   longitudinal extent of at most 10, at most 15 and more than 15 degrees, H unipolar with
//   penumbra;
// - the penumbra of the largest spot: x none, r rudimentary, s small and symmetric, a small
//   and asymmetric, h large and symmetric, k large and asymmetric (small up to 2.5 degrees
//   across);
// - the spots' distribution: x unipolar, o open (few spots, if any, between the leader and
//   the follower), i intermediate (many, none with a mature penumbra), c compact (many, one
//   at least with a mature penumbra).
// A group is unipolar when no two of its spots lie more than 3 degrees apart.

// What the class is read from, for one spot of a group.
struct ClassifiedSpot {
    double latitude = 0;
    double longitude = 0; // Carrington, degrees
    double areaMsh = 0;   // the whole spot, with its share of the penumbra
    double umbraMsh = 0;
    // The penumbra it lies in: its area, how many spots share it, and its outline's axis
    // ratio seen face-on (1 for a round one; 0 when not known).
    double patchMsh = 0;
    int32_t patchSpots = 1;
    double patchAxisRatio = 0;
};

enum class PenumbraKind { None, Rudimentary, Mature };

// Whether a spot has a penumbra: the part of it beyond its umbra against its umbra, and its
// size against the largest pores (a patch without an umbra larger than any pore is a
// penumbra).
PenumbraKind PenumbraOf(const ClassifiedSpot& spot);

// The class of a group of spots ("Dso"); empty for no spots.
std::string McIntoshClass(const std::vector<ClassifiedSpot>& spots);

// The class of every group of a detection, from its spots and their patches; each group's
// `mcintosh` is set.
void ClassifyGroups(SpotDetection& detection);

// Whether `text` is a McIntosh class as this program writes them: one of A B C D E F H,
// then one of x r s a h k, then one of x o i c, in the combinations the scheme allows (A
// and B have no penumbra, A and H are unipolar, the others are not).
bool IsMcIntoshClass(const std::string& text);

} // namespace zorva
