#pragma once

#include <array>
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

// Counts a picture's finite values part by part, so that a reader can count each row
// while it is still in the cache, then finds the values at the stretch ranks exactly.
class FloatLevelCounter {
  public:
    FloatLevelCounter();
    void Add(std::span<const float> values);
    // The levels of the counted values; `all` must hold exactly the values added (in any
    // order), as the ranks are settled by a second look at them.
    FloatLevels Levels(std::span<const float> all) const;

  private:
    // Counts by the upper half of each value's sort key, in interleaved copies so that a
    // run of equal values (a blank sky) does not wait on one counter.
    std::vector<uint32_t> coarse_;
};

// The levels of all the values at once. Below this many values they are picked out
// directly; a counter's tables would cost more than the values.
inline constexpr std::size_t FewValues = std::size_t{1} << 18;
FloatLevels LevelsOfValues(std::span<const float> values);

// The 8-bit levels of a row of values. With levels that coincide (a flat picture) the
// values above the level are white and the others black.
void StretchRow(std::span<const float> values, const FloatLevels& levels, uint8_t* out);

} // namespace zorva
