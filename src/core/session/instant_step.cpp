#include "core/session/instant_step.h"

namespace zorva {
namespace {

constexpr int64_t kSecondsPerMinute = 60;
constexpr int64_t kSecondsPerHour = 3600;
constexpr int64_t kSecondsPerDay = 86400;

} // namespace

Instant StepInstant(const Instant& t, StepUnit unit, int32_t count) {
    Instant out = t;
    if (unit == StepUnit::Day) {
        AddDays(out.year, out.month, out.day, count);
        return out;
    }
    const int64_t step = unit == StepUnit::Hour ? kSecondsPerHour : kSecondsPerMinute;
    const int64_t seconds =
        t.hour * kSecondsPerHour + t.minute * kSecondsPerMinute + t.second + step * count;
    // Whole days to carry, rounded down so that a time before midnight goes to the day
    // before.
    int64_t days = seconds / kSecondsPerDay;
    int64_t inDay = seconds % kSecondsPerDay;
    if (inDay < 0) {
        inDay += kSecondsPerDay;
        --days;
    }
    AddDays(out.year, out.month, out.day, static_cast<int32_t>(days));
    out.hour = static_cast<int32_t>(inDay / kSecondsPerHour);
    out.minute = static_cast<int32_t>(inDay % kSecondsPerHour / kSecondsPerMinute);
    out.second = static_cast<int32_t>(inDay % kSecondsPerMinute);
    return out;
}

} // namespace zorva
