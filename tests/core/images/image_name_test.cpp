#include "core/images/image_name.h"

#include <gtest/gtest.h>

namespace zorva {
namespace {

// By the two name schemes: dYYMMDD.ext, at noon, years 90-99 in the 1900s and the rest
// in the 2000s; and YYYYMMDD_HHMM_mdi_igr...
TEST(InstantFromImageName, BothSchemesAndNamesWithoutADate) {
    const struct {
        const char* name;
        std::optional<Instant> expected;
    } cases[] = {
        {"d060315.bmp", Instant{2006, 3, 15, 12, 0, 0}},
        {"d991231.bmp", Instant{1999, 12, 31, 12, 0, 0}},
        {"d891231.bmp", Instant{2089, 12, 31, 12, 0, 0}},
        {"d900101.png", Instant{1990, 1, 1, 12, 0, 0}},
        {"20060315_1230_mdi_igr_1k.bmp", Instant{2006, 3, 15, 12, 30, 0}},
        {"20050111_2359_mdi_igr.png", Instant{2005, 1, 11, 23, 59, 0}},
        {"sun.bmp", std::nullopt},
        {"", std::nullopt},
        {"d060315.jpeg", std::nullopt}, // 12 characters
        {"D060315.bmp", std::nullopt},  // capital D is another name
        {"hmi_20230131_033945_512.png", std::nullopt},
        // The scheme matches but a field is not all digits: no date, no error.
        {"d06x315.bmp", std::nullopt},
        {"d 60315.bmp", std::nullopt},
        {"d-60315.bmp", std::nullopt},
        {"2006031a_1230_mdi_igr_1k.bmp", std::nullopt},
        {"20060315_12:0_mdi_igr_1k.bmp", std::nullopt},
        // Fields of digits that make no real date or time.
        {"d061315.bmp", std::nullopt},
        {"d060230.bmp", std::nullopt},
        {"d060300.bmp", std::nullopt},
        {"20060315_2400_mdi_igr_1k.bmp", std::nullopt},
        {"20060315_1260_mdi_igr_1k.bmp", std::nullopt},
        {"d080229.bmp", Instant{2008, 2, 29, 12, 0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(InstantFromImageName(c.name), c.expected) << c.name;
    }
}

} // namespace
} // namespace zorva
