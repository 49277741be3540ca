#pragma once

#include <optional>
#include <string_view>

namespace zorva {

// The check every numeric edit box passes before its value is used: digits with at
// most one decimal separator ("." or ","), and an optional leading minus.
bool IsNumericText(std::string_view text);

// The value of a text that passed IsNumericText, read with the decimal separator
// `separator`; nothing when the other separator (or a lone separator) is used, as the
// platform's conversion would refuse it.
std::optional<double> NumericValue(std::string_view text, char separator = '.');

} // namespace zorva
