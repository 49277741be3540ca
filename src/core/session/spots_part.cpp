// The sunspots found on the open picture: what the table chose, what a click measured, and
// forgetting them once the picture changes under them.
#include <cmath>

#include "core/chart/foreshortening.h"
#include "core/common/angles.h"
#include "core/session/session.h"
#include "core/session/spots_part.h"
#include "core/text/format.h"

namespace zorva {

namespace {

constexpr int kSizeDecimals = 3; // grid cells, as a measurement shown again gives them
constexpr double kMillionths = 1e6;

} // namespace

bool SpotsPart::SpotsFound() const {
    return spots_ && s_.picture_.HasDisk() && spots_->frame == s_.CurrentFrame() &&
           spots_->ephemeris == s_.observing_.obs_.ephemeris;
}

void SpotsPart::DetectSunspots(bool show) {
    if (!s_.picture_.HasDisk() || !search_ || s_.picture_.RefuseWithoutInstant()) return;
    if (!SpotsFound()) {
        FoundSpots found;
        // As the command line's spots searches: the picture's own context, turned as the
        // orientation chosen for pictures says where the picture states none.
        found.detection = std::make_shared<const SpotDetection>(
            search_(s_.picture_.opened_->images.shown.grid, s_.picture_.opened_->context,
                    s_.chart_.PictureOrientation(), s_.observing_.obs_.ephemeris));
        found.frame = s_.CurrentFrame();
        found.ephemeris = s_.observing_.obs_.ephemeris;
        spots_ = std::move(found);
        TakeKeptReview();
    }
    if (!show) return;
    spots_->shown = true;
    const SpotDetection& d = *spots_->detection;
    if (!d.error.empty()) {
        s_.Say("No sunspots were searched for: " + d.error);
    } else {
        s_.Say(std::to_string(d.groups.size()) + " groups and " + std::to_string(d.spots.size()) +
               (spots_->review ? " spots as reviewed" : " spots found") + "; Wolf number " +
               std::to_string(d.wolf.total));
    }
}

NorthSolution SpotsPart::SolveOrientation() {
    NorthSolution refused;
    if (!s_.picture_.HasDisk() || !search_) {
        refused.error = "the picture has no disk: give one with Image > Disk by Hand...";
        return refused;
    }
    if (s_.summaries_.summary().Regions->empty()) {
        refused.error = "no Region Summary is loaded: load the picture's day's with Solar Region "
                        "Summary > Load SRS...";
        return refused;
    }
    if (s_.picture_.RefuseWithoutInstant()) {
        refused.error = s_.Status();
        return refused;
    }
    // The groups as the search finds them at the turn in use; they are laid on the regions
    // at every turn, and found again at the one solved when the user asks.
    const SpotDetection found =
        SpotsFound() ? *spots_->detection
                     : search_(s_.picture_.opened_->images.shown.grid, s_.picture_.opened_->context,
                               s_.chart_.PictureOrientation(), s_.observing_.obs_.ephemeris);
    if (!found.error.empty()) {
        refused.error = found.error;
        return refused;
    }
    const std::vector<RegionPlace> places =
        PlaceRegions(*s_.summaries_.summary().Regions, s_.summaries_.summary().Offset,
                     s_.observing_.obs_.ephemeris);
    NorthSolution solved =
        SolveNorthFromRegions(found.groups, *s_.picture_.opened_->context.disk, places);
    if (solved.north) {
        s_.picture_.OrientPicture(TurnOfSolarNorth(*solved.north, OrientationSource::Solved),
                                  OrientationSource::Solved);
    }
    return solved;
}

void SpotsPart::Forget() {
    spots_.reset();
    clicked_.reset();
    pending_.reset();
}

void SpotsPart::ForgetStale() {
    if (spots_ && !SpotsFound()) {
        spots_.reset();
        addingSpot_ = false;
    }
    if (clicked_ &&
        (!s_.picture_.HasDisk() || SpotsFound() || !(clicked_->frame == s_.CurrentFrame()) ||
         !(clicked_->ephemeris == s_.observing_.obs_.ephemeris)))
        clicked_.reset();
}

void SpotsPart::ChooseSpotGroup(int32_t group) {
    if (!SpotsFound()) return;
    spots_->group = group;
    spots_->spot = 0;
}

void SpotsPart::ChooseSpot(int32_t spot) {
    if (!SpotsFound()) return;
    spots_->spot = spot;
    spots_->group = 0;
}

bool SpotsPart::BeforeClick(int32_t X, int32_t Y) {
    if (!SpotsFound()) {
        // While the search runs in the background, the spot clicked is measured alone.
        if (background_ && measure_) {
            s_.MouseDown(true, false, X, Y);
            MeasureSpotAlone(X, Y);
            return false;
        }
        DetectSunspots(false);
    }
    if (addingSpot_) {
        AddSpotAt(X, Y);
        return false;
    }
    return true;
}

void SpotsPart::AfterClick(int32_t X, int32_t Y) {
    if (SpotsFound()) MeasureSpotIn(*spots_, X, Y);
}

void SpotsPart::MeasureSpotIn(FoundSpots& spots, int32_t X, int32_t Y) {
    const DetectedSpot* found = SpotAtPixel(*spots.detection, X, Y);
    spots.measured = found ? found->id : 0;
    // A click beside every spot found measures none: the last spot's size is not this place's.
    if (!found || !s_.spot_.At) {
        s_.ForgetSpotSize();
        return;
    }
    // The spot clicked is the one chosen, in the table as on the picture.
    spots.spot = found->id;
    spots.group = 0;
    // The size that gives the spot's own area on the disk the picture stands for: the area
    // readout takes a size of s cells as s c 2e6 / (pi d^2) millionths, undone for the
    // foreshortening at the place clicked, so s = A cos(rho) pi d^2 / (2e6 c).
    const double d = s_.Geometry().ChartDiameter;
    // The size is kept whole, so the area readout rounds the spot's own area once; the box
    // shows it to a thousandth of a cell.
    const double cells = SeenArea(found->areaMsh, degrees::Cos(s_.spot_.At->rho)) * degrees::kPi *
                         d * d / (2 * kMillionths * s_.spot_.GridCellArea);
    if (!std::isfinite(cells) || cells < 0 || cells > LargestSpotSize) return;
    s_.spot_.SpotSize = cells;
    s_.Text(EditBox::Size) = ShortestDecimalText(RoundHalfUp(cells, kSizeDecimals));
    s_.Settle();
    s_.Say("Spot " + std::to_string(found->id) + " of group " + std::to_string(found->group) +
           ": " + FixedText(found->areaMsh, 1) + " millionths of the hemisphere from its " +
           std::to_string(found->pixels) + " pixels");
}

std::optional<RegionMatching> SpotsPart::SpotRegions() const {
    if (!SpotsFound() || s_.summaries_.summary().Regions->empty()) return std::nullopt;
    return MatchRegions(spots_->detection->groups, *s_.summaries_.summary().Regions,
                        s_.summaries_.summary().Offset, s_.observing_.obs_.ephemeris);
}

SpotReport SpotsPart::SpotsReport() const {
    SpotReport report;
    if (!SpotsFound()) return report;
    const PictureContext& context = s_.picture_.opened_->context;
    report.file = s_.picture_.opened_->path;
    report.instant = s_.observing_.obs_.instant;
    report.disk = *context.disk;
    report.diskSource = std::string(DiskSourceName(context.diskSource));
    DescribePicture(report, context, s_.chart_.PictureOrientation(), spots_->ephemeris);
    report.detection = *spots_->detection;
    return report;
}

} // namespace zorva
