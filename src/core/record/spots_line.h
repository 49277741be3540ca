#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/record/observation.h"
#include "core/spots/spot_report.h"

namespace zorva {

// What one line of `zorva-cli spots --format json` gives the record.
struct SpotsLine {
    // The observation of the picture (method picture, the file as its picture's name, every
    // group with its place, area, spots and class, the counts of each hemisphere from them),
    // with the line's Wolf numbers to be checked; nothing when the line holds none.
    std::optional<SunspotObservation> observation;
    // A line the program wrote for a picture it could not search: its file and reason. Not
    // an observation, and no fault of the line.
    std::string unsearched;
    // Why the line cannot be read as either; empty when it can.
    std::string error;
};

// Reads one line (without its line end). Unknown members are passed over, so that lines
// of a later version still read; a member this program needs that is missing or of the
// wrong kind is an error.
SpotsLine ReadSpotsLine(std::string_view line);

// The observation of a picture's spots as found (or reviewed): method picture, the report's
// file and instant, every group, the counts of each hemisphere, and the report's Wolf numbers
// as stated, to be checked. The same the window's Record > Add This Picture and zorva-cli
// record add PICTURE keep.
SunspotObservation ObservationOfReport(const SpotReport& report);

} // namespace zorva
