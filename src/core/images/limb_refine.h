#pragma once

#include <cstdint>

#include "core/images/circle_fit.h"
#include "core/images/limb.h"
#include "core/images/pixel_grid.h"

namespace zorva {

// The limb to a fraction of a pixel. The whole-pixel search finds each ray's edge where
// the brightness crosses a threshold; the refinement moves each accepted edge, along the
// line from the fitted centre through it, to where the brightness changes fastest (falls
// outwards on a dark sky, rises outwards on a light one), placed between samples by a
// parabola through the three steepest-around differences. The circle is then fitted again
// through the moved points, with the search's outlier rejection.
struct SubPixelLimb {
    Circle disk;
    SubPixelPoints points;
    bool found = false;

    int32_t AcceptedPoints() const;
};

// The refinement of a whole-pixel search's result on the same picture. Rays whose
// brightness profile reaches outside the picture or shows no change are left out. Not
// found when the search itself failed or fewer than three rays remain.
SubPixelLimb RefineLimb(const PixelGrid& grid, const LimbFit& search);

// The whole-pixel search followed by the refinement, as the limb search's result: the
// refined circle, the refined points rounded to pixels for drawing. When the refinement
// cannot be made, the search's own result.
LimbFit FindSubPixelLimb(const PixelGrid& grid);

} // namespace zorva
