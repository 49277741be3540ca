#pragma once

#include <cstdint>
#include <vector>

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

// The limb as a picture shows it round a given disk (from a header, a hand or a search):
// along rays spread evenly round the circle, the profile a limb-darkened disk seen through
// blurring optics makes is fitted about the circle. Where the limb lies against the circle
// tells how well the disk fits the picture, and the profile's width how far the optics
// spread every detail of it: a feature of the Sun is never sharper than that.
struct LimbSurvey {
    int32_t rays = 0;            // rays whose profile the model fits
    double spread = 0;           // the median width (Gaussian sigma) of the blur, pixels
    double offset = 0;           // the median of the limb's distance outside the circle, pixels
    double scatter = 0;          // the robust spread of those distances about it, pixels
    std::vector<double> offsets; // each ray's, from angle 0 (along the columns) in equal
                                 // steps towards the rows; NaN where none was fitted
};
LimbSurvey SurveyLimb(const PixelGrid& grid, const Circle& disk, LimbBackground mode, int32_t rays);

} // namespace zorva
