// The observation's state, its recalculation cycle and the display commands.
#include "core/session/session.h"

#include "core/chart/projection.h"
#include "core/text/format.h"

namespace zorva {

Changes& Changes::operator|=(const Changes& o) {
    chart |= o.chart;
    image |= o.image;
    chartSize |= o.chartSize;
    readouts |= o.readouts;
    menus |= o.menus;
    boxes |= o.boxes;
    pickers |= o.pickers;
    logRequest |= o.logRequest;
    regions |= o.regions;
    tableSource |= o.tableSource;
    if (!o.status.empty()) status = o.status;
    notices.insert(notices.end(), o.notices.begin(), o.notices.end());
    return *this;
}

Session::Session(std::filesystem::path folder) : folder_(std::move(folder)) {}

Changes Session::Take() {
    const Changes c = changes_;
    changes_ = {};
    return c;
}

CalendarDate Session::Date() const {
    return {obs_.instant.year, obs_.instant.month, obs_.instant.day};
}

TimeOfDay Session::Time() const {
    return {obs_.instant.hour, obs_.instant.minute, obs_.instant.second};
}

WindowFit Session::Fit() const {
    const int32_t side = ChartSidePixels();
    return FitWindowToChart(side, side, chart_.ScreenWidth, chart_.ScreenHeight);
}

double Session::ChartRotationNow() const {
    return ChartRotation(chart_, obs_.ephemeris.P, obs_.ephemeris.ParallacticAngle);
}

std::string Session::SizeUnitText() const {
    return options_.GridMm ? MmGridSizeLabel : InchGridSizeLabel;
}

// --- The instant and its cycle ---

void Session::LoadTableYear(int32_t year) {
    obs_.TableYear = year;
    obs_.TableFileName = YearFileName(year);
    obs_.TableDays = LoadYearTable(year, obs_.DailyTable, folder_, &obs_.TableSource);
    changes_.tableSource = true;
}

void Session::UpdateEphemeris() {
    zorva::UpdateEphemeris(obs_.TableYear, obs_.DailyTable, obs_.TableDays, obs_.instant,
                           obs_.observer, obs_.ephemeris, folder_);
}

Changes Session::ChangeDate(const CalendarDate& picked, bool spun) {
    const Instant previous = obs_.instant;
    const CalendarDate date = spun ? CarrySpunDate(Date(), picked) : picked;
    if (!(date == picked)) changes_.pickers = true; // the picker shows the carried date
    obs_.instant.year = date.year;
    obs_.instant.month = date.month;
    obs_.instant.day = date.day;
    if (obs_.instant.year != obs_.TableYear) LoadTableYear(obs_.instant.year);
    RecalcTail(previous, DateFoldLimit);
    return Take();
}

Changes Session::ChangeTime(const TimeOfDay& picked, bool spun) {
    const Instant previous = obs_.instant;
    CarriedTime carried{picked, 0};
    if (spun) carried = CarrySpunTime(Time(), picked);
    if (!(carried.time == picked) || carried.dayShift != 0) changes_.pickers = true;
    obs_.instant.hour = carried.time.hour;
    obs_.instant.minute = carried.time.minute;
    obs_.instant.second = carried.time.second;
    if (carried.dayShift != 0) {
        const CalendarDate date = ShiftDate(Date(), carried.dayShift);
        obs_.instant.year = date.year;
        obs_.instant.month = date.month;
        obs_.instant.day = date.day;
        if (obs_.instant.year != obs_.TableYear) LoadTableYear(obs_.instant.year);
    }
    RecalcTail(previous, TimeFoldLimit);
    return Take();
}

namespace {
bool ShowableInstant(const Instant& t) {
    constexpr int32_t kLastMonth = 12, kLastHour = 23, kLastMinute = 59, kLastSecond = 59;
    return t.year >= kFirstPickerYear && t.year <= kLastPickerYear && t.month >= 1 &&
           t.month <= kLastMonth && t.day >= 1 && t.day <= DaysInMonth(t.year, t.month) &&
           t.hour >= 0 && t.hour <= kLastHour && t.minute >= 0 && t.minute <= kLastMinute &&
           t.second >= 0 && t.second <= kLastSecond;
}
} // namespace

Changes Session::SetInstant(const Instant& instant) {
    if (!ShowableInstant(instant)) return Take();
    const Instant previous = obs_.instant;
    obs_.instant = instant;
    changes_.pickers = true; // the pickers show the new instant
    if (obs_.instant.year != obs_.TableYear) LoadTableYear(obs_.instant.year);
    RecalcTail(previous, DateFoldLimit);
    return Take();
}

Changes Session::StepInstantBy(StepUnit unit, int32_t count) {
    return SetInstant(StepInstant(obs_.instant, unit, count));
}

Changes Session::Recalculate() {
    RecalcTail(obs_.instant, DateFoldLimit);
    return Take();
}

void Session::RecalcTail(const Instant& previous, int foldLimit) {
    UpdateEphemeris();
    ShowPositionReadouts();
    ShowSolarParameters();
    const double q = ChartRotationNow();
    // While a marker follows the spot through time, the typed position is not taken again.
    if (!markers_.CarrMarkerShown && !markers_.DiffMarkerShown) {
        LocateSpot(spot_, chart_, obs_.ephemeris);
    }
    if (!markers_.CarrMarkerShown) markers_.CarrRefSet = false;
    CarryRotationMarkers(previous, obs_.instant, q, obs_.ephemeris, chart_, spot_, markers_,
                         foldLimit);
    ShowSpotReadouts();
    if (ChartShown()) RedrawChart();
    ShowSpotArea();
    if (ImageShown()) RedrawImage(options_.Sunspot);
    if (options_.SolarRegionSummary) {
        if (options_.LinkWithDate) FollowDate(false);
        PlotRegions();
    }
    // Without a separation mode the measurement belongs to the old instant.
    if (!options_.Arc1 && !options_.Arc2) ClearSeparation();
}

// --- Readouts ---

void Session::ShowPositionReadouts() {
    readouts_.position = PositionReadoutTexts(obs_.ephemeris, options_.precisions, chart_.Mode);
    changes_.readouts = true;
}

void Session::ShowSolarParameters() {
    readouts_.parameters = SolarParameterTexts(obs_.ephemeris, options_.precisions);
    changes_.readouts = true;
}

void Session::ShowSpotReadouts() {
    readouts_.spot = UpdateSpotReadouts(spot_);
    changes_.readouts = true;
}

void Session::ShowSpotArea() {
    readouts_.area = ComputeSpotArea(spot_, chart_.ChartDiameter);
    if (readouts_.area.NewLeft) readouts_.areaLeft = *readouts_.area.NewLeft;
    changes_.readouts = true;
}

void Session::ShowSeparation() {
    readouts_.separation = ShowSeparationTexts(sep_);
    changes_.readouts = true;
}

void Session::ClearSeparation() {
    ResetSeparation(sep_);
    ShowSeparation();
}

Changes Session::ChoosePrecision(PrecisionGroup group, int32_t item) {
    ReadoutPrecisions& p = options_.precisions;
    switch (group) {
    case PrecisionGroup::RA:
        p.RAPrecision = item;
        ShowPositionReadouts();
        break;
    case PrecisionGroup::Dec:
        p.DecPrecision = item;
        ShowPositionReadouts();
        break;
    case PrecisionGroup::AltAzi:
        p.AltAziPrecision = item;
        ShowPositionReadouts();
        break;
    case PrecisionGroup::BLP:
        p.BLPPrecision = item;
        ShowSolarParameters();
        break;
    case PrecisionGroup::Diam:
        p.DiamPrecision = item;
        ShowSolarParameters();
        break;
    case PrecisionGroup::LatLong:
        spot_.LatLongPrecision = item;
        ShowSpotReadouts();
        break;
    case PrecisionGroup::Area:
        spot_.AreaPrecision = item;
        ShowSpotArea();
        break;
    }
    changes_.menus = true;
    return Take();
}

// --- The pickers ---

Changes Session::ChooseDateFormat(bool dateLong) {
    pickers_.dateLong = dateLong;
    changes_.pickers = true;
    changes_.menus = true;
    return Take();
}

Changes Session::ChangePickerWidth(PickerWidthCommand command) {
    PickerWidthChange enabled;
    enabled.increaseDateEnabled = pickers_.increaseDateEnabled;
    enabled.increaseTimeEnabled = pickers_.increaseTimeEnabled;
    enabled.decreaseDateEnabled = pickers_.decreaseDateEnabled;
    enabled.decreaseTimeEnabled = pickers_.decreaseTimeEnabled;
    DateLayout& layout = pickers_.dateLong ? pickers_.longLayout : pickers_.shortLayout;
    PickerWidthChange change;
    switch (command) {
    case PickerWidthCommand::IncreaseDate:
        change = IncreaseDateWindow(layout, kDateTimeGroup, enabled);
        break;
    case PickerWidthCommand::IncreaseTime:
        change = IncreaseTimeWindow(layout, kDateTimeGroup, enabled);
        break;
    case PickerWidthCommand::DecreaseDate:
        change = DecreaseDateWindow(layout, enabled);
        break;
    case PickerWidthCommand::DecreaseTime:
        change = DecreaseTimeWindow(layout, enabled);
        break;
    }
    layout = change.layout;
    pickers_.increaseDateEnabled = change.increaseDateEnabled;
    pickers_.increaseTimeEnabled = change.increaseTimeEnabled;
    pickers_.decreaseDateEnabled = change.decreaseDateEnabled;
    pickers_.decreaseTimeEnabled = change.decreaseTimeEnabled;
    changes_.pickers = true;
    changes_.menus = true;
    return Take();
}

// --- Markers, colours and toggles ---

Changes Session::ToggleRotation(RotationMarker marker) {
    const bool carrington = marker == RotationMarker::Carrington;
    bool& checked = carrington ? options_.RotationCarrington : options_.RotationDifferential;
    bool& shown = carrington ? markers_.CarrMarkerShown : markers_.DiffMarkerShown;
    checked = !checked;
    shown = checked;
    if (checked) {
        options_.Sunspot = true;
    } else if (carrington) {
        markers_.CarrRefSet = false; // the next start captures the spot's longitude again
    }
    changes_.menus = true;
    return Take();
}

Changes Session::ChooseMarkerColour(RotationMarker marker, uint32_t colour) {
    (marker == RotationMarker::Carrington ? options_.Carrington : options_.Differential).Colour =
        colour;
    changes_.menus = true;
    return Recalculate();
}

Changes Session::ToggleMarkerLabel(RotationMarker marker) {
    bool& label =
        (marker == RotationMarker::Carrington ? options_.Carrington : options_.Differential).Label;
    label = !label;
    changes_.menus = true;
    return Recalculate();
}

Changes Session::ChooseSRSColour(uint32_t colour) {
    options_.SRSColour = colour;
    changes_.menus = true;
    return Recalculate();
}

Changes Session::ToggleSRSFileNameLabel() {
    options_.SRSFileNameLabel = !options_.SRSFileNameLabel;
    changes_.menus = true;
    return Recalculate();
}

Changes Session::ToggleLogfileMessages() {
    options_.LogFileMessageFlag = options_.LogFileMessageFlag == 0 ? 1 : 0;
    changes_.menus = true;
    return Take();
}

Changes Session::ChooseScreen(int32_t item) {
    const ScreenItem& chosen = ScreenItems.at(static_cast<std::size_t>(item - 1));
    chart_.ScreenWidth = chosen.Width;
    chart_.ScreenHeight = chosen.Height;
    options_.ScreenItem = item;
    // The new size takes effect at the next change of diameter or the next start.
    changes_.menus = true;
    return Take();
}

} // namespace zorva
