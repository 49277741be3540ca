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

double UnitFactor(const std::string& unit) {
    return unit == "in" ? MmPerInch : 1.0;
}

} // namespace

// --- Drawing ---

void Session::RedrawChart() {
    ChartScene& s = picture_.scene;
    s = MakeChartScene(chart_, obs_.ephemeris, spot_, markers_);
    s.NESWPoints = options_.NESWPoints;
    s.Sunspot = options_.Sunspot;
    s.Carrington = options_.Carrington;
    s.Differential = options_.Differential;
    picture_.overlays.clear();
    changes_.chart = true;
}

void Session::RedrawImage(bool spot) {
    ImagePicture& p = imagePicture_;
    p.scene = MakeChartScene(chart_, obs_.ephemeris, spot_, markers_);
    p.scene.NESWPoints = options_.NESWPoints;
    p.scene.Sunspot = options_.Sunspot;
    p.disk = image_.Disk;
    p.limb = image_.Limb;
    p.points = options_.Points;
    p.circle = options_.Circle;
    p.spot = spot;
    p.overlays.clear();
    changes_.image = true;
}

void Session::RedrawPicture() {
    if (ChartShown()) {
        RedrawChart();
    } else {
        RedrawImage(options_.Sunspot);
    }
}

void Session::AddOverlay(Overlay overlay) {
    if (ChartShown()) {
        picture_.overlays.push_back(std::move(overlay));
        changes_.chart = true;
    } else {
        imagePicture_.overlays.push_back(std::move(overlay));
        changes_.image = true;
    }
}

DiskFrame Session::CurrentFrame() const {
    const double q = ChartRotationNow();
    if (ChartShown()) {
        const int32_t side = ChartSidePixels();
        return ChartFrame(side, side, chart_, q);
    }
    return ImageFrame(image_.Disk.cx, image_.Disk.cy, image_.Disk.r, chart_, q);
}

void Session::RefreshOverlays() {
    PlotRegions();
    if (options_.Arc1 || options_.Arc2) DrawSeparation(options_.SeparationForm, sep_.SpotInMiddle);
}

// --- The rotation markers while the geometry changes ---

// While the chart geometry changes the rotated markers step aside for the plain spot; the
// Carrington marker then starts again from the spot's longitude at the next change of time.
void Session::HoldRotationMarkers(bool rerunCoordinates) {
    if (options_.RotationCarrington) {
        markers_.CarrMarkerShown = false;
        markers_.CarrRefSet = false;
        if (rerunCoordinates) RelocateFromBoxes();
    }
    if (options_.RotationDifferential) {
        markers_.DiffMarkerShown = false;
        if (rerunCoordinates) RelocateFromBoxes();
    }
}

void Session::RestoreRotationMarkers() {
    if (options_.RotationCarrington) markers_.CarrMarkerShown = true;
    if (options_.RotationDifferential) markers_.DiffMarkerShown = true;
}

// The spot taken again from both coordinate boxes, the markers held.
void Session::RelocateFromBoxes() {
    for (const EditBox box : {EditBox::XCoord, EditBox::YCoord}) {
        const std::optional<double> v = BoxValue(Text(box));
        if (!v) continue;
        (box == EditBox::XCoord ? spot_.SpotX : spot_.SpotY) = *v;
        LocateTypedSpot();
    }
}

void Session::LocateTypedSpot() {
    LocateSpot(spot_, chart_, obs_.ephemeris);
    ShowSpotReadouts();
    if (ChartShown()) {
        RedrawChart();
    } else {
        RedrawImage(true);
    }
    ShowSpotArea();
}

void Session::AfterGeometryChange() {
    HoldRotationMarkers(true);
    LocateSpot(spot_, chart_, obs_.ephemeris);
    ShowSpotReadouts();
    RedrawChart();
    // The area depends on the chart's diameter as well.
    ShowSpotArea();
    RestoreRotationMarkers();
    RefreshOverlays();
}

// --- Diameter ---

void Session::ApplyFixedDiameter(const DiameterItem& item) {
    chart_.ChartDiameter = item.DiameterMm;
    diameter_.item = static_cast<int32_t>(&item - DiameterItems.data());
    diameter_.unit = std::string(item.Unit);
    diameter_.boxReadOnly = true;
    Text(EditBox::Diameter) = DiamBoxText(item.BoxValue);
    changes_.chartSize = changes_.boxes = changes_.menus = true;
    AfterGeometryChange();
}

