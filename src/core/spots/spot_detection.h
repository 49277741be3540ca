#pragma once

#include <optional>

#include "core/chart/chart_geometry.h"
#include "core/ephemeris/calendar.h"
#include "core/ephemeris/daily_table.h"
#include "core/images/pixel_grid.h"
#include "core/measure/pointer.h"
#include "core/spots/spot_review.h"
#include "core/spots/spot_types.h"

namespace zorva {

struct PictureContext;

// The spots on a picture: its pixels (8-bit grey, or colour: searched in the mean of red,
// green and blue, and a spot must be dark in each), where its disk lies and how it is
// turned (an image frame, as PictureFrame gives), and the ephemeris of its instant; with
// the instant itself, a planet crossing the disk is told from the spots. A pure function,
// safe to call from any thread: the same picture, frame and ephemeris always give the
// same spots.
SpotDetection DetectSpots(const PixelGrid& picture, const DiskFrame& frame,
                          const Ephemeris& ephemeris, const SpotOptions& options = {},
                          const std::optional<Instant>& instant = std::nullopt);

// The spot or spots of the dark patch at (x, y), as the search measures a patch, found
// against the quiet Sun of the picture round the point alone (so quickly, however large
// the picture): for a click on a spot before or without a search of the whole disk, and
// for a spot the user adds. The patch is measured whatever the search would judge of it.
// Numbered as one group; `error` says why there is none ("there is no dark spot at that
// point").
SpotDetection MeasureSpotAt(const PixelGrid& picture, const DiskFrame& frame,
                            const Ephemeris& ephemeris, double x, double y,
                            const SpotOptions& options = {});

// A spot added to a review where the user points on its picture: measured there as
// MeasureSpotAt measures, on the review's own disk and instant, and added (one call for the
// command).
ReviewOutcome AddSpotAt(SpotReview& review, const PixelGrid& picture, double x, double y,
                        const SpotOptions& options = {});

// The same for an opened picture, measured as a click on it is: its disk and turn, with
// the chart's orientation where the picture states none. A picture without a disk gives
// the error.
SpotDetection DetectSpots(const PixelGrid& picture, const PictureContext& context,
                          const ChartGeometry& chart, const Ephemeris& ephemeris,
                          const SpotOptions& options = {});

} // namespace zorva
