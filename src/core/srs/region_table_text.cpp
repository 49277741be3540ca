#include "core/srs/region_table_text.h"

#include "core/spots/wolf_number.h"

namespace zorva {

namespace {

std::string Text(const std::optional<int32_t>& v) {
    return v ? std::to_string(*v) : std::string();
}

} // namespace

std::array<std::string, RegionTableHeadings.size()> RegionTableCells(const SrsRegion& r) {
    return {std::to_string(r.Number),
            r.Location,
            std::to_string(r.Lo),
            Text(r.Area),
            r.Class,
            Text(r.LongExtent),
            Text(r.SpotCount),
            r.MagType};
}

std::string WolfNumberText(std::span<const SrsRegion> regions) {
    const int64_t r = WolfNumber(regions);
    const int64_t groups = static_cast<int64_t>(regions.size());
    return "Wolf number R = 10 g + s = " + std::to_string(WolfGroupWeight) + " \u00d7 " +
           std::to_string(groups) + " + " + std::to_string(r - WolfGroupWeight * groups) + " = " +
           std::to_string(r);
}

} // namespace zorva
