#include "core/images/grey.h"

#include <cmath>

namespace zorva {

namespace {

constexpr double kTop16 = 65535.0;

// The value at 0-based rank k of the sorted values.
uint16_t ValueAtRank(std::span<const uint64_t, Levels16> histogram, uint64_t k) {
    uint64_t below = 0;
    for (std::size_t v = 0; v < Levels16; ++v) {
        below += histogram[v];
        if (below > k) return static_cast<uint16_t>(v);
    }
    return static_cast<uint16_t>(Levels16 - 1);
}

constexpr double kRedWeight = 0.299;
constexpr double kGreenWeight = 0.587;
constexpr double kBlueWeight = 0.114;

} // namespace

bool IsColourImage(const PixelGrid& grid) {
    const int32_t w = grid.Width();
    const struct {
        int32_t x;
        int32_t y;
    } samples[] = {
        {w / 2, w / 2}, {w / 4, w / 2}, {3 * w / 4, w / 2}, {w / 2, w / 4}, {w / 2, 3 * w / 4}};
    for (const auto& s : samples) {
        const int32_t v = grid.At(s.x, s.y);
        if (v < 0) continue;
        if (PackedRed(v) != PackedGreen(v) || PackedGreen(v) != PackedBlue(v)) return true;
    }
    return false;
}

double Luminance(double red, double green, double blue) {
    return kRedWeight * red + kGreenWeight * green + kBlueWeight * blue;
}

int32_t GreyLevel(int32_t red, int32_t green, int32_t blue) {
    constexpr int32_t kWhite = 255;
    const bool black = red == 0 && green == 0 && blue == 0;
    const bool white = red == kWhite && green == kWhite && blue == kWhite;
    if (black || white) return red;
    return static_cast<int32_t>(Luminance(red, green, blue));
}

StretchRanks StretchRanksOf(uint64_t count) {
    const double last = count > 0 ? static_cast<double>(count - 1) : 0.0;
    return {static_cast<uint64_t>(std::floor(StretchClipFraction * last)),
            static_cast<uint64_t>(std::ceil((1 - StretchClipFraction) * last))};
}

StretchLevels LevelsOfHistogram(std::span<const uint64_t, Levels16> histogram) {
    uint64_t n = 0;
    for (const uint64_t c : histogram)
        n += c;
    if (n == 0) return {};
    const StretchRanks ranks = StretchRanksOf(n);
    return {ValueAtRank(histogram, ranks.low), ValueAtRank(histogram, ranks.high)};
}

std::array<uint8_t, Levels16> StretchTable(const StretchLevels& levels) {
    std::array<uint8_t, Levels16> table{};
    // A flat picture is scaled plainly over the whole 16-bit range.
    const bool flat = levels.high <= levels.low;
    const double low = flat ? 0.0 : levels.low;
    const double high = flat ? kTop16 : levels.high;
    for (std::size_t v = 0; v < Levels16; ++v)
        table[v] = StretchedGrey(static_cast<double>(v), low, high);
    return table;
}

} // namespace zorva
