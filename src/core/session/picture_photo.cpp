// A photograph's own instant, asked for when its file does not give it for certain, and how
// it lies: a turn given, or found from the Sun's drift.
#include "core/session/picture_part.h"
#include "core/session/session.h"
#include "core/text/format.h"

namespace zorva {

bool PicturePart::PictureAwaitsInstant() const {
    return opened_ && InstantAwaited(opened_->context);
}

std::string PicturePart::InstantQuestion() const {
    if (!opened_) return {};
    const PictureContext& c = opened_->context;
    if (!c.instant) return c.name + " gives no date or time of its own.";
    switch (c.instantDoubt) {
    case InstantDoubt::None:
        break;
    case InstantDoubt::DayAlone:
        return "The name of " + c.name + " gives the day alone: 12:00 UT is offered.";
    case InstantDoubt::ClockOffset:
        return "The camera wrote the time of " + c.name +
               " by its clock, without the clock's offset from UT: it is offered taken as " +
               ClockOffsetText(s_.options_.CameraClockOffsetMinutes) +
               " (Image > Camera Clock Offset... sets what such a clock keeps).";
    }
    return "The instant of " + c.name + " comes from its " +
           std::string(InstantSourceName(c.instantSource)) + ".";
}

void PicturePart::TakePictureInstant() {
    PictureContext& c = opened_->context;
    const bool own = c.instant && s_.observing_.MoveInstant(*c.instant);
    if (c.instant && !own) {
        c.notes.push_back("the file's instant " + IsoInstantText(*c.instant) +
                          " lies beyond the years the program shows: passed over");
        c.instant.reset();
        c.instantDoubt = InstantDoubt::None;
    }
    if (!own) {
        // Another picture's instant is never this one's, not even as an offer.
        if (!instantOfPicture_ || !s_.observing_.MoveInstant(s_.observing_.startInstant_)) {
            s_.RecalcTail(s_.observing_.obs_.instant, DateFoldLimit);
        }
    }
    instantOfPicture_ = own;
    s_.Say(PictureSourcesText(c, s_.Geometry()));
}

void PicturePart::InstantGiven() {
    instantOfPicture_ = opened_.has_value();
    if (!opened_) return;
    PictureContext& c = opened_->context;
    const bool awaited = InstantAwaited(c);
    c.instant = s_.observing_.obs_.instant;
    c.instantSource = InstantSource::Given;
    c.instantDoubt = InstantDoubt::None;
    if (awaited) s_.Say(PictureSourcesText(c, s_.Geometry()));
}

bool PicturePart::RefuseWithoutInstant() {
    if (!PictureAwaitsInstant()) return false;
    const PictureContext& c = opened_->context;
    s_.Say(
        "Nothing is measured on " + c.name + " until its instant is given (" +
        (c.instant ? "the instant shown is only what the file suggests" : "the file gives none") +
        "): give it with Image > Picture Instant..., or set the date and time");
    return true;
}

void PicturePart::OrientPicture(const std::optional<PictureTurn>& turn, OrientationSource source) {
    if (!opened_) return;
    PictureContext& c = opened_->context;
    if (turn) {
        TurnPicture(c, *turn);
    } else {
        c.turn.reset();
        c.orientationSource = source;
    }
    s_.SayOrientation();
    s_.HoldRotationMarkers();
    LocateSpot(s_.spot_, s_.CurrentFrame(), s_.observing_.obs_.ephemeris);
    s_.FollowSeparation();
    s_.Settle();
}

void PicturePart::StartDrift() {
    if (!opened_) return;
    handDisk_.reset();
    drift_.reset();
    drift_.emplace();
    drift_->held = false;
    s_.Say("North from the drift: press where a spot or a point of the limb was, drag along the "
           "way it drifted with the drive off, and let go where it drifted to; Esc cancels");
}

void PicturePart::DriftPress(double x, double y) {
    if (!drift_) return;
    *drift_ = DriftLine{{x, y}, {x, y}, true};
}

void PicturePart::DriftDrag(double x, double y) {
    if (!drift_ || !drift_->held) return;
    drift_->to = {x, y};
}

bool PicturePart::DriftRelease(double x, double y) {
    if (!drift_ || !drift_->held) return false;
    drift_->to = {x, y};
    drift_->held = false;
    const DriftNorth north =
        NorthFromDrift(drift_->from.x, drift_->from.y, x, y, EastSense::AsTheSky);
    if (!north.celestialNorthTurn) {
        s_.Say("North from the drift: " + north.error + "; draw it again, or Esc cancels");
        return false;
    }
    return true;
}

void PicturePart::CancelDrift() {
    if (!drift_) return;
    drift_.reset();
    s_.Say("North from the drift cancelled; the picture lies as it did");
}

void PicturePart::TurnByDrift(EastSense east) {
    if (!drift_) return;
    const DriftLine line = *drift_;
    const DriftNorth north = NorthFromDrift(line.from.x, line.from.y, line.to.x, line.to.y, east);
    drift_.reset();
    if (!north.celestialNorthTurn) {
        s_.Say("North from the drift: " + north.error);
        return;
    }
    OrientPicture(TurnOfCelestialNorth(*north.celestialNorthTurn, east, OrientationSource::Drift),
                  OrientationSource::Drift);
}

bool PicturePart::TurnByDriftTo(const PictureContext& later, EastSense east) {
    if (!opened_) return false;
    const PictureContext& c = opened_->context;
    if (!c.disk || !later.disk) {
        s_.Say("North from two pictures: " + (c.disk ? later.name : c.name) +
               " has no disk to follow");
        return false;
    }
    const DriftNorth north = NorthFromTwoDisks(*c.disk, *later.disk, east);
    if (!north.celestialNorthTurn) {
        s_.Say("North from two pictures: " + c.name + " and " + later.name + ": " + north.error);
        return false;
    }
    OrientPicture(TurnOfCelestialNorth(*north.celestialNorthTurn, east, OrientationSource::Drift),
                  OrientationSource::Drift);
    return true;
}

} // namespace zorva
