#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <istream>
#include <optional>
#include <string>

#include "core/ephemeris/calendar.h"

namespace zorva {

// The Sun's ephemeris for one day at 0h UT.
struct DailyRecord {
    int32_t Year = 0;
    int32_t Month = 0;
    int32_t Day = 0;
    double RA = 0;           // apparent right ascension, decimal hours
    double Dec = 0;          // apparent declination, degrees
    double B0 = 0;           // heliographic latitude of the disk centre, degrees
    double L0 = 0;           // Carrington longitude of the disk centre, degrees
    double P = 0;            // position angle of the rotation axis, degrees
    int32_t DiamMinutes = 0; // whole arcminutes of the apparent diameter
    double DiamSeconds = 0;  // arcseconds beyond DiamMinutes
    int32_t Rotation = 0;    // Carrington rotation in progress

    bool operator==(const DailyRecord&) const = default;
};

// One year of daily records, January 1 first, with room for a leap year and one more.
inline constexpr int32_t kDailyTableSize = 367;
using DailyTable = std::array<DailyRecord, kDailyTableSize>;

// The Sun's ephemeris for one instant and observer.
struct Ephemeris {
    double RA = 0;
    double Dec = 0;
    double B0 = 0;
    double L0 = 0;
    double P = 0;
    int32_t DiamMinutes = 0;
    double DiamSeconds = 0;
    int32_t Rotation = 0;
    double Altitude = 0;
    double Azimuth = 0;
    double ParallacticAngle = 0;

    bool operator==(const Ephemeris&) const = default;
};

// Full apparent diameter in degrees.
inline double ApparentDiameter(int32_t minutes, double seconds) {
    return (minutes + seconds / 60.0) / 60.0;
}
inline double ApparentDiameter(const Ephemeris& e) {
    return ApparentDiameter(e.DiamMinutes, e.DiamSeconds);
}

// "zorvadata" + year + ".txt": the year file looked for in the working folder.
std::string YearFileName(int32_t year);

struct YearFileResult {
    int32_t count = 0; // complete records stored
    std::string error; // why reading stopped before the end of the file ("line 7: ..."),
                       // empty otherwise
};

// Reads a year file: 18 header words, then records of 11 words. Stops at the end of
// the input, at the first record that cannot be read or whose values no daily solar
// ephemeris holds (RA 0..24 h, Dec -24..24, B0 -7.5..7.5, L0 0..360, P -27..27 degrees,
// diameter 31'..33', a rotation that rises by 0 or 1 from one record to the next), at
// text that is binary or UTF-16, or when the table is full.
YearFileResult ReadYearFile(std::istream& in, DailyTable& table);

// Where a year's table came from.
enum class YearTableOrigin { YearFile, BuiltIn, Computed };
struct YearTableSource {
    YearTableOrigin origin = YearTableOrigin::Computed;
    std::string fileName; // the year file looked for
    // What was wrong with the year file, naming it (and the line where reading stopped);
    // empty when it was read to its end or was simply not there.
    std::string error;
};

// Fills the table for a year from the year file in `folder` (when there is a folder), the built-in
// tables or the computed path, in that order; returns the number of records. A year file that stops
// early, damaged or cleanly before the year's last day, still fills the table with what it
// held (days it lacks are computed when they are needed) and is named in the error with
// where it stopped. Only a regular file is read: a folder, pipe or device of the file's
// name counts as no file, and is named too. When `source` is given it receives where the
// table came from and what went wrong.
int32_t LoadYearTable(int32_t year, DailyTable& table,
                      const std::optional<std::filesystem::path>& folder,
                      YearTableSource* source = nullptr);

// The source for a status line: "year file zorvadata2026.txt", "built-in table" or
// "computed", followed by "; " and the error when there is one.
std::string YearTableSourceText(const YearTableSource& source);

// The Sun's RA, Dec, B0, L0, P, diameter and rotation at an instant, interpolated to the
// second between the record of its date and the record of the next day. The altitude,
// azimuth and parallactic angle of `out` are left alone.
void InterpolateEphemeris(const DailyRecord& day, const DailyRecord& next, const Instant& instant,
                          Ephemeris& out);

} // namespace zorva

namespace zorva {

// Decimals of the year-file columns that vary with the source.
struct YearFileDecimals {
    int blp = 2;     // B0, L0 and P
    int seconds = 1; // diameter seconds
};

// Writes records in the year-file layout read by ReadYearFile: two title lines of 7 and
// 11 words, then one line per day.
void WriteYearFile(std::ostream& out, int32_t year, const DailyRecord* records, int32_t count,
                   YearFileDecimals decimals = {});

} // namespace zorva
