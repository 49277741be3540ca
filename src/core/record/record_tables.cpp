// The observer's record as the window lists it.
#include "core/record/record_tables.h"

#include <algorithm>
#include <set>

#include "core/text/format.h"
#include "core/text/parse.h"

namespace zorva {

namespace {

constexpr int kPlaceDecimals = 1;
constexpr int kAreaDecimals = 0;

RecordCell Text(std::string text) {
    return {std::move(text)};
}
RecordCell Number(double v, int decimals) {
    return {FixedText(v, decimals), v};
}
RecordCell Whole(int64_t v) {
    return {std::to_string(v), static_cast<double>(v)};
}
RecordCell Maybe(const std::optional<double>& v, int decimals) {
    return v ? Number(*v, decimals) : Text("-");
}

std::string TwoDigits(int32_t v) {
    return (v < 10 ? "0" : "") + std::to_string(v);
}

// "2011-11-01 08:30:00", sorting by the instant.
RecordCell Moment(const Instant& t) {
    return {DayText(DayOf(t)) + " " + TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" +
                TwoDigits(t.second),
            JulianDate(t)};
}

RecordCell Day(const Instant& t) {
    return {DayText(DayOf(t)), JulianDate(t)};
}

std::string OrDash(const std::string& text) {
    return text.empty() ? "-" : text;
}

} // namespace

RecordTable ObservationTable(std::span<const SunspotObservation> observations) {
    RecordTable table;
    table.headings = {"No.", "UT", "Method", "Seeing",   "g",    "s",          "R",     "gN",
                      "sN",  "gS", "sS",     "Observer", "Site", "Instrument", "Day's", "Picture"};
    std::set<int64_t> ofTheDays;
    for (const SunspotObservation& o : ObservationsOfTheDays(observations))
        ofTheDays.insert(o.id);
    for (const SunspotObservation& o : observations) {
        RecordRow row;
        row.id = o.id;
        row.cells = {Whole(o.id),
                     Moment(o.instant),
                     Text(std::string(MethodName(o.method))),
                     o.seeing ? Whole(*o.seeing) : Text("-"),
                     Whole(o.Groups()),
                     Whole(o.Spots()),
                     Whole(o.Wolf()),
                     Whole(o.north.groups),
                     Whole(o.north.spots),
                     Whole(o.south.groups),
                     Whole(o.south.spots),
                     Text(OrDash(o.observer)),
                     Text(OrDash(o.site)),
                     Text(OrDash(o.instrument)),
                     Text(o.dayChoice             ? "marked"
                          : ofTheDays.count(o.id) ? "yes"
                                                  : ""),
                     Text(o.picture)};
        table.rows.push_back(std::move(row));
    }
    return table;
}

RecordTable GroupLifeTable(std::span<const GroupLife> lives) {
    RecordTable table;
    table.headings = {"Group", "NOAA", "First Seen", "Last Seen",
                      "Days",  "Lat",  "Area (MSH)", "Classes"};
    for (const GroupLife& life : lives) {
        if (life.days.empty()) continue;
        double latitudes = 0;
        int32_t placed = 0;
        std::optional<double> largest;
        std::vector<std::string> classes;
        for (const GroupSightingDay& d : life.days) {
            if (d.latitude) {
                latitudes += *d.latitude;
                ++placed;
            }
            if (d.areaMsh) largest = std::max(largest.value_or(0), *d.areaMsh);
            if (!d.mcintosh.empty() && (classes.empty() || classes.back() != d.mcintosh))
                classes.push_back(d.mcintosh);
        }
        std::string classText;
        for (const std::string& c : classes)
            classText += (classText.empty() ? "" : " ") + c;
        RecordRow row;
        row.id = life.id;
        row.cells = {Whole(life.id),
                     life.noaa ? Whole(*life.noaa) : Text("-"),
                     Day(life.days.front().instant),
                     Day(life.days.back().instant),
                     Whole(static_cast<int64_t>(life.days.size())),
                     placed ? Number(latitudes / placed, kPlaceDecimals) : Text("-"),
                     Maybe(largest, kAreaDecimals),
                     Text(OrDash(classText))};
        table.rows.push_back(std::move(row));
    }
    return table;
}

RecordTable GroupDayTable(const GroupLife& life) {
    RecordTable table;
    table.headings = {"UT",         "Observation", "Group", "Lat",     "Long",
                      "Area (MSH)", "Spots",       "Class", "Class By"};
    for (std::size_t i = 0; i < life.days.size(); ++i) {
        const GroupSightingDay& d = life.days[i];
        RecordRow row;
        row.id = static_cast<int64_t>(i);
        row.cells = {Moment(d.instant),
                     Whole(d.observation),
                     Whole(d.number),
                     Maybe(d.latitude, kPlaceDecimals),
                     Maybe(d.longitude, kPlaceDecimals),
                     Maybe(d.areaMsh, kAreaDecimals),
                     Whole(d.spots),
                     Text(d.mcintosh),
                     Text(d.mcintosh.empty() ? ""
                          : d.classReviewed  ? "observer"
                                             : "spots")};
        table.rows.push_back(std::move(row));
    }
    return table;
}

RecordTable MonthlyReportTable(const MonthlyReport& report) {
    RecordTable table;
    for (const char* c : kReportColumns)
        table.headings.push_back(std::string(c) == "ut" ? "UT" : c);
    for (const SunspotObservation& o : report.days) {
        RecordRow row;
        row.id = o.id;
        for (std::string& text : MonthlyReportRow(o))
            row.cells.push_back(Text(std::move(text)));
        // Numbers sort as numbers: seeing to sS.
        constexpr std::size_t kFirstNumber = 2, kLastNumber = 9;
        for (std::size_t c = kFirstNumber; c <= kLastNumber; ++c) {
            const std::string& t = row.cells[c].text;
            if (const auto v = ParseReal(t)) row.cells[c].key = *v;
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

std::vector<GroupAreaPoint> GroupAreaCurve(const GroupLife& life) {
    std::vector<GroupAreaPoint> curve;
    if (life.days.empty()) return curve;
    const double first = JulianDate(life.days.front().instant);
    for (const GroupSightingDay& d : life.days) {
        if (d.areaMsh) curve.push_back({JulianDate(d.instant) - first, *d.areaMsh});
    }
    return curve;
}

} // namespace zorva
