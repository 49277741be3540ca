#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/record/group_tracking.h"
#include "core/record/observation.h"

namespace zorva {

// The observer's record: every observation kept, in one SQLite file, and the groups followed
// through them. The window and the command line open it, add to it and read from it; what
// they show (reports, plots) core makes from what it reads.

// Its name in the working folder unless another is chosen.
inline constexpr const char* kDefaultRecordName = "ZorvaRecord.sqlite";

// A record that could not be read or written: what happened, in one sentence.
struct RecordError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct RecordOptions {
    // Opened to be read: nothing is created or added, and an older file is not brought up to
    // date (and so refused).
    bool readOnly = false;
    // The largest the file may grow, in pages of 4096 bytes (0 for no limit): a write that
    // needs more fails as on a full disk.
    int64_t largestPages = 0;
    // How long a write waits for another process's to finish, milliseconds.
    int32_t waitMilliseconds = 30000;
    TrackingOptions tracking;
};

// What adding gave: the new observations' numbers, or why nothing was added (a line for
// each observation refused, or for the write that failed).
struct RecordAdded {
    std::vector<int64_t> ids;
    std::vector<std::string> problems;

    bool Ok() const { return problems.empty(); }
};

class Record {
  public:
    // The version of the file's layout this program writes; older files are brought up to it
    // when opened to write, newer ones are refused.
    static constexpr int32_t kVersion = 3;

    // Opens the record at `path`, making it when there is no file there (or an empty one).
    // A file that is not a record (another program's, or no SQLite file at all), a damaged
    // one and one from a newer version are refused with the reason, and left as they are.
    static std::unique_ptr<Record> Open(const std::filesystem::path& path, std::string& error,
                                        const RecordOptions& options = {});
    ~Record();
    Record(const Record&) = delete;
    Record& operator=(const Record&) = delete;

    // Adds observations, all of them or none: each is checked first (ObservationProblem with
    // `today`, a picture added before, the same observation twice), then they are written in
    // one transaction and their groups followed. Another process adding at the same time
    // waits its turn. Each observation's groups get their life ids in the record; the
    // observations' own ids and day marks are the record's to give.
    RecordAdded Add(std::vector<SunspotObservation> observations, const CalendarDay& today);

    // The observations of the days from `first` to `last` (all when not given), with their
    // groups, in time order. Throws RecordError when the file cannot be read.
    std::vector<SunspotObservation> Observations(std::optional<CalendarDay> first = {},
                                                 std::optional<CalendarDay> last = {}) const;
    // One observation by its number.
    std::optional<SunspotObservation> Find(int64_t id) const;
    // How many observations the record holds.
    int64_t Count() const;

    // Marks an observation as its day's, in place of any other of that day. Empty when done,
    // else why not (no such observation, a failed write).
    std::string MarkDay(int64_t id);

    // The observer's McIntosh class for group `number` of observation `id`, in place of the
    // one it had (ReviewGroupClass). Empty when done, else why not (no such observation or
    // group, no class, a failed write).
    std::string ReviewClass(int64_t id, int32_t number, const std::string& mcintosh);

    // The groups seen from `first` to `last`, each with every day of its life (also those
    // outside the span), in order of their first day.
    std::vector<GroupLife> Groups(std::optional<CalendarDay> first = {},
                                  std::optional<CalendarDay> last = {}) const;

    const std::filesystem::path& Path() const { return path_; }

  private:
    struct Connection;
    Record(std::filesystem::path path, std::unique_ptr<Connection> db,
           const RecordOptions& options);
    // Follows the groups again from an instant on (a Julian date), within a transaction.
    void Retrack(double fromJulianDate);
    // Marks an observation as its day's within a transaction; false when there is none.
    bool MarkDayWithin(int64_t id);

    std::filesystem::path path_;
    std::unique_ptr<Connection> db_;
    RecordOptions options_;
};

} // namespace zorva
