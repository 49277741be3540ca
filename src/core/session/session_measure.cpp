// Clicks on the chart and the heliographic separation.
#include "core/session/session.h"

namespace zorva {

void Session::MoveSpotToMiddle(FigureForm form) {
    const DiskFrame frame = CurrentFrame();
    SeparationState sep = sep_;
    sep.SpotInMiddle = true;
    const SeparationFigure figure = SeparationFigureOf(sep, form, observing_.obs_.ephemeris);
    if (const auto middle = MiddlePixel(figure, frame)) {
        const DiskPoint p = PixelToDisk(frame, middle->x, middle->y);
        SetSpotFromProgram(p.x, p.y);
    }
}

void Session::FollowSeparation() {
    if (!display_.Arc1 && !display_.Arc2) return;
    if (sep_.SepPending || !sep_.SepShown) return;
    figureForm_ = SeparationForm();
    if (options_.SpotInMiddle) MoveSpotToMiddle(figureForm_);
    Settle();
}

void Session::ChartMouseDown(bool left, bool shift, bool ctrl, int32_t X, int32_t Y) {
    if (!chart_.Shown() || ctrl) return;
    MouseDown(left, shift, X, Y);
}

void Session::ImageMouseDown(bool left, bool shift, bool ctrl, int32_t X, int32_t Y) {
    // While a disk is given by hand or a drift drawn, the clicks are theirs.
    if (picture_.handDisk_ || picture_.drift_) return;
    // Without a disk on the picture no click stands for a place on the Sun.
    if (picture_.opened_ && !picture_.HasDisk() && left) {
        Say("Nothing is measured on this picture: it has no disk. Give one with Image > Disk "
            "by Hand...");
        return;
    }
    if (!picture_.HasDisk() || ctrl || (left && picture_.RefuseWithoutInstant())) return;
    // A plain click measures the spot it falls on: the spots are searched for first. Asked
    // to add a spot, it adds the one it falls on.
    if (left && !shift && !spots_.BeforeClick(X, Y)) return;
    MouseDown(left, shift, X, Y);
    if (left && !shift) spots_.AfterClick(X, Y);
}

void Session::MouseDown(bool left, bool shift, int32_t X, int32_t Y) {
    if (!left) return;
    const DiskFrame frame = CurrentFrame();
    const DiskClick click = PointToDisk(frame, X, Y);
    if (!shift) {
        if (!OnDisk(click.d, frame.diameter)) return;
        SetSpotFromProgram(click.x, click.y);
        // Within the disk the figure is then drawn as a great circle, the spot staying put.
        if (display_.Arc1 && !sep_.SepPending) figureForm_ = FigureForm::GreatCircle;
    } else {
        const ShiftClickOutcome outcome =
            ShiftClickSeparation(sep_, click, SeparationForm(), frame, observing_.obs_.ephemeris);
        sep_ = outcome.State;
        if (outcome.Check) {
            display_.Arc1 = *outcome.Check == ArcItem::Arc1;
            display_.Arc2 = !display_.Arc1;
        }
        if (outcome.Draw) {
            figureForm_ = *outcome.Draw;
            if (options_.SpotInMiddle) MoveSpotToMiddle(figureForm_);
            // A longitude arc's figures are easily taken for a great circle's: say which.
            if (std::string said = LongitudeArcStatus(sep_); !said.empty()) Say(std::move(said));
        }
    }
    Settle();
}

void Session::ToggleArc(bool withinDisk) {
    bool& own = withinDisk ? display_.Arc1 : display_.Arc2;
    bool& other = withinDisk ? display_.Arc2 : display_.Arc1;
    if (own) {
        own = false;
        observing_.Recalculate(); // clears the separation once neither mode is on
        return;
    }
    own = true;
    other = false;
}

} // namespace zorva
