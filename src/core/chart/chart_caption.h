#pragma once

#include <string>
#include <vector>

#include "core/chart/chart_geometry.h"
#include "core/ephemeris/calendar.h"
#include "core/ephemeris/daily_table.h"
#include "core/ephemeris/horizon.h"
#include "core/images/picture_context.h"

namespace zorva {

// One line of the caption block printed under an exported chart. A write-in line is a
// label followed by a rule for the observer to fill in by hand.
struct CaptionLine {
    std::string text; // UTF-8
    bool writeIn = false;

    bool operator==(const CaptionLine&) const = default;
};

// What the chart was drawn for: the instant in UT, B0, L0, P, the Carrington rotation and
// apparent diameter (as the readouts show them, to hundredths of a degree and tenths of
// an arcsecond), the orientation, the observer's latitude and longitude, then blank
// "Observer", "Seeing" and "Notes" lines.
std::vector<CaptionLine> ChartCaptionLines(const Instant& instant, const Ephemeris& ephemeris,
                                           const Observer& observer, const ChartGeometry& geometry);

// What a saved picture was measured with: its file name, the instant and where it came
// from, B0, L0, P, the Carrington rotation and apparent diameter, the orientation in use
// (`inUse`) and its source, and the disk in pixels and its source. The picture must have a
// disk.
std::vector<CaptionLine> PictureCaptionLines(const PictureContext& picture, const Instant& instant,
                                             const Ephemeris& ephemeris,
                                             const ChartGeometry& inUse);

} // namespace zorva
