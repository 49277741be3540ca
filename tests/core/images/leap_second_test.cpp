// UTC's leap second, 23:59:60, was refused by the command line, no date to a camera's tags
// and 00:00:00 of the next day in a FITS header (or 23:59:59, by the fraction). Every
// reader now takes it as 00:00:00 of the next day, and says so.
#include <gtest/gtest.h>

#include "core/images/camera_time.h"
#include "core/images/fits_header.h"
#include "core/images/image_name.h"

namespace zorva {
namespace {

bool HasNote(const std::vector<std::string>& notes, const std::string& what) {
    for (const std::string& n : notes) {
        if (n.find(what) != std::string::npos) return true;
    }
    return false;
}

// A leap second was inserted at the end of 31 December 2016 (IERS Bulletin C 52).
TEST(LeapSecond, EveryReaderTakesItAsTheNextDaysFirstSecond) {
    const Instant next{2017, 1, 1, 0, 0, 0};
    for (const char* stated :
         {"2016-12-31T23:59:60", "2016-12-31T23:59:60.4", "2016-12-31T23:59:60.999Z"}) {
        SCOPED_TRACE(stated);
        FitsHeaderReading fits = ReadFitsHeader({{"DATE-OBS", stated}}, 1);
        EXPECT_EQ(fits.instant, next);
        EXPECT_TRUE(
            HasNote(fits.notes, std::string("DATE-OBS = ") + stated + ": " + LeapSecondNote));
    }
    // Just before it, rounded up into it, the day goes on too; after it the next second.
    EXPECT_EQ(FitsObservationInstant({{"DATE-OBS", "2016-12-31T23:59:59.7"}}), next);
    EXPECT_EQ(FitsObservationInstant({{"T_OBS", "2016.12.31_23:59:60.50_UTC"}}), next);

    // A camera's clock in UT, and one an hour ahead, whose leap second falls at 00:59:60.
    for (const auto& [clock, offset] :
         {std::pair{"2016:12:31 23:59:60", "+00:00"}, std::pair{"2017:01:01 00:59:60", "+01:00"}}) {
        SCOPED_TRACE(clock);
        const CameraInstant camera = CameraInstantUT({clock, "7", offset, ""}, 0);
        EXPECT_EQ(camera.instant, next);
        EXPECT_TRUE(HasNote(camera.notes, LeapSecondNote));
    }
    // Any other 60th second is no time at all.
    const CameraInstant noon = CameraInstantUT({"2016:12:31 12:30:60", "", "+00:00", ""}, 0);
    EXPECT_FALSE(noon.instant);
    EXPECT_TRUE(HasNote(noon.notes, "is no real date and time"));
    EXPECT_FALSE(FitsObservationInstant({{"DATE-OBS", "2016-12-31T12:30:60"}}));

    const NameDate named = DateFromImageName("sun_20161231_235960.png");
    EXPECT_EQ(named.instant, next);
    EXPECT_EQ(named.note, std::string("'20161231_235960' in the name: ") + LeapSecondNote);
    // Any other 60th second in a name leaves its day alone, at noon, as any time that is none.
    EXPECT_EQ(DateFromImageName("sun_20161231_123060.png").instant,
              (Instant{2016, 12, 31, 12, 0, 0}));
}

} // namespace
} // namespace zorva
