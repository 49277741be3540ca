#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/chart/chart_scene.h"
#include "core/images/circle_fit.h"
#include "core/images/limb.h"
#include "core/measure/pointer.h"
#include "core/measure/separation.h"
#include "core/settings/settings_file.h"
#include "core/srs/region_positions.h"
#include "core/srs/srs_reader.h"

namespace zorva {

// Figures drawn over a picture after its grid, in order: the separation's line or arc,
// the blue dot a click leaves on a solar image, and the dot at a separation's middle.
struct SeparationOverlay {
    SeparationFigure figure;
    DiskFrame frame;
    uint32_t arcColour = kColourBlue;
    uint32_t lineColour = kColourRed;

    bool operator==(const SeparationOverlay&) const = default;
};
struct ClickDotOverlay {
    int32_t x = 0;
    int32_t y = 0;

    bool operator==(const ClickDotOverlay&) const = default;
};
struct MiddleDotOverlay {
    double x = 0; // unrounded pixel
    double y = 0;
    FigureForm form = FigureForm::GreatCircle;

    bool operator==(const MiddleDotOverlay&) const = default;
};
// The regions of a summary at the instant, with what the plot writes beside them.
struct RegionsOverlay {
    std::shared_ptr<const std::vector<SrsRegion>> regions;
    std::vector<RegionPlace> places; // alongside the regions
    DiskFrame frame;
    uint32_t colour = kColourBlack;
    bool fileNameLabel = false;
    std::string fileName;
    std::optional<std::size_t> highlight;

    bool operator==(const RegionsOverlay&) const = default;
};
using Overlay = std::variant<SeparationOverlay, ClickDotOverlay, MiddleDotOverlay, RegionsOverlay>;

// What the chart shows: the scene it was last drawn from, then the overlays drawn over it
// since, in order. Redrawing the chart starts a new picture.
struct ChartPicture {
    ChartScene scene;
    std::vector<Overlay> overlays;
};

// What the solar image shows: the clean picture with the grid fitted to its disk (and the
// limb points and circle when chosen), the spot marker when it was drawn, then the overlays.
struct ImagePicture {
    ChartScene scene;
    Circle disk;
    LimbPoints limb;
    bool points = false;
    bool circle = false;
    bool spot = false;
    std::vector<Overlay> overlays;

    bool operator==(const ImagePicture&) const = default;
};

} // namespace zorva
