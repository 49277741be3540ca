#include "core/images/grey.h"

#include <gtest/gtest.h>
#include <vector>

namespace zorva {
namespace {

TEST(IsColourImage, FiveSamplesAcrossTheMiddle) {
    // 40 x 40: samples at (20, 20), (10, 20), (30, 20), (20, 10), (20, 30).
    std::vector<uint32_t> argb(40 * 40, 0xFF808080u);
    auto grid = [&](int32_t h) {
        return PixelGrid(reinterpret_cast<const uint8_t*>(argb.data()), 40, h, 40 * 4,
                         PixelLayout::Xrgb32);
    };
    EXPECT_FALSE(IsColourImage(grid(40)));
    argb[20 * 40 + 20] = 0xFF818080u; // a touch of red at the centre
    EXPECT_TRUE(IsColourImage(grid(40)));
    argb[20 * 40 + 20] = 0xFF808080u;
    argb[30 * 40 + 20] = 0xFF808081u; // blue at (20, 30)
    EXPECT_TRUE(IsColourImage(grid(40)));
    // 25 rows: (20, 30) falls outside, reads -1 and counts as grey.
    EXPECT_FALSE(IsColourImage(grid(25)));
    argb[5 * 40 + 5] = 0xFF00FF00u; // colour away from the samples is not seen
    EXPECT_FALSE(IsColourImage(grid(25)));
}

TEST(GreyLevel, WeightedSumTruncated) {
    // 0.299 R + 0.587 G + 0.114 B, cut to an integer.
    EXPECT_EQ(GreyLevel(255, 0, 0), 76);
    EXPECT_EQ(GreyLevel(0, 255, 0), 149);
    EXPECT_EQ(GreyLevel(0, 0, 255), 29);
    EXPECT_EQ(GreyLevel(200, 100, 50), 124); // 59.8 + 58.7 + 5.7 = 124.2
    EXPECT_EQ(GreyLevel(0, 0, 0), 0);
    EXPECT_EQ(GreyLevel(255, 255, 255), 255);
}

TEST(StretchLevels, RanksOfTheSortedValues) {
    // The values 0..999 once each: N = 1000, low = v[floor(0.005 * 999)] = v[4] = 4,
    // high = v[ceil(0.995 * 999)] = v[995] = 995.
    std::vector<uint64_t> h(Levels16, 0);
    for (int v = 0; v < 1000; ++v)
        h[static_cast<std::size_t>(v)] = 1;
    EXPECT_EQ(LevelsOfHistogram(std::span<const uint64_t, Levels16>(h.data(), Levels16)),
              (StretchLevels{4, 995}));
    // Half the pixels at 100 (the sky), half at 40000 (the disk), one hot pixel at 65535:
    // the hot pixel is clipped, the two halves span the whole 8-bit range.
    std::fill(h.begin(), h.end(), 0);
    h[100] = 5000;
    h[40000] = 5000;
    h[65535] = 1;
    const StretchLevels levels =
        LevelsOfHistogram(std::span<const uint64_t, Levels16>(h.data(), Levels16));
    EXPECT_EQ(levels, (StretchLevels{100, 40000}));
    const auto table = StretchTable(levels);
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[100], 0);
    EXPECT_EQ(table[20050], 128); // (20050 - 100) * 255 / 39900 = 127.5, rounded up
    EXPECT_EQ(table[40000], 255);
    EXPECT_EQ(table[65535], 255);
    // An empty histogram and a flat picture fall back to plain scaling: 65535 -> 255,
    // 32768 -> 127.5 -> 128.
    std::fill(h.begin(), h.end(), 0);
    EXPECT_EQ(LevelsOfHistogram(std::span<const uint64_t, Levels16>(h.data(), Levels16)),
              (StretchLevels{0, 65535}));
    const auto flat = StretchTable({7, 7});
    EXPECT_EQ(flat[65535], 255);
    EXPECT_EQ(flat[32768], 128);
    EXPECT_EQ(flat[0], 0);
}

} // namespace
} // namespace zorva
