#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zorva {

// A whole word read as a number, the way text-stream extraction takes one but
// independent of the process locale: one optional sign, digits, a decimal point and an
// exponent, and nothing else. "+-1", "1x", an empty word, and values that are not finite
// or do not fit give nothing.
std::optional<double> ParseReal(std::string_view word);
std::optional<int32_t> ParseInt32(std::string_view word);
std::optional<int64_t> ParseInt64(std::string_view word);

// Drops the leading plus sign that stream extraction accepts and the standard number
// conversions refuse; false when the word is then empty or another sign follows.
bool StripPlusSign(std::string_view& word);

} // namespace zorva
