#pragma once

namespace zorva {

// The two ways a separation within the disk is measured and drawn: along the great circle
// through the two points, or as a longitude arc along their mean latitude.
enum class FigureForm { GreatCircle, LongitudeArc };

} // namespace zorva
