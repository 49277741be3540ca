// The session's command that runs the spot search: it sits in the spots library with the
// search, so that the rest of the session needs no image-processing library.
#include "core/session/session.h"
#include "core/spots/spot_detection.h"

namespace zorva {

void Session::DetectSunspots(const PixelGrid& pixels, bool show) {
    if (!PictureHasDisk()) return;
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

} // namespace zorva
