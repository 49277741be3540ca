// A measurement added to the logfile, a row of the table shown again, and the lists of
// recent files.
#include <cmath>

#include "core/logfile/logfile_record.h"
#include "core/session/records_part.h"
#include "core/session/session.h"
#include "core/text/format.h"

namespace zorva {

RecordsPart::RecordsPart(Session& session)
    : s_(session), logbook_(session.messages_, session.folders_, session.options_.RecentLogfiles) {}

namespace {

constexpr int kSizeDecimals = 3; // grid cells, as finely as the line writes square mm

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
std::optional<DiskPoint> RecordsPart::LineSpot(const LogfileRecord& r,
                                               const ChartGeometry& now) const {
    constexpr double kWrittenHalfStep = 0.05 + 1e-9; // the line's tenths, rounded
    const auto x = r.Value(LogfileField::X);
    const auto y = r.Value(LogfileField::Y);
    const auto lat = r.Value(LogfileField::SLat);
    const auto lon = r.Value(LogfileField::SLon);
    const auto diameter = r.Value(LogfileField::DDiam);
    if (!x || !y || !lat || !lon || !diameter || std::fabs(*diameter - now.ChartDiameter) > 5e-4) {
        return std::nullopt;
    }
    const std::optional<LatLong> at =
        LocatePoint(*x, *y, s_.CurrentFrame(), s_.observing_.obs_.ephemeris);
    if (!at || std::fabs(RoundHalfUp(at->lat, 1) - *lat) > kWrittenHalfStep ||
        std::fabs(std::remainder(RoundHalfUp(at->lon, 1) - *lon, 360.0)) > kWrittenHalfStep) {
        return std::nullopt;
    }
    return DiskPoint{*x, *y};
}

LogResult RecordsPart::AddToLogfile() {
    if (!logbook_.IsOpen()) return {LogOutcome::NotOpen, {}};
    if (!s_.spot_.At) return {LogOutcome::NoSpot, {}};
    if (s_.picture_.RefuseWithoutInstant()) return {LogOutcome::Failed, s_.Status()};
    LogfileInputs in;
    in.instant = s_.observing_.obs_.instant;
    in.ephemeris = s_.observing_.obs_.ephemeris;
    const ChartGeometry geometry = s_.Geometry();
    in.FlipSign = geometry.FlipSign;
    in.MirrorSign = geometry.MirrorSign;
    in.ChartDiameter = geometry.ChartDiameter;
    in.spot = s_.spot_;
    in.observer = s_.observing_.obs_.observer;
    in.separation = s_.sep_;
    Logbook::Logged logged;
    logged.measurement.line = LogfileLine(in);
    // A picture's own turn is named by where it came from: its FITS header, its file name...
    const std::string orientation =
        s_.picture_.opened_ && geometry.Mode == Orientation::FromHeader
            ? std::string(OrientationSourceName(s_.picture_.opened_->context.orientationSource))
            : std::string(OrientationName(geometry.Mode));
    logged.measurement.context = MeasurementContext{
        s_.picture_.opened_ ? s_.picture_.opened_->context.name : std::string("chart"),
        orientation};
    logged.spot = s_.spot_;
    logged.geometry = geometry;
    logged.picture = s_.picture_.opened_ ? s_.picture_.opened_->path : std::string();
    // What was logged is said, and a reading that is already the last one logged is said to
    // be: a Ctrl-click logs the last click's reading, not the place Ctrl-clicked.
    const auto& rows = logbook_.Measurements();
    const bool again = rows && !rows->empty() && rows->back().line == logged.measurement.line;
    const std::optional<LogfileRecord> record = ReadLogfileLine(logged.measurement.line).record;
    LogResult result = logbook_.Append(std::move(logged));
    if (result.outcome == LogOutcome::Added && record) {
        const auto value = [&](LogfileField f, int decimals) {
            const std::optional<double> v = record->Value(f);
            return v ? FixedText(*v, decimals) : std::string("-");
        };
        s_.Say(std::string(again ? "Logged again the reading already last in the logfile: "
                                 : "Logged: ") +
               "latitude " + value(LogfileField::SLat, 1) + ", longitude " +
               value(LogfileField::SLon, 1) + ", measured by the click at x " +
               value(LogfileField::X, 2) + ", y " + value(LogfileField::Y, 2) + " mm");
    }
    return result;
}

void RecordsPart::ShowMeasurement(std::size_t index) {
    const std::vector<Measurement>& rows = *logbook_.Measurements();
    if (index >= rows.size()) return;
    const Measurement& m = rows[index];
    const LogfileRecord& r = m.record;
    const Logbook::Logged* logged = logbook_.LoggedAt(index);
    const std::string when = InstantText(r.instant);
    if (!s_.observing_.SetInstant(r.instant)) {
        s_.Say("The measurement of " + when +
               " cannot be shown: its year is beyond the date picker's");
        return;
    }
    const ChartGeometry now = s_.Geometry();
    const std::string shown = s_.picture_.opened_ ? s_.picture_.opened_->path : std::string();
    // Square millimetres of the spot and the diameter they were counted on.
    double sizeMm2 = r.Value(LogfileField::Size).value_or(0);
    double diameter = r.Value(LogfileField::DDiam).value_or(now.ChartDiameter);
    if (logged && SameFrame(logged->geometry, now) && logged->picture == shown) {
        // Where it was measured, to the hundredth of a millimetre.
        s_.SetSpotFromProgram(logged->spot.SpotX, logged->spot.SpotY);
        sizeMm2 = logged->spot.SpotSize * logged->spot.GridCellArea;
        diameter = logged->geometry.ChartDiameter;
    } else if (const auto line = LineSpot(r, now)) {
        s_.SetSpotFromProgram(line->x, line->y);
    } else {
        // Elsewhere, or on another chart: the same place on the Sun.
        const std::optional<double> lat = r.Value(LogfileField::SLat);
        const std::optional<double> lon = r.Value(LogfileField::SLon);
        DiskPosition at{FarSide, 0, 0};
        if (lat && lon) {
            const Ephemeris& e = s_.observing_.obs_.ephemeris;
            ProjectPoint(*lat, e.L0 - *lon, ApparentDiameter(e), e.B0, at);
        }
        if (at.rho == FarSide) {
            s_.Say("The measurement of " + when + " has no place on the disk to show");
            return;
        }
        const DiskPoint p = PolarToDisk(s_.CurrentFrame(), at.r, at.pa);
        s_.SetSpotFromProgram(p.x, p.y);
    }
    // The same area on the Sun: the size scales with the square of the diameter.
    const double scale = diameter > 0 ? now.ChartDiameter / diameter : 1;
    const double cells =
        RoundHalfUp(sizeMm2 * scale * scale / s_.spot_.GridCellArea, kSizeDecimals);
    if (std::isfinite(cells) && cells >= 0 && cells <= LargestSpotSize) {
        s_.spot_.SpotSize = cells;
        s_.Text(EditBox::Size) = ShortestDecimalText(cells);
    }
    s_.Settle();
    std::string measuredOn;
    if (m.context) {
        measuredOn =
            ", measured on " + (m.context->source == "chart" ? "the chart" : m.context->source);
    }
    s_.Say("Showing the measurement of " + when + measuredOn);
}

void RecordsPart::RememberFile(RecentKind kind, const std::string& path) {
    RememberPath(RecentList(s_.options_, kind), path);
}

void RecordsPart::ForgetFile(RecentKind kind, const std::string& path) {
    ForgetPath(RecentList(s_.options_, kind), path);
}

void RecordsPart::ClearRecentFiles() {
    s_.options_.RecentPictures.clear();
    s_.options_.RecentSummaries.clear();
    s_.options_.RecentLogfiles.clear();
}

const std::vector<std::string>& RecordsPart::RecentFiles(RecentKind kind) const {
    return RecentList(const_cast<Options&>(s_.options_), kind); // read only
}

} // namespace zorva
