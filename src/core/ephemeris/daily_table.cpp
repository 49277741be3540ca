#include "core/ephemeris/daily_table.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <span>
#include <sstream>
#include <string_view>

#include "core/common/regular_file.h"
#include "core/ephemeris/builtin_tables.h"
#include "core/ephemeris/solar_position.h"
#include "core/text/parse.h"
#include "core/text/text_scanner.h"

namespace zorva {

std::string YearFileName(int32_t year) {
    return "zorvadata" + std::to_string(year) + ".txt";
}

namespace {

// No honest word of a year file comes near this; a longer one ends the reading.
constexpr std::size_t kMaxWordLength = 64;
constexpr int kHeaderWords = 18;
constexpr int kRecordWords = 11;

// The values a daily solar ephemeris at 0h UT can hold. A record outside them is not one,
// and reading stops there as it does at garbage.
constexpr double kHoursPerDay = 24;
constexpr double kLargestDeclination = 24; // the obliquity of the ecliptic is 23.44 degrees
constexpr double kLargestB0 = 7.5;         // the solar equator is inclined by 7.25 degrees
constexpr double kFullCircle = 360;
constexpr double kLargestP = 27;                // P never passes 26.3 degrees
constexpr double kSmallestDiameterMinutes = 31; // 31' 28" at aphelion
constexpr double kLargestDiameterMinutes = 33;  // 32' 32" at perihelion
constexpr double kSecondsPerMinute = 60;
// Carrington rotations of the years 1 to 9999 run from about -25 000 to 110 000; a
// number far beyond them is garbage, and bounding it keeps the day's +1 from overflowing.
constexpr int32_t kLargestRotation = 1000000;

// Words separated by white space, each at most kMaxWordLength characters of text.
class WordReader {
  public:
    explicit WordReader(std::istream& in) : scanner_(in) {}

    // False at the end of the input, on an over-long word or on one holding control
    // characters (then `problem` says which).
    bool Next(std::string& word) {
        scanner_.SkipSpace();
        line = scanner_.Line();
        auto w = scanner_.ReadWord(kMaxWordLength + 1);
        if (!w) return false;
        if (w->size() > kMaxWordLength) {
            problem = "over-long word";
            return false;
        }
        const bool binary = std::any_of(w->begin(), w->end(), [](char c) {
            const auto u = static_cast<unsigned char>(c);
            return u < 0x20 || u == 0x7F;
        });
        if (binary) {
            problem = "binary data (control characters), not plain text";
            return false;
        }
        word = std::move(*w);
        return true;
    }

