#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace zorva {

// Pictures of floating-point values (FITS images) are shown and searched as 8-bit grey
// through the same stretch as 16-bit pictures: the finite values at the stretch ranks of
// core/images/grey.h become black and white. Values that are not finite (NaN marks a
// pixel without data) take no part in the levels and are shown black.
struct FloatLevels {
    double low = 0;
    double high = 0;
    uint64_t finite = 0; // how many values the levels were taken from

    bool operator==(const FloatLevels&) const = default;
};

// Finds a picture's levels exactly while its values come in part by part, so that a
// reader can count each row while it is still in the cache. The two levels lie among the
// smallest and the largest 0.5 % of the finite values, so only those are kept: each end
// holds the values beyond a bound, and a quick look at each value against the two bounds
// passes over the rest. A sample of the picture places the bounds a little beyond the
// levels to start with; the bounds tighten as values come in. When the kept values cannot
// settle the levels (the sample misled, or the values come in an order that keeps moving
// the bounds), the levels are counted from all the values instead.
class FloatLevelCounter {
  public:
    // `largestCount`: at most how many values will be added.
    explicit FloatLevelCounter(std::size_t largestCount);
    // Places the bounds from some of the values (rows spread over the picture, say); only
    // before any value is added. The levels stay exact whatever the sample.
    void Guess(std::span<const float> sample);
    // Every value once, the sampled ones too.
    void Add(std::span<const float> values);
    // The levels of the counted values; `all` must hold exactly the values added (in any
    // order), which are looked at again only when the kept ones cannot settle the levels.
    FloatLevels Levels(std::span<const float> all);

  private:
    // One end of the values as sort keys: every finite value beyond `bound` is kept, and
    // those equal to it are counted. The keys of the upper end are inverted, so both ends
    // keep the keys below their bound.
    struct End {
        std::vector<int32_t> kept;
        int32_t bound = 0;
        uint64_t atBound = 0;
    };

    void AddPart(std::span<const float> values);
    void Tighten(End& end) const;

    std::size_t largestCount_;
    std::size_t keep_; // how many values each end must hold to settle its level
    std::size_t added_ = 0;
    std::size_t taken_ = 0; // how many keys the two ends ever kept
    uint64_t notFinite_ = 0;
    bool givenUp_ = false;
    End low_;
    End high_;
};

// The levels of all the values at once. Below this many values they are picked out
// directly; a counter's tables would cost more than the values.
inline constexpr std::size_t FewValues = std::size_t{1} << 18;
FloatLevels LevelsOfValues(std::span<const float> values);

// The 8-bit levels of a row of values, each exactly StretchedGrey (core/images/grey.h) of
// the value between the levels. With levels that coincide (a flat picture) the values
// above the level are white and the others black.
void StretchRow(std::span<const float> values, const FloatLevels& levels, uint8_t* out);

} // namespace zorva
