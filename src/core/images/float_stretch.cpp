#include "core/images/float_stretch.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The same order as signed 32-bit numbers (the sort key with its top bit flipped), which
// is what the vector compares of the processor offer: the bits of a positive value as
// they are, those of a negative one with all but the sign inverted.
constexpr int32_t kMagnitudeBits = 0x7FFFFFFF;

int32_t SignedKey(int32_t bits) {
    return bits ^ ((bits >> 31) & kMagnitudeBits);
}

int32_t SignedKey(float v) {
    return SignedKey(std::bit_cast<int32_t>(v));
}

float ValueOfSignedKey(int32_t key) {
    return ValueOfKey(std::bit_cast<uint32_t>(key) ^ kSignBit);
}

const int32_t kLowestFinite = SignedKey(-std::numeric_limits<float>::max());
const int32_t kHighestFinite = SignedKey(std::numeric_limits<float>::max());

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

// The levels from every value: a count of the values by the upper half of their keys
// settles the buckets of the two ranks, a second look counts those two buckets value by
// value. The coarse counts go to interleaved copies, so that a run of equal values (a
// blank sky) does not wait on one counter.
FloatLevels LevelsOfAllValues(std::span<const float> all) {
    std::vector<uint32_t> coarse(kCopies * kBuckets, 0);
    // Finite buckets only, the copies added up after each part, which is small enough that
    // a copy cannot overflow.
    constexpr std::size_t kLargestPart = std::size_t{1} << 30;
    std::vector<uint64_t> counts(kBuckets, 0);
    uint64_t finite = 0;
    for (std::size_t at = 0; at < all.size();) {
        const std::span<const float> part =
            all.subspan(at, std::min(all.size() - at, kLargestPart));
        at += part.size();
        uint32_t* h = coarse.data();
        const std::size_t n = part.size();
        std::size_t i = 0;
        for (; i + kCopies <= n; i += kCopies) {
            ++h[SortKey(part[i]) >> kHalfKey];
            ++h[kBuckets + (SortKey(part[i + 1]) >> kHalfKey)];
            ++h[2 * kBuckets + (SortKey(part[i + 2]) >> kHalfKey)];
            ++h[3 * kBuckets + (SortKey(part[i + 3]) >> kHalfKey)];
        }
        for (; i < n; ++i)
            ++h[SortKey(part[i]) >> kHalfKey];
        for (std::size_t b = kFirstFiniteBucket; b <= kLastFiniteBucket; ++b) {
            for (std::size_t c = 0; c < kCopies; ++c) {
                counts[b] += coarse[c * kBuckets + b];
                finite += coarse[c * kBuckets + b];
            }
        }
        std::fill(coarse.begin(), coarse.end(), 0);
    }
    if (finite == 0) return {};
    const StretchRanks ranks = StretchRanksOf(finite);
    const RankPlace low = PlaceOfRank(counts, ranks.low);
    const RankPlace high = PlaceOfRank(counts, ranks.high);
    // Only finite values can fall in the two buckets.
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

// The counter looks at this many values between two tightenings of its bounds.
constexpr std::size_t kPart = 4096;
// The ends have kept this many times the values each must hold before the counter gives
// up (values in rising or falling order move a bound with nearly every value).
constexpr uint64_t kKeptBeforeGivingUp = 8;
// A sample places each bound at this fraction of the values from its end: one and a half
// times the stretch's clip, so that the end keeps about half as much again as the level's
// rank needs, far more than a sample of some ten thousand values misjudges.
constexpr double kGuessFraction = 1.5 * StretchClipFraction;

// The key of 0-based rank k among what an end holds (its kept keys, then the bound as
// often as it was met); nothing when it holds too few.
std::optional<int32_t> KeyOfRank(std::vector<int32_t>& kept, int32_t bound, uint64_t atBound,
                                 uint64_t k) {
    if (k < kept.size()) {
        const auto at = kept.begin() + static_cast<std::ptrdiff_t>(k);
        std::nth_element(kept.begin(), at, kept.end());
        return *at;
    }
    if (k < kept.size() + atBound) return bound;
    return std::nullopt;
}

} // namespace

