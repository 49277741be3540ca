// The observation's state, its recalculation cycle and the display commands.
#include "core/session/session.h"

#include "core/chart/projection.h"
#include "core/images/limb.h"
#include "core/images/limb_refine.h"
#include "core/text/format.h"

namespace zorva {

Session::Session(YearTables tables, SpotSearch search)
    : observing_(*this, std::move(tables)), spots_(*this, std::move(search)) {}

void Session::Say(std::string status) {
    messages_.Say(std::move(status));
}

ChartGeometry Session::Geometry() const {
    return picture_.opened_
               ? PictureGeometry(picture_.opened_->context, chart_.PictureOrientation())
               : chart_.geometry();
}

FigureForm Session::SeparationForm() const {
    return options_.SeparationPath;
}

double Session::ChartRotationNow() const {
    return ChartRotation(Geometry(), observing_.obs_.ephemeris.P,
                         observing_.obs_.ephemeris.ParallacticAngle);
}

DiskFrame Session::CurrentFrame() const {
    if (picture_.opened_)
        return PictureFrame(picture_.opened_->context, chart_.PictureOrientation(),
                            observing_.obs_.ephemeris);
    const int32_t side = chart_.ChartSidePixels();
    return ChartDiskFrame(side, side, chart_.geometry(), ChartRotationNow());
}

std::optional<FigureForm> Session::SeparationFigureForm() const {
    // Only a measured pair has a figure: none before the first, and none while a new first
    // point waits for its second.
    if (!display_.Arc1 && !display_.Arc2) return std::nullopt;
    if (sep_.SepPending || !sep_.SepShown) return std::nullopt;
    return figureForm_;
}

void Session::Settle() {
    spots_.ForgetStale();
    SpotState spot = spot_;
    spot.AreaPrecision = options_.AreaPrecision;
    const AreaReadout area = ComputeSpotArea(spot, Geometry().ChartDiameter);
    spot_.SpotArea = spot.SpotArea;
    if (area.NewLeft) areaLeft_ = *area.NewLeft;
}

// --- The instant's cycle ---

void Session::RecalcTail(const Instant& previous, int foldLimit) {
    observing_.UpdateEphemeris();
    const DiskFrame frame = CurrentFrame();
    // While a marker follows the spot through time, the typed position is not taken again.
    if (!markers_.CarrMarkerShown && !markers_.DiffMarkerShown) {
        LocateSpot(spot_, frame, observing_.obs_.ephemeris);
    }
    if (!markers_.CarrMarkerShown) markers_.CarrRefSet = false;
    CarryRotationMarkers(previous, observing_.obs_.instant, observing_.obs_.ephemeris, frame, spot_,
                         markers_, foldLimit);
    markersAside_ = false;
    if (display_.SolarRegionSummary && display_.LinkWithDate) summaries_.FollowDate(false);
    summaries_.SayRegionsAge();
    // Without a separation mode the measurement belongs to the old instant.
    if (!display_.Arc1 && !display_.Arc2) ResetSeparation(sep_);
    Settle();
}

// --- Markers, colours and toggles ---

void Session::ChooseOption(std::string_view name) {
    const OptionMenuItem* item = FindOptionMenuItem(name);
    if (item == nullptr) return;
    ClickOptionItem(*item, options_);
    AfterOption(*item->row);
}

void Session::AfterOption(const OptionRow& row) {
    switch (row.effect) {
    case OptionEffect::None:
        break;
    case OptionEffect::Redraw:
        FollowSeparation();
        break;
    case OptionEffect::Recalculate:
        observing_.Recalculate();
        break;
    case OptionEffect::Readouts:
        Settle();
        break;
    case OptionEffect::GridSize:
        ApplyGridSize(options_.GridMm);
        break;
    case OptionEffect::RotationMarker: {
        // A marker switched on shows the spot too; the Carrington marker switched off
        // forgets the longitude it held, and the next start captures the spot's again.
        const bool shown = std::get<bool& (*)(Options&)>(row.field)(options_);
        const bool carrington =
            &std::get<bool& (*)(Options&)>(row.field)(options_) == &options_.CarringtonShown;
        (carrington ? markers_.CarrMarkerShown : markers_.DiffMarkerShown) = shown;
        if (shown) {
            options_.Sunspot = true;
        } else if (carrington) {
            markers_.CarrRefSet = false;
        }
        break;
    }
    case OptionEffect::SpotShown:
        // While a rotation marker is shown the spot stays.
        if (markers_.CarrMarkerShown || markers_.DiffMarkerShown) options_.Sunspot = true;
        FollowSeparation();
        break;
    case OptionEffect::LimbSearch:
        if (picture_.opened_ && !picture_.opened_->images.searched.Empty()) {
            const PixelGrid& grid = picture_.opened_->images.searched.grid;
            picture_.RefitLimb(options_.SubPixelLimb ? FindSubPixelLimb(grid) : FindLimb(grid));
        }
        break;
    }
}

} // namespace zorva
