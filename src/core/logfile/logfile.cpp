#include "core/logfile/logfile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <unistd.h>

#include "core/common/atomic_file.h"
#include "core/common/no_value.h"
#include "core/text/format.h"

namespace zorva {

namespace {

constexpr double kDaysInLeapYear = 366;
constexpr double kDaysInYear = 365;
constexpr double kSecondsPerMinute = 60;
constexpr const char* kLineBreak = "\n";

// What a separation field holds when nothing was measured.
constexpr const char* kNoSeparationAngle = "  0.0";
constexpr const char* kNoSeparationDistance = "      0";
constexpr const char* kNoPointValue = "   0";
constexpr int32_t kNoRotation = -999; // the rotation column of a spot that has no place

// A value rounded half upwards at `decimals` places, and its text with exactly that many
// decimals and a decimal point whatever the locale.
struct Rounded {
    double value;
    std::string text;
};
Rounded Round(double v, int decimals) {
    const double r = RoundHalfUp(v, decimals);
    return {r, FixedText(r, decimals)};
}

std::string Integer(int64_t v) {
    return std::to_string(v);
}

std::string TwoDigits(int32_t v) {
    return (v < 10 ? " " : "") + Integer(v);
}

// The prefix rules right-align a value in its column; a value beyond the range foreseen
// gets the shortest prefix and widens the line.

// A: signed, two integer digits.
std::string SignedTwo(const Rounded& r) {
    const double v = r.value;
    const char* p = v >= 0 ? (v >= 10 ? " " : "  ") : (v > -10 ? " " : "");
    return p + r.text;
}
// B: positive, three integer digits.
std::string PositiveThree(const Rounded& r) {
    const double v = r.value;
    const char* p = v >= 100 ? "" : v >= 10 ? " " : "  ";
    return p + r.text;
}
// C: positive, four integer digits.
std::string PositiveFour(const Rounded& r) {
    const double v = r.value;
    const char* p = v >= 1000 ? "" : v >= 100 ? " " : v >= 10 ? "  " : "   ";
    return p + r.text;
}
// D: signed, three integer digits.
std::string SignedThree(const Rounded& r) {
    const double v = r.value;
    const char* p = v >= 0 ? (v >= 100  ? " "
                              : v >= 10 ? "  "
                                        : "   ")
                           : (v > -10    ? "  "
                              : v > -100 ? " "
                                         : "");
    return p + r.text;
}
// E: signed, two integer digits with room for three.
std::string SignedTwoWide(const Rounded& r) {
    const double v = r.value;
    const char* p = v >= 0 ? (v >= 10 ? "  " : "   ") : (v > -10 ? "  " : " ");
    return p + r.text;
}
// F: positive, three integer digits with room for four.
std::string PositiveThreeWide(const Rounded& r) {
    const double v = r.value;
    const char* p = v >= 100 ? " " : v >= 10 ? "  " : "   ";
    return p + r.text;
}
// G: whole degrees in a width of four.
std::string PointLatitude(const Rounded& r) {
    return SignedTwoWide(r);
}
std::string PointLongitude(const Rounded& r) {
    return PositiveThreeWide(r);
}

std::string Area(const Rounded& r) {
    const double v = r.value;
    const char* p = v < 10       ? "     "
                    : v < 100    ? "    "
                    : v < 1000   ? "   "
                    : v < 10000  ? "  "
                    : v < 100000 ? " "
                                 : "";
    return p + r.text;
}

std::string SeparationAngle(const std::optional<double>& shown) {
    if (!shown) return kNoSeparationAngle;
    const Rounded r = Round(*shown, 1);
    const char* p = r.value < 10 ? "  " : r.value < 100 ? " " : "";
    return p + r.text;
}

std::string SeparationDistance(const std::optional<double>& km) {
    if (!km) return kNoSeparationDistance;
    const Rounded r = Round(*km, 0);
    const double v = r.value;
    const char* p = v < 1000      ? "    "
                    : v < 10000   ? "   "
                    : v < 100000  ? "  "
                    : v < 1000000 ? " "
                                  : "";
    return p + r.text;
}

// Latitude and longitude of one separation point; an unset point writes zeros.
std::string SeparationPoint(const std::optional<LatLong>& at) {
    if (!at) return std::string(kNoPointValue) + " " + kNoPointValue;
    return PointLatitude(Round(at->lat, 0)) + " " + PointLongitude(Round(at->lon, 0));
}

LogfileResult Failure(const char* what, const std::filesystem::path& path, const std::string& why) {
    return {false, std::string(what) + " " + path.string() + ": " + why};
}

} // namespace

const std::string& LogfileHeader() {
    static const std::string header =
        std::string("YYYY MM DD HH MM SS      Date        RA        Dec     Alt   ") +
        " Azi     PA    B0    L0      P   SDiam   CR  DO    DDiam     X       " +
        "Y      Size    SLat   SLon   Area  SCR   OLat    OLong" +
        "   SpAng SepDist S1La S1Lo S2La S2Lo";
    return header;
}

double DecimalYear(const Instant& t) {
    const double jd = JulianDate(t);
    const double jdNewYear = JulianDate(t.year, 1, 1, 0, 0, 0);
    return t.year + (jd - jdNewYear) / (IsLeapYear(t.year) ? kDaysInLeapYear : kDaysInYear);
}

const char* DiskOrientationCode(int32_t flipSign, int32_t mirrorSign) {
    if (flipSign == 1 && mirrorSign == 1) return "NE";
    if (flipSign == 1 && mirrorSign == -1) return "NW";
    if (flipSign == -1 && mirrorSign == 1) return "SE";
    return "SW";
}

std::string LogfileLine(const LogfileInputs& in) {
    const Instant& t = in.instant;
    const Ephemeris& e = in.ephemeris;
    const SpotState& spot = in.spot;
    const SeparationState& sep = in.separation;

    const Rounded ra = Round(e.RA, 5);
    const Rounded b0 = Round(e.B0, 2);
    const double diameterMinutes = e.DiamMinutes + e.DiamSeconds / kSecondsPerMinute;

    std::string line;
    const auto field = [&line](const std::string& text) {
        if (!line.empty()) line += ' ';
        line += text;
    };
    field(Integer(t.year));
    field(TwoDigits(t.month));
    field(TwoDigits(t.day));
    field(TwoDigits(t.hour));
    field(TwoDigits(t.minute));
    field(TwoDigits(t.second));
    field(Round(DecimalYear(t), 8).text);
    field((ra.value < 10 ? " " : "") + ra.text);
    field(SignedTwo(Round(e.Dec, 5)));
    field(SignedTwo(Round(e.Altitude, 2)));
    field(PositiveThree(Round(e.Azimuth, 2)));
    field(SignedTwo(Round(e.ParallacticAngle, 2)));
    field((b0.value >= 0 ? " " : "") + b0.text);
    field(PositiveThree(Round(e.L0, 2)));
    field(SignedTwo(Round(e.P, 2)));
    field(Round(diameterMinutes, 3).text);
    field(Integer(e.Rotation));
    field(DiskOrientationCode(in.FlipSign, in.MirrorSign));
    field(PositiveFour(Round(in.ChartDiameter, 3)));
    field(SignedThree(Round(spot.SpotX, 2)));
    field(SignedThree(Round(spot.SpotY, 2)));
    field(PositiveFour(Round(spot.SpotSize * spot.GridCellArea, 3)));
    // A spot off the disk has no place: its columns hold the stand-in the layout gives.
    const DiskPointLocation at =
        spot.At.value_or(DiskPointLocation{NoValue, NoValue, NoValue, NoValue, kNoRotation});
    field(SignedTwoWide(Round(at.latitude, 1)));
    field(PositiveThreeWide(Round(at.longitude, 1)));
    field(Area(Round(spot.SpotArea, 0)));
    field(Integer(at.rotation));
    field(SignedTwo(Round(in.observer.latitude, 3)));
    field(SignedThree(Round(in.observer.longitude, 3)));
    line += ' '; // the separation columns stand one blank further off
    field(SeparationAngle(sep.SepShown));
    field(SeparationDistance(sep.SepKm));
    field(SeparationPoint(sep.At1));
    field(SeparationPoint(sep.At2));
    return line;
}

namespace {

// How far back from the end the last line is looked for. An unfinished append is one line
// long; a last line longer than this is someone else's.
constexpr std::size_t kLastLineWindow = 4096;

// Readies the end of a logfile for the next line, under the append's lock. An append
// stopped by a kill or a power cut leaves the start of its line followed by zeros, to the
// line's full length: such an end (after the last line break: no zero, then only zeros) is
// cut off. Anything else after the last line break (a note the user typed without one)
// was written by someone else and stays; it is ended by a line break. Nothing else in the
// file is touched.
bool MendLastLine(int fd, int64_t& length, std::string& lead, std::string& error) {
    if (length == 0) return true;
    const off_t window = static_cast<off_t>(std::min<int64_t>(length, kLastLineWindow));
    const off_t from = static_cast<off_t>(length) - window;
    std::string tail(static_cast<std::size_t>(window), '\0');
    if (::pread(fd, tail.data(), tail.size(), from) != window) {
        error = "its end cannot be read";
        return false;
    }
    if (tail.back() == '\n') return true;
    const std::size_t lastBreak = tail.rfind('\n');
    const std::size_t lineStart = lastBreak == std::string::npos ? 0 : lastBreak + 1;
    const std::size_t zerosStart = tail.find_last_not_of('\0') + 1; // npos + 1 is 0
    const bool wholeLineSeen = lastBreak != std::string::npos || from == 0;
    const bool unfinished = wholeLineSeen && tail.back() == '\0' && zerosStart >= lineStart &&
                            tail.find('\0', lineStart) == zerosStart;
    if (!unfinished) {
        lead = kLineBreak;
        return true;
    }
    const off_t keep = from + static_cast<off_t>(lineStart);
    if (::ftruncate(fd, keep) != 0) {
        error = std::string("its unfinished last line cannot be cut off: ") + std::strerror(errno);
        return false;
    }
    length = keep;
    return true;
}

} // namespace

LogfileResult CreateLogfile(const std::filesystem::path& path) {
    std::string why;
    if (!WriteFileAtomically(path, LogfileHeader() + kLineBreak, &why)) {
        return Failure("Cannot create the logfile", path, why);
    }
    return {true, {}};
}

LogfileResult AppendToLogfile(const std::filesystem::path& path, const std::string& line) {
    std::string why;
    if (!AppendToFileWhole(path, line + kLineBreak, &why, MendLastLine)) {
        return Failure("Cannot write to the logfile", path, why);
    }
    return {true, {}};
}

} // namespace zorva