bool Session::OtherDiameter(int32_t item) {
    const DiameterItem& other = DiameterItems.at(static_cast<std::size_t>(item));
    std::string text = Text(EditBox::Diameter);
    if (other.Unit != diameter_.unit) {
        // Switching the unit keeps the disk's size: the diameter in use is shown in the new
        // unit, rather than the old number being read in it.
        text = GeneralText(chart_.ChartDiameter / UnitFactor(std::string(other.Unit)),
                           kConvertedDigits);
    }
    const std::optional<double> v = BoxValue(text);
    if (!v || !(*v > 0)) return false;
    if (TypedDiameterMm(*v, other.Unit) > LargestChartDiameter) return false;
    Text(EditBox::Diameter) = text;
    diameter_.unit = std::string(other.Unit);
    diameter_.boxReadOnly = !ChartShown();
    diameter_.item = item;
    changes_.boxes = changes_.menus = true;
    ApplyTypedDiameter();
    return true;
}

void Session::ApplyTypedDiameter() {
    const std::optional<double> v = BoxValue(Text(EditBox::Diameter));
    if (!v || !(*v > 0) || !ChartShown()) return;
    const double diameter = TypedDiameterMm(*v, diameter_.unit);
    if (diameter > LargestChartDiameter) return;
    chart_.ChartDiameter = diameter;
    changes_.chartSize = true;
    AfterGeometryChange();
}

Changes Session::ChooseDiameter(int32_t item) {
    const DiameterItem& chosen = DiameterItems.at(static_cast<std::size_t>(item));
    if (chosen.Fixed) {
        ApplyFixedDiameter(chosen);
    } else {
        OtherDiameter(item);
    }
    return Take();
}

// --- Flip, mirror, orientation, grid ---

Changes Session::Flip() {
    FlipOrMirror(chart_.FlipSign);
    return Take();
}

Changes Session::Mirror() {
    FlipOrMirror(chart_.MirrorSign);
    return Take();
}

void Session::FlipOrMirror(int32_t& sign) {
    sign = ToggledSign(sign);
    if (ChartShown()) {
        HoldRotationMarkers(false);
        LocateSpot(spot_, chart_, obs_.ephemeris);
        ShowSpotReadouts();
        RedrawChart();
        RestoreRotationMarkers();
        RefreshOverlays();
    } else {
        // On a solar image the spot keeps its place and readouts until it is next located.
        RedrawImage(false);
        RefreshOverlays();
    }
}

Changes Session::ChooseOrientation(Orientation mode) {
    RestoreUserOrientation(); // a choice from the menu ends the header's turn
    chart_.Mode = mode;
    changes_.menus = true;
    ShowPositionReadouts();
    LocateSpot(spot_, chart_, obs_.ephemeris);
    ShowSpotReadouts();
    RedrawPicture();
    RefreshOverlays();
    return Take();
}

Changes Session::ToggleGridItem(GridItem item) {
    switch (item) {
    case GridItem::NESWPoints:
        options_.NESWPoints = !options_.NESWPoints;
        break;
    case GridItem::CentralMeridian:
        chart_.ShowCentralMeridian = !chart_.ShowCentralMeridian;
        break;
    case GridItem::Equator:
        chart_.ShowEquator = !chart_.ShowEquator;
        break;
    case GridItem::LatLines:
        chart_.ShowLatLines = !chart_.ShowLatLines;
        break;
    case GridItem::LongLines:
        chart_.ShowLongLines = !chart_.ShowLongLines;
        break;
    }
    changes_.menus = true;
    RedrawPicture();
    RefreshOverlays();
    return Take();
}

Changes Session::ToggleSunspot() {
    if (!options_.Sunspot) {
        options_.Sunspot = true;
    } else if (!markers_.CarrMarkerShown && !markers_.DiffMarkerShown) {
        options_.Sunspot = false; // while a rotation marker is shown the spot stays on
    }
    changes_.menus = true;
    RedrawPicture();
    RefreshOverlays();
    return Take();
}

// --- The spot's entry ---

void Session::ApplyGridSize(bool mm) {
    options_.GridMm = mm;
    spot_.GridCellArea = mm ? MmGridCellArea : InchGridCellArea;
    changes_.menus = changes_.readouts = true;
    ShowSpotArea();
}