FloatLevelCounter::FloatLevelCounter(std::size_t largestCount)
    : largestCount_(largestCount),
      keep_(static_cast<std::size_t>(StretchRanksOf(std::max<std::size_t>(largestCount, 1)).low) +
            1) {
    // Every finite value lies below the end bounds at first; a value at the largest float
    // is counted at the bound.
    low_.bound = kHighestFinite;
    high_.bound = ~kLowestFinite;
    for (End* end : {&low_, &high_})
        end->kept.reserve(2 * keep_ + kPart);
}

void FloatLevelCounter::Guess(std::span<const float> sample) {
    if (added_ != 0) return;
    std::vector<int32_t> keys;
    keys.reserve(sample.size());
    for (const float v : sample) {
        if (std::isfinite(v)) keys.push_back(SignedKey(v));
    }
    if (keys.empty()) return;
    const auto fromEnd =
        static_cast<std::size_t>(kGuessFraction * static_cast<double>(keys.size()));
    const auto low = keys.begin() + static_cast<std::ptrdiff_t>(fromEnd);
    std::nth_element(keys.begin(), low, keys.end());
    low_.bound = *low;
    const auto high = keys.end() - 1 - static_cast<std::ptrdiff_t>(fromEnd);
    std::nth_element(low, high, keys.end());
    high_.bound = ~*high;
}

void FloatLevelCounter::Tighten(End& end) const {
    if (end.kept.size() < 2 * keep_) return;
    // The new bound is the value of rank keep_ - 1: at least keep_ values lie at or below
    // it, so the level's rank, which is below keep_, stays among them.
    const auto at = end.kept.begin() + static_cast<std::ptrdiff_t>(keep_ - 1);
    std::nth_element(end.kept.begin(), at, end.kept.end());
    const int32_t bound = *at;
    const auto beyond =
        std::partition(end.kept.begin(), end.kept.end(), [&](int32_t k) { return k < bound; });
    end.atBound = static_cast<uint64_t>(std::count(beyond, end.kept.end(), bound));
    end.kept.erase(beyond, end.kept.end());
    end.bound = bound;
}

