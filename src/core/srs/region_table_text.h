#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "core/srs/srs_reader.h"

namespace zorva {

// The columns of section I of a summary, as the region table heads them.
inline constexpr std::array<std::string_view, 8> RegionTableHeadings = {
    "Nmbr", "Location", "Lo", "Area", "Z", "LL", "NN", "Mag Type"};

// One row of the region table: the full number, then the columns as read; a column the
// line left out is empty.
std::array<std::string, RegionTableHeadings.size()> RegionTableCells(const SrsRegion& region);

// The line below the table: "Wolf number R = 10 g + s = 10 × 5 + 17 = 67" (UTF-8).
std::string WolfNumberText(std::span<const SrsRegion> regions);

} // namespace zorva
