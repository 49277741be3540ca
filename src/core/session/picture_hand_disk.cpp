// The disk given by hand on a picture, and the camera clock's offset for the pictures to come.
#include <cmath>

#include "core/session/picture_part.h"
#include "core/session/session.h"
#include "core/text/format.h"

namespace zorva {

namespace {

constexpr int kHandDiskDecimals = 1; // the status line's pixels: a tenth is finer than a hand

std::string CircleText(const Circle& c) {
    return "centre (" + FixedText(c.cx, kHandDiskDecimals) + ", " +
           FixedText(c.cy, kHandDiskDecimals) + "), radius " + FixedText(c.r, kHandDiskDecimals) +
           " px";
}

} // namespace

void PicturePart::StartHandDisk() {
    if (!opened_) return;
    handDisk_ = HandDiskDraft{};
    s_.Say("Disk by hand: press at the disk's centre and drag out to the limb, or click three or "
           "more points on the limb; arrow keys move it, + and - resize it, Enter takes it, Esc "
           "cancels");
}

void PicturePart::HandDiskPress(double x, double y, double clickReach) {
    if (!handDisk_) return;
    PressHandDisk(*handDisk_, {x, y}, clickReach);
}

void PicturePart::HandDiskDrag(double x, double y) {
    if (!handDisk_) return;
    DragHandDisk(*handDisk_, {x, y});
    if (handDisk_->dragging) s_.Say("Disk by hand: " + CircleText(*handDisk_->circle));
}

void PicturePart::HandDiskRelease(double x, double y) {
    if (!handDisk_) return;
    const HandDiskStep step = ReleaseHandDisk(*handDisk_, {x, y});
    const std::size_t points = handDisk_->points.size();
    switch (step) {
    case HandDiskStep::None:
        return;
    case HandDiskStep::Point:
        s_.Say("Disk by hand: " + std::to_string(points) + (points == 1 ? " point" : " points") +
               " on the limb; a circle is fitted from the third");
        return;
    case HandDiskStep::NoFit:
        s_.Say("Disk by hand: no circle passes through these " + std::to_string(points) +
               " points; click points spread round the limb");
        return;
    case HandDiskStep::Dragged:
    case HandDiskStep::Fitted:
        break;
    }
    s_.Say("Disk by hand: " + CircleText(*handDisk_->circle) +
           (step == HandDiskStep::Fitted ? " through " + std::to_string(points) + " points" : "") +
           "; Enter takes it, Esc cancels");
}

void PicturePart::HandDiskNudge(double dx, double dy, double dr) {
    if (!handDisk_ || !handDisk_->circle) return;
    NudgeHandDisk(*handDisk_, dx, dy, dr);
    s_.Say("Disk by hand: " + CircleText(*handDisk_->circle));
}

void PicturePart::AcceptHandDisk() {
    if (!handDisk_ || !opened_) return;
    if (!handDisk_->circle) {
        s_.Say("Disk by hand: no circle yet; drag one from the disk's centre, or click three "
               "points on the limb");
        return;
    }
    if (const auto problem = GiveDiskByHand(opened_->context, *handDisk_->circle)) {
        s_.Say("Disk by hand not taken: " + *problem);
        return;
    }
    handDisk_.reset();
    // A spot or a separation placed on the disk before means something else on this one.
    s_.ResetSpot();
    s_.Say(PictureSourcesText(opened_->context, s_.Geometry()));
    s_.Settle();
}

void PicturePart::CancelHandDisk() {
    if (!handDisk_) return;
    handDisk_.reset();
    s_.Say(HasDisk() ? "Disk by hand cancelled; the disk stays as it was"
                     : "Disk by hand cancelled; the picture has no disk to measure on");
}

void PicturePart::SetCameraClockOffset(int32_t minutes) {
    if (std::abs(minutes) > LargestClockOffsetMinutes) return;
    s_.options_.CameraClockOffsetMinutes = minutes;
    s_.Say("A camera clock without an offset is taken as " + ClockOffsetText(minutes) +
           " for the pictures opened from now on");
}

} // namespace zorva