void FloatLevelCounter::AddPart(std::span<const float> values) {
    const std::size_t n = values.size();
    const int32_t lowBound = low_.bound;
    const int32_t highBound = ~high_.bound;
    // One value: not finite at either end, at an end's bound (counted), or beyond it
    // (kept).
    uint64_t notFinite = 0;
    uint64_t atLow = 0;
    uint64_t atHigh = 0;
    auto one = [&](int32_t key, bool countAtBounds) {
        if (key < kLowestFinite || key > kHighestFinite) {
            notFinite += countAtBounds ? 1 : 0;
            return;
        }
        if (key < lowBound) low_.kept.push_back(key);
        if (key > highBound) high_.kept.push_back(~key);
        if (countAtBounds) {
            atLow += key == lowBound ? 1 : 0;
            atHigh += key == highBound ? 1 : 0;
        }
    };
    std::size_t i = 0;
#if defined(__SSE2__)
    // Four values at a time: the counts in the lanes of vectors, and a look at the single
    // values only where one of the four lies beyond a bound.
    constexpr std::size_t kLanes = 4;
    const __m128i magnitude = _mm_set1_epi32(kMagnitudeBits);
    const __m128i lowest = _mm_set1_epi32(kLowestFinite);
    const __m128i highest = _mm_set1_epi32(kHighestFinite);
    const __m128i lowEdge = _mm_set1_epi32(lowBound);
    const __m128i highEdge = _mm_set1_epi32(highBound);
    // The lanes count downwards: a true compare is all ones, minus one.
    __m128i belowAll = _mm_setzero_si128();
    __m128i aboveAll = _mm_setzero_si128();
    __m128i atLowLanes = _mm_setzero_si128();
    __m128i atHighLanes = _mm_setzero_si128();
    for (; i + kLanes <= n; i += kLanes) {
        const __m128i bits = _mm_loadu_si128(reinterpret_cast<const __m128i*>(values.data() + i));
        const __m128i key = _mm_xor_si128(bits, _mm_and_si128(_mm_srai_epi32(bits, 31), magnitude));
        const __m128i below = _mm_cmpgt_epi32(lowest, key);
        const __m128i above = _mm_cmpgt_epi32(key, highest);
        belowAll = _mm_add_epi32(belowAll, below);
        aboveAll = _mm_add_epi32(aboveAll, above);
        atLowLanes = _mm_add_epi32(atLowLanes, _mm_cmpeq_epi32(key, lowEdge));
        atHighLanes = _mm_add_epi32(atHighLanes, _mm_cmpeq_epi32(key, highEdge));
        const __m128i beyondLow = _mm_andnot_si128(below, _mm_cmpgt_epi32(lowEdge, key));
        const __m128i beyondHigh = _mm_andnot_si128(above, _mm_cmpgt_epi32(key, highEdge));
        if (_mm_movemask_epi8(_mm_or_si128(beyondLow, beyondHigh)) != 0) {
            for (std::size_t k = i; k < i + kLanes; ++k)
                one(SignedKey(values[k]), false);
        }
    }
    std::array<int32_t, kLanes> lanes{};
    for (const __m128i& counted : {belowAll, aboveAll}) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes.data()), counted);
        for (const int32_t c : lanes)
            notFinite += static_cast<uint64_t>(-static_cast<int64_t>(c));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes.data()), atLowLanes);
    for (const int32_t c : lanes)
        atLow += static_cast<uint64_t>(-static_cast<int64_t>(c));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes.data()), atHighLanes);
    for (const int32_t c : lanes)
        atHigh += static_cast<uint64_t>(-static_cast<int64_t>(c));
#endif
    for (; i < n; ++i)
        one(SignedKey(values[i]), true);
    notFinite_ += notFinite;
    low_.atBound += atLow;
    high_.atBound += atHigh;
}

void FloatLevelCounter::Add(std::span<const float> values) {
    added_ += values.size();
    if (added_ > largestCount_) givenUp_ = true;
    for (std::size_t at = 0; at < values.size() && !givenUp_; at += kPart) {
        const std::size_t before = low_.kept.size() + high_.kept.size();
        AddPart(values.subspan(at, std::min(kPart, values.size() - at)));
        taken_ += low_.kept.size() + high_.kept.size() - before;
        if (taken_ > kKeptBeforeGivingUp * keep_) {
            givenUp_ = true;
            break;
        }
        Tighten(low_);
        Tighten(high_);
    }
    if (givenUp_) {
        // What was kept is of no more use.
        for (End* end : {&low_, &high_})
            std::vector<int32_t>().swap(end->kept);
    }
}

FloatLevels FloatLevelCounter::Levels(std::span<const float> all) {
    if (givenUp_) return LevelsOfAllValues(all);
    const uint64_t finite = added_ - notFinite_;
    if (finite == 0) return {};
    const StretchRanks ranks = StretchRanksOf(finite);
    const std::optional<int32_t> low = KeyOfRank(low_.kept, low_.bound, low_.atBound, ranks.low);
    const std::optional<int32_t> high =
        KeyOfRank(high_.kept, high_.bound, high_.atBound, finite - 1 - ranks.high);
    if (!low || !high) return LevelsOfAllValues(all);
    return {ValueOfSignedKey(*low), ValueOfSignedKey(~*high), finite};
}

