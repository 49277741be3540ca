#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/images/circle_fit.h"
#include "core/images/picture_context.h"
#include "core/srs/region_positions.h"

namespace zorva {

struct SpotGroup;

// Which way round a picture shows the Sun: east counter-clockwise from north, as the sky
// is seen (a camera's picture), or clockwise, as on a projection screen seen from the
// front or in a mirror. The numbers are the chart's mirror signs that give it.
enum class EastSense : int32_t { AsTheSky = -1, Mirrored = 1 };

// Solar north on a picture: the angle counter-clockwise from the picture's up at which it
// lies (0..360), and which way round east lies from it.
struct SolarNorth {
    double turn = 0;
    EastSense east = EastSense::AsTheSky;

    bool operator==(const SolarNorth&) const = default;
};

// Where solar east lies, counter-clockwise from the picture's up (0..360).
double SolarEastTurn(const SolarNorth& north);

// An angle taken into 0..360.
double Degrees360(double degrees);

// Where solar north and east lie on a disk drawn turned by q with the flip and mirror
// signs (as DiskToPixel draws it).
SolarNorth NorthOfFrame(double q, int32_t flip, int32_t mirror);

// The picture's turn that puts solar north where `north` says: the rotation axis's north
// turned, mirrored or not.
PictureTurn TurnOfSolarNorth(const SolarNorth& north, OrientationSource source);
// The turn that puts celestial north `turn` degrees counter-clockwise from up, east as
// `east` says.
PictureTurn TurnOfCelestialNorth(double turn, EastSense east, OrientationSource source);

// Where solar north lies on an opened picture measured in the orientation chosen for
// pictures `chart` (PictureGeometry), at an ephemeris.
SolarNorth NorthOnPicture(const PictureContext& picture, const ChartGeometry& chart,
                          const Ephemeris& ephemeris);

// ---- North from the drift --------------------------------------------------------------

// A drift with the drive off: a spot or limb point seen at (x1, y1) and later at (x2, y2),
// in picture pixels (x to the right, y down). The Sun drifts to the west, so the line
// points west on the sky; celestial north lies a quarter turn from it, counter-clockwise
// when the picture shows the sky as it is seen, clockwise when it is mirrored. The answer
// is where celestial north lies, counter-clockwise from the picture's up (0..360); nothing
// and the reason when the drift is shorter than `shortest` pixels, too short to show a
// direction.
inline constexpr double ShortestDrift = 3.0;
struct DriftNorth {
    std::optional<double> celestialNorthTurn;
    std::string error;
};
DriftNorth NorthFromDrift(double x1, double y1, double x2, double y2, EastSense east,
                          double shortest = ShortestDrift);

// The same from two pictures of the untracked Sun taken seconds apart, from their disks:
// the disk drifted from where it lies on the earlier one to where it lies on the later.
// Disks whose radii differ by more than 2 % are not of one set-up, and are refused.
DriftNorth NorthFromTwoDisks(const Circle& earlier, const Circle& later, EastSense east);

// ---- North solved from the day's regions ----------------------------------------------

// How the groups found on a picture are laid onto a summary's regions: each region
// carried to the picture's instant (PlaceRegion), every turn and both senses tried, and
// the best refined. A group and a region pair up within `reach` disk radii.
struct NorthSolveOptions {
    double reach = 0.12;
    double step = 1.0; // degrees between the turns tried before the refinement
    // Two answers fit equally well when the second (the other sense, or a turn further
    // than `apart` degrees away) matches as many groups and its cost is within `margin`
    // of the best one's, in squared disk radii.
    double apart = 10.0;
    double margin = 0.25;
};

struct NorthSolution {
    std::optional<SolarNorth> north; // nothing when refused
    std::string error;               // why it was refused
    int32_t matched = 0;             // groups laid on a region
    int32_t groups = 0;              // groups tried (those on the disk)
    double residual = 0;             // RMS distance of the matched pairs, disk radii
};

// Solar north of a picture whose disk is `disk`, from the groups found on it and the
// regions placed at its instant. Refused when fewer than two groups fall on regions, or
// when two different answers fit equally well.
NorthSolution SolveNorthFromRegions(std::span<const SpotGroup> groups, const Circle& disk,
                                    std::span<const RegionPlace> regions,
                                    const NorthSolveOptions& options = {});

} // namespace zorva
