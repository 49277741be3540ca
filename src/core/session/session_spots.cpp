// The sunspots found on the open picture: what the table chose, what a click measured, and
// forgetting them once the picture changes under them.
#include <cmath>

#include "core/chart/foreshortening.h"
#include "core/common/angles.h"
#include "core/session/session.h"
#include "core/text/format.h"

namespace zorva {

namespace {

constexpr int kSizeDecimals = 3; // grid cells, as a measurement shown again gives them
constexpr double kMillionths = 1e6;

} // namespace

bool Session::SpotsFound() const {
    return spots_ && PictureHasDisk() && spots_->frame == CurrentFrame() &&
           spots_->ephemeris == obs_.ephemeris;
}

void Session::DetectSunspots(bool show) {
    if (!PictureHasDisk() || !search_ || RefuseWithoutInstant()) return;
    if (!SpotsFound()) {
        FoundSpots found;
        // As the command line's spots searches: the picture's own context, turned as the
        // orientation chosen for pictures says where the picture states none.
        found.detection = std::make_shared<const SpotDetection>(search_(
            picture_->images.shown.grid, picture_->context, PictureOrientation(), obs_.ephemeris));
        found.frame = CurrentFrame();
        found.ephemeris = obs_.ephemeris;
        spots_ = std::move(found);
        TakeKeptReview();
    }
    if (!show) return;
    spots_->shown = true;
    const SpotDetection& d = *spots_->detection;
    if (!d.error.empty()) {
        Say("No sunspots were searched for: " + d.error);
    } else {
        Say(std::to_string(d.groups.size()) + " groups and " + std::to_string(d.spots.size()) +
            (spots_->review ? " spots as reviewed" : " spots found") + "; Wolf number " +
            std::to_string(d.wolf.total));
    }
}

NorthSolution Session::SolveOrientation() {
    NorthSolution refused;
    if (!PictureHasDisk() || !search_) {
        refused.error = "the picture has no disk: give one with Image > Disk by Hand...";
        return refused;
    }
    if (srs_.Regions->empty()) {
        refused.error = "no Region Summary is loaded: load the picture's day's with Solar Region "
                        "Summary > Load SRS...";
        return refused;
    }
    if (RefuseWithoutInstant()) {
        refused.error = Status();
        return refused;
    }
    // The groups as the search finds them at the turn in use; they are laid on the regions
    // at every turn, and found again at the one solved when the user asks.
    const SpotDetection found = SpotsFound()
                                    ? *spots_->detection
                                    : search_(picture_->images.shown.grid, picture_->context,
                                              PictureOrientation(), obs_.ephemeris);
    if (!found.error.empty()) {
        refused.error = found.error;
        return refused;
    }
    const std::vector<RegionPlace> places =
        PlaceRegions(*srs_.Regions, srs_.Offset, obs_.ephemeris);
    NorthSolution solved = SolveNorthFromRegions(found.groups, *picture_->context.disk, places);
    if (solved.north) {
        OrientPicture(TurnOfSolarNorth(*solved.north, OrientationSource::Solved),
                      OrientationSource::Solved);
    }
    return solved;
}

void Session::ForgetStaleSpots() {
    if (spots_ && !SpotsFound()) {
        spots_.reset();
        addingSpot_ = false;
    }
    if (clicked_ && (!PictureHasDisk() || SpotsFound() || !(clicked_->frame == CurrentFrame()) ||
                     !(clicked_->ephemeris == obs_.ephemeris)))
        clicked_.reset();
}

void Session::ChooseSpotGroup(int32_t group) {
    if (!SpotsFound()) return;
    spots_->group = group;
    spots_->spot = 0;
}

void Session::ChooseSpot(int32_t spot) {
    if (!SpotsFound()) return;
    spots_->spot = spot;
    spots_->group = 0;
}

void Session::MeasureSpotAt(int32_t X, int32_t Y) {
    if (SpotsFound()) MeasureSpotIn(*spots_, X, Y);
}

void Session::MeasureSpotIn(FoundSpots& spots, int32_t X, int32_t Y) {
    const DetectedSpot* found = SpotAtPixel(*spots.detection, X, Y);
    spots.measured = found ? found->id : 0;
    // A click beside every spot found measures none: the last spot's size is not this place's.
    if (!found || !spot_.At) {
        ForgetSpotSize();
        return;
    }
    // The spot clicked is the one chosen, in the table as on the picture.
    spots.spot = found->id;
    spots.group = 0;
    // The size that gives the spot's own area on the disk the picture stands for: the area
    // readout takes a size of s cells as s c 2e6 / (pi d^2) millionths, undone for the
    // foreshortening at the place clicked, so s = A cos(rho) pi d^2 / (2e6 c).
    const double d = Geometry().ChartDiameter;
    // The size is kept whole, so the area readout rounds the spot's own area once; the box
    // shows it to a thousandth of a cell.
    const double cells = SeenArea(found->areaMsh, degrees::Cos(spot_.At->rho)) * degrees::kPi * d *
                         d / (2 * kMillionths * spot_.GridCellArea);
    if (!std::isfinite(cells) || cells < 0 || cells > LargestSpotSize) return;
    spot_.SpotSize = cells;
    Text(EditBox::Size) = ShortestDecimalText(RoundHalfUp(cells, kSizeDecimals));
    Settle();
    Say("Spot " + std::to_string(found->id) + " of group " + std::to_string(found->group) + ": " +
        FixedText(found->areaMsh, 1) + " millionths of the hemisphere from its " +
        std::to_string(found->pixels) + " pixels");
}

std::optional<RegionMatching> Session::SpotRegions() const {
    if (!SpotsFound() || srs_.Regions->empty()) return std::nullopt;
    return MatchRegions(spots_->detection->groups, *srs_.Regions, srs_.Offset, obs_.ephemeris);
}

SpotReport Session::SpotsReport() const {
    SpotReport report;
    if (!SpotsFound()) return report;
    const PictureContext& context = picture_->context;
    report.file = picture_->path;
    report.instant = obs_.instant;
    report.disk = *context.disk;
    report.diskSource = std::string(DiskSourceName(context.diskSource));
    DescribePicture(report, context, PictureOrientation(), spots_->ephemeris);
    report.detection = *spots_->detection;
    return report;
}

} // namespace zorva
