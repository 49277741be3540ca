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
// A year is read when it is first wanted and kept; a day a year file lacks is taken from
// the computed path, whose year is kept as well. Nothing else in the program reads a
// year file.
class YearTables {
  public:
    explicit YearTables(std::optional<std::filesystem::path> folder);

    const std::optional<std::filesystem::path>& folder() const { return folder_; }

    // A table read elsewhere (a year file held in memory) taken as the table of its year.
    void Keep(YearTable table);

    // The table of a year, read or computed on first use.
    const YearTable& Year(int32_t year);
    // The record of a date: the year's table, else the computed path.
    DailyRecord Day(int32_t year, int32_t month, int32_t day);
    // The ephemeris of an instant and observer: the date's record and the next day's,
    // interpolated to the second, and the horizon coordinates.
    Ephemeris At(const Instant& instant, const Observer& observer);

  private:
    // Years kept at once: a user stepping through centuries keeps only the latest.
    static constexpr std::size_t kKeptYears = 64;

    std::optional<std::filesystem::path> folder_;
    std::map<int32_t, YearTable> years_;
    std::map<int32_t, YearTable> computed_; // for the days a year file lacks
};

} // namespace zorva
