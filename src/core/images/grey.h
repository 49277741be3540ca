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

// The ranks, in the sorted values v[0..N-1] of a picture, of the levels that become black
// and white: low = floor(0.005 (N - 1)), high = ceil(0.995 (N - 1)). N must be at least 1.
struct StretchRanks {
    uint64_t low = 0;
    uint64_t high = 0;
};
StretchRanks StretchRanksOf(uint64_t count);

// The levels of a histogram of 16-bit values (count per value), at the stretch ranks.
// An empty histogram gives the full range.
StretchLevels LevelsOfHistogram(std::span<const uint64_t, Levels16> histogram);

// The 8-bit level of a value v for the levels low < high: (v - low) 255 / (high - low),
// rounded half up and clipped to 0..255. A value that is not a number is black. Inline,
// as whole pictures of floating-point values go through it pixel by pixel.
inline uint8_t StretchedGrey(double v, double low, double high) {
    constexpr double kWhite = 255.0;
    double s = (v - low) * kWhite / (high - low) + 0.5;
    // floor(s) clipped to 0..255: clipped first (NaN fails the first test and becomes 0),
    // the truncation of a value that is not negative is its floor.
    s = s > 0 ? s : 0;
    s = s < kWhite ? s : kWhite;
    return static_cast<uint8_t>(static_cast<int32_t>(s));
}

// The 8-bit level of every 16-bit value. When the levels coincide (a flat picture) the
// plain scaling v * 255 / 65535, rounded, is used instead, so black stays black and white
// stays white.
std::array<uint8_t, Levels16> StretchTable(const StretchLevels& levels);

} // namespace zorva
