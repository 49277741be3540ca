#pragma once

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/ephemeris/year_tables.h"

namespace zorva::cli {

// What one run of the command line works with, made where the run starts: the year tables
// of the folder it was started in, where it looks for year files (read as it finds them
// when the run first needs their year), and the warnings it gathers for the error stream.
// The threads of a batch share it.
class Context {
  public:
    explicit Context(std::optional<std::filesystem::path> folder);

    // The ephemeris of an instant and observer, with a warning when a year file it draws on
    // is damaged.
    Ephemeris EphemerisWarned(const Instant& instant, const Observer& observer);
    // A year's table, warned of in the same way.
    YearTable Year(int32_t year);

    // The tables as they are held now, for a session of its own.
    YearTables Tables();

    // A warning for the error stream, one line, written after the command ends whatever its
    // outcome; the same warning is written once.
    void Warn(const std::string& line);
    // The warnings gathered so far, which are then forgotten.
    std::vector<std::string> TakeWarnings();

  private:
    void WarnOf(const YearTable& table);

    std::mutex lock_;
    YearTables tables_;
    std::vector<std::string> warnings_;
};

} // namespace zorva::cli
