// The month's counts as an observer sends them to an association: one row a day, the day's
// observation standing for it.
#include "core/record/monthly_report.h"

#include <algorithm>
#include <map>

#include "core/text/format.h"

namespace zorva {

namespace {

std::string TwoDigits(int32_t v) {
    return (v < 10 ? "0" : "") + std::to_string(v);
}

// Whether `a` stands for its day before `b`.
bool Before(const SunspotObservation& a, const SunspotObservation& b) {
    if (a.dayChoice != b.dayChoice) return a.dayChoice;
    if (a.seeing.has_value() != b.seeing.has_value()) return a.seeing.has_value();
    if (a.seeing && *a.seeing != *b.seeing) return *a.seeing < *b.seeing;
    return a.id < b.id;
}

std::vector<std::string> Cells(const SunspotObservation& o, bool csv) {
    const std::string none = csv ? "" : "-";
    const auto n = [](int64_t v) { return std::to_string(v); };
    return {DayText(DayOf(o.instant)),
            TwoDigits(o.instant.hour) + ":" + TwoDigits(o.instant.minute),
            o.seeing ? n(*o.seeing) : none,
            n(o.Groups()),
            n(o.Spots()),
            n(o.Wolf()),
            n(o.north.groups),
            n(o.north.spots),
            n(o.south.groups),
            n(o.south.spots),
            std::string(MethodName(o.method)),
            csv ? CsvField(o.observer) : (o.observer.empty() ? none : o.observer)};
}

} // namespace

std::vector<SunspotObservation>
ObservationsOfTheDays(std::span<const SunspotObservation> observations) {
    std::map<CalendarDay, const SunspotObservation*> days;
    for (const SunspotObservation& o : observations) {
        const SunspotObservation*& best = days[DayOf(o.instant)];
        if (!best || Before(o, *best)) best = &o;
    }
    std::vector<SunspotObservation> out;
    out.reserve(days.size());
    for (const auto& [day, o] : days)
        out.push_back(*o);
    return out;
}

MonthlyReport MakeMonthlyReport(std::span<const SunspotObservation> observations, int32_t year,
                                int32_t month) {
    MonthlyReport report;
    report.year = year;
    report.month = month;
    std::vector<SunspotObservation> ofMonth;
    for (const SunspotObservation& o : observations) {
        if (o.instant.year == year && o.instant.month == month) ofMonth.push_back(o);
    }
    report.days = ObservationsOfTheDays(ofMonth);
    report.observingDays = static_cast<int32_t>(report.days.size());
    if (report.days.empty()) return report;
    double groups = 0, wolf = 0;
    for (const SunspotObservation& o : report.days) {
        groups += o.Groups();
        wolf += static_cast<double>(o.Wolf());
    }
    report.meanGroups = groups / report.observingDays;
    report.meanWolf = wolf / report.observingDays;
    return report;
}

std::string MonthlyReportText(const MonthlyReport& r) {
    std::vector<std::vector<std::string>> rows;
    rows.emplace_back();
    for (const char* c : kReportColumns) {
        std::string heading = c;
        if (heading == "ut") heading = "UT";
        rows.back().push_back(heading);
    }
    for (const SunspotObservation& o : r.days)
        rows.push_back(Cells(o, false));
    // Numbers to the right of their column, words to the left.
    std::vector<std::size_t> width(std::size(kReportColumns), 0);
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c)
            width[c] = std::max(width[c], row[c].size());
    }
    constexpr std::size_t kFirstNumber = 2, kLastNumber = 9;
    std::string text = "Sunspot counts of " + std::to_string(r.year) + "-" + TwoDigits(r.month) +
                       " (UT), one observation a day\n";
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::string pad(width[c] - row[c].size(), ' ');
            const bool number = c >= kFirstNumber && c <= kLastNumber;
            line += (c ? "  " : "") + (number ? pad + row[c] : row[c] + pad);
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        text += line + "\n";
    }
    return text + MonthlyReportSummary(r);
}

std::string MonthlyReportSummary(const MonthlyReport& r) {
    constexpr int kGroupDecimals = 2, kWolfDecimals = 1;
    return "Observing days " + std::to_string(r.observingDays) + "\n" + "Mean daily groups " +
           (r.observingDays ? FixedText(r.meanGroups, kGroupDecimals) : std::string("-")) + "\n" +
           "Mean R " + (r.observingDays ? FixedText(r.meanWolf, kWolfDecimals) : std::string("-")) +
           "\n";
}

std::vector<std::string> MonthlyReportRow(const SunspotObservation& day) {
    return Cells(day, false);
}

std::string MonthlyReportCsv(const MonthlyReport& r) {
    std::string csv;
    for (std::size_t c = 0; c < std::size(kReportColumns); ++c)
        csv += (c ? "," : "") + std::string(kReportColumns[c]);
    csv += "\n";
    for (const SunspotObservation& o : r.days) {
        const std::vector<std::string> cells = Cells(o, true);
        for (std::size_t c = 0; c < cells.size(); ++c)
            csv += (c ? "," : "") + cells[c];
        csv += "\n";
    }
    return csv;
}

} // namespace zorva
