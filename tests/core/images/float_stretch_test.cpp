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
    FloatLevelCounter counter(values.size());
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

// The levels by sorting: v[floor(0.005 (N-1))] and v[ceil(0.995 (N-1))] of the finite
// values, in the order of their sort keys (so -0 lies below +0).
FloatLevels SortedLevels(std::vector<float> values) {
    std::erase_if(values, [](float v) { return !std::isfinite(v); });
    if (values.empty()) return {};
    std::sort(values.begin(), values.end(), [](float a, float b) {
        return a < b || (a == b && std::signbit(a) && !std::signbit(b));
    });
    const double last = static_cast<double>(values.size() - 1);
    return {values[static_cast<std::size_t>(std::floor(StretchClipFraction * last))],
            values[static_cast<std::size_t>(std::ceil((1 - StretchClipFraction) * last))],
            values.size()};
}

TEST(FloatLevels, ExactWhateverTheOrderTheSampleOrTheParts) {
    // Second method: sorting. The counter keeps only the values beyond its bounds; values
    // in rising or falling order, a misleading sample, NaN, infinities, signed zeros and
    // heavy ties at a bound must not change the levels, only the work.
    constexpr std::size_t kCount = 400000;
    std::mt19937 random(23);
    std::normal_distribution<double> spread(0, 6);
    std::vector<float> disk(kCount);
    for (std::size_t i = 0; i < kCount; ++i)
        disk[i] = static_cast<float>(1000 + 50 * spread(random));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* what;
        std::vector<float> values;
        std::vector<float> sample;
        std::size_t part;
    };
    std::vector<Case> cases;
    cases.push_back({"random, sampled", disk, {}, 4096});
    std::vector<float> rising = disk;
    std::sort(rising.begin(), rising.end());
    cases.push_back({"rising, no sample", rising, {}, 1000});
    cases.push_back({"falling, no sample", {rising.rbegin(), rising.rend()}, {}, 4096});
    cases.push_back({"rising, sampled", rising, {}, 777});
    // A sample from beyond the values: both bounds far too tight, nothing kept.
    cases.push_back({"misleading sample", disk, {-1e6f, 1e6f}, 4096});
    std::vector<float> blank = disk;
    for (std::size_t i = 0; i < kCount; i += 3)
        blank[i] = nan;
    for (std::size_t i = 1; i < kCount; i += 97)
        blank[i] = i % 2 == 0 ? inf : -inf;
    cases.push_back({"NaN and infinities", blank, {}, 4096});
    std::vector<float> ties(kCount);
    for (std::size_t i = 0; i < kCount; ++i)
        ties[i] = i % 5 == 0 ? static_cast<float>(i % 13) : (i % 2 == 0 ? 0.0f : -0.0f);
    cases.push_back({"ties and signed zeros", ties, {}, 4096});
    cases.push_back({"one part", disk, {}, kCount});
    cases.push_back({"odd parts", blank, {}, 4093});
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.sample.empty() && std::string(c.what).find("sampled") != std::string::npos) {
            for (std::size_t i = 0; i < c.values.size(); i += 37)
                c.sample.push_back(c.values[i]);
        }
        FloatLevelCounter counter(c.values.size());
        if (!c.sample.empty()) counter.Guess(c.sample);
        for (std::size_t at = 0; at < c.values.size(); at += c.part)
            counter.Add(std::span<const float>(c.values).subspan(
                at, std::min(c.part, c.values.size() - at)));
        const FloatLevels levels = counter.Levels(c.values);
        const FloatLevels sorted = SortedLevels(c.values);
        EXPECT_EQ(levels, sorted);
        EXPECT_EQ(std::signbit(levels.low), std::signbit(sorted.low));
        EXPECT_EQ(std::signbit(levels.high), std::signbit(sorted.high));
        EXPECT_EQ(LevelsOfValues(c.values), sorted);
    }
    // More values than announced: still exact.
    FloatLevelCounter few(10);
    few.Add(disk);
    EXPECT_EQ(few.Levels(disk), SortedLevels(disk));
}

TEST(FloatLevels, EveryRowLevelIsTheExactStretch) {
    // Second method: StretchedGrey of each value on its own, the exact rule. The row's
    // quick path works in single precision, so the values are put on and beside the
    // boundaries between levels (where (v - low) 255 / (high - low) + 0.5 is whole), a few
    // units in the last place either way, for levels of many sizes and signs; rows of
    // odd lengths cover the values after the last block.
    std::mt19937 random(31);
    std::uniform_real_distribution<double> unit(0, 1);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Levels {
        float low;
        float high;
    };
    std::vector<Levels> pairs = {{0, 255},        {0, 510},        {100, 4180},     {20, 49888.9f},
                                 {-1e-3f, 1e-3f}, {-3e38f, 3e38f}, {1, 1.0000001f}, {0, 1e-40f},
                                 {-7, -6.5f},     {5, 9}};
    for (int k = 0; k < 40; ++k) {
        const double low = std::ldexp(unit(random) - 0.5, static_cast<int>(unit(random) * 60) - 30);
        const double range =
            std::ldexp(unit(random) + 0.01, static_cast<int>(unit(random) * 60) - 30);
        pairs.push_back({static_cast<float>(low), static_cast<float>(low + range)});
    }
    std::size_t checked = 0;
    for (const Levels& p : pairs) {
        if (!(p.high > p.low)) continue;
        SCOPED_TRACE(std::to_string(p.low) + " .. " + std::to_string(p.high));
        const double low = p.low;
        const double high = p.high;
        std::vector<float> row = {nan,
                                  inf,
                                  -inf,
                                  0.0f,
                                  -0.0f,
                                  p.low,
                                  p.high,
                                  std::numeric_limits<float>::denorm_min(),
                                  -std::numeric_limits<float>::max()};
        for (int level = 0; level <= 256; ++level) {
            const auto edge = static_cast<float>(low + (level - 0.5) * (high - low) / 255.0);
            float v = edge;
            for (int step = 0; step < 4; ++step)
                v = std::nextafter(v, -inf);
            for (int step = 0; step < 9; ++step) {
                row.push_back(v);
                v = std::nextafter(v, inf);
            }
        }
        for (int i = 0; i < 300; ++i)
            row.push_back(static_cast<float>(low + (unit(random) * 1.2 - 0.1) * (high - low)));
        std::shuffle(row.begin(), row.end(), random);
        row.resize(row.size() - row.size() % 16 + 7);
        const FloatLevels levels{low, high, row.size()};
        std::vector<uint8_t> grey(row.size());
        StretchRow(row, levels, grey.data());
        for (std::size_t i = 0; i < row.size(); ++i)
            ASSERT_EQ(grey[i], StretchedGrey(row[i], low, high)) << row[i];
        checked += row.size();
    }
    EXPECT_GT(checked, 100000u);
    // Levels that are no floats take the exact rule throughout.
    const std::vector<float> values = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f,
                                       1.0f, 1.1f, 1.2f, 1.3f, 1.4f, 1.5f, 1.6f, 1.7f};
    std::vector<uint8_t> grey(values.size());
    StretchRow(values, {0.1, 1.7, values.size()}, grey.data());
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(grey[i], StretchedGrey(values[i], 0.1, 1.7)) << values[i];
}

} // namespace
} // namespace zorva
