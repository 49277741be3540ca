#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/session/carry.h"

namespace zorva {

// A date typed into the date box, with the time when one was typed after it.
struct TypedDate {
    CalendarDate date;
    std::optional<TimeOfDay> time;
    // Nothing more can follow: the text may be taken while it is typed. A date that a time
    // may still follow (2011-06-07) and one that ends in a month's name (201107Jun, which
    // may go on to 201107June) wait for Enter.
    bool whole = false;

    bool operator==(const TypedDate&) const = default;
};

// The date box reads the forms it shows and ISO's: "7 June 2011" or "7 Jun 2011" (also
// "June 7, 2011"), "201107Jun" (year, day, month), "15/03/2024" with "/", ".", "-" or a
// blank, "20240315", and "2011-06-07" alone or with a time ("2011-06-07 12:30",
// "2011-06-07T12:30:00Z"). Month names are English, in full or their first three letters
// or more, in any case; the year has four digits. Anything else, or a day the month does
// not have, is nothing.
std::optional<TypedDate> ReadTypedDate(std::string_view text);

// What the box says of a text it cannot read.
std::string UnreadableDateText(std::string_view text);

} // namespace zorva
