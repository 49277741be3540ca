#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/chart/chart_geometry.h"
#include "core/chart/projection.h"
#include "core/logfile/logfile_record.h"
#include "core/options/recent_files.h"
#include "core/session/logbook.h"

namespace zorva {

class Session;

// What the session keeps of the user's work: the logfile in use with the Measurements
// window's table (core/session/logbook.h), the spot's measurement added to it and a row
// shown again, and the lists of recently used files.
class RecordsPart {
  public:
    explicit RecordsPart(Session& session);
    RecordsPart(const RecordsPart&) = delete;
    RecordsPart& operator=(const RecordsPart&) = delete;

    Logbook& logbook() { return logbook_; }
    const Logbook& logbook() const { return logbook_; }
    // One more line: the measurement of the spot shown.
    LogResult AddToLogfile();
    // A row chosen in the table: its instant is set, and its spot shown where it was
    // measured, on the chart or picture now shown.
    void ShowMeasurement(std::size_t index);

    // File > Open Recent: the lists are options, kept in the options file.
    void RememberFile(RecentKind kind, const std::string& path);
    void ForgetFile(RecentKind kind, const std::string& path);
    void ClearRecentFiles();
    const std::vector<std::string>& RecentFiles(RecentKind kind) const;

  private:
    friend class Session;

    std::optional<DiskPoint> LineSpot(const LogfileRecord& r, const ChartGeometry& now) const;

    Session& s_;
    Logbook logbook_;
};

} // namespace zorva
