// zorva-cli regions: the regions of a Solar Region Summary and where they lie on the chart.
#include <sstream>
#include <stdexcept>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/help.h"
#include "core/chart/projection.h"
#include "core/srs/region_positions.h"
#include "core/srs/srs_reader.h"
#include "core/text/format.h"

namespace zorva::cli {

namespace {

constexpr int kMmDecimals = 2;
const char* const kNone = "-";

std::string Optional(const std::optional<int32_t>& v) {
    return v ? std::to_string(*v) : kNone;
}

std::string Word(const std::string& s) {
    return s.empty() ? kNone : s;
}

} // namespace

int RegionsCommand(const std::vector<std::string>& args, Context& run, std::ostream& out) {
    const ParsedArgs parsed = ParseCommandArgs(args);
    if (parsed.positional.size() != 1) throw UsageError(UsageLine("regions"));
    const ChartGeometry geometry = ParseChartGeometry(parsed);
    const Observer observer = ParseObserver(parsed);
    const std::optional<std::string> at = parsed.Value("--at");
    const std::optional<Instant> instant =
        at ? std::optional<Instant>(ParseInstant(*at, run)) : std::nullopt;

    const SrsSummary summary = LoadSrsFile(parsed.positional[0]);
    if (summary.Status == SrsStatus::NotRead) throw std::runtime_error(summary.Error);

    const Ephemeris now = run.EphemerisWarned(instant.value_or(summary.Epoch), observer);
    const DiskFrame frame = FrameAt(geometry, now);
    const double offset =
        RegionLongitudeOffset(summary.Regions, run.EphemerisWarned(summary.Epoch, observer).L0);
    // Built in full first, so that nothing but the regions and the Wolf number goes out.
    std::ostringstream text;
    for (const SrsRegion& r : summary.Regions) {
        const RegionPlace place = PlaceRegion(r, offset, now);
        text << r.Number << ' ' << r.Latitude << ' ' << r.Lo << ' ' << r.CentralLongitude << ' '
             << Optional(r.Area) << ' ' << Word(r.Class) << ' ' << Optional(r.SpotCount) << ' ';
        if (place.Visible) {
            const DiskPoint mm = RegionChartPoint(place, frame);
            text << "visible " << FixedText(mm.x, kMmDecimals) << ' '
                 << FixedText(mm.y, kMmDecimals) << '\n';
        } else {
            text << "hidden " << kNone << ' ' << kNone << '\n';
        }
    }
    text << "Wolf " << WolfNumber(summary.Regions) << '\n';
    out << text.str();
    // What was read is shown; the status tells that the file was not read to its end.
    if (summary.Status == SrsStatus::Partial) throw std::runtime_error(summary.Error);
    return 0;
}

} // namespace zorva::cli
