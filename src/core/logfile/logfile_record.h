#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/ephemeris/calendar.h"

namespace zorva {

// The 34 fields of a measurement line, in the order the line holds them.
enum class LogfileField : std::size_t {
    Year,
    Month,
    Day,
    Hour,
    Minute,
    Second,
    DecimalYear,
    RA,
    Dec,
    Alt,
    Azi,
    PA,
    B0,
    L0,
    P,
    SDiam,
    CR,
    DO,
    DDiam,
    X,
    Y,
    Size,
    SLat,
    SLon,
    Area,
    SCR,
    OLat,
    OLong,
    SpAng,
    SepDist,
    S1La,
    S1Lo,
    S2La,
    S2Lo,
};
inline constexpr std::size_t LogfileFieldCount = 34;

// What a field holds: a whole number, a number with decimals, or the orientation code.
enum class LogfileFieldKind { Whole, Decimal, Code };

// A column of the logfile: the word the header line gives it, the name it has in the CSV
// and JSON conversions (unique, with its unit), and its meaning for the help.
struct LogfileColumn {
    std::string_view header;
    std::string_view name;
    std::string_view meaning;
    LogfileFieldKind kind;
};

inline constexpr std::array<LogfileColumn, LogfileFieldCount> LogfileColumns = {{
    {"YYYY", "year", "year of the observation instant, UT", LogfileFieldKind::Whole},
    {"MM", "month", "month, 1..12", LogfileFieldKind::Whole},
    {"DD", "day", "day of the month", LogfileFieldKind::Whole},
    {"HH", "hour", "hour, UT", LogfileFieldKind::Whole},
    {"MM", "minute", "minute", LogfileFieldKind::Whole},
    {"SS", "second", "second", LogfileFieldKind::Whole},
    {"Date", "decimal_year", "the instant as a decimal year", LogfileFieldKind::Decimal},
    {"RA", "ra_h", "apparent right ascension, hours", LogfileFieldKind::Decimal},
    {"Dec", "dec_deg", "apparent declination, degrees", LogfileFieldKind::Decimal},
    {"Alt", "alt_deg", "altitude, degrees", LogfileFieldKind::Decimal},
    {"Azi", "azi_deg", "azimuth, degrees from north through east", LogfileFieldKind::Decimal},
    {"PA", "pa_deg", "parallactic angle, degrees", LogfileFieldKind::Decimal},
    {"B0", "b0_deg", "heliographic latitude of the disk centre, degrees",
     LogfileFieldKind::Decimal},
    {"L0", "l0_deg", "Carrington longitude of the disk centre, degrees", LogfileFieldKind::Decimal},
    {"P", "p_deg", "position angle of the rotation axis, degrees", LogfileFieldKind::Decimal},
    {"SDiam", "sun_diameter_arcmin", "apparent diameter of the Sun, arcminutes",
     LogfileFieldKind::Decimal},
    {"CR", "rotation", "Carrington rotation on the central meridian", LogfileFieldKind::Whole},
    {"DO", "disk_orientation", "where north and east lie on the chart: NE, NW, SE or SW",
     LogfileFieldKind::Code},
    {"DDiam", "chart_diameter_mm", "chart diameter, millimetres", LogfileFieldKind::Decimal},
    {"X", "x_mm", "spot's distance right of the disk centre, millimetres",
     LogfileFieldKind::Decimal},
    {"Y", "y_mm", "spot's distance above the disk centre, millimetres", LogfileFieldKind::Decimal},
    {"Size", "size_mm2", "spot's size, square millimetres", LogfileFieldKind::Decimal},
    {"SLat", "spot_lat_deg", "spot's heliographic latitude, degrees", LogfileFieldKind::Decimal},
    {"SLon", "spot_long_deg", "spot's Carrington longitude, degrees", LogfileFieldKind::Decimal},
    {"Area", "area_millionths", "spot's area, millionths of the hemisphere",
     LogfileFieldKind::Whole},
    {"SCR", "spot_rotation", "Carrington rotation at the spot", LogfileFieldKind::Whole},
    {"OLat", "observer_lat_deg", "observer's latitude, degrees, north positive",
     LogfileFieldKind::Decimal},
    {"OLong", "observer_long_deg", "observer's longitude, degrees, east positive",
     LogfileFieldKind::Decimal},
    {"SpAng", "separation_deg", "last separation, degrees (0.0 when none)",
     LogfileFieldKind::Decimal},
    {"SepDist", "separation_km", "last separation, kilometres (0 when none)",
     LogfileFieldKind::Whole},
    {"S1La", "point1_lat_deg", "latitude of the separation's first point, degrees",
     LogfileFieldKind::Whole},
    {"S1Lo", "point1_long_deg", "longitude of the separation's first point, degrees",
     LogfileFieldKind::Whole},
    {"S2La", "point2_lat_deg", "latitude of the separation's second point, degrees",
     LogfileFieldKind::Whole},
    {"S2Lo", "point2_long_deg", "longitude of the separation's second point, degrees",
     LogfileFieldKind::Whole},
}};

// A measurement line taken apart: each field as the line writes it, without its blanks. A
// field of '*' held a value too wide for its column and has no value.
struct LogfileRecord {
    std::array<std::string, LogfileFieldCount> fields;
    Instant instant; // from the first six fields

