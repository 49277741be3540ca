// A year file's bytes followed all the way to the logfile: read the file, interpolate it
// at instants chosen by the input (its own dates among them), add the horizon for an
// observer, make the readout texts, locate a spot and its area, carry the rotation
// markers, measure a separation, and write the logfile line. The parameters are taken
// from the end of the input, the year file is the rest.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "core/chart/chart_geometry.h"
#include "core/chart/rotation_markers.h"
#include "core/chart/sunspot.h"
#include "core/ephemeris/calendar.h"
#include "core/ephemeris/daily_table.h"
#include "core/ephemeris/horizon.h"
#include "core/ephemeris/year_tables.h"
#include "core/logfile/logfile.h"
#include "core/measure/separation.h"
#include "core/readouts/readouts.h"

namespace {

using namespace zorva;

// No year file lives here, so the look into the next year takes the built-in or computed
// table, as it does for a window whose folder holds one year file only.
constexpr int32_t kFirstYear = 1; // the range of years the program takes
constexpr int32_t kLastYear = 9999;
constexpr int kMostInstants = 4;

void Check(bool ok) {
    if (!ok) std::abort();
}

// Text that a label or the logfile may show: no "nan", no "inf", never the size of a
// runaway number.
void CheckText(const std::string& text) {
    Check(text.find("nan") == std::string::npos);
    Check(text.find("inf") == std::string::npos);
    Check(text.size() < 1000);
}

bool IsDate(int32_t y, int32_t m, int32_t d) {
    return y >= kFirstYear && y <= kLastYear && d >= 1 && d <= DaysInMonth(y, m);
}

// An instant on a date of the table when it holds a real one, else on any date.
Instant ChooseInstant(FuzzedDataProvider& in, const DailyTable& table, int32_t count) {
    Instant t;
    const auto pick = in.ConsumeIntegralInRange<int32_t>(0, 2 * kDailyTableSize);
    const DailyRecord* r = pick < count ? &table[pick] : nullptr;
    if (r != nullptr && IsDate(r->Year, r->Month, r->Day)) {
        t.year = r->Year;
        t.month = r->Month;
        t.day = r->Day;
    } else {
        t.year = in.ConsumeIntegralInRange<int32_t>(kFirstYear, kLastYear);
        t.month = in.ConsumeIntegralInRange<int32_t>(1, 12);
        t.day = in.ConsumeIntegralInRange<int32_t>(1, DaysInMonth(t.year, t.month));
    }
    t.hour = in.ConsumeIntegralInRange<int32_t>(0, 23);
    t.minute = in.ConsumeIntegralInRange<int32_t>(0, 59);
    t.second = in.ConsumeIntegralInRange<int32_t>(0, 59);
    return t;
}

// Whatever a year file held, the interpolated ephemeris is one the readouts can show:
// finite, RA and L0 inside their circles, and numbers of the Sun's own size. (Ancient and
// far-future years come from the computed path, whose P and B0 drift a little beyond
// today's limits, so the bounds here are those of any sphere, not of the year files.)
void CheckEphemeris(const Ephemeris& e) {
    Check(e.RA >= 0 && e.RA <= 24);
    Check(e.L0 >= 0 && e.L0 <= 360);
    Check(std::fabs(e.Dec) <= 90 && std::fabs(e.B0) <= 90 && std::fabs(e.P) <= 180);
    const double minutes = e.DiamMinutes + e.DiamSeconds / 60;
    Check(minutes >= 30 && minutes <= 34);
    Check(e.Rotation > -2000000 && e.Rotation < 2000000);
    Check(std::isfinite(e.Altitude) && std::isfinite(e.Azimuth) &&
          std::isfinite(e.ParallacticAngle));
}

void CheckReadouts(const Ephemeris& e, const ReadoutPrecisions& precisions, Orientation mode) {
    const PositionReadouts p = PositionReadoutTexts(e, precisions, mode);
    const SolarParameterReadouts s = SolarParameterTexts(e, precisions);
    for (const std::string* text :
         {&p.RALabel.text, &p.DecLabel.text, &p.AltLabel.text, &p.AziLabel.text, &p.PALabel.text,
          &s.B0Label.text, &s.L0Label.text, &s.PLabel.text, &s.DiamLabel, &s.CRLabel}) {
        CheckText(*text);
    }
}

// A number typed into a box: anything the numeric test lets through.
double TypedNumber(FuzzedDataProvider& in) {
    return in.ConsumeFloatingPoint<double>();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);

