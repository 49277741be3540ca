#pragma once

#include <cstdint>

#include "core/ephemeris/calendar.h"
#include "core/ephemeris/daily_table.h"
#include "core/ephemeris/horizon.h"
#include "core/ephemeris/year_tables.h"
#include "core/layout/picker_layout.h"
#include "core/session/carry.h"
#include "core/session/instant_step.h"

namespace zorva {

class Session;

// The instant, the observer and the Sun's ephemeris for them, with where the instant's year
// table came from.
struct Observation {
    Instant instant;
    Observer observer;
    int32_t TableYear = 0;
    int32_t TableDays = 0;
    YearTableSource TableSource; // where the table came from, and what was wrong with it
    Ephemeris ephemeris;
};

// Which of the four picker width items are enabled.
struct PickerWidths {
    bool increaseDateEnabled = true;
    bool increaseTimeEnabled = true;
    bool decreaseDateEnabled = true;
    bool decreaseTimeEnabled = true;
};

// The four picker width commands.
enum class PickerWidthCommand { IncreaseDate, DecreaseDate, IncreaseTime, DecreaseTime };

// The instant and the observer: the date and time pickers' commands, the year tables the
// ephemeris comes from, and the recalculation they start.
class ObservationPart {
  public:
    ObservationPart(Session& session, YearTables tables)
        : s_(session), tables_(std::move(tables)) {}
    ObservationPart(const ObservationPart&) = delete;
    ObservationPart& operator=(const ObservationPart&) = delete;

    // The recalculation cycle, run by a change of the date or the time. A spun picker
    // field that wrapped is carried into the next field; a date or time set outright is
    // taken as it is.
    void ChangeDate(const CalendarDate& picked, bool spun);
    void ChangeTime(const TimeOfDay& picked, bool spun);
    // The instant set outright (the clock's "now", a picture's own): taken as it stands,
    // without the carry of a spun picker, and the cycle run once. An instant that is no
    // date and time of the pickers' years changes nothing; the answer says whether it was
    // taken.
    bool SetInstant(const Instant& instant);
    // The step keys: the instant `count` minutes, hours or days on (back when negative),
    // carried through the day, month and year as a spun picker carries.
    void StepInstantBy(StepUnit unit, int32_t count);
    // The cycle for the same instant (colour and label commands of the markers).
    void Recalculate();

    // The picker width commands, and which of them are enabled.
    void ChangePickerWidth(PickerWidthCommand command);
    const PickerWidths& pickers() const { return pickers_; }
    const DateLayout& PickerLayout() const;

    const Observation& observation() const { return obs_; }
    CalendarDate Date() const;
    TimeOfDay Time() const;

  private:
    friend class Session;
    friend class ChartPart;
    friend class PicturePart;
    friend class RecordsPart;
    friend class SpotsPart;
    friend class SummaryPart;

    void LoadTableYear(int32_t year);
    void UpdateEphemeris();
    // The instant set without being the user's word on a picture's (SetInstant's own work).
    bool MoveInstant(const Instant& instant);

    Session& s_;
    YearTables tables_;
    Observation obs_;
    PickerWidths pickers_;
    Instant startInstant_; // the day the program started, at 12:00 UT
};

} // namespace zorva
