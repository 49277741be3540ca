// Solar Region Summaries: loading one by hand or by the date, and plotting its regions.
#include "core/session/summary_part.h"
#include "core/session/session.h"

namespace zorva {

namespace {
constexpr const char* kSrsCaption = "Solar Region Summary";
constexpr const char* kNoSummaryForDate = "No summary for this date";
} // namespace

void SummaryPart::TakeSummary(const SrsSummary& summary, const std::string& fileName) {
    srs_.Loaded = true;
    srs_.Regions = std::make_shared<const std::vector<SrsRegion>>(summary.Regions);
    srs_.Epoch = summary.Epoch;
    // The summary's own day may lie in another year than the observation's.
    s_.observing_.tables_.LoadFor(summary.Epoch);
    srs_.Offset = RegionLongitudeOffset(
        *srs_.Regions, s_.observing_.tables_.At(summary.Epoch, s_.observing_.obs_.observer).L0);
    srs_.FileName = fileName;
    srs_.FileDate = summary.FileDate;
    srs_.Highlight.reset();
    srs_.Missing.clear();
    ageSaid_.clear();
    // A summary cut short keeps the regions read so far, and the user is told.
    if (summary.Status == SrsStatus::Partial) s_.messages_.Notify({summary.Error, kSrsCaption});
}

void SummaryPart::DropRegions() {
    if (srs_.Regions->empty()) return;
    srs_.Regions = std::make_shared<const std::vector<SrsRegion>>();
    srs_.Highlight.reset();
}

void SummaryPart::PrepareLoadSummary() {
    srs_.LoadSRS1 = true;
    s_.display_.LinkWithDate = false;
}

void SummaryPart::LoadSummary(const std::string& path) {
    const SrsSummary summary = LoadSrsFile(path);
    // A file that gives no table at all changes nothing but the message.
    if (summary.Status == SrsStatus::NotRead) {
        s_.messages_.Notify({summary.Error, kSrsCaption});
        return;
    }
    const SplitPath split = SplitFolder(path);
    s_.folders_.SRSDir = split.folder;
    s_.records_.RememberFile(RecentKind::Summary, path);
    TakeSummary(summary, split.name);
    s_.display_.SolarRegionSummary = true;
    s_.RecalcTail(s_.observing_.obs_.instant, DateFoldLimit);
    s_.FollowSeparation();
}

// The summary of the observation's date, looked for in the year's folder and the folder of
// the last one. A date without one empties the list and the region table says so; the
// user is told what was looked for and where, once for each missing name: in a message
// when Link with Date was asked for, on the status line while the date is stepped, so
// that stepping is never held up by a box.
void SummaryPart::FollowDate(bool asked) {
    if (asked) missingSrs_.Found(); // a request by hand always hears the outcome
    const Instant& t = s_.observing_.obs_.instant;
    const SrsLookup lookup = FindSrsFile(s_.folders_.SRSDir, t.year, t.month, t.day);
    s_.folders_.SRSDir = lookup.Folder;
    if (!lookup.Path) {
        DropRegions();
        const std::string text = MissingSrsText(lookup, t.year, t.month, t.day);
        // The table names the date by showing it: what follows the date is said.
        srs_.Missing = std::string(kNoSummaryForDate) + text.substr(text.find(':'));
        srs_.MissingDate = s_.observing_.Date();
        if (missingSrs_.ShouldReport(lookup.Folder + lookup.FileName)) {
            if (asked) {
                s_.messages_.Notify({text, kSrsCaption});
            } else {
                s_.Say(text);
            }
        }
        return;
    }
    missingSrs_.Found();
    const SrsSummary summary = LoadSrsFile(*lookup.Path);
    if (summary.Status == SrsStatus::NotRead) {
        // The date's regions must not stay from another date.
        DropRegions();
        s_.messages_.Notify({summary.Error, kSrsCaption});
        return;
    }
    TakeSummary(summary, lookup.Path->filename().string());
    s_.display_.LinkWithDate = true;
    s_.display_.SolarRegionSummary = true;
}

void SummaryPart::LinkWithDate() {
    if (srs_.LoadSRS1) {
        // A summary loaded by hand stays unless the date has one of its own: without one,
        // the user is told so and keeps what was loaded.
        const Instant& t = s_.observing_.obs_.instant;
        const SrsLookup lookup = FindSrsFile(s_.folders_.SRSDir, t.year, t.month, t.day);
        if (!lookup.Path) {
            s_.messages_.Notify(
                {MissingSrsText(lookup, t.year, t.month, t.day) + "; the summary loaded stays.",
                 kSrsCaption});
            return;
        }
        ToggleRegionSummary();
        srs_.LoadSRS1 = false;
    }
    FollowDate(true);
    s_.FollowSeparation();
}

void SummaryPart::ToggleRegionSummary() {
    if (s_.display_.SolarRegionSummary) {
        s_.display_.SolarRegionSummary = false;
        srs_.LoadSRS1 = false;
        s_.display_.LinkWithDate = false;
        s_.RecalcTail(s_.observing_.obs_.instant, DateFoldLimit);
    } else {
        s_.display_.SolarRegionSummary = true;
        SayRegionsAge();
    }
    s_.FollowSeparation();
}

void SummaryPart::SayRegionsAge() {
    if (!s_.display_.SolarRegionSummary || srs_.Regions->empty()) return;
    std::string text = AgeOfSummary(srs_.FileDate, srs_.Epoch, s_.observing_.obs_.instant).text;
    if (text == ageSaid_) return;
    ageSaid_ = text;
    if (!text.empty()) {
        text[0] = 'S'; // the status line's sentence
        s_.Say(std::move(text));
    }
}

void SummaryPart::HighlightRegion(int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < srs_.Regions->size()) {
        srs_.Highlight = static_cast<std::size_t>(index);
    } else {
        srs_.Highlight.reset();
    }
}

} // namespace zorva
