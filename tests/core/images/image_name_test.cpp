#include "core/images/image_name.h"

#include <gtest/gtest.h>

namespace zorva {
namespace {

using I = Instant;

// Each scheme as image_name.h lays it out, with the dates and times read off the names by
// hand: dYYMMDD.ext at noon, years 90-99 in the 1900s and the rest in the 2000s;
// Helioviewer's YYYY_MM_DD__hh_mm_ss_fff, ISO 8601, YYYYMMDDThhmmss, YYYYMMDD_hhmmss and
// YYYYMMDD_hhmm anywhere in the name; a day alone at noon with a note. Fractions of a
// second round to the nearest second, a half up. Digits that make no real day or time are
// passed over with a note naming them.
TEST(DateFromImageName, EverySchemeAndNamesWithoutADate) {
    const struct {
        const char* name;
        std::optional<Instant> expected;
        const char* note; // words of the note; "" for none
    } cases[] = {
        {"d060315.bmp", I{2006, 3, 15, 12, 0, 0}, ""},
        {"d991231.bmp", I{1999, 12, 31, 12, 0, 0}, ""},
        {"d891231.bmp", I{2089, 12, 31, 12, 0, 0}, ""},
        {"d900101.png", I{1990, 1, 1, 12, 0, 0}, ""},
        {"d080229.bmp", I{2008, 2, 29, 12, 0, 0}, ""},
        {"20060315_1230_mdi_igr_1k.bmp", I{2006, 3, 15, 12, 30, 0}, ""},
        {"20050111_2359_mdi_igr.png", I{2005, 1, 11, 23, 59, 0}, ""},
        // Helioviewer: 45.700 s rounds to 46, 45.499 s to 45; 59.5 s at the end of a year
        // carries into the next.
        {"2023_01_31__03_39_45_700__SDO_HMI_HMI_continuum.jp2", I{2023, 1, 31, 3, 39, 46}, ""},
        {"2023_01_31__03_39_45_499__SDO_AIA_AIA_171.png", I{2023, 1, 31, 3, 39, 45}, ""},
        {"2022_12_31__23_59_59_500__SOHO_MDI.png", I{2023, 1, 1, 0, 0, 0}, ""},
        {"2023_01_31__03_39_45.png", I{2023, 1, 31, 3, 39, 45}, ""},
        {"hmi_20230131_033945_512.png", I{2023, 1, 31, 3, 39, 45}, ""},
        {"sun 2023-01-31T03:39:45.png", I{2023, 1, 31, 3, 39, 45}, ""},
        {"sun_2023-01-31T03:39:45.6Z.jpg", I{2023, 1, 31, 3, 39, 46}, ""},
        {"aia_20230131T033945Z_171.fits", I{2023, 1, 31, 3, 39, 45}, ""},
        {"IMG_20240408_181522.jpg", I{2024, 4, 8, 18, 15, 22}, ""},
        {"spots 20240408_1815.tif", I{2024, 4, 8, 18, 15, 0}, ""},
        {"eclipse-2024-04-08.png", I{2024, 4, 8, 12, 0, 0}, "the day alone"},
        {"hmi_20101206_4096.png", I{2010, 12, 6, 12, 0, 0}, "'20101206_4096' in the name"},
        {"20060315_12:0_mdi_igr_1k.bmp", I{2006, 3, 15, 12, 0, 0}, "the day alone"},
        {"20060315_2400_mdi_igr_1k.bmp", I{2006, 3, 15, 12, 0, 0}, "'20060315_2400'"},
        {"20060315_1260_mdi_igr_1k.bmp", I{2006, 3, 15, 12, 0, 0}, "'20060315_1260'"},
        // No date: names of no scheme, and digits run on by more digits.
        {"sun.bmp", std::nullopt, ""},
        {"", std::nullopt, ""},
        {"d060315.jpeg", std::nullopt, ""}, // 12 characters
        {"D060315.bmp", std::nullopt, ""},  // capital D is another name
        {"d06x315.bmp", std::nullopt, ""},
        {"d 60315.bmp", std::nullopt, ""},
        {"d-60315.bmp", std::nullopt, ""},
        {"2006031a_1230_mdi_igr_1k.bmp", std::nullopt, ""},
        {"IMG_120230131_0339.jpg", std::nullopt, ""},
        {"frame_00012345.png", std::nullopt, ""}, // year 0001: no date at all
        // A real date and time in a year the program does not work in, as a header's or a
        // camera's would be, is named in a note.
        {"IMG_15991231_235959.jpg", std::nullopt,
         "'15991231_235959' in the name lies outside the years 1600 to 9999: passed over"},
        {"plate 0800-06-07.png", std::nullopt, "'0800-06-07' in the name lies outside"},
        // Digits in a scheme's shape that make no real day or time.
        {"d061315.bmp", std::nullopt, "'061315' is no real day"},
        {"d060230.bmp", std::nullopt, "'060230' is no real day"},
        {"d060300.bmp", std::nullopt, "'060300'"},
        {"hmi_20231301_033945.png", std::nullopt, "'20231301_033945' in the name is no real"},
        {"hmi_20230132_0339.png", std::nullopt, "'20230132_0339'"},
        {"2023_01_31__25_39_45_000__SDO.png", std::nullopt, "'2023_01_31__25_39_45_000'"},
        {"sun 2023-02-29T03:39:45.png", std::nullopt, "'2023-02-29T03:39:45'"},
        {"2023-01-31T03:60:00.png", I{2023, 1, 31, 12, 0, 0}, "'2023-01-31T03:60:00'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const NameDate d = DateFromImageName(c.name);
        EXPECT_EQ(d.instant, c.expected);
        EXPECT_EQ(InstantFromImageName(c.name), c.expected);
        if (*c.note == '\0') {
            EXPECT_EQ(d.note, "");
        } else {
            EXPECT_NE(d.note.find(c.note), std::string::npos) << d.note;
        }
    }
}

} // namespace
} // namespace zorva
