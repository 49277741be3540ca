#include "core/logfile/logfile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
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

// Every field has its own width in the header's layout, and a value is right-aligned in
// it, rounded half upwards at the field's decimals with a decimal point whatever the
// locale. A value too wide for its field gives up decimals, one at a time, rather than
// widen the line; one that fits with none, or is no number at all, fills its field with
// this mark, so every line keeps the header's length and never holds "inf" or "nan".
constexpr char kDoesNotFit = '*';

std::string Column(double v, std::size_t width, int decimals) {
    for (int d = decimals; d >= 0 && std::isfinite(v); --d) {
        const double rounded = RoundHalfUp(v, d);
        if (!std::isfinite(rounded)) break;
        const std::string text = FixedText(rounded, d);
        if (text.size() <= width) return std::string(width - text.size(), ' ') + text;
    }
    return std::string(width, kDoesNotFit);
}

std::string Whole(int64_t v, std::size_t width) {
    return Column(static_cast<double>(v), width, 0);
}

std::string SeparationAngle(double shown) {
    if (shown == NoValue) return kNoSeparationAngle;
    return Column(shown, 5, 1);
}

std::string SeparationDistance(double km) {
    if (km == NoValue) return kNoSeparationDistance;
    return Column(km, 7, 0);
}

// Latitude and longitude of one separation point in whole degrees; an unset point writes
// zeros.
std::string SeparationPoint(double lat, double lon) {
    if (lat == NoValue) return std::string(kNoPointValue) + " " + kNoPointValue;
    return Column(lat, 4, 0) + " " + Column(lon, 4, 0);
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
    const double diameterMinutes = e.DiamMinutes + e.DiamSeconds / kSecondsPerMinute;

    // The widths and decimals of the fields, under the header's column names.
    std::string line;
    const auto field = [&line](const std::string& text) {
        if (!line.empty()) line += ' ';
        line += text;
    };
    field(Whole(t.year, 4));
    field(Whole(t.month, 2));
    field(Whole(t.day, 2));
    field(Whole(t.hour, 2));
    field(Whole(t.minute, 2));
    field(Whole(t.second, 2));
    field(Column(DecimalYear(t), 13, 8));
    field(Column(e.RA, 8, 5));
    field(Column(e.Dec, 9, 5));
    field(Column(e.Altitude, 6, 2));
    field(Column(e.Azimuth, 6, 2));
    field(Column(e.ParallacticAngle, 6, 2));
    field(Column(e.B0, 5, 2));
    field(Column(e.L0, 6, 2));
    field(Column(e.P, 6, 2));
    field(Column(diameterMinutes, 6, 3));
    field(Whole(e.Rotation, 4));
    field(DiskOrientationCode(in.FlipSign, in.MirrorSign));
    field(Column(in.ChartDiameter, 8, 3));
    field(Column(spot.SpotX, 7, 2));
    field(Column(spot.SpotY, 7, 2));
    field(Column(spot.SpotSize * spot.GridCellArea, 8, 3));
    field(Column(spot.SpotLat, 6, 1));
    field(Column(spot.SpotLong, 6, 1));
    field(Column(spot.SpotArea, 6, 0));
    field(Whole(spot.SpotRotation, 4));
    field(Column(in.observer.latitude, 7, 3));
    field(Column(in.observer.longitude, 8, 3));
    line += ' '; // the separation columns stand one blank further off
    field(SeparationAngle(sep.SepShown));
    field(SeparationDistance(sep.SepKm));
    field(SeparationPoint(sep.SepLat1, sep.SepLong1));
    field(SeparationPoint(sep.SepLat2, sep.SepLong2));
    return line;
}

namespace {

// A kill during an append can leave part of a line with no line break at the end of the
// logfile: the system stops a write only between two pages of the file, so such a part
// ends exactly on a page boundary. What follows the last line break is cut off when it
// ends there and is shorter than a measurement line, as a cut-short line is. Anything else
// (a note the user typed without a final line break, say) was written by someone else and
// stays, ended by a line break. Gives what to put before the next line. A file that cannot
// be read or cut is left as it is, for the append to report.
std::string MendCutShortLine(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return {};
    const off_t lineLength = static_cast<off_t>(LogfileHeader().size());
    const long page = ::sysconf(_SC_PAGESIZE);
    struct stat st {};
    std::string before;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        const off_t window = std::min(st.st_size, lineLength);
        const off_t from = st.st_size - window;
        std::string tail(static_cast<std::size_t>(window), '\0');
        if (::pread(fd, tail.data(), tail.size(), from) == window && tail.back() != '\n') {
            const std::size_t lastBreak = tail.rfind('\n');
            const bool onPageEnd = page > 0 && st.st_size % page == 0;
            const bool cutShort =
                onPageEnd && (lastBreak != std::string::npos || st.st_size < lineLength);
            const off_t keep =
                lastBreak == std::string::npos ? 0 : from + static_cast<off_t>(lastBreak) + 1;
            if (!cutShort || ::ftruncate(fd, keep) != 0) before = kLineBreak;
        }
    }
    ::close(fd);
    return before;
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
    if (!AppendToFileWhole(path, MendCutShortLine(path) + line + kLineBreak, &why)) {
        return Failure("Cannot write to the logfile", path, why);
    }
    return {true, {}};
}

} // namespace zorva
