#pragma once

#include <cstdint>

#include "core/settings/settings_file.h"

namespace zorva {

// The pickers sit in a group box a few hundred pixels wide. A stored left edge from 0 to
// this, and a width from 1 to this, is one the window can lay out; anything else is no
// layout the Display commands make, and its arithmetic could overflow.
inline constexpr int32_t LargestPickerRowValue = 1000;
inline bool IsUsablePickerLeft(int32_t left) {
    return left >= 0 && left <= LargestPickerRowValue;
}
inline bool IsUsablePickerWidth(int32_t width) {
    return width >= 1 && width <= LargestPickerRowValue;
}

// A picker-width command's result: the new layout and which Display items stay enabled.
struct PickerWidthChange {
    DateLayout layout;
    bool increaseDateEnabled = true;
    bool increaseTimeEnabled = true;
    bool decreaseDateEnabled = true;
    bool decreaseTimeEnabled = true;
};

// Left and width of the group box that holds the pickers.
struct GroupSpan {
    int32_t left = 0;
    int32_t width = 0;
};
// The "Date & Time" group box of the window.
inline constexpr GroupSpan kDateTimeGroup{8, 325};

// Widening a picker first takes room at the group box's edges, then the gap between the
// pickers; narrowing gives the gap back first while it is narrower than the left margin.
// `enabled` holds the four items' states before the command.
PickerWidthChange IncreaseDateWindow(const DateLayout& l, GroupSpan group,
                                     PickerWidthChange enabled);
PickerWidthChange IncreaseTimeWindow(const DateLayout& l, GroupSpan group,
                                     PickerWidthChange enabled);
PickerWidthChange DecreaseDateWindow(const DateLayout& l, PickerWidthChange enabled);
PickerWidthChange DecreaseTimeWindow(const DateLayout& l, PickerWidthChange enabled);

} // namespace zorva
