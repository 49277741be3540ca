#pragma once

namespace zorva {

// The stand-in that files and outputs write for a value that was not measured or a point
// that lies off the disk. Inside the program such a value is simply absent (an empty
// optional); only a format that promises this number writes it.
inline constexpr double NoValue = -999.0;

} // namespace zorva
