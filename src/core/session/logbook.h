#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "core/chart/chart_geometry.h"
#include "core/chart/sunspot.h"
#include "core/logfile/logfile.h"
#include "core/logfile/measurements.h"
#include "core/session/messages.h"
#include "core/settings/directory_file.h"

namespace zorva {

// What adding to the logfile came to.
enum class LogOutcome { NotOpen, NoSpot, Added, Failed };
struct LogResult {
    LogOutcome outcome = LogOutcome::NotOpen;
    std::string error; // why a write failed
};

// The logfile in use and the Measurements window's table: the measurements of the logfile
// when it was opened, then every one logged in this run, the latest last. Opening a file
// keeps its folder and puts it first among the recent logfiles.
class Logbook {
  public:
    // A measurement this run logged, with where it went, the mark of the file it left, and
    // the spot and geometry it was measured in, to show it again exactly.
    struct Logged {
        Measurement measurement;
        std::string path;
        LogfileMark after;
        SpotState spot;
        ChartGeometry geometry;
        std::string picture; // the path of the picture measured on; empty for the chart
    };
    struct FileResult {
        bool ok = false;
        std::string error;
    };

    Logbook(Messages& messages, Folders& folders, std::vector<std::string>& recent)
        : messages_(messages), folders_(folders), recent_(recent) {}

    // A file chosen in the New or Open dialog. A file that is no logfile (a picture, a
    // summary, binary data, a folder) is refused with a notice, and the logfile in use
    // stays; a logfile's measurements go into the table, and a read-only one is opened with
    // a notice that nothing can be added to it.
    FileResult New(const std::string& path);
    void Open(const std::string& path);
    // No logfile in use; the table stays.
    void Close() { open_ = false; }
    // Appends a measurement's line to the logfile in use; `entry` tells what it was
    // measured on.
    LogResult Append(Logged entry);
    // Undo takes the last line this run appended out of its logfile again (never a line
    // the run did not write), and its row out of the table; a logfile changed outside the
    // program since is left whole, with a notice.
    bool CanUndo() const { return !logged_.empty(); }
    void Undo();

    bool IsOpen() const { return open_; }
    const std::string& Path() const { return path_; }
    // The table is replaced, never changed, so a new one is a new pointer.
    const std::shared_ptr<const std::vector<Measurement>>& Measurements() const {
        return measurements_;
    }
    // The entry of a row this run logged; none for a row the file held.
    const Logged* LoggedAt(std::size_t row) const;

  private:
    void UpdateMeasurements();

    Messages& messages_;
    Folders& folders_;
    std::vector<std::string>& recent_;
    bool open_ = false;
    std::string path_;
    std::vector<Measurement> earlier_; // the opened logfile's measurements, less this run's
    std::vector<Logged> logged_;
    std::shared_ptr<const std::vector<Measurement>> measurements_ =
        std::make_shared<const std::vector<Measurement>>();
};

// An instant as the messages write it: 2011-06-07 12:00:00.
std::string InstantText(const Instant& t);

} // namespace zorva
