#pragma once

#include <compare>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ephemeris/calendar.h"

namespace zorva {

// A calendar day, UT.
struct CalendarDay {
    int32_t year = 2000;
    int32_t month = 1;
    int32_t day = 1;

    auto operator<=>(const CalendarDay&) const = default;
};
inline CalendarDay DayOf(const Instant& t) {
    return {t.year, t.month, t.day};
}
// "YYYY-MM-DD".
std::string DayText(const CalendarDay& day);
// The same read back; nothing for anything else or a day the month does not have.
std::optional<CalendarDay> ParseDayText(std::string_view text);

// An instant as YYYY-MM-DDTHH:MM:SSZ (as IsoInstantText writes it) read back; nothing for
// anything else.
std::optional<Instant> ParseIsoInstant(std::string_view text);

// How the spots were counted.
enum class ObservationMethod { Picture, Drawing, Visual };
std::string_view MethodName(ObservationMethod method); // "picture", "drawing", "visual"
std::optional<ObservationMethod> MethodOfName(std::string_view name);

// The seeing, as observers grade it: 1 excellent to 5 very poor.
inline constexpr int32_t kBestSeeing = 1;
inline constexpr int32_t kWorstSeeing = 5;

// Groups and spots of one hemisphere, and its Wolf number R = 10 g + s.
struct HemisphereCount {
    int32_t groups = 0;
    int32_t spots = 0;

    int64_t Wolf() const { return 10 * static_cast<int64_t>(groups) + spots; }
    bool operator==(const HemisphereCount&) const = default;
};

// A group as an observation saw it.
struct ObservedGroup {
    int32_t number = 0; // on this observation, 1.., east to west on a picture
    int64_t lifeId = 0; // the group's id for its life in the record; 0 while not followed
    bool north = true;  // latitude 0 counts as north, as the Wolf number's halves take it
    std::optional<double> latitude;  // heliographic, degrees
    std::optional<double> longitude; // Carrington, degrees, 0..360
    std::optional<double> areaMsh;   // millionths of the hemisphere
    int32_t spots = 0;
    std::string mcintosh; // "Dso", or empty
    // The class is the observer's own: typed at the eyepiece, or one worked out from the
    // spots and corrected since.
    bool classReviewed = false;
    std::optional<int32_t> noaa; // NOAA's region number

    bool operator==(const ObservedGroup&) const = default;
};

// One observation of the Sun: when, by whom and how, and what was counted.
struct SunspotObservation {
    int64_t id = 0; // the record's number for it; 0 before it is added
    Instant instant;
    std::string observer; // the observer's code, as an association gives it
    std::string site;
    std::optional<int32_t> seeing; // kBestSeeing..kWorstSeeing
    std::string instrument;
    ObservationMethod method = ObservationMethod::Visual;
    std::string picture; // the picture's file name, for a picture
    // Where the instant came from: a picture's source ("FITS header", "camera (EXIF)", "file
    // name", "given"), or "typed" for counts typed by the observer; empty for one kept before
    // the record said.
    std::string instantSource;
    std::string fingerprint; // of the picture's bytes, when they were read
    HemisphereCount north, south;
    std::vector<ObservedGroup> groups; // every group, or none for bare counts
    bool dayChoice = false;            // marked by the observer as the day's

    // Wolf numbers as a source stated them (a typed R, a spots line's "wolf"), to be checked
    // against 10 g + s; not kept.
    std::optional<int64_t> statedWolf, statedWolfNorth, statedWolfSouth;

    int32_t Groups() const { return north.groups + south.groups; }
    int32_t Spots() const { return north.spots + south.spots; }
    int64_t Wolf() const { return north.Wolf() + south.Wolf(); }
};

// Why an observation cannot be kept, in one sentence; empty when it can. `today` is the UT
// date now: an observation after it has not happened yet.
std::string ObservationProblem(const SunspotObservation& observation, const CalendarDay& today);

// The counts of each hemisphere from the groups listed.
void CountGroups(SunspotObservation& observation);

// A picture's fingerprint: the FNV-1a hash of its bytes (64 bits, in hex) and their number,
// "fnv1a64:0123456789abcdef:51234". Two different pictures practically never share one.
std::string PictureFingerprint(std::string_view bytes);
// The fingerprint of a picture's file; empty when it cannot be read.
std::string PictureFingerprintOfFile(const std::filesystem::path& path);

} // namespace zorva
