#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zorva {

// A value rounded half upwards at `decimals` places: floor(v 10^d + 0.5) / 10^d. A
// negative zero comes out as zero, so it never prints as "-0.0".
double RoundHalfUp(double v, int decimals);

// Fixed decimals with a leading minus for negatives, a point whatever the process locale;
// "-0" never appears. Any finite double fits, however large.
std::string FixedText(double v, int decimals);

// Shortest decimal text of a value, up to 15 significant digits (5.90551, 51.5, 150).
std::string ShortestDecimalText(double v);

// The shortest text that reads back to the same double (0.095, 124.29999999999998, 1e-05),
// with a point whatever the locale.
std::string RoundTripText(double v);

// General format with `digits` significant digits, as text streams write by default
// with 6 (150, 5.90551, 1e+06).
std::string GeneralText(double v, int digits);

// Characters of a UTF-8 text as a label counts them: the degree sign is one.
int32_t Utf8Length(std::string_view text);

// A CSV field: quoted (with its quotes doubled) when it holds a comma, a quote or a line
// break.
std::string CsvField(std::string_view text);

} // namespace zorva
