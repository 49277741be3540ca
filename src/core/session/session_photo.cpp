// A photograph's own instant, asked for when its file does not give it for certain, and how
// it lies: a turn given, or found from the Sun's drift.
#include "core/session/session.h"
#include "core/text/format.h"

#include <cmath>

namespace zorva {

bool Session::PictureAwaitsInstant() const {
    return picture_ && InstantAwaited(picture_->context);
}

std::string Session::InstantQuestion() const {
    if (!picture_) return {};
    const PictureContext& c = picture_->context;
    if (!c.instant) return c.name + " gives no date or time of its own.";
    switch (c.instantDoubt) {
    case InstantDoubt::None:
        break;
    case InstantDoubt::DayAlone:
        return "The name of " + c.name + " gives the day alone: 12:00 UT is offered.";
    case InstantDoubt::ClockOffset:
        return "The camera wrote the time of " + c.name +
               " by its clock, without the clock's offset from UT: it is offered taken as " +
               ClockOffsetText(options_.CameraClockOffsetMinutes) +
               " (Image > Camera Clock Offset... sets what such a clock keeps).";
    }
    return "The instant of " + c.name + " comes from its " +
           std::string(InstantSourceName(c.instantSource)) + ".";
}

void Session::TakePictureInstant() {
    PictureContext& c = picture_->context;
    const bool own = c.instant && MoveInstant(*c.instant);
    if (c.instant && !own) {
        c.notes.push_back("the file's instant " + IsoInstantText(*c.instant) +
                          " lies beyond the years the program shows: passed over");
        c.instant.reset();
        c.instantDoubt = InstantDoubt::None;
    }
    if (!own) {
        // Another picture's instant is never this one's, not even as an offer.
        if (!instantOfPicture_ || !MoveInstant(startInstant_)) {
            RecalcTail(obs_.instant, DateFoldLimit);
        }
    }
    instantOfPicture_ = own;
    Say(PictureSourcesText(c, Geometry()));
}

void Session::InstantGiven() {
    instantOfPicture_ = picture_.has_value();
    if (!picture_) return;
    PictureContext& c = picture_->context;
    const bool awaited = InstantAwaited(c);
    c.instant = obs_.instant;
    c.instantSource = InstantSource::Given;
    c.instantDoubt = InstantDoubt::None;
    if (awaited) Say(PictureSourcesText(c, Geometry()));
}

bool Session::RefuseWithoutInstant() {
    if (!PictureAwaitsInstant()) return false;
    const PictureContext& c = picture_->context;
    Say("Nothing is measured on " + c.name + " until its instant is given (" +
        (c.instant ? "the instant shown is only what the file suggests" : "the file gives none") +
        "): give it with Image > Picture Instant..., or set the date and time");
    return true;
}

void Session::OrientPicture(const std::optional<PictureTurn>& turn, OrientationSource source) {
    if (!picture_) return;
    PictureContext& c = picture_->context;
    if (turn) {
        TurnPicture(c, *turn);
    } else {
        c.turn.reset();
        c.orientationSource = source;
    }
    SayOrientation();
    HoldRotationMarkers();
    LocateSpot(spot_, CurrentFrame(), obs_.ephemeris);
    FollowSeparation();
    Settle();
}

void Session::StartDrift() {
    if (!picture_) return;
    handDisk_.reset();
    drift_.reset();
    drift_.emplace();
    drift_->held = false;
    Say("North from the drift: press where a spot or a point of the limb was, drag along the "
        "way it drifted with the drive off, and let go where it drifted to; Esc cancels");
}

void Session::DriftPress(double x, double y) {
    if (!drift_) return;
    *drift_ = DriftLine{{x, y}, {x, y}, true};
}

void Session::DriftDrag(double x, double y) {
    if (!drift_ || !drift_->held) return;
    drift_->to = {x, y};
}

bool Session::DriftRelease(double x, double y) {
    if (!drift_ || !drift_->held) return false;
    drift_->to = {x, y};
    drift_->held = false;
    const DriftNorth north =
        NorthFromDrift(drift_->from.x, drift_->from.y, x, y, EastSense::AsTheSky);
    if (!north.celestialNorthTurn) {
        Say("North from the drift: " + north.error + "; draw it again, or Esc cancels");
        return false;
    }
    return true;
}

void Session::CancelDrift() {
    if (!drift_) return;
    drift_.reset();
    Say("North from the drift cancelled; the picture lies as it did");
}

void Session::TurnByDrift(EastSense east) {
    if (!drift_) return;
    const DriftLine line = *drift_;
    const DriftNorth north = NorthFromDrift(line.from.x, line.from.y, line.to.x, line.to.y, east);
    drift_.reset();
    if (!north.celestialNorthTurn) {
        Say("North from the drift: " + north.error);
        return;
    }
    OrientPicture(TurnOfCelestialNorth(*north.celestialNorthTurn, east, OrientationSource::Drift),
                  OrientationSource::Drift);
}

bool Session::TurnByDriftTo(const PictureContext& later, EastSense east) {
    if (!picture_) return false;
    const PictureContext& c = picture_->context;
    if (!c.disk || !later.disk) {
        Say("North from two pictures: " + (c.disk ? later.name : c.name) +
            " has no disk to follow");
        return false;
    }
    const DriftNorth north = NorthFromTwoDisks(*c.disk, *later.disk, east);
    if (!north.celestialNorthTurn) {
        Say("North from two pictures: " + c.name + " and " + later.name + ": " + north.error);
        return false;
    }
    OrientPicture(TurnOfCelestialNorth(*north.celestialNorthTurn, east, OrientationSource::Drift),
                  OrientationSource::Drift);
    // What was measured, so that a drift of a pixel or two, which gives no sure direction,
    // shows as such.
    constexpr int kPixelDecimals = 1;
    Say("North from two pictures: the disk drifted " +
        FixedText(std::hypot(later.disk->cx - c.disk->cx, later.disk->cy - c.disk->cy),
                  kPixelDecimals) +
        " px from " + c.name + " to " + later.name +
        ", to the west. Orientation: " + OrientationWords(Geometry()) + " (" +
        std::string(OrientationSourceName(c.orientationSource)) + ")");
    return true;
}

} // namespace zorva
