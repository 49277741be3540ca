#pragma once

namespace zorva {

// A value that was not measured, or a point that lies off the disk. Code compares with
// this exact value; readouts show a dash for it.
inline constexpr double NoValue = -999.0;

} // namespace zorva
