#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "core/images/pixel_grid.h"

namespace zorva {

// Whether a picture counts as colour: any of five samples across its middle has red,
// green and blue not all equal. The rows are taken from the width too, so in a picture
// lower than it is wide the lower samples may fall outside, and read as grey.
bool IsColourImage(const PixelGrid& grid);

// The brightness of a colour, 0.299 R + 0.587 G + 0.114 B, for 8- and 16-bit components.
double Luminance(double red, double green, double blue);

// The grey level a colour pixel becomes: its luminance cut to an integer. Pure black and
// pure white stay as they are.
int32_t GreyLevel(int32_t red, int32_t green, int32_t blue);

// A 16-bit picture is shown and searched as 8-bit grey through a linear stretch: the
// level below which 0.5 % of the pixels lie becomes black, the level above which 0.5 %
// lie becomes white, and the levels between are spread evenly over 0..255. A few hot or
// dead pixels therefore cannot flatten the disk's contrast.
inline constexpr double StretchClipFraction = 0.005;
inline constexpr std::size_t Levels16 = 65536;

struct StretchLevels {
    uint16_t low = 0;
    uint16_t high = 0xFFFF;

    bool operator==(const StretchLevels&) const = default;
};

// The levels of a histogram of 16-bit values (count per value). Ranks are taken in the
// sorted values v[0..N-1]: low = v[floor(0.005 (N - 1))], high = v[ceil(0.995 (N - 1))].
// An empty histogram gives the full range.
StretchLevels LevelsOfHistogram(std::span<const uint64_t, Levels16> histogram);

// The 8-bit level of every 16-bit value. When the levels coincide (a flat picture) the
// plain scaling v * 255 / 65535, rounded, is used instead, so black stays black and white
// stays white.
std::array<uint8_t, Levels16> StretchTable(const StretchLevels& levels);

} // namespace zorva