    const std::string& Text(LogfileField f) const { return fields[static_cast<std::size_t>(f)]; }
    // The field's number; nothing for a field of '*' or the orientation code.
    std::optional<double> Value(LogfileField f) const;

    bool operator==(const LogfileRecord&) const = default;
};

// One line read as a measurement, or why it is none ("it has 12 fields, not 34").
struct LogfileLineRead {
    std::optional<LogfileRecord> record;
    std::string error;
};
// The fields are words separated by blanks, so a line whose columns grew or shrank still
// reads; each must be what its column holds (a number with a decimal point, or '*' where
// a value did not fit; the orientation code), and the first six a real date and time.
LogfileLineRead ReadLogfileLine(std::string_view line);

// A measurement line of a logfile and where it stands (lines counted from 1).
struct LogfileEntry {
    std::size_t number = 0;
    std::string text; // without its line break
    LogfileRecord record;

    bool operator==(const LogfileEntry&) const = default;
};

// What a logfile held.
struct LogfileRead {
    bool ok = false;                   // the file was read and is a logfile
    std::string error;                 // why not: it cannot be read, or what it is instead
    std::vector<LogfileEntry> lines;   // its measurements, in order
    std::vector<std::string> problems; // "line 5: ...", one for each other line passed over
};

// A logfile as big as a lifetime of daily measurements (a line is 221 bytes) is read; a
// larger file is no logfile of ours.
inline constexpr std::size_t kLargestLogfile = std::size_t{64} << 20;

// Reads the text of a logfile: header lines and blank lines are passed over, every other
// line is a measurement or a problem. Text that holds a zero byte, or whose first line is
// neither the header nor a measurement, is no logfile (a picture, a summary, a letter);
// an empty text is a logfile without lines.
LogfileRead ReadLogfileText(std::string_view text);
// The same for the file at `path` (a regular file, or a link to one).
LogfileRead ReadLogfile(const std::filesystem::path& path);

// The header row of the CSV conversion: the columns' names, separated by commas.
std::string LogfileCsvHeader();
// A record's row of fields, separated by commas, without a line break. Every field is kept
// as the line writes it; a field that held no value is empty.
std::string LogfileCsvCells(const LogfileRecord& record);
// The lines as CSV: the header row, then a row a line, each ended by a line break.
std::string LogfileCsv(std::span<const LogfileEntry> lines);
// The lines as a JSON array of objects, one a line, each with its line number and every
// field under its column's name: numbers as the line writes them, the orientation as a
// string, a field that held no value as null.
std::string LogfileJson(std::span<const LogfileEntry> lines);

} // namespace zorva
