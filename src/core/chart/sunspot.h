#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/chart/chart_geometry.h"
#include "core/chart/projection.h"
#include "core/common/no_value.h"
#include "core/ephemeris/daily_table.h"

namespace zorva {

// Grid cell areas of the measuring grid, square millimetres.
inline constexpr double MmGridCellArea = 1.0;
inline constexpr double InchGridCellArea = MmPerInch * (MmPerInch * 0.0016); // (1/25 in)^2

// The spot as typed and as located on the Sun: where it is, nothing until it is located
// and while it lies off the disk.
struct SpotState {
    double SpotX = 0;    // millimetres right of the disk centre, as displayed
    double SpotY = 0;    // millimetres above the disk centre, as displayed
    double SpotSize = 0; // grid cells, may be fractional
    double GridCellArea = MmGridCellArea;
    std::optional<DiskPointLocation> At; // rho, pa, latitude, Carrington longitude, rotation
    double SpotArea = 0;                 // millionths of the hemisphere; 0 off the disk
    int32_t LatLongPrecision = 1;        // 1 whole degrees, 2 tenths
    int32_t AreaPrecision = 1;           // 1 nearest ten, 2 nearest one

    bool operator==(const SpotState&) const = default;
};

// Places the typed position on the Sun with the ephemeris and chart geometry.
void LocateSpot(SpotState& spot, const DiskFrame& frame, const Ephemeris& ephemeris);

// The area readout: the value stored in SpotArea, the label's text, whether it is
// shown in red (a spot 60 degrees or more from the centre, where foreshortening makes
// the area unreliable), and the label's new left edge when a four-digit area moves it.
struct AreaReadout {
    double Area = 0;
    std::string Text;
    bool Red = false;
    std::optional<int32_t> NewLeft;
};
AreaReadout ComputeSpotArea(SpotState& spot, double chartDiameter);
// The area label's hint: the area before it is rounded for the label, how it is rounded, and
// why it is red when it is.
std::string AreaHintText(const SpotState& spot, const AreaReadout& area);

// Texts and left edges of the latitude, longitude and rotation labels.
struct SpotReadouts {
    std::string LatText;
    int32_t LatLeft = 0;
    std::string LongText;
    int32_t LongLeft = 0;
    std::string RotationText;

    bool operator==(const SpotReadouts&) const = default;
};
SpotReadouts UpdateSpotReadouts(const SpotState& spot);

// Captions of the grid-size unit label: one square millimetre, one 1/25-inch square.
inline constexpr const char* MmGridSizeLabel = "1 mm\u00B2";
inline constexpr const char* InchGridSizeLabel = "1/25\u00B2 in\u00B2";

// More grid squares than the disk of the largest chart holds (pi/4 x 2000^2 mm^2 is about
// 3.1 million); a larger count is no spot, and its area would leave every column.
inline constexpr double LargestSpotSize = 1e7;

// The size box's rule: a numeric text of 0 to LargestSpotSize, else nothing.
std::optional<double> AcceptSpotSize(const std::string& text, char separator = '.');

} // namespace zorva
