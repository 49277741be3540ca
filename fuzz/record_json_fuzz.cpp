// Feeds arbitrary bytes to what zorva-cli record add --json does with a file of spots lines:
// each line read as a picture's observation and checked as the record checks it, then the
// groups followed through the observations in time order, and each month reported and
// plotted as the record's reports and plots are. What is kept must be an observation that
// can be: its counts are its groups' and its R is 10 g + s, as the line said.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/record/activity.h"
#include "core/record/group_tracking.h"
#include "core/record/monthly_report.h"
#include "core/record/plot_axes.h"
#include "core/record/spots_line.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace zorva;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // A day far ahead, so that the dates of the input are in the past.
    const CalendarDay today{9999, 12, 31};
    std::vector<SunspotObservation> kept;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        const SpotsLine read = ReadSpotsLine(line);
        // One of three: an observation, a picture not searched, or an error.
        Check(read.observation.has_value() + !read.unsearched.empty() + !read.error.empty() == 1);
        if (!read.observation || !ObservationProblem(*read.observation, today).empty()) continue;
        const SunspotObservation& o = *read.observation;
        Check(o.statedWolf == o.Wolf() && o.statedWolfNorth == o.north.Wolf() &&
              o.statedWolfSouth == o.south.Wolf());
        SunspotObservation recounted = o;
        CountGroups(recounted);
        Check(recounted.north == o.north && recounted.south == o.south);
        kept.push_back(o);
    }
    std::stable_sort(kept.begin(), kept.end(),
                     [](const SunspotObservation& a, const SunspotObservation& b) {
                         return JulianDate(a.instant) < JulianDate(b.instant);
                     });
    GroupTracker tracker(
        {}, [](int64_t) { return false; }, 1);
    for (const SunspotObservation& o : kept) {
        std::vector<GroupSighting> sightings;
        for (const ObservedGroup& g : o.groups)
            sightings.push_back({g.latitude, g.longitude, g.noaa, 0});
        const std::vector<int64_t> ids = tracker.Follow(JulianDate(o.instant), sightings);
        Check(ids.size() == sightings.size());
        // One group of an observation is never two of another's: no id twice.
        std::vector<int64_t> given;
        for (const int64_t id : ids) {
            if (id != 0) given.push_back(id);
        }
        std::sort(given.begin(), given.end());
        Check(std::adjacent_find(given.begin(), given.end()) == given.end());
    }
    const std::vector<SunspotObservation> days = ObservationsOfTheDays(kept);
    for (const SunspotObservation& d : days) {
        const MonthlyReport report = MakeMonthlyReport(kept, d.instant.year, d.instant.month);
        Check(report.observingDays >= 1);
        const std::string csv = MonthlyReportCsv(report);
        Check(static_cast<std::size_t>(std::count(csv.begin(), csv.end(), '\n')) ==
              report.days.size() + 1);
        MonthlyReportText(report);
    }
    const ActivityCurve curve = MakeActivityCurve(days);
    const std::vector<ButterflyPoint> butterfly = MakeButterfly(days);
    if (!curve.daily.empty()) {
        const PlotAxis time = TimeAxis(curve.daily.front().year, curve.daily.back().year, 12);
        Check(time.low <= time.high);
        double highest = 0;
        for (const ActivityPoint& p : curve.daily)
            highest = std::max(highest, p.wolf);
        const PlotAxis r = ValueAxis(0, highest, 7);
        Check(r.high >= highest && !r.ticks.empty());
    }
    for (const ButterflyPoint& b : butterfly)
        Check(b.latitude >= -90 && b.latitude <= 90);
    return 0;
}
