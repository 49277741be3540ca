#include "core/ephemeris/builtin_table_codec.h"

#include <array>
#include <cmath>

#include "core/ephemeris/calendar.h"

namespace zorva {
namespace {

constexpr int kColumns = 8;
using Units = std::array<int64_t, kColumns>;

// How each column is held: its unit as a divisor of the record's value, and the order of
// the difference stored. RA and Dec change smoothly enough for third differences to stay
// within a letter or two; L0 falls by a near-constant step and P swings slowly, so second
// differences; the rest change seldom, so first differences.
struct Column {
    double perUnit;
    int order;
};
constexpr std::array<Column, kColumns> kColumnsOf = {{
    {1e6, 3}, // RA, hours
    {1e6, 3}, // Dec, degrees
    {1e2, 1}, // B0
    {1e2, 2}, // L0
    {1e2, 2}, // P
    {1, 1},   // diameter minutes
    {1e1, 1}, // diameter seconds
    {1, 1},   // rotation
}};

// A letter carries five bits of a number and says whether more letters follow.
constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int kBitsPerLetter = 5;
constexpr int64_t kLetterMask = (1 << kBitsPerLetter) - 1;
constexpr int kMoreFollows = 1 << kBitsPerLetter;
// Enough letters for any difference the tables hold (the RA seam is 24 000 000 units).
constexpr int kMaxLetters = 8;
// No column comes near this many units (Dec's 90 degrees are 90 000 000); a decoded value
// beyond it means broken text, and the bound keeps the predictions' arithmetic in range.
constexpr int64_t kLargestUnits = 1'000'000'000;

Units ToUnits(const DailyRecord& r) {
    const std::array<double, kColumns> values = {
        r.RA, r.Dec, r.B0, r.L0, r.P, double(r.DiamMinutes), r.DiamSeconds, double(r.Rotation)};
    Units units{};
    for (int c = 0; c < kColumns; ++c)
        units[c] = std::llround(values[c] * kColumnsOf[c].perUnit);
    return units;
}

// The same double a decimal literal of these digits would give: a whole number divided
// by a power of ten is rounded once, correctly.
DailyRecord FromUnits(const Units& u) {
    DailyRecord r;
    r.RA = double(u[0]) / kColumnsOf[0].perUnit;
    r.Dec = double(u[1]) / kColumnsOf[1].perUnit;
    r.B0 = double(u[2]) / kColumnsOf[2].perUnit;
    r.L0 = double(u[3]) / kColumnsOf[3].perUnit;
    r.P = double(u[4]) / kColumnsOf[4].perUnit;
    r.DiamMinutes = static_cast<int32_t>(u[5]);
    r.DiamSeconds = double(u[6]) / kColumnsOf[6].perUnit;
    r.Rotation = static_cast<int32_t>(u[7]);
    return r;
}

// The last three values of a column, most recent first; zero before the first day.
using History = std::array<Units, 3>;

int64_t Prediction(const History& h, int column) {
    const int64_t a = h[0][column], b = h[1][column], c = h[2][column];
    switch (kColumnsOf[column].order) {
    case 1:
        return a;
    case 2:
        return 2 * a - b;
    case 3:
        return 3 * a - 3 * b + c;
    default:
        return 0;
    }
}

void Remember(History& h, const Units& u) {
    h[2] = h[1];
    h[1] = h[0];
    h[0] = u;
}

// Signed numbers fold onto 0, -1, 1, -2, 2, ... so small magnitudes stay short.
uint64_t Fold(int64_t v) {
    return v >= 0 ? uint64_t(v) << 1 : (uint64_t(-(v + 1)) << 1) | 1;
}
int64_t Unfold(uint64_t z) {
    return (z & 1) ? -int64_t(z >> 1) - 1 : int64_t(z >> 1);
}

void PutNumber(std::string& out, int64_t v) {
    uint64_t z = Fold(v);
    while (z > uint64_t(kLetterMask)) {
        out += kAlphabet[kMoreFollows | int(z & kLetterMask)];
        z >>= kBitsPerLetter;
    }
    out += kAlphabet[int(z)];
}

int LetterValue(char c) {
    const size_t at = kAlphabet.find(c);
    return at == std::string_view::npos ? -1 : int(at);
}

// The next number from `code` at `pos`; false at a bad letter, at the end of the text in
// the middle of a number, or when a number runs longer than any the tables hold.
bool GetNumber(std::string_view code, size_t& pos, int64_t& v) {
    uint64_t z = 0;
    for (int n = 0; n < kMaxLetters && pos < code.size(); ++n) {
        const int letter = LetterValue(code[pos++]);
        if (letter < 0) return false;
        z |= uint64_t(letter & kLetterMask) << (kBitsPerLetter * n);
        if (!(letter & kMoreFollows)) {
            v = Unfold(z);
            return true;
        }
    }
    return false;
}

} // namespace

std::string EncodeYearTable(std::span<const DailyRecord> days) {
    std::string out;
    History h{};
    for (const DailyRecord& r : days) {
        const Units u = ToUnits(r);
        for (int c = 0; c < kColumns; ++c)
            PutNumber(out, u[c] - Prediction(h, c));
        Remember(h, u);
    }
    return out;
}

DecodedYear DecodeYearTable(int32_t year, std::string_view code) {
    DecodedYear result;
    const int32_t expected = DaysInYear(year);
    int32_t y = year, m = 1, d = 1;
    History h{};
    size_t pos = 0;
    while (pos < code.size()) {
        if (int32_t(result.days.size()) == expected) {
            result.error = "more records than the year has days";
            return result;
        }
        Units u{};
        for (int c = 0; c < kColumns; ++c) {
            int64_t delta = 0;
            if (!GetNumber(code, pos, delta)) {
                result.error = "broken record " + std::to_string(result.days.size() + 1);
                return result;
            }
            u[c] = Prediction(h, c) + delta;
            if (u[c] > kLargestUnits || u[c] < -kLargestUnits) {
                result.error =
                    "value out of range in record " + std::to_string(result.days.size() + 1);
                return result;
            }
        }
        Remember(h, u);
        DailyRecord r = FromUnits(u);
        r.Year = y;
        r.Month = m;
        r.Day = d;
        result.days.push_back(r);
        AddDays(y, m, d, 1);
    }
    if (int32_t(result.days.size()) != expected)
        result.error = std::to_string(result.days.size()) + " records for a year of " +
                       std::to_string(expected) + " days";
    return result;
}

} // namespace zorva
