#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/chart/chart_geometry.h"
#include "core/logfile/logfile_record.h"

namespace zorva {

// What a line of the logfile leaves out of a measurement made in this run: what it was
// measured on and how that was turned.
struct MeasurementContext {
    std::string source;      // "chart", or the picture's file name
    std::string orientation; // "Equatorial", "Rotation Axis", "AltAzimuth" or "FITS header"
    // Where the instant came from: the picture's source ("file name", "given", ...), or
    // "set in the window" for the chart.
    std::string instantSource;

    bool operator==(const MeasurementContext&) const = default;
};

// A row of the Measurements window: the logfile line, taken apart, and for a measurement
// of this run what the line leaves out.
struct Measurement {
    std::string line;
    LogfileRecord record;
    std::optional<MeasurementContext> context; // none for a line read back from a file

    bool operator==(const Measurement&) const = default;
};

// The orientation a chart geometry is measured in, as the table names it.
std::string_view OrientationName(Orientation mode);

// The columns of the Measurements window.
inline constexpr std::array<std::string_view, 10> MeasurementHeadings = {
    "Instant (UT)", "Source",    "Orientation", "x (mm)",   "y (mm)",
    "Latitude",     "Longitude", "Area",        "Rotation", "Separation"};

// A row's cells (UTF-8): the instant (with where it came from, "2011-11-20 01:30:00 (file
// name)", for a measurement of this run), the source (empty for a line read back), the
// orientation with the line's code ("Equatorial NE"; the code alone for a line read back),
// x and y, the spot's latitude and Carrington longitude, its area and rotation as the line
// writes them, and the separation ("12.3° 123457 km"; empty when none was measured).
std::array<std::string, MeasurementHeadings.size()> MeasurementCells(const Measurement& m);

// The table as CSV: the columns of `zorva-cli logfile --format csv`, then "source",
// "orientation" and "instant_source" (empty for lines read back), each row ended by a line
// break.
std::string MeasurementsCsv(std::span<const Measurement> measurements);

} // namespace zorva
