#include "core/ephemeris/year_tables.h"

#include "core/ephemeris/solar_position.h"

namespace zorva {

namespace {

// The record of a date in a filled table, where records run day by day from January 1.
std::optional<DailyRecord> Find(const YearTable& t, int32_t year, int32_t month, int32_t day) {
    const auto same = [&](const DailyRecord& r) {
        return r.Year == year && r.Month == month && r.Day == day;
    };
    int32_t index = 0;
    for (int32_t m = 1; m < month && m <= 12; ++m)
        index += DaysInMonth(year, m);
    index += day - 1;
    if (index >= 0 && index < t.count && same(t.days[static_cast<std::size_t>(index)])) {
        return t.days[static_cast<std::size_t>(index)];
    }
    for (int32_t i = 0; i < t.count; ++i) {
        if (same(t.days[static_cast<std::size_t>(i)])) return t.days[static_cast<std::size_t>(i)];
    }
    return std::nullopt;
}

YearTable& Slot(std::map<int32_t, YearTable>& kept, std::size_t limit, int32_t year) {
    if (kept.size() >= limit && kept.find(year) == kept.end()) kept.clear();
    return kept[year];
}

} // namespace

YearTables::YearTables(std::optional<std::filesystem::path> folder) : folder_(std::move(folder)) {}

void YearTables::Keep(YearTable table) {
    const int32_t year = table.year;
    Slot(years_, kKeptYears, year) = std::move(table);
}

YearTable& YearTables::Read(int32_t year) {
    YearTable& t = Slot(years_, kKeptYears, year);
    t.year = year;
    t.count = LoadYearTable(year, t.days, folder_, &t.source);
    return t;
}

const YearTable& YearTables::Load(int32_t year) {
    if (const auto it = years_.find(year); it != years_.end()) return it->second;
    return Read(year);
}

void YearTables::LoadFor(const Instant& t) {
    int32_t ny = t.year, nm = t.month, nd = t.day;
    AddDays(ny, nm, nd, 1);
    // Room for both, so that reading the next day's year cannot let go of the date's.
    if (years_.size() + 2 > kKeptYears && (years_.count(t.year) == 0 || years_.count(ny) == 0)) {
        years_.clear();
    }
    Load(t.year);
    Load(ny);
}

const YearTable& YearTables::Held(int32_t year) {
    if (const auto it = years_.find(year); it != years_.end()) return it->second;
    YearTable& t = Slot(years_, kKeptYears, year);
    t.year = year;
    t.count = LoadYearTable(year, t.days, std::nullopt, &t.source);
    return t;
}

DailyRecord YearTables::Day(int32_t year, int32_t month, int32_t day) {
    if (const auto r = Find(Held(year), year, month, day)) return *r;
    auto it = computed_.find(year);
    if (it == computed_.end()) {
        YearTable& t = Slot(computed_, kKeptYears, year);
        t.year = year;
        t.count = ComputeYearTable(year, t.days);
        it = computed_.find(year);
    }
    if (const auto r = Find(it->second, year, month, day)) return *r;
    return ComputeDailyRecord(year, month, day);
}

Ephemeris YearTables::At(const Instant& t, const Observer& observer) {
    const DailyRecord day = Day(t.year, t.month, t.day);
    int32_t ny = t.year, nm = t.month, nd = t.day;
    AddDays(ny, nm, nd, 1);
    const DailyRecord next = Day(ny, nm, nd);
    Ephemeris e;
    InterpolateEphemeris(day, next, t, e);
    ComputeHorizon(t, observer, e);
    return e;
}

} // namespace zorva
