#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/chart/label_placement.h"
#include "core/measure/pointer.h"
#include "core/srs/region_positions.h"
#include "core/srs/srs_reader.h"

namespace zorva {

// How the regions are drawn.
struct RegionPlotStyle {
    uint32_t Colour = 0x000000; // the region summary colour, 0x00BBGGRR
    bool FileNameLabel = false; // write the summary's file name at the bottom left
    std::string FileName;
    std::optional<std::size_t> Highlight; // a region to ring (the one chosen in the table)
    // Said at the bottom left, above the file name, when the summary is far from the
    // instant ("summary of 2011-06-07, 1,461 days from the chart"); empty for none.
    std::string AgeLabel;
    bool Faded = false; // the regions, though not the labels, drawn faint
};

// How much of the region colour a faded region keeps over what lies beneath it.
inline constexpr int RegionFadedAlpha = 96;

// The style of a presented plot.
struct RegionsOverlay;
RegionPlotStyle RegionStyleOf(const RegionsOverlay& overlay);

// Ring of a highlighted region, pixels from its cross.
inline constexpr int RegionHighlightRadius = 7;

// Each visible region as a cross of single pixels with its number above, its class just
// below and its area below that, all centred on the cross and without background; a
// label that would cover another, another's cross or what `avoid` holds (the spots' outlines
// on a picture) is moved beside its cross (PlaceLabels) with a line back to it; then the
// file name label. Nothing at all without regions. `places` runs alongside `regions`
// (PlaceRegions); `frame` is the chart's (ChartDiskFrame) or the loaded image's (ImageFrame).
// The painter's font is used; its pen, brush and font come back as they were.
void PaintRegions(QPainter& painter, int height, const DiskFrame& frame,
                  std::span<const SrsRegion> regions, std::span<const RegionPlace> places,
                  const RegionPlotStyle& style, std::span<const LabelBox> avoid = {});

// The same onto a whole image with the given font.
void DrawRegions(QImage& image, const DiskFrame& frame, std::span<const SrsRegion> regions,
                 std::span<const RegionPlace> places, const RegionPlotStyle& style,
                 const QFont& font, const QRect& area = QRect());

} // namespace zorva
