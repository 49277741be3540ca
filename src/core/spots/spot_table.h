#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/spots/region_match.h"
#include "core/spots/spot_types.h"
#include "core/srs/srs_reader.h"

namespace zorva {

// The columns of the Sunspots window's two tables.
// Areas are in millionths of the hemisphere (MSH), places in degrees; "Apart" is the
// distance on the Sun between a group and its NOAA region.
// "Class" is the group's McIntosh class, "NOAA Class" the one the summary gives.
inline constexpr std::array<std::string_view, 14> SpotGroupHeadings = {
    "Group",       "Lat",   "Long", "CMD",       "\u03BC",     "Spots",      "Area (MSH)",
    "Umbra (MSH)", "Class", "NOAA", "NOAA Area", "NOAA Spots", "NOAA Class", "Apart (\u00B0)"};
inline constexpr std::array<std::string_view, 8> SpotHeadings = {
    "Spot", "Group", "X", "Y", "Lat", "Long", "Area (MSH)", "Umbra (MSH)"};

// A cell: its text, and the number it sorts by (NaN for a cell with no number, which sorts
// by its text).
struct SpotTableCell {
    std::string text;
    double key = 0;

    bool operator==(const SpotTableCell& o) const {
        return text == o.text && (key == o.key || (std::isnan(key) && std::isnan(o.key)));
    }
};

struct SpotTableRow {
    int32_t id = 0; // the group's or the spot's
    std::vector<SpotTableCell> cells;

    bool operator==(const SpotTableRow&) const = default;
};

// What the Sunspots window lists: a row a group (with the NOAA region it was matched to,
// when a summary is loaded), a row a spot, what matched nothing on either side, and the
// Wolf number.
struct SpotTable {
    std::vector<SpotTableRow> groups;
    std::vector<SpotTableRow> spots;
    std::string unmatched; // empty without a summary, or when everything matched
    std::string wolf;

    bool operator==(const SpotTable&) const = default;
};

// The table of a detection; with `matching` (made from `regions`) the NOAA columns are
// filled and the unmatched line written.
SpotTable MakeSpotTable(const SpotDetection& detection, const RegionMatching* matching,
                        std::span<const SrsRegion> regions);

} // namespace zorva
