// The logfile in use, the table of measurements and its undo.
#include "core/session/logbook.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <unistd.h>

#include "core/options/recent_files.h"
#include "core/text/format.h"

namespace zorva {

namespace {

constexpr const char* kOpenCaption = "Open Logfile";
constexpr const char* kUndoCaption = "Undo Last Measurement";

// Whether two names lead to the same file; names of files not there are compared as text.
bool SamePath(const std::string& a, const std::string& b) {
    std::error_code ec;
    const bool same = std::filesystem::equivalent(a, b, ec);
    return ec ? a == b : same;
}

} // namespace

std::string InstantText(const Instant& t) {
    const auto two = [](int32_t v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    return std::to_string(t.year) + "-" + two(t.month) + "-" + two(t.day) + " " + two(t.hour) +
           ":" + two(t.minute) + ":" + two(t.second);
}

Logbook::FileResult Logbook::New(const std::string& path) {
    const LogfileResult created = CreateLogfile(path);
    if (!created.ok) return {false, created.error};
    Open(path);
    return {true, {}};
}

void Logbook::Open(const std::string& path) {
    const LogfileRead read = ReadLogfile(path);
    if (!read.ok) {
        messages_.Notify(
            {"The logfile " + path + " was not opened: " + read.error + ".", kOpenCaption});
        return;
    }
    open_ = true;
    path_ = path;
    folders_.LogfileDir = SplitFolder(path).folder;
    RememberPath(recent_, path);
    // The lines this run wrote into the file are in the table already, as this run's.
    std::vector<const std::string*> ours;
    for (const Logged& l : logged_) {
        if (SamePath(l.path, path)) ours.push_back(&l.measurement.line);
    }
    earlier_.clear();
    for (const LogfileEntry& line : read.lines) {
        const auto mine = std::find_if(ours.begin(), ours.end(),
                                       [&](const std::string* o) { return *o == line.text; });
        if (mine != ours.end()) {
            ours.erase(mine);
            continue;
        }
        earlier_.push_back({line.text, line.record, std::nullopt});
    }
    UpdateMeasurements();
    if (!read.problems.empty()) {
        messages_.Say(path + ": " + std::to_string(read.problems.size()) +
                      (read.problems.size() == 1 ? " line is" : " lines are") +
                      " no measurement and not shown (" + read.problems.front() + ")");
    }
    if (::access(path.c_str(), W_OK) != 0) {
        const bool readOnlySystem = errno == EROFS;
        messages_.Notify({"The logfile " + path + " is read-only (" +
                              (readOnlySystem ? "it lies on a read-only file system"
                                              : "you have no permission to write to it") +
                              "): its measurements are shown, but none can be added to it.",
                          kOpenCaption});
    }
}

LogResult Logbook::Append(Logged entry) {
    if (!open_) return {LogOutcome::NotOpen, {}};
    // A logfile removed since it was opened would be made again without its header and
    // its earlier lines: the user is told instead, and the table keeps what was logged.
    std::error_code ec;
    if (!std::filesystem::exists(path_, ec)) {
        return {LogOutcome::Failed,
                "Cannot write to the logfile " + path_ +
                    ": it is no longer there (removed or renamed since it was opened). Choose "
                    "New Logfile... to start one; the Measurements window keeps what was "
                    "logged."};
    }
    const LogfileResult added = AppendToLogfile(path_, entry.measurement.line, &entry.after);
    if (!added.ok) return {LogOutcome::Failed, added.error};
    if (auto record = ReadLogfileLine(entry.measurement.line).record) {
        entry.measurement.record = std::move(*record);
    }
    entry.path = path_;
    logged_.push_back(std::move(entry));
    UpdateMeasurements();
    return {LogOutcome::Added, {}};
}

void Logbook::UpdateMeasurements() {
    auto rows = std::make_shared<std::vector<Measurement>>(earlier_);
    for (const Logged& l : logged_)
        rows->push_back(l.measurement);
    measurements_ = std::move(rows);
}

void Logbook::Undo() {
    if (logged_.empty()) return;
    const Logged& last = logged_.back();
    const LogfileResult removed =
        RemoveLastLogfileLine(last.path, last.measurement.line, last.after);
    if (!removed.ok) {
        messages_.Notify({removed.error + ". Nothing was undone.", kUndoCaption});
        return;
    }
    messages_.Say("The measurement of " + InstantText(last.measurement.record.instant) +
                  " was taken out of " + last.path);
    logged_.pop_back();
    UpdateMeasurements();
}

const Logbook::Logged* Logbook::LoggedAt(std::size_t row) const {
    return row >= earlier_.size() && row - earlier_.size() < logged_.size()
               ? &logged_[row - earlier_.size()]
               : nullptr;
}

} // namespace zorva
