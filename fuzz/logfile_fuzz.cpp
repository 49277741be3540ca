// Feeds arbitrary bytes to the logfile reader, then converts what it read as the window's
// table, its export and zorva-cli logfile do: every line taken must read back to the same
// fields, and every row must keep its 34 columns.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/logfile/logfile_record.h"
#include "core/logfile/measurements.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace zorva;
    const LogfileRead read =
        ReadLogfileText(std::string_view(reinterpret_cast<const char*>(data), size));
    Check(read.ok != !read.error.empty());
    if (!read.ok) return 0;
    std::vector<Measurement> table;
    for (const LogfileEntry& line : read.lines) {
        const LogfileLineRead again = ReadLogfileLine(line.text);
        Check(again.record && *again.record == line.record);
        const std::string row = LogfileCsvCells(line.record);
        Check(std::count(row.begin(), row.end(), ',') ==
              static_cast<std::ptrdiff_t>(LogfileFieldCount) - 1);
        MeasurementCells({line.text, line.record, MeasurementContext{"chart", "Equatorial"}});
        table.push_back({line.text, line.record, std::nullopt});
    }
    const std::string csv = MeasurementsCsv(table);
    Check(static_cast<std::size_t>(std::count(csv.begin(), csv.end(), '\n')) == table.size() + 1);
    const std::string json = LogfileJson(read.lines);
    Check(json.front() == '[' && json.ends_with("]\n"));
    return 0;
}
