// Feeds arbitrary bytes to the year-file reader; it must stop cleanly inside its table.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "core/ephemeris/daily_table.h"
#include "core/ephemeris/year_tables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    zorva::DailyTable table{};
    const zorva::YearFileResult r = zorva::ReadYearFile(in, table);
    if (r.count < 0 || r.count > zorva::kDailyTableSize) __builtin_trap();
    // Interpolating in whatever was read must stay inside the filled records.
    if (r.count > 0) {
        const zorva::DailyRecord& first = table[0];
        if (first.Month >= 1 && first.Month <= 12 && first.Day >= 1 && first.Day <= 31 &&
            first.Year > 0 && first.Year < 10000) {
            zorva::YearTables tables(std::nullopt);
            tables.Keep({first.Year, table, r.count, {}});
            tables.At({first.Year, first.Month, first.Day, 12, 0, 0}, zorva::Observer{});
        }
    }
    return 0;
}
