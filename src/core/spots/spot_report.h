#pragma once

#include <optional>
#include <string>

#include "core/ephemeris/calendar.h"
#include "core/images/circle_fit.h"
#include "core/spots/spot_types.h"

namespace zorva {

// What is told of one picture's spots, by the command line and by the window's export:
// the file, its instant, its disk and where the disk came from, and what was found.
struct SpotReport {
    std::string file;
    std::optional<Instant> instant;
    Circle disk;
    std::string diskSource; // "limb search", "FITS header", "given by hand"
    SpotDetection detection;
};

// An instant as YYYY-MM-DDTHH:MM:SSZ.
std::string IsoInstantText(const Instant& t);

// One JSON object on one line (no line end), valid UTF-8 whatever the names hold (see
// JsonString): file (with file_bytes beside it when the name is not UTF-8), instant, disk
// {cx, cy, r, source}, groups [{id, lat, long, cmd, x, y, spots, area_msh, umbra_msh,
// mcintosh}], spots [{id, group, x, y, lat, long, area_msh, umbra_msh}], wolf, wolf_north,
// wolf_south. A detection that failed has "error" with its reason in place of the lists and
// the Wolf numbers.
std::string SpotReportJson(const SpotReport& report);
// The object of a file that could not be opened: {"file": ..., "error": ...}.
std::string SpotErrorJson(const std::string& file, const std::string& error);

// Lines of "Name value" words: the file (as TerminalText shows it), instant and disk, then a line a
// group and a line a spot, and the Wolf number with its northern and southern parts.
std::string SpotReportText(const SpotReport& report);

// CSV: the header line, then a row a group and a row a spot of each report.
std::string SpotCsvHeader();
std::string SpotReportCsv(const SpotReport& report);

} // namespace zorva
