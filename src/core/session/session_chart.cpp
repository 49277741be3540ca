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
    LocateSpot(spot_, CurrentFrame(), obs_.ephemeris);
    FollowSeparation();
    Settle();
}

// --- Diameter ---

void Session::ApplyFixedDiameter(const DiameterItem& item) {
    chartDiameter_ = item.DiameterMm;
    diameter_.item = static_cast<int32_t>(&item - DiameterItems.data());
    diameter_.unit = item.Unit;
    diameter_.boxReadOnly = true;
    Text(EditBox::Diameter) = DiamBoxText(item.BoxValue);
    AfterGeometryChange();
}

bool Session::OtherDiameter(int32_t item) {
    const DiameterItem& other = DiameterItems.at(static_cast<std::size_t>(item));
    std::string text = Text(EditBox::Diameter);
    if (other.Unit != diameter_.unit) {
        // Switching the unit keeps the disk's size: the diameter in use is shown in the new
        // unit, rather than the old number being read in it.
        text = GeneralText(chartDiameter_ / MmPer(other.Unit), kConvertedDigits);
    }
    const std::optional<double> v = BoxValue(text);
    if (!v || !(*v > 0)) return false;
    if (TypedDiameterMm(*v, other.Unit) > LargestChartDiameter) return false;
    Text(EditBox::Diameter) = text;
    diameter_.unit = other.Unit;
    diameter_.boxReadOnly = false;
    diameter_.item = item;
    ApplyTypedDiameter();
    return true;
}

void Session::ApplyTypedDiameter() {
    const std::optional<double> v = BoxValue(Text(EditBox::Diameter));
    if (!v || !ChartShown()) return;
    const double diameter = TypedDiameterMm(*v, diameter_.unit);
    if (!IsUsableChartDiameter(diameter)) return;
    chartDiameter_ = diameter;
    AfterGeometryChange();
}

void Session::ChooseDiameter(int32_t item) {
    // The picture's disk gives its own scale; the chart's is chosen while the chart shows.
    if (picture_.Shown()) return;
    const DiameterItem& chosen = DiameterItems.at(static_cast<std::size_t>(item));
    if (chosen.Fixed) {
        ApplyFixedDiameter(chosen);
    } else {
        OtherDiameter(item);
    }
}

// --- Flip, mirror, orientation, grid ---

void Session::Flip() {
    FlipOrMirror(true);
}

void Session::Mirror() {
    FlipOrMirror(false);
}

void Session::FlipOrMirror(bool flip) {
    // A picture whose file states its turn is flipped in its own turn; another picture in
    // the orientation chosen for pictures; the chart in its own.
    if (picture_.opened_ && picture_.opened_->context.turn) {
        PictureTurn& turn = *picture_.opened_->context.turn;
        int32_t& sign = flip ? turn.flip : turn.mirror;
        sign = ToggledSign(ValidSign(sign));
    } else if (picture_.opened_ && picture_.opened_->context.orientation) {
        DiskOrientation& turn = *picture_.opened_->context.orientation;
        int32_t& sign = flip ? turn.FlipSign : turn.MirrorSign;
        sign = ToggledSign(sign);
    } else if (picture_.opened_) {
        int32_t& sign = flip ? options_.PictureFlipSign : options_.PictureMirrorSign;
        sign = ToggledSign(ValidSign(sign));
    } else {
        int32_t& sign = flip ? options_.FlipSign : options_.MirrorSign;
        sign = ToggledSign(sign);
    }
    SayOrientation();
    HoldRotationMarkers();
    LocateSpot(spot_, CurrentFrame(), obs_.ephemeris);
    FollowSeparation();
    Settle();
}

void Session::ChooseOrientation(Orientation mode) {
    if (picture_.opened_) {
        // A choice from the menu ends the file's turn and the one given, and is kept for
        // pictures.
        picture_.opened_->context.orientation.reset();
        picture_.opened_->context.turn.reset();
        picture_.opened_->context.orientationSource = OrientationSource::Picture;
        options_.PictureOrientation = mode;
        SayOrientation();
    } else {
        options_.OrientationMode = mode;
    }
    LocateSpot(spot_, CurrentFrame(), obs_.ephemeris);
    FollowSeparation();
    Settle();
}

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
    LocateSpot(spot_, CurrentFrame(), obs_.ephemeris);
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
        Observer& o = obs_.observer;
        if (!v || !(box == EditBox::ObserverLat ? AcceptObserverLatitude(*v, o.latitude)
                                                : AcceptObserverLongitude(*v, o.longitude))) {
            break;
        }
        UpdateEphemeris();
        // With the zenith up the chart turns with the parallactic angle, which depends on
        // where the observer stands.
        if (Geometry().Mode == Orientation::AltAzimuth) {
            LocateSpot(spot_, CurrentFrame(), obs_.ephemeris);
            FollowSeparation();
        }
        break;
    }
    case EditBox::Diameter:
        if (!diameter_.boxReadOnly) ApplyTypedDiameter();
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
                       RoundHalfUp(SmallestChartDiameter / MmPer(diameter_.unit), 3)) +
                   " to " +
                   ShortestDecimalText(
                       RoundHalfUp(LargestChartDiameter / MmPer(diameter_.unit), 3)) +
                   " " + std::string(UnitCaption(diameter_.unit));
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
        inUse = obs_.observer.latitude;
        double latitude = 0;
        if (v && AcceptObserverLatitude(*v, latitude)) taken = latitude;
        break;
    }
    case EditBox::ObserverLong: {
        inUse = obs_.observer.longitude;
        double folded = 0;
        if (v && AcceptObserverLongitude(*v, folded)) taken = folded;
        break;
    }
    case EditBox::Diameter: {
        const double factor = MmPer(diameter_.unit);
        inUse = chartDiameter_ / factor;
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
        inUse = obs_.observer.latitude;
        break;
    case EditBox::ObserverLong:
        inUse = obs_.observer.longitude;
        break;
    case EditBox::Diameter:
        inUse = chartDiameter_ / MmPer(diameter_.unit);
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
