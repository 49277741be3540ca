#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/chart/sunspot.h"
#include "core/ephemeris/calendar.h"
#include "core/ephemeris/daily_table.h"
#include "core/ephemeris/horizon.h"
#include "core/measure/separation.h"

namespace zorva {

// The file name the logfile dialogs offer.
inline constexpr const char* DefaultLogfileName = "ZorvaLogfile.txt";

// The column header, the first line of a new logfile (220 characters, no line break).
const std::string& LogfileHeader();

// Everything one measurement line records.
struct LogfileInputs {
    Instant instant;
    Ephemeris ephemeris;
    int32_t FlipSign = 1;
    int32_t MirrorSign = 1;
    double ChartDiameter = 150;
    // SpotX, SpotY, SpotSize times GridCellArea, SpotLat, SpotLong, SpotArea, SpotRotation.
    SpotState spot;
    Observer observer;
    // SepShown, SepKm and both points' latitudes and longitudes.
    SeparationState separation;
};

// Decimal year of an instant: the year plus the fraction of it gone by.
double DecimalYear(const Instant& instant);

// The orientation code of the flip and mirror signs: "NE", "NW", "SE" or "SW".
const char* DiskOrientationCode(int32_t flipSign, int32_t mirrorSign);

// One measurement line of fixed columns (34 fields, no line break), as long as the
// header whatever the values: a value too wide for its column gives up decimals, and one
// that still does not fit, or is not finite, fills its column with '*'. Numbers always
// use a decimal point. A line is only wanted while the spot lies on the disk (it has a
// place); the window checks that before asking for one.
std::string LogfileLine(const LogfileInputs& in);

// Whether a logfile operation reached the disk, and why not when it did not.
struct LogfileResult {
    bool ok = false;
    std::string error;
};
// Writes a new logfile holding the header line, replacing any file of that name whole or
// not at all.
LogfileResult CreateLogfile(const std::filesystem::path& path);
// A logfile as this program left it: its length and a fingerprint of its bytes. A file that
// no longer matches was changed by something else since.
struct LogfileMark {
    uint64_t length = 0;
    uint64_t fingerprint = 0;
    // The line break put before the line to end another's last line, taken back with it.
    uint64_t lead = 0;

    bool operator==(const LogfileMark&) const = default;
};
// The mark of a logfile's bytes.
LogfileMark MarkOf(std::string_view bytes);

// Appends one line and its line break (creating the file if need be), safely beside
// other programs appending to the same file, whether they take the appends' lock or not:
// the line goes out in one write at the file's true end. Success means the line was
// written, synced and the file closed; on failure what was written is cut off again. What
// an append stopped by a power cut left at the end (the start of its line, then zeros) is
// cut off first; any other last line without its line break is the user's and is ended
// with one. Only a regular file is appended to. `after`, when given, receives the mark of
// the file up to the end of this line, taken under the append's lock.
LogfileResult AppendToLogfile(const std::filesystem::path& path, const std::string& line,
                              LogfileMark* after = nullptr);

// Takes the line this program appended last (`line`, without its line break) off the end of
// the logfile again, cutting the file back in place under the appends' lock. Only while the
// file is exactly as that append left it (`mark`: as long, ending with the line, every
// earlier byte the same) and no other program has it open: otherwise every line is kept and
// the answer says why. `after`, when given, receives the mark of the file as it is left.
LogfileResult RemoveLastLogfileLine(const std::filesystem::path& path, const std::string& line,
                                    const LogfileMark& mark, LogfileMark* after = nullptr);

} // namespace zorva
