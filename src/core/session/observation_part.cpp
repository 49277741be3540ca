// The instant and the observer: the pickers' commands and the year tables of the ephemeris.
#include "core/session/observation_part.h"

#include "core/session/session.h"

namespace zorva {

namespace {
// The instant moved to another day, its time of day kept.
void PutDay(Instant& instant, const CalendarDate& date) {
    instant.year = date.year;
    instant.month = date.month;
    instant.day = date.day;
}
} // namespace

CalendarDate ObservationPart::Date() const {
    return {obs_.instant.year, obs_.instant.month, obs_.instant.day};
}

TimeOfDay ObservationPart::Time() const {
    return {obs_.instant.hour, obs_.instant.minute, obs_.instant.second};
}

void ObservationPart::LoadTableYear(int32_t year) {
    const YearTable& table = tables_.Load(year);
    obs_.TableYear = year;
    obs_.TableDays = table.count;
    obs_.TableSource = table.source;
    // A damaged year file is named on the status bar once for each time its year comes up.
    if (!table.source.error.empty()) s_.Say(table.source.error);
}

void ObservationPart::UpdateEphemeris() {
    tables_.LoadFor(obs_.instant);
    obs_.ephemeris = tables_.At(obs_.instant, obs_.observer);
}

void ObservationPart::ChangeDate(const CalendarDate& picked, bool spun) {
    const Instant previous = obs_.instant;
    const CalendarDate date = spun ? CarrySpunDate(Date(), picked) : picked;
    PutDay(obs_.instant, date);
    if (obs_.instant.year != obs_.TableYear) LoadTableYear(obs_.instant.year);
    s_.RecalcTail(previous, DateFoldLimit);
    s_.picture_.InstantGiven();
}

void ObservationPart::ChangeTime(const TimeOfDay& picked, bool spun) {
    const Instant previous = obs_.instant;
    CarriedTime carried{picked, 0};
    if (spun) carried = CarrySpunTime(Time(), picked);
    obs_.instant.hour = carried.time.hour;
    obs_.instant.minute = carried.time.minute;
    obs_.instant.second = carried.time.second;
    if (carried.dayShift != 0) {
        const CalendarDate date = ShiftDate(Date(), carried.dayShift);
        PutDay(obs_.instant, date);
        if (obs_.instant.year != obs_.TableYear) LoadTableYear(obs_.instant.year);
    }
    s_.RecalcTail(previous, TimeFoldLimit);
    s_.picture_.InstantGiven();
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

bool ObservationPart::SetInstant(const Instant& instant) {
    if (!MoveInstant(instant)) return false;
    s_.picture_.InstantGiven();
    return true;
}

bool ObservationPart::MoveInstant(const Instant& instant) {
    if (!ShowableInstant(instant)) return false;
    const Instant previous = obs_.instant;
    obs_.instant = instant;
    if (obs_.instant.year != obs_.TableYear) LoadTableYear(obs_.instant.year);
    s_.RecalcTail(previous, DateFoldLimit);
    return true;
}

void ObservationPart::StepInstantBy(StepUnit unit, int32_t count) {
    SetInstant(StepInstant(obs_.instant, unit, count));
}

void ObservationPart::Recalculate() {
    s_.RecalcTail(obs_.instant, DateFoldLimit);
}

void ObservationPart::ChangePickerWidth(PickerWidthCommand command) {
    PickerWidthChange enabled;
    enabled.increaseDateEnabled = pickers_.increaseDateEnabled;
    enabled.increaseTimeEnabled = pickers_.increaseTimeEnabled;
    enabled.decreaseDateEnabled = pickers_.decreaseDateEnabled;
    enabled.decreaseTimeEnabled = pickers_.decreaseTimeEnabled;
    DateLayout& layout =
        s_.options_.DateLong ? s_.options_.LongDateLayout : s_.options_.ShortDateLayout;
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

const DateLayout& ObservationPart::PickerLayout() const {
    return s_.options_.DateLong ? s_.options_.LongDateLayout : s_.options_.ShortDateLayout;
}

} // namespace zorva
