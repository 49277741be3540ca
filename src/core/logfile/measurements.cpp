#include "core/logfile/measurements.h"

#include "core/text/format.h"

namespace zorva {

namespace {

constexpr const char* kDegree = "\u00B0";

std::string TwoDigits(const std::string& t) {
    return t.size() < 2 ? "0" + t : t;
}

// A field's text, empty when it held no value.
std::string Shown(const LogfileRecord& r, LogfileField f) {
    return r.Value(f) ? r.Text(f) : std::string();
}

std::string Degrees(const LogfileRecord& r, LogfileField f) {
    const std::string t = Shown(r, f);
    return t.empty() ? t : t + kDegree;
}

} // namespace

std::string_view OrientationName(Orientation mode) {
    switch (mode) {
    case Orientation::Equatorial:
        return "Equatorial";
    case Orientation::RotationAxis:
        return "Rotation Axis";
    case Orientation::AltAzimuth:
        return "AltAzimuth";
    case Orientation::FromHeader:
        return "FITS header";
    }
    return {};
}

std::array<std::string, MeasurementHeadings.size()> MeasurementCells(const Measurement& m) {
    using F = LogfileField;
    const LogfileRecord& r = m.record;
    const std::string instant = r.Text(F::Year) + "-" + TwoDigits(r.Text(F::Month)) + "-" +
                                TwoDigits(r.Text(F::Day)) + " " + TwoDigits(r.Text(F::Hour)) + ":" +
                                TwoDigits(r.Text(F::Minute)) + ":" + TwoDigits(r.Text(F::Second));
    const std::string code = r.Text(F::DO);
    const std::string orientation = m.context ? m.context->orientation + " " + code : code;
    // The line writes zeros for a separation not measured.
    const std::optional<double> angle = r.Value(F::SpAng);
    const std::optional<double> km = r.Value(F::SepDist);
    std::string separation;
    if (!(angle == 0.0 && km == 0.0)) {
        separation = Degrees(r, F::SpAng);
        if (km) separation += (separation.empty() ? "" : " ") + r.Text(F::SepDist) + " km";
    }
    return {m.context && !m.context->instantSource.empty()
                ? instant + " (" + m.context->instantSource + ")"
                : instant,
            m.context ? m.context->source : std::string(),
            orientation,
            Shown(r, F::X),
            Shown(r, F::Y),
            Degrees(r, F::SLat),
            Degrees(r, F::SLon),
            Shown(r, F::Area),
            Shown(r, F::SCR),
            separation};
}

std::string MeasurementsCsv(std::span<const Measurement> measurements) {
    std::string csv = LogfileCsvHeader() + ",source,orientation,instant_source\n";
    for (const Measurement& m : measurements) {
        csv += LogfileCsvCells(m.record) + ",";
        if (m.context)
            csv += CsvField(m.context->source) + "," + CsvField(m.context->orientation) + "," +
                   CsvField(m.context->instantSource);
        else
            csv += ",,";
        csv += "\n";
    }
    return csv;
}

} // namespace zorva
