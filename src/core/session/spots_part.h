#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/chart/chart_geometry.h"
#include "core/ephemeris/daily_table.h"
#include "core/images/picture_context.h"
#include "core/images/picture_north.h"
#include "core/spots/region_match.h"
#include "core/spots/spot_report.h"
#include "core/spots/spot_review.h"
#include "core/spots/spot_types.h"

namespace zorva {

class Session;

// The sunspots found on the open picture, what they were found in, and what of them is shown.
struct FoundSpots {
    std::shared_ptr<const SpotDetection> detection;
    // The disk's frame and the ephemeris of the search: once the disk, the instant, the
    // orientation or the observer differ, what was found belongs to another picture.
    DiskFrame frame;
    Ephemeris ephemeris;
    bool shown = false;   // every outline and group label drawn (Detect Sunspots)
    int32_t group = 0;    // the group chosen in the table, 0 for none
    int32_t spot = 0;     // the spot chosen in the table, 0 for none
    int32_t measured = 0; // the spot the last click on the picture measured, 0 for none
    // The user's review of what was found, once one is begun or read beside the picture;
    // `detection` is then its result.
    std::shared_ptr<SpotReview> review;
};

// A search of the shown picture's spots to be run away from the window's thread: its pixels
// (held while the search runs), what the search reads, and what it was asked for.
struct SpotSearchJob {
    HeldPixels pixels;
    PictureContext context;
    ChartGeometry orientation;
    Ephemeris ephemeris;
    DiskFrame frame;
};

// How the spots of a picture are searched for: the spot search of the spots library, handed
// in by the program that links it, so that the session itself needs no image-processing
// library. The picture's context and the orientation chosen for pictures say how it lies.
using SpotSearch =
    std::function<SpotDetection(const PixelGrid& pixels, const PictureContext& picture,
                                const ChartGeometry& orientation, const Ephemeris& ephemeris)>;
// How one spot is measured where the user points (MeasureSpotAt of the spots library): the
// picture's pixels, its disk's frame and ephemeris, and the point in pixels.
using SpotMeasure = std::function<SpotDetection(const PixelGrid& pixels, const DiskFrame& frame,
                                                const Ephemeris& ephemeris, double x, double y)>;

// The session's sunspots on the shown picture: the search and what it found, the spot a click
// measures, and the user's review of the count.
class SpotsPart {
  public:
    SpotsPart(Session& session, SpotSearch search) : s_(session), search_(std::move(search)) {}
    SpotsPart(const SpotsPart&) = delete;
    SpotsPart& operator=(const SpotsPart&) = delete;

    // The search runs on the picture's pixels as shown, colours and all (as the command
    // line's spots does), with the picture's disk, instant and orientation; `show` draws
    // every outline and group label. Spots already found for the picture as it stands are
    // kept, not searched again. A plain click on the picture searches them first (or, with
    // the search in the background, measures the spot it falls on alone until the search
    // ends), and a click on a found spot measures it: its outline is drawn and its area
    // becomes the spot's size. A review kept beside the picture stands for what the search
    // found.
    void DetectSunspots(bool show = true);
    // Spots found for the picture as it stands (none once its disk, instant or turn changed).
    bool SpotsFound() const;
    const std::optional<FoundSpots>& found() const { return spots_; }
    // A row chosen in the Sunspots table: a group, or a spot (0 for none).
    void ChooseSpotGroup(int32_t group);
    void ChooseSpot(int32_t spot);
    // The found groups matched with the loaded summary's regions at the instant; nothing
    // without found spots or a summary.
    std::optional<RegionMatching> SpotRegions() const;
    // What an export of the found spots tells, as the command line's spots tells it.
    SpotReport SpotsReport() const;
    // North solved from the loaded summary's regions at the picture's instant, laid on the
    // groups the spot search finds on the picture, as the command line's spots --orientation
    // solve does; the picture takes it when it is found.
    NorthSolution SolveOrientation();

    // The search run by the program in the background (SetBackgroundSpotSearch): a plain
    // click before it ends measures the spot it falls on alone (with the measure handed in),
    // and the search's spots are taken when they come, if the picture still stands as it
    // did. TakeSpotSearchJob gives the search the shown picture wants, once.
    void SetSpotMeasure(SpotMeasure measure) { measure_ = std::move(measure); }
    void SetBackgroundSpotSearch(bool on) { background_ = on; }
    std::optional<SpotSearchJob> TakeSpotSearchJob();
    void SpotsSearched(const SpotSearchJob& job, SpotDetection found);
    // The spot a click measured alone while the search ran.
    const std::optional<FoundSpots>& clickedSpot() const { return clicked_; }

    // The review of the found spots: each step changes what is shown, counted and exported,
    // can be undone, and is kept beside the picture (PICTURE.spots.json), where the next
    // search of the same picture finds it again. Spots and groups are named by the ids
    // shown. Nothing changes without found spots; the status line says what was done.
    void RemoveSpot(int32_t spot);
    void RemoveSpotGroup(int32_t group);
    void MergeSpotGroups(int32_t group, int32_t other);
    // The spot leaves its group for a group of its own.
    void SplitSpotOff(int32_t spot);
    // The next plain click on the picture adds the spot it falls on, measured there.
    void StartAddingSpot();
    bool AddingSpot() const { return addingSpot_; }
    void NumberSpotGroup(int32_t group, int32_t noaa);
    // The region of the loaded summary the group matches, 0 for none.
    int32_t SuggestedRegionNumber(int32_t group) const;
    void MarkDiskSpotless();
    bool CanUndoReview() const;
    void UndoReviewStep();

  private:
    friend class Session;
    friend class ChartPart;
    friend class ObservationPart;
    friend class PicturePart;

    // A plain click on the picture at pixel (X, Y), once the spot is placed there: the
    // spots are searched first, or the spot measured alone while the search runs; asked to
    // add a spot, it adds the one the click falls on. False when the click is done with.
    bool BeforeClick(int32_t X, int32_t Y);
    void AfterClick(int32_t X, int32_t Y);
    // Everything found belongs to the picture that was shown.
    void Forget();
    void ForgetStale();
    void MeasureSpotIn(FoundSpots& found, int32_t X, int32_t Y);
    void MeasureSpotAlone(int32_t X, int32_t Y);
    bool StandsAsSearched(const SpotSearchJob& job) const;
    void AddSpotAt(int32_t X, int32_t Y);
    // Takes the review kept beside the picture for the spots just found, if there is one.
    void TakeKeptReview();
    SpotReview& BeginReview();
    void Reviewed(const ReviewOutcome& outcome, const std::string& what);

    Session& s_;
    SpotSearch search_;
    SpotMeasure measure_;
    bool background_ = false;
    std::optional<SpotSearchJob> pending_; // the search running in the background
    std::optional<FoundSpots> spots_;
    std::optional<FoundSpots> clicked_;
    int32_t clickX_ = 0, clickY_ = 0;
    bool addingSpot_ = false;
};

} // namespace zorva
