#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/record/observation.h"

namespace zorva {

// The observation that stands for each day, in order of the days: the one the observer
// marked as the day's, else the one of the best seeing (an observation without a seeing
// after those with one), else the first one kept.
std::vector<SunspotObservation>
ObservationsOfTheDays(std::span<const SunspotObservation> observations);

// A month's observations as an association asks for them: a row a day, and the month's
// summary.
struct MonthlyReport {
    int32_t year = 2000;
    int32_t month = 1;
    std::vector<SunspotObservation> days; // the day's observation of each observing day
    int32_t observingDays = 0;
    double meanGroups = 0; // the mean daily number of groups, g
    double meanWolf = 0;   // the mean daily Wolf number, R
};

// The report of `year`-`month` from observations of any days (those of other months are
// left out).
MonthlyReport MakeMonthlyReport(std::span<const SunspotObservation> observations, int32_t year,
                                int32_t month);

// Aligned columns under a heading: date, UT, seeing, g, s, R, gN, sN, gS, sS, method,
// observer; then the summary lines.
std::string MonthlyReportText(const MonthlyReport& report);
// The text report's parts: one day's row, a cell a column, and the summary lines under the
// rows.
std::vector<std::string> MonthlyReportRow(const SunspotObservation& day);
std::string MonthlyReportSummary(const MonthlyReport& report);
// The same columns in CSV, a header row first; no summary rows, which a spreadsheet works
// out.
std::string MonthlyReportCsv(const MonthlyReport& report);

// The columns of both, in order.
inline constexpr const char* kReportColumns[] = {
    "date", "ut", "seeing", "g", "s", "R", "gN", "sN", "gS", "sS", "method", "observer"};

} // namespace zorva
