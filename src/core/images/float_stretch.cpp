#include "core/images/float_stretch.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <limits>

#include "core/images/grey.h"

namespace zorva {

namespace {

// Each float has a 32-bit key that sorts as the values do: positive values with the sign
// bit set, negative ones with every bit inverted. The upper 16 bits of the key pick a
// coarse bucket, the lower 16 bits the value within it. The keys of infinities and NaN
// fill the buckets at either end, so no finite value shares a bucket with them.
constexpr uint32_t kSignBit = 0x80000000u;
constexpr int kHalfKey = 16;
constexpr std::size_t kBuckets = std::size_t{1} << kHalfKey;
constexpr uint32_t kLowHalf = 0xFFFFu;
constexpr uint32_t kFirstFiniteBucket = 0x0080; // -FLT_MAX
constexpr uint32_t kLastFiniteBucket = 0xFF7F;  // +FLT_MAX
constexpr std::size_t kCopies = 4;

uint32_t SortKey(float v) {
    const uint32_t bits = std::bit_cast<uint32_t>(v);
    const auto negative = static_cast<uint32_t>(static_cast<int32_t>(bits) >> 31);
    return bits ^ (negative | kSignBit);
}

float ValueOfKey(uint32_t key) {
    return std::bit_cast<float>((key & kSignBit) != 0 ? key & ~kSignBit : ~key);
}

// The bucket holding the value of 0-based rank k among the counted ones, and its rank
// within that bucket.
struct RankPlace {
    uint32_t bucket = 0;
    uint64_t within = 0;
};

RankPlace PlaceOfRank(const std::vector<uint64_t>& counts, uint64_t k) {
    uint64_t below = 0;
    for (std::size_t b = 0; b < counts.size(); ++b) {
        if (below + counts[b] > k) return {static_cast<uint32_t>(b), k - below};
        below += counts[b];
    }
    return {static_cast<uint32_t>(counts.size() - 1), 0};
}

} // namespace

FloatLevelCounter::FloatLevelCounter() : coarse_(kCopies * kBuckets, 0) {}

void FloatLevelCounter::Add(std::span<const float> values) {
    uint32_t* h = coarse_.data();
    const std::size_t n = values.size();
    std::size_t i = 0;
    for (; i + kCopies <= n; i += kCopies) {
        ++h[SortKey(values[i]) >> kHalfKey];
        ++h[kBuckets + (SortKey(values[i + 1]) >> kHalfKey)];
        ++h[2 * kBuckets + (SortKey(values[i + 2]) >> kHalfKey)];
        ++h[3 * kBuckets + (SortKey(values[i + 3]) >> kHalfKey)];
    }
    for (; i < n; ++i)
        ++h[SortKey(values[i]) >> kHalfKey];
}

FloatLevels FloatLevelCounter::Levels(std::span<const float> all) const {
    // Finite buckets only, the copies added up.
    std::vector<uint64_t> counts(kBuckets, 0);
    uint64_t finite = 0;
    for (std::size_t b = kFirstFiniteBucket; b <= kLastFiniteBucket; ++b) {
        for (std::size_t c = 0; c < kCopies; ++c)
            counts[b] += coarse_[c * kBuckets + b];
        finite += counts[b];
    }
    if (finite == 0) return {};
    const StretchRanks ranks = StretchRanksOf(finite);
    const RankPlace low = PlaceOfRank(counts, ranks.low);
    const RankPlace high = PlaceOfRank(counts, ranks.high);
    // The two buckets are counted value by value in a second look; only finite values
    // can fall in them.
    std::vector<uint64_t> fineLow(kBuckets, 0);
    std::vector<uint64_t> fineHigh(kBuckets, 0);
    for (const float v : all) {
        const uint32_t key = SortKey(v);
        const uint32_t bucket = key >> kHalfKey;
        if (bucket == low.bucket) ++fineLow[key & kLowHalf];
        if (bucket == high.bucket) ++fineHigh[key & kLowHalf];
    }
    const RankPlace lowValue = PlaceOfRank(fineLow, low.within);
    const RankPlace highValue = PlaceOfRank(fineHigh, high.within);
    return {ValueOfKey((low.bucket << kHalfKey) | lowValue.bucket),
            ValueOfKey((high.bucket << kHalfKey) | highValue.bucket), finite};
}

FloatLevels LevelsOfValues(std::span<const float> values) {
    if (values.size() >= FewValues) {
        FloatLevelCounter counter;
        counter.Add(values);
        return counter.Levels(values);
    }
    // Few values: picked out directly, without the counter's tables.
    std::vector<float> finite;
    finite.reserve(values.size());
    for (const float v : values) {
        if (std::isfinite(v)) finite.push_back(v);
    }
    if (finite.empty()) return {};
    const StretchRanks ranks = StretchRanksOf(finite.size());
    const auto low = finite.begin() + static_cast<std::ptrdiff_t>(ranks.low);
    const auto high = finite.begin() + static_cast<std::ptrdiff_t>(ranks.high);
    std::nth_element(finite.begin(), low, finite.end());
    const float lowValue = *low;
    std::nth_element(low, high, finite.end());
    return {lowValue, *high, finite.size()};
}

void StretchRow(std::span<const float> values, const FloatLevels& levels, uint8_t* out) {
    constexpr uint8_t kBlack = 0;
    constexpr uint8_t kWhite = std::numeric_limits<uint8_t>::max();
    const double low = levels.low;
    const double high = levels.high;
    const std::size_t n = values.size();
    if (levels.finite == 0 || !(high > low)) {
        for (std::size_t i = 0; i < n; ++i)
            out[i] = values[i] > low ? kWhite : kBlack;
        return;
    }
    for (std::size_t i = 0; i < n; ++i)
        out[i] = StretchedGrey(values[i], low, high);
}

} // namespace zorva
