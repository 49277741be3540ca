#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/images/circle_fit.h"
#include "core/images/limb_verdict.h"
#include "core/images/pixel_grid.h"

namespace zorva {

// The message box shown when the disk cannot be fitted.
inline constexpr std::string_view LimbNotFoundMessage = "Edge of solar disk could not be found.";
inline constexpr std::string_view LimbNotFoundCaption = "Zorva Viewer Error Message";

std::string_view LimbBackgroundName(LimbBackground mode); // "DarkBackground", "LightBackground"

// The limb search's result: the fitted disk in image pixels (0-based columns and rows),
// the limb points the last fit used (flag LimbPointAccepted) and whether a disk was found
// that the picture backs (core/images/limb_verdict.h). When not, `reason` says why and the
// circle is the last estimate, which the caller may draw but never measure on.
struct LimbFit {
    Circle disk;
    LimbPoints points;
    LimbBackground mode = LimbBackground::Dark;
    bool found = false;
    std::string reason;       // empty when found: "only 23 of 356 rays agree"
    int32_t raysSearched = 0; // rays that crossed the picture: 356 of 360 on most
    double residual = 0;      // RMS distance of the accepted points from the circle, px

    int32_t AcceptedPoints() const;
    bool operator==(const LimbFit&) const = default;
};

// What the user is told when a search's disk is refused: the message and, after it, the
// reason as a sentence ("Edge of solar disk could not be found. Only 23 of 356 rays
// agree."). The bare message for a search that found a disk.
std::string LimbNotFoundText(const LimbFit& fit);

// Outlier rejection of the circle fit: points farther off the circle than a tolerance
// are dropped, the tolerance shrinking by a pixel a round from the first to the last.
inline constexpr double LimbFirstTolerance = 10;
inline constexpr double LimbLastTolerance = 2;

// Pictures narrower or lower than this are refused without a search: they hold no disk
// the 360 rays could find.
inline constexpr int32_t SmallestLimbImage = 8;

// Casts 360 rays from the picture's centre, finds the limb on each from the border
// inwards and from the centre outwards, keeps the rays whose two edges agree and fits a
// circle to them, dropping points that lie off it by a tolerance that shrinks from 10 to
// 2 pixels. An edge within a few pixels of the picture's border is where the frame cuts
// the disk, not its limb, and is left out. The circle is then judged (JudgeLimb).
LimbFit FindLimb(const PixelGrid& grid);

// The pixels one ray visits, from its start point near the border to the picture's
// centre (the order of the search from the border), limited to the pixels inside the
// picture. Empty for the rays 0, 90, 180 and 270, which are not searched, and for a ray
// whose line to the centre has no defined slope in a very narrow or flat picture.
struct RayPixel {
    int32_t x = 0;
    int32_t y = 0;

    bool operator==(const RayPixel&) const = default;
};
void RayPixels(int32_t ray, int32_t width, int32_t height, std::vector<RayPixel>& out);

} // namespace zorva
