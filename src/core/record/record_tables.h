#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "core/record/group_tracking.h"
#include "core/record/monthly_report.h"
#include "core/record/observation.h"

namespace zorva {

// What the window lists of the observer's record, as tables of text: each cell's text and the
// number it sorts by.

struct RecordCell {
    std::string text;
    double key = std::numeric_limits<double>::quiet_NaN(); // NaN: sorts by its text

    bool operator==(const RecordCell& o) const {
        return text == o.text && (key == o.key || (std::isnan(key) && std::isnan(o.key)));
    }
};
struct RecordRow {
    int64_t id = 0; // the observation's, or the group's
    std::vector<RecordCell> cells;

    bool operator==(const RecordRow&) const = default;
};
struct RecordTable {
    std::vector<std::string> headings;
    std::vector<RecordRow> rows;
};

// Every observation, a row each in the order given: number, UT, method, seeing, g, s, R and
// the counts of each hemisphere, observer, site, instrument, whether it stands for its day
// ("yes", or "marked" when the observer chose it) and the picture's file.
RecordTable ObservationTable(std::span<const SunspotObservation> observations);

// The groups followed, a row a life: id, NOAA number, first and last day, the observations
// that saw it, its mean latitude, its largest area and its classes in the order seen.
RecordTable GroupLifeTable(std::span<const GroupLife> lives);

// One group's days, a row each (its id the row's index in the life): UT, observation, the
// group's number on it, latitude, Carrington longitude, area, spots, class and whose the class
// is ("spots", or "observer" for one typed or corrected).
RecordTable GroupDayTable(const GroupLife& life);
inline constexpr std::size_t kGroupDayClassColumn = 7;

// The month's report as the text report has it: a row a day (its id the observation's).
RecordTable MonthlyReportTable(const MonthlyReport& report);

// A group's area through its life: days since it was first seen, and its area on each day
// that gives one.
struct GroupAreaPoint {
    double day = 0;
    double areaMsh = 0;

    bool operator==(const GroupAreaPoint&) const = default;
};
std::vector<GroupAreaPoint> GroupAreaCurve(const GroupLife& life);

} // namespace zorva
