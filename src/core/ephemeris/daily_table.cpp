#include "core/ephemeris/daily_table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <optional>
#include <span>
#include <string_view>

#include "core/ephemeris/builtin_tables.h"
#include "core/ephemeris/solar_position.h"
#include "core/text/parse.h"
#include "core/text/text_scanner.h"

namespace zorva {

std::string YearFileName(int32_t year) { return "zorvadata" + std::to_string(year) + ".txt"; }

namespace {

// No honest word of a year file comes near this; a longer one ends the reading.
constexpr std::size_t kMaxWordLength = 64;
constexpr int kHeaderWords = 18;

// Words separated by white space, each at most kMaxWordLength characters.
class WordReader {
public:
    explicit WordReader(std::istream& in) : scanner_(in) {}

    // False at the end of the input or on an over-long word (then `overlong` is set).
    bool Next(std::string& word) {
        auto w = scanner_.ReadWord(kMaxWordLength + 1);
        if (!w) return false;
        if (w->size() > kMaxWordLength) {
            overlong = true;
            return false;
        }
        word = std::move(*w);
        return true;
    }

    bool overlong = false;

private:
    TextScanner scanner_;
};

// Month from the first three characters of its English abbreviation; 0 when none match.
int32_t ParseMonth(std::string_view w) {
    static constexpr const char* kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::string_view head = w.substr(0, 3);
    for (int32_t m = 0; m < 12; ++m) {
        if (head == kMonths[m]) return m + 1;
    }
    return 0;
}

} // namespace

YearFileResult ReadYearFile(std::istream& in, DailyTable& table) {
    YearFileResult result;
    WordReader reader(in);
    std::string word;
    for (int i = 0; i < kHeaderWords; ++i) {
        if (!reader.Next(word)) {
            result.error = reader.overlong ? "over-long word in the header" : "incomplete header";
            return result;
        }
    }

    std::string w[11];
    while (result.count < kDailyTableSize) {
        int got = 0;
        while (got < 11 && reader.Next(w[got])) ++got;
        if (got == 0 && !reader.overlong) return result; // a clean end after the last record
        if (got < 11) {
            result.error = reader.overlong ? "over-long word in record " : "truncated record ";
            result.error += std::to_string(result.count + 1);
            return result;
        }
        const auto year = ParseInt32(w[0]);
        const auto day = ParseInt32(w[2]);
        const auto ra = ParseReal(w[3]);
        const auto dec = ParseReal(w[4]);
        const auto b0 = ParseReal(w[5]);
        const auto l0 = ParseReal(w[6]);
        const auto p = ParseReal(w[7]);
        const auto minutes = ParseInt32(w[8]);
        const auto seconds = ParseReal(w[9]);
        const auto rotation = ParseInt32(w[10]);
        if (!year || !day || !ra || !dec || !b0 || !l0 || !p || !minutes || !seconds ||
            !rotation) {
            result.error = "unreadable record " + std::to_string(result.count + 1);
            return result;
        }
        DailyRecord& r = table[result.count];
        r.Year = *year;
        r.Month = ParseMonth(w[1]);
        r.Day = *day;
        r.RA = *ra;
        r.Dec = *dec;
        r.B0 = *b0;
        r.L0 = *l0;
        r.P = *p;
        r.DiamMinutes = *minutes;
        r.DiamSeconds = *seconds;
        r.Rotation = *rotation;
        ++result.count;
    }
    std::string extra;
    if (reader.Next(extra)) result.error = "more records than a year holds";
    return result;
}

namespace {

// Copies a built-in year into the table; 0 when the year has none.
int32_t CopyBuiltin(int32_t year, DailyTable& table) {
    const std::span<const DailyRecord> days = BuiltinYear(year);
    if (days.empty() || days.size() > table.size()) return 0;
    std::copy(days.begin(), days.end(), table.begin());
    return static_cast<int32_t>(days.size());
}

} // namespace

int32_t LoadYearTable(int32_t year, DailyTable& table, const std::filesystem::path& folder) {
    std::fill(table.begin(), table.begin() + 366, DailyRecord{});
    std::ifstream file(folder / YearFileName(year), std::ios::binary);
    if (file.is_open()) return ReadYearFile(file, table).count;
    if (year >= kFirstBuiltinYear && year <= kLastBuiltinYear) return CopyBuiltin(year, table);
    return ComputeYearTable(year, table);
}

namespace {

bool SameDate(const DailyRecord& r, int32_t y, int32_t m, int32_t d) {
    return r.Year == y && r.Month == m && r.Day == d;
}

// The record of one date from the table, or when the table lacks it, from the computed
// year (whose rotation numbers are fixed up like a whole table's).
DailyRecord RecordOf(const DailyTable& table, int32_t tableDays, int32_t y, int32_t m, int32_t d,
                     int32_t* index) {
    const int32_t filled = std::clamp(tableDays, 0, kDailyTableSize);
    for (int32_t i = 0; i < filled; ++i) {
        if (SameDate(table[i], y, m, d)) {
            if (index) *index = i;
            return table[i];
        }
    }
    if (index) *index = -1;
    DailyTable computed;
    const int32_t count = ComputeYearTable(y, computed);
    for (int32_t i = 0; i < count; ++i) {
        if (SameDate(computed[i], y, m, d)) return computed[i];
    }
    return ComputeDailyRecord(y, m, d);
}

// The first record of a year from the same sources, in the same order, as LoadYearTable.
DailyRecord FirstRecordOfYear(int32_t year, const std::filesystem::path& folder) {
    std::ifstream file(folder / YearFileName(year), std::ios::binary);
    if (file.is_open()) {
        DailyTable table;
        if (ReadYearFile(file, table).count > 0) return table[0];
    } else if (const auto days = BuiltinYear(year); !days.empty()) {
        return days.front();
    }
    return ComputeDailyRecord(year, 1, 1);
}

} // namespace

void InterpolateEphemeris(int32_t tableYear, const DailyTable& table, int32_t tableDays,
                          const Instant& t, Ephemeris& out, const std::filesystem::path& folder) {
    int32_t i = -1;
    const DailyRecord a = RecordOf(table, tableDays, t.year, t.month, t.day, &i);

    // The next day: the following table record when it is the next date; on 31 December
    // the first record of the next year; otherwise the next date from the computed path.
    DailyRecord b;
    if (a.Month == 12 && a.Day == 31) {
        b = FirstRecordOfYear(tableYear + 1, folder);
    } else {
        int32_t ny = t.year, nm = t.month, nd = t.day;
        AddDays(ny, nm, nd, 1);
        if (i >= 0 && i + 1 < std::min(tableDays, kDailyTableSize) &&
            SameDate(table[i + 1], ny, nm, nd)) {
            b = table[i + 1];
        } else {
            b = RecordOf(table, tableDays, ny, nm, nd, nullptr);
        }
    }

    const double f = (t.hour + t.minute / 60.0 + t.second / 3600.0) / 24.0;

    if (b.RA - a.RA > 0) {
        out.RA = a.RA + (b.RA - a.RA) * f;
    } else { // across the 24 h seam
        out.RA = a.RA + (b.RA + 24.0 - a.RA) * f;
        if (out.RA > 24.0) out.RA -= 24.0;
    }
    out.Dec = a.Dec + (b.Dec - a.Dec) * f;
    out.B0 = a.B0 + (b.B0 - a.B0) * f;
    out.P = a.P + (b.P - a.P) * f;

    if (a.L0 - b.L0 > 0) {
        out.L0 = a.L0 + (b.L0 - a.L0) * f;
        out.Rotation = a.Rotation;
    } else { // L0 restarted near 360 during the day
        out.L0 = a.L0 + (b.L0 - 360.0 - a.L0) * f;
        if (out.L0 < 0) {
            out.L0 += 360.0;
            out.Rotation = a.Rotation + 1;
        } else {
            out.Rotation = a.Rotation;
        }
    }

    // Diameter, carrying the arcminutes when they change during the day.
    if (a.DiamMinutes == b.DiamMinutes) {
        out.DiamMinutes = a.DiamMinutes;
        out.DiamSeconds = a.DiamSeconds + (b.DiamSeconds - a.DiamSeconds) * f;
    } else if (a.DiamMinutes > b.DiamMinutes) {
        const double s = a.DiamSeconds + 60.0;
        out.DiamSeconds = s + (b.DiamSeconds - s) * f;
        if (out.DiamSeconds > 60.0) {
            out.DiamMinutes = a.DiamMinutes;
            out.DiamSeconds -= 60.0;
        } else {
            out.DiamMinutes = b.DiamMinutes;
        }
    } else {
        const double s = b.DiamSeconds + 60.0;
        out.DiamSeconds = a.DiamSeconds + (s - a.DiamSeconds) * f;
        if (out.DiamSeconds > 60.0) {
            out.DiamMinutes = b.DiamMinutes;
            out.DiamSeconds -= 60.0;
        } else {
            out.DiamMinutes = a.DiamMinutes;
        }
    }
}

} // namespace zorva

namespace zorva {

void WriteYearFile(std::ostream& out, int32_t year, const DailyRecord* records, int32_t count,
                   YearFileDecimals decimals) {
    static constexpr const char* kMonths[13] = {"???", "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    out << "Zorva daily solar ephemeris " << year << " 0h UT\n";
    out << "Year Month Day RA(h) Dec(deg) B0(deg) L0(deg) P(deg) Diam(') Diam(\") Rotation\n";
    char line[256];
    for (int32_t i = 0; i < count; ++i) {
        const DailyRecord& r = records[i];
        const char* month = r.Month >= 1 && r.Month <= 12 ? kMonths[r.Month] : kMonths[0];
        std::snprintf(line, sizeof line, "%d %s %2d %10.6f %10.6f %*.*f %*.*f %*.*f %d %*.*f %d\n",
                      r.Year, month, r.Day, r.RA, r.Dec, decimals.blp + 4, decimals.blp, r.B0,
                      decimals.blp + 5, decimals.blp, r.L0, decimals.blp + 4, decimals.blp, r.P,
                      r.DiamMinutes, decimals.seconds + 3, decimals.seconds, r.DiamSeconds,
                      r.Rotation);
        out << line;
    }
}

} // namespace zorva
