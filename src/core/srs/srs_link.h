#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorva {

// The summary of a date as Link with Date names it: the year, the month and the day as
// two digits each, and "srs.txt" (20060505srs.txt).
std::string SrsFileNameForDate(int32_t year, int32_t month, int32_t day);

// The folder of a year's summaries: `folder` (as stored, with or without its final "/")
// with its last folder, which must be named by a four-digit year, renamed to `year`, and
// a final "/". Nothing when the folder does not end in such a year folder or the year has
// not four digits.
std::optional<std::string> SrsYearFolder(std::string_view folder, int32_t year);

// The summary of a date looked up under the SRS folder.
struct SrsLookup {
    // The folder the summary was found in; when none was, the year folder, or the folder
    // unchanged when it has none.
    std::string Folder;
    std::string FileName;                      // the name built for the date
    std::optional<std::filesystem::path> Path; // the file found, whatever the case of its name
    std::vector<std::string> Searched;         // the folders looked in, in order
};
// Looks in the year folder of the date (SrsYearFolder), then in the SRS folder itself, so
// that summaries kept in one folder are found too. NOAA names its files "20060505SRS.txt",
// so a file whose name differs from the built one only in the case of its letters is the
// one; of several, the exact name, else the first in byte order. An empty SRS folder (no
// summary loaded yet) is looked in nowhere.
SrsLookup FindSrsFile(std::string_view srsFolder, int32_t year, int32_t month, int32_t day);

// What the user is told when the date has no summary: the date, the name looked for, the
// folders looked in, and how Link with Date looks for them.
std::string MissingSrsText(const SrsLookup& lookup, int32_t year, int32_t month, int32_t day);

// Link with Date follows every recalculation, and a date without a summary would bring
// the message up again at each one. This tells whether a missing summary is to be
// reported: once for each missing name in a row, again for the next name that is
// missing, and again after a summary was found.
class MissingSrsNotice {
  public:
    bool ShouldReport(std::string_view missing);
    void Found() { last_.clear(); }

  private:
    std::string last_;
};

} // namespace zorva