    std::size_t line = 1; // line of the last word asked for
    std::string problem;

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

bool Within(double v, double low, double high) {
    return v >= low && v <= high;
}

// Why a record read as numbers is no daily ephemeris, naming the first value out of its
// range; empty when every value is in range. `previous` is the record before it, if any.
std::string OutOfRange(const DailyRecord& r, const DailyRecord* previous,
                       const std::string (&w)[kRecordWords]) {
    const auto outside = [](const std::string& name, const std::string& word, const char* range) {
        return name + " " + word + " outside " + range;
    };
    if (!Within(r.RA, 0, kHoursPerDay)) return outside("RA", w[3], "0..24 h");
    if (!Within(r.Dec, -kLargestDeclination, kLargestDeclination)) {
        return outside("Dec", w[4], "-24..24 degrees");
    }
    if (!Within(r.B0, -kLargestB0, kLargestB0)) return outside("B0", w[5], "-7.5..7.5 degrees");
    if (!Within(r.L0, 0, kFullCircle)) return outside("L0", w[6], "0..360 degrees");
    if (!Within(r.P, -kLargestP, kLargestP)) return outside("P", w[7], "-27..27 degrees");
    if (!Within(r.DiamSeconds, 0, kSecondsPerMinute) ||
        !Within(r.DiamMinutes + r.DiamSeconds / kSecondsPerMinute, kSmallestDiameterMinutes,
                kLargestDiameterMinutes)) {
        return "diameter " + w[8] + "' " + w[9] + "\" outside 31'..33'";
    }
    if (!Within(r.Rotation, -kLargestRotation, kLargestRotation)) {
        return "rotation " + w[10] + " is no Carrington rotation";
    }
    if (previous != nullptr) {
        const int64_t step = int64_t{r.Rotation} - previous->Rotation;
        if (step < 0 || step > 1) {
            return "rotation " + w[10] + " after " + std::to_string(previous->Rotation) +
                   " the day before";
        }
    }
    return {};
}

std::string LineText(std::size_t line) {
    return "line " + std::to_string(line) + ": ";
}

} // namespace

YearFileResult ReadYearFile(std::istream& in, DailyTable& table) {
    YearFileResult result;
    // Text saved as UTF-16 starts with its byte order mark.
    if (std::streambuf* buf = in.rdbuf()) {
        const int first = buf->sgetc();
        if (first == 0xFF || first == 0xFE) {
            result.error = "is UTF-16 text (it begins with a byte order mark), not plain text";
            return result;
        }
    }
    WordReader reader(in);
    std::string word;
    for (int i = 0; i < kHeaderWords; ++i) {
        if (!reader.Next(word)) {
            if (i == 0 && reader.problem.empty()) {
                result.error = "is empty";
            } else {
                result.error = LineText(reader.line) +
                               (reader.problem.empty() ? "incomplete header" : reader.problem);
            }
            return result;
        }
    }

    std::string w[kRecordWords];
    std::size_t lines[kRecordWords] = {};
    while (result.count < kDailyTableSize) {
        int got = 0;
        while (got < kRecordWords && reader.Next(w[got]))
            lines[got++] = reader.line;
        if (got == 0 && reader.problem.empty()) return result; // a clean end after the last record
        if (got < kRecordWords) {
            result.error = LineText(reader.line) +
                           (reader.problem.empty() ? "truncated record" : reader.problem);
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
        const std::optional<double> numbers[] = {year, day, ra,      dec,     b0,
                                                 l0,   p,   minutes, seconds, rotation};
        static constexpr int kWordOf[] = {0, 2, 3, 4, 5, 6, 7, 8, 9, 10};
        for (std::size_t k = 0; k < std::size(numbers); ++k) {
            if (!numbers[k]) {
                result.error =
                    LineText(lines[kWordOf[k]]) + "unreadable value \"" + w[kWordOf[k]] + "\"";
                return result;
            }
        }
        DailyRecord r;
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
        const DailyRecord* previous = result.count > 0 ? &table[result.count - 1] : nullptr;
        if (const std::string why = OutOfRange(r, previous, w); !why.empty()) {
            result.error = LineText(lines[0]) + why;
            return result;
        }
        table[result.count] = r;
        ++result.count;
    }
    std::string extra;
    if (reader.Next(extra) || !reader.problem.empty()) {
        result.error = LineText(reader.line) + "more records than a year holds";
    }
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

int32_t LoadYearTable(int32_t year, DailyTable& table,
                      const std::optional<std::filesystem::path>& folder, YearTableSource* source) {
    YearTableSource found;
    found.fileName = YearFileName(year);
    std::fill(table.begin(), table.begin() + 366, DailyRecord{});
    int32_t count = 0;
    bool fromFile = false;
    const std::filesystem::path path = folder ? *folder / found.fileName : std::filesystem::path();
    std::error_code ec;
    if (!folder) {
        // No folder of year files: the built-in or computed table.
    } else if (std::filesystem::is_directory(path, ec)) {
        found.error = found.fileName + " is a folder, not a year file";
    } else if (const RegularFileRead file = ReadRegularFile(path); file.ok) {
        std::istringstream in(file.bytes);
        const YearFileResult read = ReadYearFile(in, table);
        count = read.count;
        fromFile = true;
        const int32_t days = DaysInYear(year);
        if (!read.error.empty()) {
            found.error = found.fileName + " " + read.error;
        } else if (read.count < days) {
            // A file that ends cleanly before the year does is as incomplete as a damaged
            // one: the days it lacks are computed, and the user should know.
            found.error = found.fileName + " ends after " + std::to_string(read.count) +
                          " of the year's " + std::to_string(days) + " days";
        }
    } else if (file.found) {
        found.error = found.fileName + " cannot be read: " + file.error;
    }
    if (fromFile) {
        found.origin = YearTableOrigin::YearFile;
    } else if (year >= kFirstBuiltinYear && year <= kLastBuiltinYear) {
        found.origin = YearTableOrigin::BuiltIn;
        count = CopyBuiltin(year, table);
    } else {
        found.origin = YearTableOrigin::Computed;
        count = ComputeYearTable(year, table);
    }
    if (source != nullptr) *source = std::move(found);
    return count;
}

std::string YearTableSourceText(const YearTableSource& source) {
    std::string text;
    switch (source.origin) {
    case YearTableOrigin::YearFile:
        text = "year file " + source.fileName;
        break;
    case YearTableOrigin::BuiltIn:
        text = "built-in table";
        break;
    case YearTableOrigin::Computed:
        text = "computed";
        break;
    }
    if (!source.error.empty()) text += "; " + source.error;
    return text;
}

void InterpolateEphemeris(const DailyRecord& a, const DailyRecord& b, const Instant& t,
                          Ephemeris& out) {
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

namespace {

// printf's "%*.*f" and "%*d" in the C locale whatever the process's: right-aligned in
// `width`, a decimal point, a minus even on a zero.
std::string Fixed(double v, int width, int decimals) {
    std::array<char, 400> buf{}; // the longest fixed-point double with its decimals
    const auto r =
        std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed, decimals);
    std::string text(buf.data(), r.ptr);
    if (text.size() < static_cast<std::size_t>(width))
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}
std::string Whole(int64_t v, int width = 0) {
    std::string text = std::to_string(v);
    if (text.size() < static_cast<std::size_t>(width))
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

} // namespace

void WriteYearFile(std::ostream& out, int32_t year, const DailyRecord* records, int32_t count,
                   YearFileDecimals decimals) {
    static constexpr const char* kMonths[13] = {"???", "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::string text = "Zorva daily solar ephemeris " + Whole(year) + " 0h UT\n" +
                       "Year Month Day RA(h) Dec(deg) B0(deg) L0(deg) P(deg) Diam(') Diam(\") "
                       "Rotation\n";
    for (int32_t i = 0; i < count; ++i) {
        const DailyRecord& r = records[i];
        const char* month = r.Month >= 1 && r.Month <= 12 ? kMonths[r.Month] : kMonths[0];
        text += Whole(r.Year) + " " + month + " " + Whole(r.Day, 2) + " " + Fixed(r.RA, 10, 6) +
                " " + Fixed(r.Dec, 10, 6) + " " + Fixed(r.B0, decimals.blp + 4, decimals.blp) +
                " " + Fixed(r.L0, decimals.blp + 5, decimals.blp) + " " +
                Fixed(r.P, decimals.blp + 4, decimals.blp) + " " + Whole(r.DiamMinutes) + " " +
                Fixed(r.DiamSeconds, decimals.seconds + 3, decimals.seconds) + " " +
                Whole(r.Rotation) + "\n";
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

} // namespace zorva
