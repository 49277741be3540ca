// The observation's state, its recalculation cycle and the display commands.
#include "core/session/session.h"

#include "core/chart/projection.h"
#include "core/images/limb.h"
#include "core/images/limb_refine.h"
#include "core/text/format.h"

namespace zorva {

Session::Session(YearTables tables, SpotSearch search)
    : tables_(std::move(tables)), spots_(*this, std::move(search)) {}

void Session::Say(std::string status) {
    messages_.Say(std::move(status));
}

CalendarDate Session::Date() const {
    return {obs_.instant.year, obs_.instant.month, obs_.instant.day};
}

TimeOfDay Session::Time() const {
    return {obs_.instant.hour, obs_.instant.minute, obs_.instant.second};
}

WindowFit Session::Fit() const {
    const int32_t side = ChartSidePixels();
    return FitWindowToChart(side, side, options_.ScreenWidth, options_.ScreenHeight);
}

ChartGeometry Session::chart() const {
    ChartGeometry g;
    g.ChartDiameter = chartDiameter_;
    g.FlipSign = options_.FlipSign;
    g.MirrorSign = options_.MirrorSign;
    g.Mode = options_.OrientationMode;
    g.ShowCentralMeridian = options_.ShowCentralMeridian;
    g.ShowEquator = options_.ShowEquator;
    g.ShowLatLines = options_.ShowLatLines;
    g.ShowLongLines = options_.ShowLongLines;
    g.ScreenWidth = options_.ScreenWidth;
    g.ScreenHeight = options_.ScreenHeight;
    return g;
}

ChartGeometry Session::PictureOrientation() const {
    ChartGeometry g = chart();
    g.Mode = options_.PictureOrientation;
    g.FlipSign = ValidSign(options_.PictureFlipSign);
    g.MirrorSign = ValidSign(options_.PictureMirrorSign);
    return g;
}

ChartGeometry Session::Geometry() const {
    return picture_.opened_ ? PictureGeometry(picture_.opened_->context, PictureOrientation())
                            : chart();
}

FigureForm Session::SeparationForm() const {
    return options_.SeparationPath;
}

const DateLayout& Session::PickerLayout() const {
    return options_.DateLong ? options_.LongDateLayout : options_.ShortDateLayout;
}

double Session::ChartRotationNow() const {
    return ChartRotation(Geometry(), obs_.ephemeris.P, obs_.ephemeris.ParallacticAngle);
}

DiskFrame Session::CurrentFrame() const {
    if (picture_.opened_)
        return PictureFrame(picture_.opened_->context, PictureOrientation(), obs_.ephemeris);
    const int32_t side = ChartSidePixels();
    return ChartDiskFrame(side, side, chart(), ChartRotationNow());
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

// --- The instant and its cycle ---

void Session::LoadTableYear(int32_t year) {
    const YearTable& table = tables_.Load(year);
    obs_.TableYear = year;
    obs_.TableDays = table.count;
    obs_.TableSource = table.source;
    // A damaged year file is named on the status bar once for each time its year comes up.
    if (!table.source.error.empty()) Say(table.source.error);
}

void Session::UpdateEphemeris() {
    tables_.LoadFor(obs_.instant);
    obs_.ephemeris = tables_.At(obs_.instant, obs_.observer);
}

void Session::ChangeDate(const CalendarDate& picked, bool spun) {
    const Instant previous = obs_.instant;
    const CalendarDate date = spun ? CarrySpunDate(Date(), picked) : picked;
    obs_.instant.year = date.year;
    obs_.instant.month = date.month;
    obs_.instant.day = date.day;
    if (obs_.instant.year != obs_.TableYear) LoadTableYear(obs_.instant.year);
    RecalcTail(previous, DateFoldLimit);
    picture_.InstantGiven();
}

void Session::ChangeTime(const TimeOfDay& picked, bool spun) {
    const Instant previous = obs_.instant;
    CarriedTime carried{picked, 0};
    if (spun) carried = CarrySpunTime(Time(), picked);
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
    picture_.InstantGiven();
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

bool Session::SetInstant(const Instant& instant) {
    if (!MoveInstant(instant)) return false;
    picture_.InstantGiven();
    return true;
}

bool Session::MoveInstant(const Instant& instant) {
    if (!ShowableInstant(instant)) return false;
    const Instant previous = obs_.instant;
    obs_.instant = instant;
    if (obs_.instant.year != obs_.TableYear) LoadTableYear(obs_.instant.year);
    RecalcTail(previous, DateFoldLimit);
    return true;
}

void Session::StepInstantBy(StepUnit unit, int32_t count) {
    SetInstant(StepInstant(obs_.instant, unit, count));
}

void Session::Recalculate() {
    RecalcTail(obs_.instant, DateFoldLimit);
}

void Session::RecalcTail(const Instant& previous, int foldLimit) {
    UpdateEphemeris();
    const DiskFrame frame = CurrentFrame();
    // While a marker follows the spot through time, the typed position is not taken again.
    if (!markers_.CarrMarkerShown && !markers_.DiffMarkerShown) {
        LocateSpot(spot_, frame, obs_.ephemeris);
    }
    if (!markers_.CarrMarkerShown) markers_.CarrRefSet = false;
    CarryRotationMarkers(previous, obs_.instant, obs_.ephemeris, frame, spot_, markers_, foldLimit);
    markersAside_ = false;
    if (display_.SolarRegionSummary && display_.LinkWithDate) FollowDate(false);
    SayRegionsAge();
    // Without a separation mode the measurement belongs to the old instant.
    if (!display_.Arc1 && !display_.Arc2) ResetSeparation(sep_);
    Settle();
}

// --- The pickers ---

void Session::ChangePickerWidth(PickerWidthCommand command) {
    PickerWidthChange enabled;
    enabled.increaseDateEnabled = pickers_.increaseDateEnabled;
    enabled.increaseTimeEnabled = pickers_.increaseTimeEnabled;
    enabled.decreaseDateEnabled = pickers_.decreaseDateEnabled;
    enabled.decreaseTimeEnabled = pickers_.decreaseTimeEnabled;
    DateLayout& layout = options_.DateLong ? options_.LongDateLayout : options_.ShortDateLayout;
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
        Recalculate();
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

void Session::ChooseScreen(int32_t item) {
    const ScreenItem& chosen = ScreenItems.at(static_cast<std::size_t>(item - 1));
    options_.ScreenWidth = chosen.Width;
    options_.ScreenHeight = chosen.Height;
    options_.WindowWidth = chosen.Width;
    options_.WindowHeight = chosen.Height;
}

void Session::RememberWindowSize(int32_t width, int32_t height) {
    if (!IsUsableScreenSide(width) || !IsUsableScreenSide(height)) return;
    options_.WindowWidth = width;
    options_.WindowHeight = height;
}

} // namespace zorva
