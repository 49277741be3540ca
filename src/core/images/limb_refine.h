#pragma once

#include <cstdint>

#include "core/images/circle_fit.h"
#include "core/images/limb.h"
#include "core/images/pixel_grid.h"

namespace zorva {

// The limb to a fraction of a pixel. The whole-pixel search finds each ray's edge where
// the brightness crosses a threshold; the refinement samples the brightness along the
// line from the fitted centre through each accepted edge and fits it with the profile a
// limb-darkened disk seen through blurring optics makes (core/images/limb_profile.h),
// starting from where the brightness changes fastest (falls outwards on a dark sky, rises
// outwards on a light one). The circle is then fitted again through the disk's edges so
// found, with the search's outlier rejection.
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
// cannot be made, or the picture does not back its circle (JudgeLimb), the search's own
// result.
LimbFit FindSubPixelLimb(const PixelGrid& grid);

} // namespace zorva
