#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zorva {

// The numeric edit boxes of the window.
enum class EditBox { ObserverLat, ObserverLong, Diameter, XCoord, YCoord, Size };
inline constexpr int kEditBoxCount = 6;

// The number a box's text stands for: digits with at most one decimal separator and an
// optional leading minus. A comma is read as a decimal point, so "51,5" is 51.5 whatever
// the desktop's language: the program writes its numbers with a point everywhere, and a
// comma typed in a box can only have meant the same. Nothing for any other text.
std::optional<double> BoxValue(std::string_view text);

// A text that is no number yet but becomes one as the user types on: "", "-", ".", "-.".
bool IsNumberPrefix(std::string_view text);

// How a box's text stands to the value in use.
enum class BoxState {
    InUse,   // the text is the value in use
    Pending, // a number not typed out yet; the value in use stays
    Refused, // a text that is not, or cannot be, the value in use
};
struct BoxStatus {
    BoxState state = BoxState::InUse;
    std::string hint; // the values the box takes and the value in use, when not InUse
};

} // namespace zorva
