#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <istream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/ephemeris/calendar.h"

namespace zorva {

// A line of a summary is taken up to this many characters; the rest of a longer line is
// skipped, and reading goes on with the next line.
inline constexpr std::size_t SrsLineLimit = 149;

// A summary names each region by a four-digit number, so it cannot list more regions
// than that; a longer table is not a real summary and is cut here.
inline constexpr std::size_t SrsRegionLimit = 10000;

// The date a summary is issued for, taken from its file name (YYYYMMDD...).
struct SrsDate {
    int32_t Year = 0;
    int32_t Month = 0;
    int32_t Day = 0;

    bool operator==(const SrsDate&) const = default;
};

// One region of section I ("Regions with Sunspots").
struct SrsRegion {
    int32_t Number = 0;           // full region number (see FullRegionNumber)
    std::string Location;         // as printed, e.g. "N12W41"
    int32_t Latitude = 0;         // degrees, north positive
    int32_t CentralDistance = 0;  // degrees from the central meridian, east positive
    int32_t Lo = 0;               // Carrington longitude, degrees
    int32_t CentralLongitude = 0; // implied central-meridian longitude, 0..359
    // The columns after Lo; a line that stops short leaves them out.
    std::optional<int32_t> Area;       // millionths of the hemisphere
    std::string Class;                 // McIntosh class ("Z"), as printed
    std::optional<int32_t> LongExtent; // "LL", degrees of longitude
    std::optional<int32_t> SpotCount;  // "NN"
    std::string MagType;               // "Mag Type", as printed

    bool operator==(const SrsRegion&) const = default;
};

enum class SrsStatus {
    Complete, // the table was read to its end
    Partial,  // the table was found, but reading stopped early: Error says why
    NotRead,  // no table could be read: Error says why; nothing should change
};

struct SrsSummary {
    SrsStatus Status = SrsStatus::NotRead;
    std::string Error; // one sentence for the user; empty when complete
    std::vector<SrsRegion> Regions;
    SrsDate FileDate;
    // When the listed locations hold: the "Locations Valid at DD/HHMMZ" time of section I,
    // or 00:00 of the file's date when the file gives none.
    Instant Epoch;
    bool EpochFromFile = false;
};

// The date at the start of a file name: eight digits forming a real date.
std::optional<SrsDate> SrsFileDate(std::string_view fileName);

// NOAA has printed only the last four digits of region numbers since region 10000 was
// numbered on 14 June 2002. A number printed with at most four digits in a file of that
// date or later gets the 10000 back, except 9000 and above in a 2002 file: those regions
// were numbered before the change and can still be on the disk. Good until the numbers
// reach 20000.
int32_t FullRegionNumber(int32_t printed, std::size_t digits, const SrsDate& fileDate);

// The "Locations Valid at DD/HHMMZ" time resolved against the file's date: the latest day
// DD on or before that date, with hour 24 carried into the next day. Nothing when the
// fields are out of range or the time lies more than three days before or a day after
// the start of the file's date.
std::optional<Instant> ResolveValidTime(int32_t day, int32_t hour, int32_t minute,
                                        const SrsDate& fileDate);

// Reads a summary: skips to the ":Product" line, notes the valid time, skips to the
// "Nmbr" heading, then reads region lines (blank lines skipped) until a line that is not
// one ("IA. ", the next section, a comment) or "None". Each region line is read as the
// words of the heading, so both the old upper-case layout and the modern one are read.
// `name` names the source in the error text.
SrsSummary ReadSrs(std::istream& in, const SrsDate& fileDate, std::string_view name);

// The file at `path`: its date from its name, then ReadSrs.
SrsSummary LoadSrsFile(const std::filesystem::path& path);

// The Wolf number of a summary: each region a group, its spot count its spots.
int64_t WolfNumber(std::span<const SrsRegion> regions);

} // namespace zorva
