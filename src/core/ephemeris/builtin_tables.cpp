#include "core/ephemeris/builtin_tables.h"

#include <string_view>
#include <vector>

#include "core/ephemeris/builtin_table_codec.h"

namespace zorva {
namespace {

struct EncodedYear {
    int32_t year;
    std::string_view code;
};

// Every year from the first to the last in order, each in the compact text of
// builtin_table_codec.h; written by tools/gen_builtin_tables.cpp.
constexpr EncodedYear kEncodedYears[] = {
#include "core/ephemeris/builtin_tables_data.inc"
};
static_assert(std::size(kEncodedYears) == kLastBuiltinYear - kFirstBuiltinYear + 1);

// The years are unpacked together the first time any is asked for (a few hundred
// kilobytes of text, well under a millisecond) and kept for the life of the program.
const std::vector<std::vector<DailyRecord>>& DecodedYears() {
    static const std::vector<std::vector<DailyRecord>> years = [] {
        std::vector<std::vector<DailyRecord>> all;
        for (const EncodedYear& y : kEncodedYears) {
            DecodedYear decoded = DecodeYearTable(y.year, y.code);
            // A broken year (which the tests rule out) is left empty, never half filled.
            if (!decoded.error.empty()) decoded.days.clear();
            all.push_back(std::move(decoded.days));
        }
        return all;
    }();
    return years;
}

} // namespace

std::span<const DailyRecord> BuiltinYear(int32_t year) {
    if (year < kFirstBuiltinYear || year > kLastBuiltinYear) return {};
    return DecodedYears()[year - kFirstBuiltinYear];
}

} // namespace zorva
