#pragma once

#include <cstdint>
#include <string>

#include "core/ephemeris/calendar.h"
#include "core/srs/srs_reader.h"

namespace zorva {

// A summary shown more than a day from the time its locations hold is still plotted, but
// says how far it is; beyond half a solar rotation its regions have turned far from where
// they stood and are drawn faded.
inline constexpr double SummaryFarDays = 1;
inline constexpr double SummaryFadedDays = 14;

struct SummaryAge {
    bool far = false;   // more than SummaryFarDays either way
    bool faded = false; // more than SummaryFadedDays either way
    // "summary of 2011-06-07, 1,461 days from the chart": the summary's date and the whole
    // days between it and the chart's date; empty when not far.
    std::string text;

    bool operator==(const SummaryAge&) const = default;
};

// How far the summary of `fileDate`, whose locations hold at `epoch`, lies from `shownAt`.
SummaryAge AgeOfSummary(const SrsDate& fileDate, const Instant& epoch, const Instant& shownAt);

// A whole number with its thousands grouped by commas: 1461 as "1,461".
std::string GroupedThousands(int64_t v);

} // namespace zorva
