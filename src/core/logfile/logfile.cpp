#include "core/logfile/logfile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

#include "core/common/atomic_file.h"
#include "core/common/no_value.h"
#include "core/logfile/logfile_record.h"
#include "core/text/format.h"

namespace zorva {

namespace {

constexpr double kSecondsPerMinute = 60;
constexpr const char* kLineBreak = "\n";

// What a separation field holds when nothing was measured.
constexpr const char* kNoSeparationAngle = "  0.0";
constexpr const char* kNoSeparationDistance = "      0";
constexpr const char* kNoPointValue = "   0";
constexpr int32_t kNoRotation = -999; // the rotation column of a spot that has no place

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

std::string SeparationAngle(const std::optional<double>& shown) {
    if (!shown) return kNoSeparationAngle;
    return Column(*shown, 5, 1);
}

std::string SeparationDistance(const std::optional<double>& km) {
    if (!km) return kNoSeparationDistance;
    return Column(*km, 7, 0);
}

// Latitude and longitude of one separation point in whole degrees; an unset point writes
// zeros.
std::string SeparationPoint(const std::optional<LatLong>& at) {
    if (!at) return std::string(kNoPointValue) + " " + kNoPointValue;
    return Column(at->lat, 4, 0) + " " + Column(at->lon, 4, 0);
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
    return t.year + (jd - jdNewYear) / DaysInYear(t.year);
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
    // A spot off the disk has no place: its columns hold the stand-in the layout gives.
    const DiskPointLocation at =
        spot.At.value_or(DiskPointLocation{NoValue, NoValue, NoValue, NoValue, kNoRotation});
    field(Column(at.latitude, 6, 1));
    field(Column(at.longitude, 6, 1));
    field(Column(spot.SpotArea, 6, 0));
    field(Whole(at.rotation, 4));
    field(Column(in.observer.latitude, 7, 3));
    field(Column(in.observer.longitude, 8, 3));
    line += ' '; // the separation columns stand one blank further off
    field(SeparationAngle(sep.SepShown));
    field(SeparationDistance(sep.SepKm));
    field(SeparationPoint(sep.At1));
    field(SeparationPoint(sep.At2));
    return line;
}

namespace {

// FNV-1a, 64 bits: a change anywhere in a logfile changes its fingerprint.
constexpr uint64_t kFnvOffset = 14695981039346656037ULL;
constexpr uint64_t kFnvPrime = 1099511628211ULL;
constexpr std::size_t kReadChunk = std::size_t{1} << 16;

uint64_t Fingerprint(uint64_t hash, std::string_view bytes) {
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= kFnvPrime;
    }
    return hash;
}

// The fingerprint of the first `length` bytes of the file open on `fd`.
bool FingerprintOfFile(int fd, int64_t length, uint64_t& fingerprint) {
    fingerprint = kFnvOffset;
    std::string chunk(kReadChunk, '\0');
    for (int64_t at = 0; at < length;) {
        const auto want = static_cast<std::size_t>(std::min<int64_t>(length - at, kReadChunk));
        const ssize_t n = ::pread(fd, chunk.data(), want, static_cast<off_t>(at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        fingerprint =
            Fingerprint(fingerprint, std::string_view(chunk.data(), static_cast<std::size_t>(n)));
        at += n;
    }
    return true;
}

// How often, and after what pause, an end without its line break is looked at again.
constexpr int kLooksAtAnEnd = 8;
constexpr std::chrono::milliseconds kPauseBeforeLookingAgain{1};

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
    std::string tail;
    off_t from = 0;
    // Another program's line being written right now shows in part for a moment (the
    // system lengthens the file a page at a time): an end without its line break is looked
    // at again after a pause, until it stays as it is.
    for (int look = 0;; ++look) {
        if (length == 0) return true;
        const off_t window = static_cast<off_t>(std::min<int64_t>(length, kLastLineWindow));
        from = static_cast<off_t>(length) - window;
        tail.assign(static_cast<std::size_t>(window), '\0');
        if (::pread(fd, tail.data(), tail.size(), from) != window) {
            error = "its end cannot be read";
            return false;
        }
        if (tail.back() == '\n') return true;
        if (look == kLooksAtAnEnd) break;
        std::this_thread::sleep_for(kPauseBeforeLookingAgain);
        struct stat now {};
        if (::fstat(fd, &now) != 0 || now.st_size == length) break;
        length = now.st_size;
    }
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
    // Cut while the file still ends as it was looked at; were it not (another program
    // wrote since, or holds it open), the end stays, and is ended like a note.
    const int64_t seen = length;
    const int64_t keep = from + static_cast<int64_t>(lineStart);
    std::string kept;
    if (!CutFileEndAlone(
            fd, keep, [seen](int, int64_t now, std::string&) { return now == seen; }, kept)) {
        lead = kLineBreak;
        return true;
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

LogfileMark MarkOf(std::string_view bytes) {
    return {bytes.size(), Fingerprint(kFnvOffset, bytes)};
}

LogfileResult AppendToLogfile(const std::filesystem::path& path, const std::string& line,
                              LogfileMark* after) {
    std::string why;
    const std::string bytes = line + kLineBreak;
    std::size_t leadSize = 0;
    const auto prepare = [&leadSize](int fd, int64_t& length, std::string& lead,
                                     std::string& error) {
        const bool ok = MendLastLine(fd, length, lead, error);
        leadSize = lead.size();
        return ok;
    };
    // The mark of the file as far as our line's end, read under the append's lock.
    bool marked = after == nullptr;
    const auto finish = [&](int fd, int64_t end) {
        if (after == nullptr) return;
        uint64_t fingerprint = 0;
        marked = FingerprintOfFile(fd, end, fingerprint);
        *after = {static_cast<uint64_t>(end), fingerprint, leadSize};
    };
    if (!AppendToFileWhole(path, bytes, &why, prepare, finish)) {
        return Failure("Cannot write to the logfile", path, why);
    }
    // The line is in; without its mark it can only never be taken out again.
    if (!marked) *after = {};
    return {true, {}};
}

LogfileResult RemoveLastLogfileLine(const std::filesystem::path& path, const std::string& line,
                                    const LogfileMark& mark, LogfileMark* after) {
    constexpr const char* kWhat = "The last measurement cannot be taken out of the logfile";
    constexpr const char* kChanged = "it was changed outside Zorva since the measurement was added";
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return Failure(kWhat, path, "it is no longer there");
    if (::access(path.c_str(), W_OK) != 0) {
        return Failure(kWhat, path,
                       errno == EROFS ? "it lies on a read-only file system"
                                      : "you have no permission to write to it");
    }
    // The line is taken off where our append put it, and only while the file is still
    // exactly as that append left it: as long, ending with the line there, and with every
    // earlier byte as it was. Anything else (a line added by anyone, an earlier line
    // edited) keeps every line.
    // A line break put before it, to end a line another program had not ended, goes too:
    // that program's own line break may have come since.
    const std::string ending =
        std::string(static_cast<std::size_t>(std::min<uint64_t>(mark.lead, 1)), '\n') + line +
        kLineBreak;
    if (mark.length < ending.size()) return Failure(kWhat, path, kChanged);
    const uint64_t offset = mark.length - ending.size();
    LogfileMark left;
    const auto unchanged = [&](int fd, int64_t length, std::string& why) {
        why = kChanged;
        if (static_cast<uint64_t>(length) != mark.length) return false;
        std::string tail(ending.size(), '\0');
        if (::pread(fd, tail.data(), tail.size(), static_cast<off_t>(offset)) !=
                static_cast<ssize_t>(tail.size()) ||
            tail != ending) {
            return false;
        }
        uint64_t before = 0;
        if (!FingerprintOfFile(fd, static_cast<int64_t>(offset), before)) return false;
        if (Fingerprint(before, ending) != mark.fingerprint) return false;
        left = {offset, before};
        return true;
    };
    std::string why;
    if (!CutFileEnd(path, static_cast<int64_t>(offset), unchanged, &why)) {
        return Failure(kWhat, path, why);
    }
    if (after != nullptr) *after = left;
    return {true, {}};
}

} // namespace zorva
