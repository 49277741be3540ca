#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/images/circle_fit.h"
#include "core/images/pixel_grid.h"

namespace zorva {

// The message box shown when the disk cannot be fitted.
inline constexpr std::string_view LimbNotFoundMessage = "Edge of solar disk could not be found.";
inline constexpr std::string_view LimbNotFoundCaption = "Zorva Viewer Error Message";

// A bright disk on a dark field, or a dark limb on a light field.
enum class LimbBackground { Dark, Light };
std::string_view LimbBackgroundName(LimbBackground mode); // "DarkBackground", "LightBackground"

// The limb search's result: the fitted disk in image pixels (0-based columns and rows),
// the limb points the last fit used (flag LimbPointAccepted) and whether the search
// succeeded. On failure the circle is the last estimate, as the caller may still draw it.
struct LimbFit {
    Circle disk;
    LimbPoints points;
    LimbBackground mode = LimbBackground::Dark;
    bool found = false;

    int32_t AcceptedPoints() const;
};

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
// 2 pixels.
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
