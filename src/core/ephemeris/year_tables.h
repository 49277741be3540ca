#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>

#include "core/ephemeris/calendar.h"
#include "core/ephemeris/daily_table.h"
#include "core/ephemeris/horizon.h"

namespace zorva {

// One year's daily records and where they came from.
struct YearTable {
    int32_t year = 0;
    DailyTable days{};
    int32_t count = 0; // records filled, from January 1 on
    YearTableSource source;
};

// The daily records of every year, from a source chosen once: the year files of a folder
// before the built-in tables and the computed path, or (without a folder) only those two.
// Year files are read by Load alone, for the years in view; every other call works on the
// tables held, and a year not loaded is taken from the built-in tables or the computed
// path without looking for its file. A day a year file lacks is taken from the computed path, whose
// year is kept as well.
class YearTables {
  public:
    explicit YearTables(std::optional<std::filesystem::path> folder);

    const std::optional<std::filesystem::path>& folder() const { return folder_; }

    // A table read elsewhere (a year file held in memory) taken as the table of its year.
    void Keep(YearTable table);

    // The table of a year, read or made when it is not held yet.
    const YearTable& Load(int32_t year);
    // The tables the ephemeris of an instant draws on: its date's year and the next day's,
    // towards which 31 December is interpolated.
    void LoadFor(const Instant& instant);
    // The record of a date: the year's table, else the computed path.
    DailyRecord Day(int32_t year, int32_t month, int32_t day);
    // The ephemeris of an instant and observer: the date's record and the next day's,
    // interpolated to the second, and the horizon coordinates.
    Ephemeris At(const Instant& instant, const Observer& observer);

  private:
    // Years kept at once: a user stepping through centuries keeps only the latest.
    static constexpr std::size_t kKeptYears = 64;

    // The table of a year held, or else made from the built-in tables or the computed path.
    const YearTable& Held(int32_t year);
    YearTable& Read(int32_t year);

    std::optional<std::filesystem::path> folder_;
    std::map<int32_t, YearTable> years_;
    std::map<int32_t, YearTable> computed_; // for the days a year file lacks
};

} // namespace zorva
