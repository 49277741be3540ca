// The session's command that runs the spot search: it sits in the spots library with the
// search, so that the rest of the session needs no image-processing library.
#include "core/session/session.h"
#include "core/spots/spot_detection.h"

namespace zorva {

void Session::DetectSunspots(const PixelGrid& pixels, bool show) {
    if (!PictureHasDisk() || RefuseWithoutInstant()) return;
    if (!SpotsFound()) {
        FoundSpots found;
        // As the command line's spots searches: the picture's own context, turned as the
        // orientation chosen for pictures says where the picture states none.
        found.detection = std::make_shared<const SpotDetection>(DetectSpots(
            pixels, picture_->context, PictureOrientation(), obs_.ephemeris, SpotOptions{}));
        found.frame = CurrentFrame();
        found.ephemeris = obs_.ephemeris;
        spots_ = std::move(found);
    }
    if (!show) return;
    spots_->shown = true;
    const SpotDetection& d = *spots_->detection;
    if (!d.error.empty()) {
        Say("No sunspots were searched for: " + d.error);
    } else {
        Say(std::to_string(d.groups.size()) + " groups and " + std::to_string(d.spots.size()) +
            " spots found; Wolf number " + std::to_string(d.wolf.total));
    }
}

NorthSolution Session::SolveOrientation(const PixelGrid& pixels) {
    NorthSolution refused;
    if (!PictureHasDisk()) {
        refused.error = "the picture has no disk: give one with Image > Disk by Hand...";
        return refused;
    }
    if (srs_.Regions->empty()) {
        refused.error = "no Region Summary is loaded: load the picture's day's with Solar Region "
                        "Summary > Load SRS...";
        return refused;
    }
    if (RefuseWithoutInstant()) {
        refused.error = status_;
        return refused;
    }
    // The groups as the search finds them at the turn in use; they are laid on the regions
    // at every turn, and found again at the one solved when the user asks.
    const SpotDetection found = SpotsFound() ? *spots_->detection
                                             : DetectSpots(pixels, picture_->context,
                                                           PictureOrientation(), obs_.ephemeris,
                                                           SpotOptions{});
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

} // namespace zorva
