// Start-up, and the settings file's values to and from the observation: one place for both
// directions.
#include "core/session/session.h"
#include "core/text/format.h"

namespace zorva {

void Session::ApplySettings(const SettingsLoad& load) {
    const Settings& s = load.settings;
    chart_.FlipSign = s.FlipSign;
    chart_.MirrorSign = s.MirrorSign;
    chart_.ShowCentralMeridian = s.ShowCentralMeridian;
    chart_.ShowEquator = s.ShowEquator;
    chart_.ShowLatLines = s.ShowLatLines;
    chart_.ShowLongLines = s.ShowLongLines;
    chart_.ScreenWidth = s.ScreenWidth;
    chart_.ScreenHeight = s.ScreenHeight;
    if (load.orientation) chart_.Mode = *load.orientation;
    pickers_.dateLong = s.DateLong;
    pickers_.shortLayout = s.ShortDateLayout;
    pickers_.longLayout = s.LongDateLayout;
    obs_.observer = {s.ObserverLat, s.ObserverLong};

    options_.NESWPoints = s.NESWPoints;
    options_.Sunspot = load.sunspotChecked;
    options_.Points = s.Points;
    options_.Circle = s.Circle;
    options_.RotationCarrington = markers_.CarrMarkerShown = s.Carrington.Shown;
    options_.RotationDifferential = markers_.DiffMarkerShown = s.Differential.Shown;
    options_.Carrington = {s.Carrington.Colour, s.Carrington.Label};
    options_.Differential = {s.Differential.Colour, s.Differential.Label};
    options_.SRSColour = s.SRSColour;
    options_.SRSFileNameLabel = s.SRSFileNameLabel;
    if (load.separationPath == SeparationPathChoice::LongitudeArc1) {
        options_.SeparationForm = FigureForm::LongitudeArc;
    } else if (load.separationPath == SeparationPathChoice::GreatCircle1) {
        options_.SeparationForm = FigureForm::GreatCircle;
    }
    sep_.SpotInMiddle = s.SpotInMiddle;
    options_.DistColour1 = s.DistColour1;
    options_.DistColour2 = s.DistColour2;
    options_.ScreenItem = static_cast<int32_t>(load.screenItem);
    options_.precisions = ReadoutPrecisionsOf(s);
    spot_.LatLongPrecision = s.LatLongPrecision;
    spot_.AreaPrecision = s.AreaPrecision;
    options_.LogFileMessageFlag = s.LogFileMessageFlag;
}

Settings Session::CurrentSettings() const {
    Settings s;
    s.HideWelcome = hideWelcome_;
    // The chart's own orientation and diameter, whatever picture is shown.
    s.FlipSign = chart_.FlipSign;
    s.MirrorSign = chart_.MirrorSign;
    SetChartDiameter(s, chart_.ChartDiameter, diameter_.unit == LengthUnit::Inch);
    s.DateLong = pickers_.dateLong;
    s.ShortDateLayout = pickers_.shortLayout;
    s.LongDateLayout = pickers_.longLayout;
    s.GridMm = options_.GridMm;
    s.ObserverLat = obs_.observer.latitude;
    s.ObserverLong = obs_.observer.longitude;
    s.NESWPoints = options_.NESWPoints;
    s.ShowCentralMeridian = chart_.ShowCentralMeridian;
    s.ShowEquator = chart_.ShowEquator;
    s.ShowLatLines = chart_.ShowLatLines;
    s.ShowLongLines = chart_.ShowLongLines;
    s.Carrington = {options_.RotationCarrington, options_.Carrington.Colour,
                    options_.Carrington.Label};
    s.Differential = {options_.RotationDifferential, options_.Differential.Colour,
                      options_.Differential.Label};
    s.ScreenWidth = chart_.ScreenWidth;
    s.ScreenHeight = chart_.ScreenHeight;
    s.Sunspot = options_.Sunspot;
    s.Points = options_.Points;
    s.Circle = options_.Circle;
    s.SRSColour = options_.SRSColour;
    s.SRSFileNameLabel = options_.SRSFileNameLabel;
    s.SeparationPath = options_.SeparationForm == FigureForm::LongitudeArc ? 1 : 2;
    s.SpotInMiddle = sep_.SpotInMiddle;
    s.DistColour1 = options_.DistColour1;
    s.DistColour2 = options_.DistColour2;
    s.OrientationMode = static_cast<int32_t>(chart_.Mode);
    s.RAPrecision = options_.precisions.RAPrecision;
    s.DecPrecision = options_.precisions.DecPrecision;
    s.AltAziPrecision = options_.precisions.AltAziPrecision;
    s.BLPPrecision = options_.precisions.BLPPrecision;
    s.DiamPrecision = options_.precisions.DiamPrecision;
    s.LatLongPrecision = spot_.LatLongPrecision;
    s.AreaPrecision = spot_.AreaPrecision;
    s.LogFileMessageFlag = options_.LogFileMessageFlag;
    return s;
}

void Session::ApplyStartupDiameter(const SettingsLoad& load) {
    // The diameter box holds a placeholder until the stored diameter's command runs.
    diameter_.unit = LengthUnit::Mm;
    Text(EditBox::Diameter) = "500";
    const DiameterCommand command = load.diameterCommand;
    if (command == DiameterCommand::None) return;
    const auto item = static_cast<int32_t>(command);
    if (command == DiameterCommand::Othermm || command == DiameterCommand::Otherin) {
        diameter_.unit = command == DiameterCommand::Othermm ? LengthUnit::Mm : LengthUnit::Inch;
        Text(EditBox::Diameter) = load.diamBoxText;
        OtherDiameter(item);
    } else {
        ApplyFixedDiameter(DiameterItems.at(static_cast<std::size_t>(item)));
    }
}

static_assert(DiameterItems[static_cast<std::size_t>(DiameterCommand::Othermm)].Name == "Othermm");
static_assert(DiameterItems[static_cast<std::size_t>(DiameterCommand::N6in)].Name == "N6in");

void Session::Start(const LoadedSettingsFiles& loaded, const CalendarDate& today) {
    folders_ = loaded.folders;
    ApplySettings(loaded.settings);
    logfileOpen_ = false;

    obs_.instant = {today.year, today.month, today.day, 12, 0, 0};
    LoadTableYear(obs_.instant.year);
    UpdateEphemeris();

    Text(EditBox::ObserverLat) = ShortestDecimalText(obs_.observer.latitude);
    Text(EditBox::ObserverLong) = ShortestDecimalText(obs_.observer.longitude);
    ApplyStartupDiameter(loaded.settings);

    // The spot starts at the disk centre with no size.
    spot_.SpotX = spot_.SpotY = 0;
    Text(EditBox::XCoord) = Text(EditBox::YCoord) = Text(EditBox::Size) = "0.0";
    ApplyGridSize(loaded.settings.settings.GridMm);

    LocateSpot(spot_, chart_, obs_.ephemeris);
    ResetSeparation(sep_);
    Settle();
}

} // namespace zorva