Changes Session::ChooseGridSize(bool mm) {
    ApplyGridSize(mm);
    return Take();
}

void Session::TakeSpotCoordinate(EditBox box, double value) {
    (box == EditBox::XCoord ? spot_.SpotX : spot_.SpotY) = value;
    HoldRotationMarkers(false);
    LocateTypedSpot();
    RestoreRotationMarkers();
}

void Session::SetSpotFromProgram(double x, double y) {
    const double rx = RoundToHundredthsAwayFromZero(x);
    const double ry = RoundToHundredthsAwayFromZero(y);
    Text(EditBox::XCoord) = ShortestDecimalText(rx);
    TakeSpotCoordinate(EditBox::XCoord, rx);
    Text(EditBox::YCoord) = ShortestDecimalText(ry);
    TakeSpotCoordinate(EditBox::YCoord, ry);
    changes_.boxes = true;
}

// --- Edit boxes ---

std::string& Session::Text(EditBox box) {
    return boxTexts_[static_cast<int>(box)];
}

const std::string& Session::BoxText(EditBox box) const {
    return boxTexts_[static_cast<int>(box)];
}

Changes Session::EditText(EditBox box, const std::string& text) {
    Text(box) = text;
    changes_.boxes = true; // the box's mark follows its text
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
        ShowPositionReadouts();
        // With the zenith up the chart turns with the parallactic angle, which depends on
        // where the observer stands.
        if (chart_.Mode == Orientation::AltAzimuth) {
            LocateSpot(spot_, chart_, obs_.ephemeris);
            ShowSpotReadouts();
            RedrawPicture();
            RefreshOverlays();
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
        if (v && *v >= 0) {
            spot_.SpotSize = *v;
            ShowSpotArea();
        }
        break;
    }
    return Take();
}

BoxStatus Session::StatusOf(EditBox box) const {
    const std::string& text = BoxText(box);
    std::string range;
    double inUse = 0;
    std::optional<double> taken; // the value the text would be taken as
    const std::optional<double> v = BoxValue(text);
    switch (box) {
    case EditBox::ObserverLat: {
        range = "Latitude from -90 to 90 degrees, north positive";
        inUse = obs_.observer.latitude;
        double latitude = 0;
        if (v && AcceptObserverLatitude(*v, latitude)) taken = latitude;
        break;
    }
    case EditBox::ObserverLong: {
        range = "Longitude from -180 to 360 degrees, east positive";
        inUse = obs_.observer.longitude;
        double folded = 0;
        if (v && AcceptObserverLongitude(*v, folded)) taken = folded;
        break;
    }
    case EditBox::Diameter: {
        const double factor = UnitFactor(diameter_.unit);
        range = "Diameter above 0 and up to " +
                ShortestDecimalText(RoundHalfUp(LargestChartDiameter / factor, 3)) + " " +
                diameter_.unit;
        inUse = chart_.ChartDiameter / factor;
        if (v && *v > 0 && *v * factor <= LargestChartDiameter) taken = *v;
        break;
    }
    case EditBox::XCoord:
    case EditBox::YCoord:
        range = "Millimetres from the disk centre";
        inUse = box == EditBox::XCoord ? spot_.SpotX : spot_.SpotY;
        taken = v;
        break;
    case EditBox::Size:
        range = "Grid cells, 0 or more";
        inUse = spot_.SpotSize;
        if (v && *v >= 0) taken = *v;
        break;
    }
    BoxStatus status;
    if (taken && SameAsShown(text, *taken, inUse)) return status;
    status.state = (!v && IsNumberPrefix(text)) ? BoxState::Pending : BoxState::Refused;
    status.hint = range + "; in use: " + ShortestDecimalText(RoundHalfUp(inUse, kHintDecimals));
    return status;
}

Changes Session::LeaveBox(EditBox box) {
    if (StatusOf(box).state == BoxState::InUse) return Take();
    double inUse = 0;
    switch (box) {
    case EditBox::ObserverLat:
        inUse = obs_.observer.latitude;
        break;
    case EditBox::ObserverLong:
        inUse = obs_.observer.longitude;
        break;
    case EditBox::Diameter:
        inUse = chart_.ChartDiameter / UnitFactor(diameter_.unit);
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
    changes_.boxes = true;
    return Take();
}

} // namespace zorva
