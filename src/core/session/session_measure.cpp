// Clicks on the chart, the heliographic separation, and the measurement logfile.
#include "core/logfile/logfile.h"
#include "core/session/session.h"

namespace zorva {

void Session::DrawSeparation(FigureForm form, bool moveSpot) {
    // Only a measured pair has a figure: none before the first, and none while a new
    // first point waits for its second (that click cleared the old figure).
    if (sep_.SepPending || sep_.SepShown == NoValue) return;
    const DiskFrame frame = CurrentFrame();
    const SeparationFigure figure = SeparationFigureOf(sep_, form, obs_.ephemeris);
    if (moveSpot) {
        if (const auto middle = MiddlePixel(figure, frame)) {
            if (ImageShown()) {
                RedrawImage(false);
                AddOverlay(MiddleDotOverlay{middle->x, middle->y, form});
            }
            const DiskPoint p = PixelToDisk(frame, middle->x, middle->y);
            SetSpotFromProgram(p.x, p.y); // redraws the picture under the figure
        }
    }
    AddOverlay(SeparationOverlay{figure, frame, options_.DistColour1, options_.DistColour2});
}

Changes Session::ChartMouseDown(bool left, bool shift, bool ctrl, int32_t X, int32_t Y) {
    if (!ChartShown()) return Take();
    return MouseDown(CurrentFrame(), left, shift, ctrl, X, Y);
}

Changes Session::ImageMouseDown(bool left, bool shift, bool ctrl, int32_t X, int32_t Y) {
    // Without a disk on the image no click stands for a place on the Sun.
    if (!ImageShown() || !(image_.Disk.r > 0)) return Take();
    return MouseDown(CurrentFrame(), left, shift, ctrl, X, Y);
}

Changes Session::MouseDown(const DiskFrame& frame, bool left, bool shift, bool ctrl, int32_t X,
                           int32_t Y) {
    const DiskClick click = PointToDisk(frame, X, Y);
    if (left && !shift && !ctrl) {
        if (OnDisk(click.d, chart_.ChartDiameter)) {
            // On a solar image a dot marks the click until the spot's marker replaces it.
            if (ImageShown() && options_.Sunspot) {
                RedrawImage(false);
                AddOverlay(ClickDotOverlay{X, Y});
            }
            SetSpotFromProgram(click.x, click.y);
            // The boxes redrew the chart; the figure goes back over it, the spot staying put.
            if (options_.Arc1 && !sep_.SepPending) DrawSeparation(FigureForm::GreatCircle, false);
        }
    } else if (left && shift && !ctrl) {
        const ShiftClickOutcome outcome =
            ShiftClickSeparation(sep_, click, options_.SeparationForm, chart_, obs_.ephemeris);
        // A new first point clears the old figure.
        if (outcome.FirstPoint && (options_.Arc1 || options_.Arc2)) {
            if (ChartShown()) {
                RedrawChart();
            } else {
                RedrawImage(true);
            }
        }
        sep_ = outcome.State;
        if (outcome.Check) {
            options_.Arc1 = *outcome.Check == ArcItem::Arc1;
            options_.Arc2 = !options_.Arc1;
            changes_.menus = true;
        }
        if (outcome.Draw) {
            DrawSeparation(*outcome.Draw, sep_.SpotInMiddle);
            ShowSeparation();
        }
    } else if (left && ctrl && !shift) {
        changes_.logRequest = true;
    }
    // The regions stay on top of whatever the click drew.
    PlotRegions();
    return Take();
}

Changes Session::ToggleArc(bool withinDisk) {
    bool& own = withinDisk ? options_.Arc1 : options_.Arc2;
    bool& other = withinDisk ? options_.Arc2 : options_.Arc1;
    changes_.menus = true;
    if (own) {
        own = false;
        return Recalculate(); // clears the separation once neither mode is on
    }
    own = true;
    other = false;
    return Take();
}

Changes Session::ToggleSeparationPath(FigureForm clicked) {
    // The two items are a two-way choice: a click toggles its own item and gives the
    // other the opposite check.
    const FigureForm other =
        clicked == FigureForm::GreatCircle ? FigureForm::LongitudeArc : FigureForm::GreatCircle;
    options_.SeparationForm = options_.SeparationForm == clicked ? other : clicked;
    changes_.menus = true;
    return Take();
}

Changes Session::ToggleSpotInMiddle() {
    sep_.SpotInMiddle = !sep_.SpotInMiddle;
    changes_.menus = true;
    DrawSeparation(options_.SeparationForm, sep_.SpotInMiddle);
    return Take();
}

Changes Session::ChooseSeparationColour(bool withinDisk, uint32_t colour) {
    (withinDisk ? options_.DistColour1 : options_.DistColour2) = colour;
    changes_.menus = true;
    return Take();
}

// --- The logfile ---

Session::FileResult Session::NewLogfile(const std::string& path) {
    const LogfileResult created = CreateLogfile(path);
    if (!created.ok) return {false, created.error};
    OpenLogfile(path);
    return {true, {}};
}

void Session::OpenLogfile(const std::string& path) {
    logfileOpen_ = true;
    logfilePath_ = path;
    folders_.LogfileDir = SplitFolder(path).folder;
}

LogResult Session::AddToLogfile() {
    if (!logfileOpen_) return {LogOutcome::NotOpen, {}};
    if (spot_.SpotLat == NoValue) return {LogOutcome::NoSpot, {}};
    LogfileInputs in;
    in.instant = obs_.instant;
    in.ephemeris = obs_.ephemeris;
    in.FlipSign = chart_.FlipSign;
    in.MirrorSign = chart_.MirrorSign;
    in.ChartDiameter = chart_.ChartDiameter;
    in.spot = spot_;
    in.observer = obs_.observer;
    in.separation = sep_;
    const LogfileResult added = AppendToLogfile(logfilePath_, LogfileLine(in));
    if (!added.ok) return {LogOutcome::Failed, added.error};
    return {LogOutcome::Added, {}};
}

} // namespace zorva
