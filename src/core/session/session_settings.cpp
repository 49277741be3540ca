// Start-up, and the settings file's values to and from the observation: one place for both
// directions.
#include "core/options/option_table.h"
#include "core/session/session.h"
#include "core/text/format.h"

namespace zorva {

void Session::ApplySettings(const SettingsLoad& load) {
    // The options as read, with the decisions start-up makes from them.
    options_ = load.settings;
    options_.Sunspot = load.sunspotChecked;
    markers_.CarrMarkerShown = options_.CarringtonShown;
    markers_.DiffMarkerShown = options_.DifferentialShown;
    observing_.obs_.observer = {options_.ObserverLat, options_.ObserverLong};
}

Settings Session::CurrentSettings() const {
    Settings s = options_;
    // The chart's own diameter in the unit shown, whatever picture is shown, and the observer
    // in use.
    SetChartDiameter(s, chart_.chartDiameter_, chart_.diameter_.unit == LengthUnit::Inch);
    s.ObserverLat = observing_.obs_.observer.latitude;
    s.ObserverLong = observing_.obs_.observer.longitude;
    return s;
}

void Session::ApplyOptionsFile(const std::map<std::string, std::string>& entries) {
    ApplyOptionsFileEntries(entries, options_);
}

bool Session::SetTextOption(std::string_view name, const std::string& value) {
    const OptionRow* row = FindOption(name);
    // The options file holds one line a value.
    if (!row || row->codec != OptionCodec::Text || value.find_first_of("\r\n") != std::string::npos)
        return false;
    std::get<std::string& (*)(Options&)>(row->field)(options_) = value;
    return true;
}

static_assert(DiameterItems[static_cast<std::size_t>(DiameterCommand::Othermm)].Name == "Othermm");
static_assert(DiameterItems[static_cast<std::size_t>(DiameterCommand::N6in)].Name == "N6in");

void Session::Start(const LoadedSettingsFiles& loaded, const CalendarDate& today) {
    folders_ = loaded.folders;
    ApplySettings(loaded.settings);
    records_.logbook_.Close();

    observing_.obs_.instant = {today.year, today.month, today.day, 12, 0, 0};
    observing_.startInstant_ = observing_.obs_.instant;
    observing_.LoadTableYear(observing_.obs_.instant.year);
    observing_.UpdateEphemeris();

    Text(EditBox::ObserverLat) = ShortestDecimalText(observing_.obs_.observer.latitude);
    Text(EditBox::ObserverLong) = ShortestDecimalText(observing_.obs_.observer.longitude);
    chart_.ApplyStartupDiameter(loaded.settings);

    // The spot starts at the disk centre with no size.
    spot_.SpotX = spot_.SpotY = 0;
    Text(EditBox::XCoord) = Text(EditBox::YCoord) = Text(EditBox::Size) = "0.0";
    ApplyGridSize(loaded.settings.settings.GridMm);

    LocateSpot(spot_, FrameAt(chart_.geometry(), observing_.obs_.ephemeris),
               observing_.obs_.ephemeris);
    ResetSeparation(sep_);
    // What could not be read is said, not passed over: the defaults stand in for it.
    if (!loaded.settings.error.empty()) Say(loaded.settings.error + " (the default is used)");
    Settle();
}

} // namespace zorva
