#pragma once

#include <cstdint>

#include "core/chart/chart_geometry.h"
#include "core/chart/projection.h"
#include "core/chart/rotation_markers.h"
#include "core/chart/sunspot.h"
#include "core/ephemeris/daily_table.h"

namespace zorva {

// Colour and label option of one rotation marker.
struct MarkerLook {
    uint32_t Colour = 0x0000FF;
    bool Label = false;

    bool operator==(const MarkerLook&) const = default;
};

// Everything the chart drawing reads.
struct ChartScene {
    DiskFrame Frame; // the diameter the disk stands for, its turn and its signs
    bool ShowCentralMeridian = true;
    bool ShowEquator = true;
    bool ShowLatLines = false;
    bool ShowLongLines = false;
    double B0 = 0;
    double L0 = 0; // Carrington longitude of the disk centre, for the longitude labels
    double P = 0;
    double D = 0.5333;      // apparent diameter, degrees
    bool NESWPoints = true; // check of the N E S W points item
    bool Sunspot = true;    // check of the sunspot item
    double SpotX = 0;       // millimetres, as displayed
    double SpotY = 0;
    MarkerState Markers;
    MarkerLook Carrington;
    MarkerLook Differential;

    bool operator==(const ChartScene&) const = default;
};

// The scene of an observation's state: the disk turned as the geometry says at the
// ephemeris, with the geometry's grid lines.
ChartScene MakeChartScene(const ChartGeometry& geometry, const Ephemeris& ephemeris,
                          const SpotState& spot, const MarkerState& markers);

} // namespace zorva