FloatLevels LevelsOfValues(std::span<const float> values) {
    if (values.size() >= FewValues) {
        // Every so many values make the sample.
        constexpr std::size_t kSampleStep = 61;
        std::vector<float> sample;
        sample.reserve(values.size() / kSampleStep + 1);
        for (std::size_t i = 0; i < values.size(); i += kSampleStep)
            sample.push_back(values[i]);
        FloatLevelCounter counter(values.size());
        counter.Guess(sample);
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

namespace {

#if defined(__SSE2__)
// The stretch in single precision, multiplied by the scale rather than divided by the
// range, sixteen values at a time. Against the exact level (v - low) 255 / (high - low) +
// 0.5 of StretchedGrey the single-precision one is off by at most 3 units in the 24th bit
// of the level (up to 256) plus half a unit in the last place of the sum: under 6e-5.
// Where it lies within kNearLevel of a whole number between 1 and 255, where it could
// round the other way, the sixteen values are done again exactly.
constexpr float kNearLevel = 1.0f / 4096.0f;
constexpr std::size_t kBlock = 16;

std::size_t StretchBlocks(const float* values, std::size_t n, float low, float scale,
                          double lowExact, double highExact, uint8_t* out) {
    constexpr float kWhite = 255.0f;
    const __m128 lowV = _mm_set1_ps(low);
    const __m128 scaleV = _mm_set1_ps(scale);
    const __m128 half = _mm_set1_ps(0.5f);
    const __m128 zero = _mm_setzero_ps();
    const __m128 white = _mm_set1_ps(kWhite);
    const __m128 nearBelow = _mm_set1_ps(kNearLevel);
    const __m128 nearAbove = _mm_set1_ps(1.0f - kNearLevel);
    const __m128 doubtFrom = _mm_set1_ps(1.0f - kNearLevel);
    const __m128 doubtTo = _mm_set1_ps(kWhite + kNearLevel);
    // Four levels, and where any of them is in doubt.
    auto four = [&](const float* at, __m128& doubt) {
        const __m128 v = _mm_loadu_ps(at);
        const __m128 s = _mm_add_ps(_mm_mul_ps(_mm_sub_ps(v, lowV), scaleV), half);
        // Clipped to 0..255; the maximum takes its second operand, 0, for NaN.
        const __m128 clipped = _mm_min_ps(_mm_max_ps(s, zero), white);
        const __m128i whole = _mm_cvttps_epi32(clipped);
        const __m128 fraction = _mm_sub_ps(clipped, _mm_cvtepi32_ps(whole));
        const __m128 nearWhole =
            _mm_or_ps(_mm_cmplt_ps(fraction, nearBelow), _mm_cmpgt_ps(fraction, nearAbove));
        const __m128 inRange = _mm_and_ps(_mm_cmpge_ps(s, doubtFrom), _mm_cmplt_ps(s, doubtTo));
        doubt = _mm_or_ps(doubt, _mm_and_ps(nearWhole, inRange));
        return whole;
    };
    std::size_t i = 0;
    for (; i + kBlock <= n; i += kBlock) {
        __m128 doubt = zero;
        const __m128i a = four(values + i, doubt);
        const __m128i b = four(values + i + 4, doubt);
        const __m128i c = four(values + i + 8, doubt);
        const __m128i d = four(values + i + 12, doubt);
        const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(a, b), _mm_packs_epi32(c, d));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), bytes);
        if (_mm_movemask_ps(doubt) != 0) {
            for (std::size_t k = i; k < i + kBlock; ++k)
                out[k] = StretchedGrey(values[k], lowExact, highExact);
        }
    }
    return i;
}
#endif

} // namespace

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
    std::size_t i = 0;
#if defined(__SSE2__)
    // The bound on the single-precision error holds for levels that are floats (as levels
    // taken from the values are), a range that is one, and a scale that is finite.
    constexpr double kLargest = std::numeric_limits<float>::max();
    const double range = high - low;
    const double scale = 255.0 / range;
    if (static_cast<double>(static_cast<float>(low)) == low &&
        static_cast<double>(static_cast<float>(high)) == high && range <= kLargest &&
        scale <= kLargest) {
        i = StretchBlocks(values.data(), n, static_cast<float>(low), static_cast<float>(scale), low,
                          high, out);
    }
#endif
    for (; i < n; ++i)
        out[i] = StretchedGrey(values[i], low, high);
}

} // namespace zorva
