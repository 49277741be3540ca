// The measurement logfile, the table of measurements and its undo, and the lists of
// recent files.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <unistd.h>

#include "core/session/session.h"
#include "core/text/format.h"

namespace zorva {

namespace {

constexpr const char* kOpenCaption = "Open Logfile";
constexpr const char* kUndoCaption = "Undo Last Measurement";
constexpr int kSizeDecimals = 3; // grid cells, as finely as the line writes square mm

// Whether two names lead to the same file; names of files not there are compared as text.
bool SamePath(const std::string& a, const std::string& b) {
    std::error_code ec;
    const bool same = std::filesystem::equivalent(a, b, ec);
    return ec ? a == b : same;
}

std::string InstantText(const Instant& t) {
    const auto two = [](int32_t v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    return std::to_string(t.year) + "-" + two(t.month) + "-" + two(t.day) + " " + two(t.hour) +
           ":" + two(t.minute) + ":" + two(t.second);
}

// The chart frame a spot's millimetres are measured in: the same frame places the same
// millimetres on the same place of the Sun.
bool SameFrame(const ChartGeometry& a, const ChartGeometry& b) {
    return a.ChartDiameter == b.ChartDiameter && a.FlipSign == b.FlipSign &&
           a.MirrorSign == b.MirrorSign && a.Mode == b.Mode && a.HeaderRotation == b.HeaderRotation;
}

std::vector<std::string>& RecentList(Options& o, RecentKind kind) {
    switch (kind) {
    case RecentKind::Picture:
        return o.RecentPictures;
    case RecentKind::Summary:
        return o.RecentSummaries;
    case RecentKind::Logfile:
        break;
    }
    return o.RecentLogfiles;
}

} // namespace

// The line's own x and y, when they still lead to the latitude and longitude it gives
// (to the tenth of a degree it writes): the chart is drawn as the line's was.
std::optional<DiskPoint> Session::LineSpot(const LogfileRecord& r, const ChartGeometry& now) const {
    constexpr double kWrittenHalfStep = 0.05 + 1e-9; // the line's tenths, rounded
    const auto x = r.Value(LogfileField::X);
    const auto y = r.Value(LogfileField::Y);
    const auto lat = r.Value(LogfileField::SLat);
    const auto lon = r.Value(LogfileField::SLon);
    const auto diameter = r.Value(LogfileField::DDiam);
    if (!x || !y || !lat || !lon || !diameter || std::fabs(*diameter - now.ChartDiameter) > 5e-4) {
        return std::nullopt;
    }
    const std::optional<LatLong> at = LocatePoint(*x, *y, CurrentFrame(), obs_.ephemeris);
    if (!at || std::fabs(RoundHalfUp(at->lat, 1) - *lat) > kWrittenHalfStep ||
        std::fabs(std::remainder(RoundHalfUp(at->lon, 1) - *lon, 360.0)) > kWrittenHalfStep) {
        return std::nullopt;
    }
    return DiskPoint{*x, *y};
}

Session::FileResult Session::NewLogfile(const std::string& path) {
    const LogfileResult created = CreateLogfile(path);
    if (!created.ok) return {false, created.error};
    OpenLogfile(path);
    return {true, {}};
}

void Session::OpenLogfile(const std::string& path) {
    const LogfileRead read = ReadLogfile(path);
    if (!read.ok) {
        notices_.push_back(
            {"The logfile " + path + " was not opened: " + read.error + ".", kOpenCaption});
        return;
    }
    logfileOpen_ = true;
    logfilePath_ = path;
    folders_.LogfileDir = SplitFolder(path).folder;
    RememberFile(RecentKind::Logfile, path);
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
        Say(path + ": " + std::to_string(read.problems.size()) +
            (read.problems.size() == 1 ? " line is" : " lines are") +
            " no measurement and not shown (" + read.problems.front() + ")");
    }
    if (::access(path.c_str(), W_OK) != 0) {
        const bool readOnlySystem = errno == EROFS;
        notices_.push_back({"The logfile " + path + " is read-only (" +
                                (readOnlySystem ? "it lies on a read-only file system"
                                                : "you have no permission to write to it") +
                                "): its measurements are shown, but none can be added to it.",
                            kOpenCaption});
    }
}

LogResult Session::AddToLogfile() {
    if (!logfileOpen_) return {LogOutcome::NotOpen, {}};
    if (!spot_.At) return {LogOutcome::NoSpot, {}};
    // A logfile removed since it was opened would be made again without its header and
    // its earlier lines: the user is told instead, and the table keeps what was logged.
    std::error_code ec;
    if (!std::filesystem::exists(logfilePath_, ec)) {
        return {LogOutcome::Failed,
                "Cannot write to the logfile " + logfilePath_ +
                    ": it is no longer there (removed or renamed since it was opened). Choose "
                    "New Logfile... to start one; the Measurements window keeps what was "
                    "logged."};
    }
    LogfileInputs in;
    in.instant = obs_.instant;
    in.ephemeris = obs_.ephemeris;
    const ChartGeometry geometry = Geometry();
    in.FlipSign = geometry.FlipSign;
    in.MirrorSign = geometry.MirrorSign;
    in.ChartDiameter = geometry.ChartDiameter;
    in.spot = spot_;
    in.observer = obs_.observer;
    in.separation = sep_;
    const std::string line = LogfileLine(in);
    LogfileMark after;
    const LogfileResult added = AppendToLogfile(logfilePath_, line, &after);
    if (!added.ok) return {LogOutcome::Failed, added.error};
    Logged logged;
    logged.measurement.line = line;
    if (auto record = ReadLogfileLine(line).record) logged.measurement.record = std::move(*record);
    logged.measurement.context =
        MeasurementContext{picture_ ? picture_->context.name : std::string("chart"),
                           std::string(OrientationName(geometry.Mode))};
    logged.path = logfilePath_;
    logged.after = after;
    logged.spot = spot_;
    logged.geometry = geometry;
    logged.picture = picture_ ? picture_->path : std::string();
    logged_.push_back(std::move(logged));
    UpdateMeasurements();
    return {LogOutcome::Added, {}};
}

void Session::UpdateMeasurements() {
    auto rows = std::make_shared<std::vector<Measurement>>(earlier_);
    for (const Logged& l : logged_)
        rows->push_back(l.measurement);
    measurements_ = std::move(rows);
}

void Session::UndoMeasurement() {
    if (logged_.empty()) return;
    const Logged& last = logged_.back();
    const LogfileResult removed =
        RemoveLastLogfileLine(last.path, last.measurement.line, last.after);
    if (!removed.ok) {
        notices_.push_back({removed.error + ". Nothing was undone.", kUndoCaption});
        return;
    }
    Say("The measurement of " + InstantText(last.measurement.record.instant) +
        " was taken out of " + last.path);
    logged_.pop_back();
    UpdateMeasurements();
}

void Session::ShowMeasurement(std::size_t index) {
    const std::vector<Measurement>& rows = *measurements_;
    if (index >= rows.size()) return;
    const Measurement& m = rows[index];
    const LogfileRecord& r = m.record;
    const Logged* logged = index >= earlier_.size() ? &logged_[index - earlier_.size()] : nullptr;
    const std::string when = InstantText(r.instant);
    if (!SetInstant(r.instant)) {
        Say("The measurement of " + when +
            " cannot be shown: its year is beyond the date picker's");
        return;
    }
    const ChartGeometry now = Geometry();
    const std::string shown = picture_ ? picture_->path : std::string();
    // Square millimetres of the spot and the diameter they were counted on.
    double sizeMm2 = r.Value(LogfileField::Size).value_or(0);
    double diameter = r.Value(LogfileField::DDiam).value_or(now.ChartDiameter);
    if (logged && SameFrame(logged->geometry, now) && logged->picture == shown) {
        // Where it was measured, to the hundredth of a millimetre.
        SetSpotFromProgram(logged->spot.SpotX, logged->spot.SpotY);
        sizeMm2 = logged->spot.SpotSize * logged->spot.GridCellArea;
        diameter = logged->geometry.ChartDiameter;
    } else if (const auto line = LineSpot(r, now)) {
        SetSpotFromProgram(line->x, line->y);
    } else {
        // Elsewhere, or on another chart: the same place on the Sun.
        const std::optional<double> lat = r.Value(LogfileField::SLat);
        const std::optional<double> lon = r.Value(LogfileField::SLon);
        DiskPosition at{FarSide, 0, 0};
        if (lat && lon) {
            const Ephemeris& e = obs_.ephemeris;
            ProjectPoint(*lat, e.L0 - *lon, ApparentDiameter(e), e.B0, at);
        }
        if (at.rho == FarSide) {
            Say("The measurement of " + when + " has no place on the disk to show");
            return;
        }
        const DiskPoint p = PolarToDisk(CurrentFrame(), at.r, at.pa);
        SetSpotFromProgram(p.x, p.y);
    }
    // The same area on the Sun: the size scales with the square of the diameter.
    const double scale = diameter > 0 ? now.ChartDiameter / diameter : 1;
    const double cells = RoundHalfUp(sizeMm2 * scale * scale / spot_.GridCellArea, kSizeDecimals);
    if (std::isfinite(cells) && cells >= 0 && cells <= LargestSpotSize) {
        spot_.SpotSize = cells;
        Text(EditBox::Size) = ShortestDecimalText(cells);
    }
    Settle();
    std::string measuredOn;
    if (m.context) {
        measuredOn =
            ", measured on " + (m.context->source == "chart" ? "the chart" : m.context->source);
    }
    Say("Showing the measurement of " + when + measuredOn);
}

void Session::RememberFile(RecentKind kind, const std::string& path) {
    RememberPath(RecentList(options_, kind), path);
}

void Session::ForgetFile(RecentKind kind, const std::string& path) {
    ForgetPath(RecentList(options_, kind), path);
}

void Session::ClearRecentFiles() {
    options_.RecentPictures.clear();
    options_.RecentSummaries.clear();
    options_.RecentLogfiles.clear();
}

const std::vector<std::string>& Session::RecentFiles(RecentKind kind) const {
    return RecentList(const_cast<Options&>(options_), kind); // read only
}

} // namespace zorva
