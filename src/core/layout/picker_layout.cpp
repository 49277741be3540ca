#include "core/layout/picker_layout.h"

namespace zorva {

namespace {
// The pickers keep this much from the group box's edges and from each other.
constexpr int32_t kMargin = 10;
// Room the caption needs at the group box's right edge before the pickers can spread.
constexpr int32_t kCaptionRoom = 35;
// A picker narrower than this cannot show its text.
constexpr int32_t kNarrowest = 22;
constexpr int32_t kStep = 6;

bool HasRoom(const DateLayout& l, GroupSpan g) {
    return l.DatePickerLeft >= kMargin &&
           l.UTCaptionLeft + l.UTCaptionWidth <= g.left + g.width - kCaptionRoom;
}

int32_t Gap(const DateLayout& l) {
    return l.TimePickerLeft - l.DatePickerLeft - l.DatePickerWidth;
}

// The gap between the pickers is narrower than the date picker's margin: a narrowed
// picker gives its width back to the gap only.
bool NarrowGap(const DateLayout& l) {
    return l.TimePickerLeft - (l.DatePickerLeft + l.DatePickerWidth) < l.DatePickerLeft - kMargin;
}
// Widens the date picker or the time picker by a step: both pickers spread outward while
// the group box has room, else the step is taken from the gap between them. Neither widens
// again once they are full.
PickerWidthChange Widen(const DateLayout& l, GroupSpan group, PickerWidthChange result, bool date) {
    result.layout = l;
    DateLayout& n = result.layout;
    bool full = false;
    if (HasRoom(l, group)) {
        n.DatePickerLeft -= kStep;
        if (date) {
            n.DatePickerWidth += 2 * kStep;
            n.TimePickerLeft += kStep;
        } else {
            n.TimePickerLeft -= kStep;
            n.TimePickerWidth += 2 * kStep;
        }
        n.UTCaptionLeft += kStep;
        full = n.DatePickerLeft - kStep < kMargin && Gap(n) < kMargin;
    } else if (date) {
        if (Gap(l) > kMargin) n.DatePickerWidth += kStep;
        full = Gap(n) - 2 * kStep < kMargin;
    } else {
        if (Gap(l) > kMargin) {
            n.TimePickerLeft -= kStep;
            n.TimePickerWidth += kStep;
        }
        full = Gap(n) - kStep < kMargin;
    }
    (date ? result.decreaseDateEnabled : result.decreaseTimeEnabled) = true;
    if (full) result.increaseDateEnabled = result.increaseTimeEnabled = false;
    return result;
}
} // namespace

PickerWidthChange IncreaseDateWindow(const DateLayout& l, GroupSpan group,
                                     PickerWidthChange result) {
    return Widen(l, group, result, true);
}

PickerWidthChange IncreaseTimeWindow(const DateLayout& l, GroupSpan group,
                                     PickerWidthChange result) {
    return Widen(l, group, result, false);
}

PickerWidthChange DecreaseDateWindow(const DateLayout& l, PickerWidthChange result) {
    result.layout = l;
    DateLayout& n = result.layout;
    if (NarrowGap(l)) {
        n.DatePickerWidth -= 2 * kStep;
    } else {
        n.DatePickerLeft += kStep;
        n.DatePickerWidth -= 2 * kStep;
        n.TimePickerLeft -= kStep;
        n.UTCaptionLeft -= kStep;
    }
    result.increaseDateEnabled = result.increaseTimeEnabled = true;
    if (n.DatePickerWidth < kNarrowest) result.decreaseDateEnabled = false;
    return result;
}

PickerWidthChange DecreaseTimeWindow(const DateLayout& l, PickerWidthChange result) {
    result.layout = l;
    DateLayout& n = result.layout;
    if (NarrowGap(l)) {
        n.TimePickerLeft += 2 * kStep;
        n.TimePickerWidth -= 2 * kStep;
    } else {
        n.DatePickerLeft += kStep;
        n.TimePickerLeft += kStep;
        n.TimePickerWidth -= 2 * kStep;
        n.UTCaptionLeft -= kStep;
    }
    result.increaseDateEnabled = result.increaseTimeEnabled = true;
    if (n.TimePickerWidth < kNarrowest) result.decreaseTimeEnabled = false;
    return result;
}

} // namespace zorva
