// The dates the date box reads when they are typed.
#include "core/session/typed_date.h"

#include <gtest/gtest.h>

namespace zorva {
namespace {

TEST(TypedDate, TheFormsTheBoxShowsAndIso) {
    struct Case {
        const char* typed;
        std::optional<TypedDate> read;
    };
    const CalendarDate june7{2011, 6, 7};
    const Case cases[] = {
        {"7 June 2011", TypedDate{june7, {}, true}},
        {"7 jun 2011", TypedDate{june7, {}, true}},
        {"07-Jun-2011", TypedDate{june7, {}, true}},
        {"June 7, 2011", TypedDate{june7, {}, true}},
        {"201107Jun", TypedDate{june7, {}, false}}, // may go on to "201107June"
        {"201107June", TypedDate{june7, {}, false}},
        {"07/06/2011", TypedDate{june7, {}, true}},
        {"7.6.2011", TypedDate{june7, {}, true}},
        {"20110607", TypedDate{june7, {}, true}},
        {"2011-06-07", TypedDate{june7, {}, false}}, // a time may follow
        {"2011-06-07 12:30", TypedDate{june7, TimeOfDay{12, 30, 0}, false}},
        {"2011-06-07T23:59:58Z", TypedDate{june7, TimeOfDay{23, 59, 58}, false}},
        {"29 February 2024", TypedDate{{2024, 2, 29}, {}, true}}, // a leap year
        // Nothing that is no date.
        {"29 February 2023", std::nullopt},
        {"7  2011", std::nullopt}, // what the box once made of "7 June 2011"
        {"7 Ju 2011", std::nullopt},
        {"7 Juni 2011", std::nullopt},
        {"31/04/2011", std::nullopt},
        {"2011-06-07 24:00", std::nullopt},
        {"7 June 11", std::nullopt},
        {"", std::nullopt},
        {"June", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadTypedDate(c.typed), c.read) << c.typed;
    EXPECT_NE(UnreadableDateText("7 Juni 2011").find("\"7 Juni 2011\" is no date"),
              std::string::npos);
}

} // namespace
} // namespace zorva
