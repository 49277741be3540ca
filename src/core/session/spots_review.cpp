// The user's review of the spots found on the open picture: each step shown, counted and
// exported at once, undone on request, and kept beside the picture.
#include <array>
#include <filesystem>

#include "core/session/session.h"
#include "core/session/spots_part.h"
#include "core/spots/review_file.h"

namespace zorva {

void SpotsPart::TakeKeptReview() {
    if (!spots_ || !s_.picture_.opened_ || s_.picture_.opened_->path.empty()) return;
    const ReviewRead kept = LoadReview(std::filesystem::path(s_.picture_.opened_->path),
                                       s_.picture_.opened_->images.shown.grid);
    if (kept.review) {
        spots_->review = std::make_shared<SpotReview>(std::move(*kept.review));
        spots_->detection = std::make_shared<const SpotDetection>(spots_->review->Result());
        s_.Say("The reviewed count kept beside the picture is shown; Wolf number " +
               std::to_string(spots_->detection->wolf.total));
    } else if (!kept.problem.empty()) {
        s_.Say("The reviewed count beside the picture is set aside, and the picture searched "
               "again: " +
               kept.problem);
    }
}

SpotReview& SpotsPart::BeginReview() {
    if (!spots_->review)
        spots_->review =
            std::make_shared<SpotReview>(*spots_->detection, spots_->frame, spots_->ephemeris);
    return *spots_->review;
}

void SpotsPart::Reviewed(const ReviewOutcome& outcome, const std::string& what) {
    if (!outcome.done) {
        s_.Say("Nothing was changed: " + outcome.message);
        return;
    }
    const SpotReview& review = *spots_->review;
    spots_->detection = std::make_shared<const SpotDetection>(review.Result());
    spots_->group = 0;
    spots_->spot = 0;
    spots_->measured = 0;
    const auto& w = review.Result().wolf;
    std::string said = what;
    said += ": Wolf number " + std::to_string(w.total) + " (" + std::to_string(w.groups) +
            " groups, " + std::to_string(w.spots) + " spots; north " + std::to_string(w.north) +
            ", south " + std::to_string(w.south) + ")";
    std::string note, error;
    if (!s_.picture_.opened_->path.empty() &&
        !SaveReview(std::filesystem::path(s_.picture_.opened_->path),
                    s_.picture_.opened_->images.shown.grid, review,
                    s_.picture_.opened_->context.instant, &note, &error)) {
        said += "; not kept beside the picture: " + error;
    } else if (!note.empty()) {
        said += "; " + note;
    }
    s_.Say(said);
}

void SpotsPart::RemoveSpot(int32_t spot) {
    if (!SpotsFound()) return;
    Reviewed(BeginReview().RemoveSpot(spot), "Spot " + std::to_string(spot) + " removed");
}

void SpotsPart::RemoveSpotGroup(int32_t group) {
    if (!SpotsFound()) return;
    Reviewed(BeginReview().RemoveGroup(group), "Group " + std::to_string(group) + " removed");
}

void SpotsPart::MergeSpotGroups(int32_t group, int32_t other) {
    if (!SpotsFound()) return;
    Reviewed(BeginReview().MergeGroups(group, other),
             "Group " + std::to_string(other) + " merged into group " + std::to_string(group));
}

void SpotsPart::SplitSpotOff(int32_t spot) {
    if (!SpotsFound()) return;
    const SpotDetection& d = *spots_->detection;
    for (const DetectedSpot& s : d.spots) {
        if (s.id != spot) continue;
        const std::array<int32_t, 1> leaving = {spot};
        Reviewed(BeginReview().SplitGroup(s.group, leaving),
                 "Spot " + std::to_string(spot) + " split off into a group of its own");
        return;
    }
    s_.Say("There is no spot " + std::to_string(spot));
}

void SpotsPart::StartAddingSpot() {
    if (!SpotsFound() || !measure_) return;
    addingSpot_ = true;
    s_.Say("Click the spot to add on the picture");
}

void SpotsPart::AddSpotAt(int32_t X, int32_t Y) {
    addingSpot_ = false;
    if (!SpotsFound() || !measure_) return;
    SpotReview& review = BeginReview();
    const SpotDetection measured = measure_(s_.picture_.opened_->images.shown.grid, review.Frame(),
                                            review.EphemerisOfPicture(), X, Y);
    if (!measured.error.empty()) {
        s_.Say("No spot was added: " + measured.error);
        return;
    }
    Reviewed(review.AddSpot(measured, X, Y), "Spot added");
}

void SpotsPart::NumberSpotGroup(int32_t group, int32_t noaa) {
    if (!SpotsFound()) return;
    Reviewed(BeginReview().NumberGroup(group, noaa),
             noaa == 0 ? "Group " + std::to_string(group) + " has no NOAA number"
                       : "Group " + std::to_string(group) + " is NOAA " + std::to_string(noaa));
}

int32_t SpotsPart::SuggestedRegionNumber(int32_t group) const {
    const std::optional<RegionMatching> matching = SpotRegions();
    if (!matching) return 0;
    for (const GroupRegionPair& pair : matching->pairs)
        if (pair.group == group && pair.region < s_.summaries_.summary().Regions->size())
            return (*s_.summaries_.summary().Regions)[pair.region].Number;
    return 0;
}

void SpotsPart::MarkDiskSpotless() {
    if (!SpotsFound()) return;
    Reviewed(BeginReview().MarkSpotless(), "The visible disk marked spotless");
}

bool SpotsPart::CanUndoReview() const {
    return SpotsFound() && spots_->review && spots_->review->CanUndo();
}

void SpotsPart::UndoReviewStep() {
    if (!CanUndoReview()) return;
    spots_->review->Undo();
    Reviewed({true, {}}, "The last review step undone");
}

} // namespace zorva
