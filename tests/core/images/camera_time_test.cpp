#include "core/images/camera_time.h"

#include <gtest/gtest.h>

namespace zorva {
namespace {

using I = Instant;

// The EXIF tags as CIPA DC-008 (Exif 2.32) lays them out: DateTimeOriginal
// "YYYY:MM:DD hh:mm:ss" by the camera's clock, SubSecTimeOriginal the digits of a fraction
// of its second, OffsetTimeOriginal "+hh:mm", the clock's lead on UT; unknown values
// written as blanks. The UT instants are worked by hand: the clock reading less the offset.
TEST(CameraInstantUT, ClockReadingLessItsOffset) {
    const struct {
        const char* what;
        CameraTimes tags;
        int32_t setOffset; // minutes, for a clock that writes none
        std::optional<Instant> expected;
        const char* note; // words of the (last) note; "" for none
    } cases[] = {
        {"offset ahead",
         {"2024:04:08 18:15:22", "", "+02:00", ""},
         0,
         I{2024, 4, 8, 16, 15, 22},
         ""},
        {"offset behind, next day",
         {"2024:04:08 21:30:00", "", "-05:00", ""},
         0,
         I{2024, 4, 9, 2, 30, 0},
         ""},
        {"offset back into last year",
         {"2024:01:01 00:30:00", "", "+01:00", ""},
         0,
         I{2023, 12, 31, 23, 30, 0},
         ""},
        {"half-hour zone",
         {"2024:04:08 18:15:22", "", "+05:30", ""},
         0,
         I{2024, 4, 8, 12, 45, 22},
         ""},
        {"padded as cameras write",
         {std::string("2024:04:08 18:15:22\0", 20), "", "+02:00 ", ""},
         0,
         I{2024, 4, 8, 16, 15, 22},
         ""},
        {"dashes and a T",
         {"2024-04-08T18:15:22", "", "+00:00", ""},
         0,
         I{2024, 4, 8, 18, 15, 22},
         ""},
        {"no offset: UT by default",
         {"2024:04:08 18:15:22", "", "", ""},
         0,
         I{2024, 4, 8, 18, 15, 22},
         "taken as UT+00:00"},
        {"no offset: as set",
         {"2024:04:08 18:15:22", "", "", ""},
         60,
         I{2024, 4, 8, 17, 15, 22},
         "taken as UT+01:00"},
        {"blank offset",
         {"2024:04:08 18:15:22", "", "   :  ", ""},
         -90,
         I{2024, 4, 8, 19, 45, 22},
         "no offset from UT: its clock is taken as UT-01:30"},
        {"offset beyond 14 h",
         {"2024:04:08 18:15:22", "", "+25:00", ""},
         0,
         I{2024, 4, 8, 18, 15, 22},
         "offset from UT '+25:00' is passed over"},
        {"set offset beyond 14 h",
         {"2024:04:08 18:15:22", "", "", ""},
         900,
         I{2024, 4, 8, 18, 15, 22},
         "taken as UT+00:00"},
        {"a half second rounds up",
         {"2024:04:08 18:15:22", "5", "+00:00", ""},
         0,
         I{2024, 4, 8, 18, 15, 23},
         ""},
        {"less stays",
         {"2024:04:08 18:15:22", "499", "+00:00", ""},
         0,
         I{2024, 4, 8, 18, 15, 22},
         ""},
        {"rounding carries into the year",
         {"2024:12:31 23:59:59", "75", "+00:00", ""},
         0,
         I{2025, 1, 1, 0, 0, 0},
         ""},
        {"fraction not digits",
         {"2024:04:08 18:15:22", "7a", "+00:00", ""},
         0,
         I{2024, 4, 8, 18, 15, 22},
         "fraction of a second '7a' is passed over"},
        // Nothing taken.
        {"no tags", {}, 0, std::nullopt, ""},
        {"blank date", {"    :  :     :  :  ", "", "+01:00", ""}, 0, std::nullopt, "blank"},
        {"zero date", {"0000:00:00 00:00:00", "", "", ""}, 0, std::nullopt, "blank"},
        {"month 13",
         {"2024:13:08 18:15:22", "", "", ""},
         0,
         std::nullopt,
         "'2024:13:08 18:15:22' is no real date"},
        {"hour 25", {"2024:04:08 25:15:22", "", "", ""}, 0, std::nullopt, "no real date"},
        {"29 February of a common year",
         {"2023:02:29 10:00:00", "", "", ""},
         0,
         std::nullopt,
         "no real date"},
        {"before 1600", {"1500:01:01 10:00:00", "", "", ""}, 0, std::nullopt, "no real date"},
        {"garbage", {"yesterday\x01", "", "", ""}, 0, std::nullopt, "'yesterday?'"},
        {"unreadable metadata",
         {"", "", "", "corrupted IFD"},
         0,
         std::nullopt,
         "cannot be read (corrupted IFD)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CameraInstant got = CameraInstantUT(c.tags, c.setOffset);
        EXPECT_EQ(got.instant, c.expected);
        if (*c.note == '\0') {
            EXPECT_TRUE(got.notes.empty()) << got.notes.front();
        } else {
            ASSERT_FALSE(got.notes.empty());
            EXPECT_NE(got.notes.back().find(c.note), std::string::npos) << got.notes.back();
        }
    }
}

} // namespace
} // namespace zorva
