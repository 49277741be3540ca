// The Sunspots window's tables as text, each number with the value it sorts by.
#include "core/spots/spot_table.h"

#include <cmath>

#include "core/spots/wolf_number.h"
#include "core/text/format.h"

namespace zorva {

namespace {

constexpr int kPlaceDecimals = 1; // degrees: a tenth is what the centroids hold to
constexpr int kAreaDecimals = 1;  // millionths: a small spot is a few
constexpr int kMuDecimals = 2;
constexpr int kPixelDecimals = 1;

SpotTableCell Number(double v, int decimals) {
    return {FixedText(v, decimals), v};
}

SpotTableCell Whole(int64_t v) {
    return {std::to_string(v), static_cast<double>(v)};
}

// "N13.2", "S6.1": the way observers write a latitude; it sorts south to north.
SpotTableCell Latitude(double v) {
    return {(v < 0 ? "S" : "N") + FixedText(std::fabs(v), kPlaceDecimals), v};
}

// "E45.0", "W12.3" from the central meridian; it sorts east to west.
SpotTableCell CentralDistance(double v) {
    return {(v < 0 ? "E" : "W") + FixedText(std::fabs(v), kPlaceDecimals), v};
}

SpotTableCell Empty() {
    return {"", NAN};
}

// A word sorts by its text.
SpotTableCell Word(const std::string& text) {
    return {text, NAN};
}

std::string RegionName(const SrsRegion& r) {
    return std::to_string(r.Number) + " (" + r.Location + ")";
}

} // namespace

SpotTable MakeSpotTable(const SpotDetection& d, const RegionMatching* matching,
                        std::span<const SrsRegion> regions) {
    SpotTable table;
    for (const SpotGroup& g : d.groups) {
        SpotTableRow row{g.id,
                         {Whole(g.id), Latitude(g.latitude), Number(g.longitude, kPlaceDecimals),
                          CentralDistance(g.centralDistance), Number(g.mu, kMuDecimals),
                          Whole(g.spots), Number(g.areaMsh, kAreaDecimals),
                          Number(g.umbraMsh, kAreaDecimals), Word(g.mcintosh)}};
        const GroupRegionPair* pair = nullptr;
        if (matching) {
            for (const GroupRegionPair& p : matching->pairs) {
                if (p.group == g.id && p.region < regions.size()) pair = &p;
            }
        }
        if (pair) {
            const SrsRegion& r = regions[pair->region];
            row.cells.push_back(Whole(r.Number));
            row.cells.push_back(r.Area ? Whole(*r.Area) : Empty());
            row.cells.push_back(r.SpotCount ? Whole(*r.SpotCount) : Empty());
            row.cells.push_back(Word(r.Class));
            row.cells.push_back(Number(pair->distance, kPlaceDecimals));
        } else {
            for (int k = 0; k < 5; ++k)
                row.cells.push_back(Empty());
        }
        table.groups.push_back(std::move(row));
    }
    for (const DetectedSpot& s : d.spots) {
        table.spots.push_back(
            {s.id,
             {Whole(s.id), Whole(s.group), Number(s.x, kPixelDecimals), Number(s.y, kPixelDecimals),
              Latitude(s.latitude), Number(s.longitude, kPlaceDecimals),
              Number(s.areaMsh, kAreaDecimals), Number(s.umbraMsh, kAreaDecimals)}});
    }
    if (matching) {
        std::string said;
        const auto list = [&](const std::string& heading, const auto& items, const auto& name) {
            if (items.empty()) return;
            said += (said.empty() ? "" : "; ") + heading + ": ";
            for (std::size_t i = 0; i < items.size(); ++i)
                said += (i == 0 ? "" : ", ") + name(items[i]);
        };
        const auto region = [&](std::size_t i) {
            return i < regions.size() ? RegionName(regions[i]) : std::string("?");
        };
        list("NOAA regions not found", matching->regionsNotFound, region);
        list("behind the limb", matching->regionsHidden, region);
        list("groups NOAA does not list", matching->groupsOnlyOurs,
             [](int32_t id) { return std::to_string(id); });
        table.unmatched = said.empty() ? "Every group matched a NOAA region and every NOAA "
                                         "region on the disk a group."
                                       : said + ".";
    }
    if (!d.error.empty()) {
        table.wolf = "No sunspots were searched for: " + d.error;
        return table;
    }
    const auto& w = d.wolf;
    table.wolf = "Wolf number R = 10 g + s = " + std::to_string(WolfGroupWeight) + " \u00D7 " +
                 std::to_string(w.groups) + " + " + std::to_string(w.spots) + " = " +
                 std::to_string(w.total) + " (north " + std::to_string(w.north) + ", south " +
                 std::to_string(w.south) + ")";
    return table;
}

} // namespace zorva
