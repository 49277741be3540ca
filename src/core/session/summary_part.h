#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/ephemeris/calendar.h"
#include "core/session/carry.h"
#include "core/srs/srs_link.h"
#include "core/srs/srs_reader.h"

namespace zorva {

class Session;

// The loaded Solar Region Summary: its regions, when their places hold, and what carries
// their longitudes onto the observation's own L0.
struct RegionSummary {
    bool Loaded = false;   // a summary was loaded by either command; never cleared
    bool LoadSRS1 = false; // the "Load SRS..." item's check
    std::shared_ptr<const std::vector<SrsRegion>> Regions =
        std::make_shared<const std::vector<SrsRegion>>();
    Instant Epoch;
    double Offset = 0;
    std::string FileName;
    std::optional<std::size_t> Highlight; // the region chosen in the table
    SrsDate FileDate;                     // the date the summary is issued for
    // Link with Date found no summary for the date: what was looked for and where. The
    // region table says so rather than show a Wolf number of a day without spots.
    std::string Missing;
    CalendarDate MissingDate; // the date it was looked for
};

// The session's Solar Region Summary: loaded by hand or by the date, its regions shown or
// hidden, and one of them chosen in the table.
class SummaryPart {
  public:
    explicit SummaryPart(Session& session) : s_(session) {}
    SummaryPart(const SummaryPart&) = delete;
    SummaryPart& operator=(const SummaryPart&) = delete;

    // "Load SRS..." checks its item before the dialog (and keeps it when the dialog is
    // cancelled); a chosen file is then read. Link with Date loads the summary of the date;
    // the Display item shows or hides the regions.
    void PrepareLoadSummary();
    void LoadSummary(const std::string& path);
    void LinkWithDate();
    void ToggleRegionSummary();
    void HighlightRegion(int index); // -1 for none
    const RegionSummary& summary() const { return srs_; }

  private:
    friend class Session;

    void FollowDate(bool asked);
    void TakeSummary(const SrsSummary& summary, const std::string& fileName);
    void DropRegions();
    // Says on the status line how far the summary shown lies from the instant, once for
    // each distance, while it is more than a day.
    void SayRegionsAge();

    Session& s_;
    RegionSummary srs_;
    MissingSrsNotice missingSrs_;
    std::string ageSaid_; // the summary's distance last said
};

} // namespace zorva
