#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/ephemeris/calendar.h"

namespace zorva {

// What a camera wrote of the moment it took the picture, as its EXIF tags hold it, text
// unread. A tag the file lacks is empty.
struct CameraTimes {
    std::string dateTimeOriginal;   // "YYYY:MM:DD hh:mm:ss", by the camera's clock
    std::string subSecTimeOriginal; // digits of a fraction of that second
    std::string offsetTimeOriginal; // the clock's offset from UT, "+hh:mm" or "-hh:mm"
    std::string error;              // why the metadata could not be read, when it could not

    bool operator==(const CameraTimes&) const = default;
};

// How far a camera clock may run from UT, minutes either way: the world's time zones.
inline constexpr int32_t LargestClockOffsetMinutes = 14 * 60;
// A clock's offset as the notes write it: "UT+01:00", "UT-05:30".
std::string ClockOffsetText(int32_t minutes);

// The instant a camera's tags give, in UT, and notes on what was passed over or assumed,
// one line each. A clock with a written offset is turned to UT by it; a clock without one
// is taken to run `clockOffsetMinutes` ahead of UT (0: it keeps UT), and a note says so.
// A blank date (spaces or zeros, as cameras write an unknown one), a date or time that
// does not exist, an offset or a fraction not in their forms, and metadata that could not
// be read are each passed over with a note; the instant is then what remains of the tags.
// A fraction of a second is rounded to the nearest second, a half upwards.
struct CameraInstant {
    std::optional<Instant> instant;
    std::vector<std::string> notes;
    // The clock's offset from UT was not written (or not readable), so the instant rests on
    // the offset assumed.
    bool offsetAssumed = false;
};
CameraInstant CameraInstantUT(const CameraTimes& times, int32_t clockOffsetMinutes);

} // namespace zorva
