#pragma once

#include <optional>
#include <string>

#include "core/chart/chart_geometry.h"
#include "core/ephemeris/calendar.h"
#include "core/ephemeris/daily_table.h"
#include "core/images/circle_fit.h"
#include "core/spots/spot_types.h"

namespace zorva {

// What is told of one picture's spots, by the command line and by the window's export:
// the file, its instant, its disk and where the disk came from, and what was found.
// Where solar north and east lie on the picture, degrees counter-clockwise from its up
// (north up and east left, as the sky is seen: 0 and 90), whatever the orientation was
// given as, and where that came from; for one solved from a summary, how well it fits.
struct SpotOrientation {
    double solarNorthTurn = 0;
    double solarEastTurn = 0;
    std::string source;             // "FITS header", "given", "solved from the day's regions", ...
    std::optional<int32_t> matched; // solved: groups laid on regions, of `groups`
    int32_t groups = 0;
    double residual = 0; // solved: RMS distance of the pairs, disk radii
};

struct SpotReport {
    std::string file;
    std::optional<Instant> instant;
    std::string instantSource; // "FITS header", "file name", "given", "camera (EXIF)"
    Circle disk;
    std::string diskSource; // "limb search", "FITS header", "given by hand"
    std::optional<SpotOrientation> orientation;
    SpotDetection detection;
    // "search", or "reviewed": the count a user reviewed, kept beside the picture.
    std::string source = "search";
};

struct PictureContext;

// What a report tells of the picture beside its spots: where its instant came from, and
// where solar north and east lie on it in the orientation chosen for pictures `chart`.
void DescribePicture(SpotReport& report, const PictureContext& picture, const ChartGeometry& chart,
                     const Ephemeris& ephemeris);

// An instant as YYYY-MM-DDTHH:MM:SSZ.
std::string IsoInstantText(const Instant& t);

// One JSON object on one line (no line end), valid UTF-8 whatever the names hold (see
// JsonString): file (with file_bytes beside it when the name is not UTF-8), instant,
// instant_source (when known), disk {cx, cy, r, source}, source ("search" or "reviewed"),
// orientation {solar_north_turn, solar_east_turn, source, and matched, groups and residual
// when solved} (when known), groups [{id, lat, long, cmd, x, y, spots, area_msh, umbra_msh,
// mcintosh}], spots [{id, group, x,
// y, lat, long, area_msh, umbra_msh}], wolf, wolf_north, wolf_south. A detection that
// failed has "error" with its reason in place of the lists and the Wolf numbers.
std::string SpotReportJson(const SpotReport& report);
// The object of a file that could not be opened: {"file": ..., "error": ...}.
std::string SpotErrorJson(const std::string& file, const std::string& error);

// Lines of "Name value" words: the file (as TerminalText shows it), instant (and its
// source) and disk, the orientation ("Orientation north 0 east 90 source"), then a line a
// group and a line a spot, and the Wolf number with its northern and southern parts.
std::string SpotReportText(const SpotReport& report);

// CSV: the header line, then a row a group and a row a spot of each report; each row ends
// with the instant's source and the orientation's turns and source.
std::string SpotCsvHeader();
std::string SpotReportCsv(const SpotReport& report);

} // namespace zorva
