#include "core/images/float_stretch.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>

#include "core/images/grey.h"

namespace zorva {
namespace {

TEST(FloatLevels, ValuesAtTheStretchRanksOfTheSortedFiniteValues) {
    // Second method: sort the finite values and take v[floor(0.005 (N-1))] and
    // v[ceil(0.995 (N-1))] directly. Spread over many octaves and both signs, with
    // repeats, NaN and infinities mixed in.
    std::mt19937 random(7);
    std::normal_distribution<double> spread(0, 8);
    std::vector<float> values;
    for (int i = 0; i < 300001; ++i)
        values.push_back(static_cast<float>(std::pow(2.0, spread(random)) * (i % 3 == 0 ? -1 : 1)));
    for (int i = 0; i < 5000; ++i)
        values.push_back(42.0f);
    values.push_back(std::numeric_limits<float>::quiet_NaN());
    values.push_back(std::numeric_limits<float>::infinity());
    values.push_back(-std::numeric_limits<float>::infinity());
    std::vector<float> finite;
    std::copy_if(values.begin(), values.end(), std::back_inserter(finite),
                 [](float v) { return std::isfinite(v); });
    std::sort(finite.begin(), finite.end());
    const double last = static_cast<double>(finite.size() - 1);
    ASSERT_GE(values.size(), FewValues); // counted
    FloatLevelCounter counter;
    counter.Add(std::span<const float>(values).first(1000));
    counter.Add(std::span<const float>(values).subspan(1000));
    const FloatLevels levels = counter.Levels(values);
    EXPECT_EQ(levels.finite, finite.size());
    EXPECT_EQ(levels.low, finite[static_cast<std::size_t>(std::floor(0.005 * last))]);
    EXPECT_EQ(levels.high, finite[static_cast<std::size_t>(std::ceil(0.995 * last))]);
    // A few of them, picked out directly: v[floor(0.005 * 2999)] = v[14], v[2985].
    std::vector<float> few(values.begin(), values.begin() + 3000);
    const FloatLevels fewLevels = LevelsOfValues(few);
    std::sort(few.begin(), few.end());
    EXPECT_EQ(fewLevels.low, few[14]);
    EXPECT_EQ(fewLevels.high, few[2985]);
}

TEST(FloatLevels, IntegerValuesStretchAsTheSixteenBitRuleDoes) {
    // The same picture held as 16-bit levels and as floats gives the same levels and the
    // same 8-bit picture.
    std::mt19937 random(11);
    std::uniform_int_distribution<int> level(0, 65535);
    std::vector<float> values;
    std::vector<uint64_t> histogram(Levels16, 0);
    for (int i = 0; i < 50000; ++i) {
        const int v = i % 2 == 0 ? 300 + i % 17 : level(random);
        values.push_back(static_cast<float>(v));
        ++histogram[static_cast<std::size_t>(v)];
    }
    const StretchLevels wide =
        LevelsOfHistogram(std::span<const uint64_t, Levels16>(histogram.data(), Levels16));
    const FloatLevels levels = LevelsOfValues(values);
    EXPECT_EQ(levels.low, wide.low);
    EXPECT_EQ(levels.high, wide.high);
    const auto table = StretchTable(wide);
    std::vector<uint8_t> grey(values.size());
    StretchRow(values, levels, grey.data());
    for (std::size_t i = 0; i < values.size(); ++i)
        ASSERT_EQ(grey[i], table[static_cast<std::size_t>(values[i])]) << values[i];
}

TEST(FloatLevels, FlatAndEmptyPictures) {
    // No finite value: no levels, and every pixel black.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<float> blank = {nan, nan};
    EXPECT_EQ(LevelsOfValues(blank).finite, 0u);
    std::vector<uint8_t> out(2, 7);
    StretchRow(blank, LevelsOfValues(blank), out.data());
    EXPECT_EQ(out, (std::vector<uint8_t>{0, 0}));
    // Nearly all the picture one value: what lies above it is white, the rest black.
    std::vector<float> flat(1000, 5.0f);
    flat[3] = 9.0f;
    flat[4] = nan;
    const FloatLevels levels = LevelsOfValues(flat);
    EXPECT_EQ(levels.low, 5.0);
    EXPECT_EQ(levels.high, 5.0);
    std::vector<uint8_t> grey(flat.size());
    StretchRow(flat, levels, grey.data());
    EXPECT_EQ(grey[0], 0);
    EXPECT_EQ(grey[3], 255);
    EXPECT_EQ(grey[4], 0);
}

} // namespace
} // namespace zorva
