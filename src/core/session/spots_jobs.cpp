// The spot search run in the background, and a click that measures its spot alone before
// the search ends.
#include "core/session/session.h"
#include "core/session/spots_part.h"

namespace zorva {

namespace {

bool SameSearch(const SpotSearchJob& a, const SpotSearchJob& b) {
    return a.pixels == b.pixels && a.frame == b.frame && a.ephemeris == b.ephemeris;
}

} // namespace

std::optional<SpotSearchJob> SpotsPart::TakeSpotSearchJob() {
    if (!background_ || !s_.picture_.HasDisk() || SpotsFound() || s_.picture_.handDisk_)
        return std::nullopt;
    SpotSearchJob job{s_.picture_.opened_->images.shown, s_.picture_.opened_->context,
                      s_.chart_.PictureOrientation(), s_.observing_.obs_.ephemeris,
                      s_.CurrentFrame()};
    if (pending_ && SameSearch(*pending_, job)) return std::nullopt;
    pending_ = job;
    return job;
}

bool SpotsPart::StandsAsSearched(const SpotSearchJob& job) const {
    return s_.picture_.HasDisk() && job.pixels == s_.picture_.opened_->images.shown &&
           job.frame == s_.CurrentFrame() && job.ephemeris == s_.observing_.obs_.ephemeris;
}

void SpotsPart::SpotsSearched(const SpotSearchJob& job, SpotDetection found) {
    if (pending_ && SameSearch(*pending_, job)) pending_.reset();
    if (SpotsFound() || !StandsAsSearched(job)) return;
    FoundSpots spots;
    spots.detection = std::make_shared<const SpotDetection>(std::move(found));
    spots.frame = job.frame;
    spots.ephemeris = job.ephemeris;
    spots_ = std::move(spots);
    TakeKeptReview();
    // The spot a click measured alone is the search's spot there.
    if (clicked_ && clicked_->measured != 0) {
        const DetectedSpot* at = SpotAtPixel(*spots_->detection, clickX_, clickY_);
        spots_->measured = spots_->spot = at ? at->id : 0;
    }
    clicked_.reset();
}

void SpotsPart::MeasureSpotAlone(int32_t X, int32_t Y) {
    FoundSpots alone;
    alone.frame = s_.CurrentFrame();
    alone.ephemeris = s_.observing_.obs_.ephemeris;
    alone.detection = std::make_shared<const SpotDetection>(
        measure_(s_.picture_.opened_->images.shown.grid, alone.frame, alone.ephemeris, X, Y));
    clickX_ = X;
    clickY_ = Y;
    MeasureSpotIn(alone, X, Y);
    clicked_ = std::move(alone);
}

} // namespace zorva
