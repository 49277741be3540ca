// The chart: its diameter, orientation, flip and mirror, grid, and the spot's entry boxes.
#include "core/chart/projection.h"
#include "core/session/session.h"
#include "core/text/format.h"

namespace zorva {

namespace {

// A diameter shown in a new unit keeps six significant digits, as the settings file does.
constexpr int kConvertedDigits = 6;
constexpr int kHintDecimals = 6;

// A box's text is the value in use when the two agree to the decimals the text shows: an
// image's diameter of 137.0604 mm is shown as 137.06, and a diameter taken in inches and
// shown again differs from its text only in the last bits.
bool SameAsShown(const std::string& text, double taken, double inUse) {
    const std::size_t separator = text.find_first_of(".,");
    const int decimals =
        separator == std::string::npos ? 0 : static_cast<int>(text.size() - separator - 1);
    constexpr int kMostDecimals = 12;
    const int d = std::min(decimals, kMostDecimals);
    return RoundHalfUp(taken, d) == RoundHalfUp(inUse, d);
}

} // namespace

// --- The rotation markers while the geometry changes ---

// While the chart geometry or the spot changes, the rotated markers, placed for the old
// one, step aside for the plain spot until the next change of time places them again; the
// Carrington marker then starts again from the spot's longitude.
void Session::HoldRotationMarkers() {
    if (options_.CarringtonShown) markers_.CarrRefSet = false;
    markersAside_ = true;
}

void Session::AfterGeometryChange() {
    HoldRotationMarkers();
    LocateSpot(spot_, CurrentFrame(), observing_.obs_.ephemeris);
    FollowSeparation();
    Settle();
}

// --- Grid ---

void Session::SayOrientation() {
    if (!picture_.opened_) return;
    Say("Orientation: " + OrientationWords(Geometry()) + " (" +
        std::string(OrientationSourceName(picture_.opened_->context.orientationSource)) + ")");
}

// --- The spot's entry ---

void Session::ResetSpot() {
    // A spot and a separation measured on one picture mean nothing on the next.
    spot_.SpotX = spot_.SpotY = 0;
    Text(EditBox::XCoord) = Text(EditBox::YCoord) = "0.0";
    ForgetSpotSize();
    ResetSeparation(sep_);
}

void Session::ForgetSpotSize() {
    spot_.SpotSize = 0;
    Text(EditBox::Size) = "0.0";
}

void Session::ApplyGridSize(bool mm) {
    options_.GridMm = mm;
    spot_.GridCellArea = mm ? MmGridCellArea : InchGridCellArea;
    Settle();
}

void Session::TakeSpotCoordinate(EditBox box, double value) {
    (box == EditBox::XCoord ? spot_.SpotX : spot_.SpotY) = value;
    HoldRotationMarkers();
    LocateSpot(spot_, CurrentFrame(), observing_.obs_.ephemeris);
}

void Session::SetSpotFromProgram(double x, double y) {
    const double rx = RoundToHundredthsAwayFromZero(x);
    const double ry = RoundToHundredthsAwayFromZero(y);
    Text(EditBox::XCoord) = ShortestDecimalText(rx);
    TakeSpotCoordinate(EditBox::XCoord, rx);
    Text(EditBox::YCoord) = ShortestDecimalText(ry);
    TakeSpotCoordinate(EditBox::YCoord, ry);
}

// --- Edit boxes ---

std::string& Session::Text(EditBox box) {
    return boxTexts_[static_cast<int>(box)];
}

const std::string& Session::BoxText(EditBox box) const {
    return boxTexts_[static_cast<int>(box)];
}

void Session::EditText(EditBox box, const std::string& text) {
    Text(box) = text;
    const std::optional<double> v = BoxValue(text);
    switch (box) {
    case EditBox::ObserverLat:
    case EditBox::ObserverLong: {
        Observer& o = observing_.obs_.observer;
        if (!v || !(box == EditBox::ObserverLat ? AcceptObserverLatitude(*v, o.latitude)
                                                : AcceptObserverLongitude(*v, o.longitude))) {
            break;
        }
        observing_.UpdateEphemeris();
        // With the zenith up the chart turns with the parallactic angle, which depends on
        // where the observer stands.
        if (Geometry().Mode == Orientation::AltAzimuth) {
            LocateSpot(spot_, CurrentFrame(), observing_.obs_.ephemeris);
            FollowSeparation();
        }
        break;
    }
    case EditBox::Diameter:
        if (!chart_.diameter_.boxReadOnly) chart_.ApplyTypedDiameter();
        break;
    case EditBox::XCoord:
    case EditBox::YCoord:
        if (v) TakeSpotCoordinate(box, *v);
        break;
    case EditBox::Size:
        if (v && *v >= 0) spot_.SpotSize = *v;
        break;
    }
    Settle();
}

BoxStatus Session::StatusOf(EditBox box) const {
    const std::string& text = BoxText(box);
    // What the box takes, worked out only when the text is not the value in use.
    const auto range = [&]() -> std::string {
        switch (box) {
        case EditBox::ObserverLat:
            return "Latitude from -90 to 90 degrees, north positive";
        case EditBox::ObserverLong:
            return "Longitude from -180 to 360 degrees, east positive";
        case EditBox::Diameter:
            return "Diameter from " +
                   ShortestDecimalText(
                       RoundHalfUp(SmallestChartDiameter / MmPer(chart_.diameter_.unit), 3)) +
                   " to " +
                   ShortestDecimalText(
                       RoundHalfUp(LargestChartDiameter / MmPer(chart_.diameter_.unit), 3)) +
                   " " + std::string(UnitCaption(chart_.diameter_.unit));
        case EditBox::XCoord:
        case EditBox::YCoord:
            return "Millimetres from the disk centre";
        case EditBox::Size:
            return "Grid cells, 0 or more";
        }
        return {};
    };
    double inUse = 0;
    std::optional<double> taken; // the value the text would be taken as
    const std::optional<double> v = BoxValue(text);
    switch (box) {
    case EditBox::ObserverLat: {
        inUse = observing_.obs_.observer.latitude;
        double latitude = 0;
        if (v && AcceptObserverLatitude(*v, latitude)) taken = latitude;
        break;
    }
    case EditBox::ObserverLong: {
        inUse = observing_.obs_.observer.longitude;
        double folded = 0;
        if (v && AcceptObserverLongitude(*v, folded)) taken = folded;
        break;
    }
    case EditBox::Diameter: {
        const double factor = MmPer(chart_.diameter_.unit);
        inUse = chart_.chartDiameter_ / factor;
        if (v && IsUsableChartDiameter(*v * factor)) taken = *v;
        break;
    }
    case EditBox::XCoord:
    case EditBox::YCoord:
        inUse = box == EditBox::XCoord ? spot_.SpotX : spot_.SpotY;
        taken = v;
        break;
    case EditBox::Size:
        inUse = spot_.SpotSize;
        if (v && *v >= 0) taken = *v;
        break;
    }
    BoxStatus status;
    if (taken && SameAsShown(text, *taken, inUse)) return status;
    status.state = (!v && IsNumberPrefix(text)) ? BoxState::Pending : BoxState::Refused;
    status.hint = range() + "; in use: " + ShortestDecimalText(RoundHalfUp(inUse, kHintDecimals));
    return status;
}

void Session::LeaveBox(EditBox box) {
    if (StatusOf(box).state == BoxState::InUse) return;
    double inUse = 0;
    switch (box) {
    case EditBox::ObserverLat:
        inUse = observing_.obs_.observer.latitude;
        break;
    case EditBox::ObserverLong:
        inUse = observing_.obs_.observer.longitude;
        break;
    case EditBox::Diameter:
        inUse = chart_.chartDiameter_ / MmPer(chart_.diameter_.unit);
        break;
    case EditBox::XCoord:
        inUse = spot_.SpotX;
        break;
    case EditBox::YCoord:
        inUse = spot_.SpotY;
        break;
    case EditBox::Size:
        inUse = spot_.SpotSize;
        break;
    }
    Text(box) = ShortestDecimalText(inUse);
}

} // namespace zorva