    Observer observer;
    AcceptObserverLatitude(TypedNumber(in), observer.latitude);
    AcceptObserverLongitude(TypedNumber(in), observer.longitude);
    ChartGeometry geometry;
    if (const double d = TypedNumber(in); IsUsableChartDiameter(d)) geometry.ChartDiameter = d;
    geometry.Mode = in.PickValueInArray(
        {Orientation::Equatorial, Orientation::RotationAxis, Orientation::AltAzimuth});
    geometry.FlipSign = in.ConsumeBool() ? 1 : -1;
    geometry.MirrorSign = in.ConsumeBool() ? 1 : -1;
    ReadoutPrecisions precisions;
    precisions.RAPrecision = in.ConsumeIntegral<int32_t>();
    precisions.DecPrecision = in.ConsumeIntegral<int32_t>();
    precisions.AltAziPrecision = in.ConsumeIntegral<int32_t>();
    precisions.BLPPrecision = in.ConsumeIntegral<int32_t>();
    precisions.DiamPrecision = in.ConsumeIntegral<int32_t>();
    SpotState spot;
    spot.SpotX = TypedNumber(in);
    spot.SpotY = TypedNumber(in);
    if (const double cells = TypedNumber(in); cells >= 0 && cells <= LargestSpotSize) {
        spot.SpotSize = cells;
    }
    spot.GridCellArea = in.ConsumeBool() ? MmGridCellArea : InchGridCellArea;
    spot.LatLongPrecision = in.ConsumeIntegral<int32_t>();
    spot.AreaPrecision = in.ConsumeIntegral<int32_t>();
    MarkerState markers;
    markers.CarrMarkerShown = in.ConsumeBool();
    markers.DiffMarkerShown = in.ConsumeBool();
    SeparationState separation;
    separation.SepX1 = TypedNumber(in);
    separation.SepY1 = TypedNumber(in);
    separation.SepX2 = TypedNumber(in);
    separation.SepY2 = TypedNumber(in);
    const int instants = in.ConsumeIntegralInRange<int>(1, kMostInstants);
    std::vector<uint8_t> choices = in.ConsumeBytes<uint8_t>(instants * 16);

    std::istringstream file(in.ConsumeRemainingBytesAsString());
    DailyTable table{};
    const YearFileResult read = ReadYearFile(file, table);
    Check(read.count >= 0 && read.count <= kDailyTableSize);

    // The file's records are the table of their first record's year; other years come
    // from the built-in or computed tables.
    YearTables tables(std::nullopt);
    if (read.count > 0) tables.Keep({table[0].Year, table, read.count, {}});

    FuzzedDataProvider pick(choices.data(), choices.size());
    Instant previous;
    for (int i = 0; i < instants; ++i) {
        const Instant t = ChooseInstant(pick, table, read.count);
        const Ephemeris e = tables.At(t, observer);
        CheckEphemeris(e);
        CheckReadouts(e, precisions, geometry.Mode);

        const DiskFrame frame = FrameAt(geometry, e);
        if (i > 0) CarryRotationMarkers(previous, t, e, frame, spot, markers, DateFoldLimit);
        LocateSpot(spot, frame, e);
        const AreaReadout area = ComputeSpotArea(spot, geometry.ChartDiameter);
        CheckText(area.Text);
        const SpotReadouts texts = UpdateSpotReadouts(spot);
        CheckText(texts.LatText);
        CheckText(texts.LongText);

        ComputeSeparation(separation, frame, e);
        GreatCircleResults(separation);
        if (spot.At->latitude != NoValue) {
            LogfileInputs line{
                t,    e,        geometry.FlipSign, geometry.MirrorSign, geometry.ChartDiameter,
                spot, observer, separation};
            CheckText(LogfileLine(line));
        }
        previous = t;
    }
    return 0;
}
