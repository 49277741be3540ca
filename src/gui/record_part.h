#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "core/ephemeris/year_tables.h"
#include "store/record_store.h"

namespace zorva::gui {

// The observer's record as the window holds it: the file in use and, once it is wanted, the
// record opened there. Nothing is made on disk until the user chooses a file or adds an
// observation.
class RecordPart {
  public:
    // `folder` is the working folder: the default record lives there, a relative name is
    // taken within it, and its year files give the ephemeris of typed places.
    explicit RecordPart(std::filesystem::path folder);
    ~RecordPart();

    // The file an option names (empty: the default one).
    std::filesystem::path FileOf(const std::string& option) const;
    // The file to use from now on, not yet opened; a record open elsewhere is closed.
    void UseFile(const std::filesystem::path& path);
    const std::filesystem::path& File() const { return path_; }

    // Opens `path` as the record to use (made when there is no file there). Empty when done;
    // else why not, with the record in use unchanged. A damaged, foreign or newer file is
    // refused and left as it is.
    std::string Choose(const std::filesystem::path& path);

    // The record, opened on first use. With `make`, a record is made where there is no file
    // yet; without, there being none gives nothing and no error. `error` says why a file
    // there could not be opened.
    Record* Open(bool make, std::string& error);

    // The Carrington longitude of the central meridian at an instant, for places typed as
    // NOAA writes them.
    double L0At(const Instant& instant);

  private:
    std::filesystem::path folder_;
    std::filesystem::path path_;
    std::unique_ptr<Record> record_;
    YearTables tables_;
};

} // namespace zorva::gui
