#include "core/srs/srs_reader.h"

#include <array>
#include <cctype>
#include <sstream>
#include <system_error>

#include "core/common/regular_file.h"
#include "core/spots/wolf_number.h"
#include "core/text/escape.h"
#include "core/text/parse.h"
#include "core/text/text_scanner.h"

namespace zorva {

namespace {

constexpr std::size_t kDateDigits = 8;
constexpr std::size_t kBytesPerMegabyte = std::size_t{1} << 20;

// Region 10000 was numbered on this day; files from then on print four digits only.
constexpr SrsDate kFiveDigitNumbersFrom = {2002, 6, 14};
constexpr int32_t kNumberWrap = 10000;
constexpr int32_t kOldNumbersFrom = 9000;
constexpr int32_t kLastYearOfOldNumbers = 2002;
constexpr std::size_t kPrintedDigits = 4;

// How far from the start of the file's date the valid time may lie, in days.
constexpr double kValidBeforeDays = 3;
constexpr double kValidAfterDays = 1;

constexpr int32_t kHoursPerDay = 24;
constexpr int32_t kLastMinute = 59;
constexpr int32_t kMaxLatitude = 90;
constexpr int32_t kMaxCentralDistance = 180;
constexpr int32_t kFullCircle = 360;

// Words of a region line: Nmbr, Location, Lo, Area, Z, LL, NN, then the magnetic type.
enum Column { kNumber, kLocation, kLo, kArea, kClass, kLongExtent, kSpotCount, kColumns };

// A word of the file quoted in a message: printable characters only, and not too long.
std::string Quoted(std::string_view word) {
    constexpr std::size_t kLongestQuote = 20;
    std::string q = "\"";
    for (std::size_t i = 0; i < word.size() && i < kLongestQuote; ++i) {
        const unsigned char c = static_cast<unsigned char>(word[i]);
        q.push_back(std::isprint(c) ? static_cast<char>(c) : '?');
    }
    if (word.size() > kLongestQuote) q += "...";
    return q + "\"";
}

// What is kept of a table that could not be read to its end.
std::string Kept(std::size_t n, const char* which, const char* none) {
    if (n == 0) return none;
    if (n == 1) return std::string("the region ") + which + " is kept";
    return "the " + std::to_string(n) + " regions " + which + " are kept";
}

bool StartsWith(std::string_view line, std::string_view prefix) {
    return line.substr(0, prefix.size()) == prefix;
}

bool StartsWithNoCase(std::string_view line, std::string_view prefix) {
    if (line.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(line[i])) != prefix[i]) return false;
    }
    return true;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view w) {
    if (w.empty()) return false;
    for (char c : w)
        if (!IsDigit(c)) return false;
    return true;
}

bool IsBlank(std::string_view line) {
    for (char c : line)
        if (!IsStreamSpace(static_cast<unsigned char>(c))) return false;
    return true;
}

// One line of at most SrsLineLimit characters, without its line end (LF or CRLF); the
// rest of a longer line is consumed and dropped. False at the end of the input.
bool ReadLine(std::streambuf& buf, std::string& line) {
    using Traits = std::char_traits<char>;
    line.clear();
    Traits::int_type c = buf.sbumpc();
    if (Traits::eq_int_type(c, Traits::eof())) return false;
    while (!Traits::eq_int_type(c, Traits::eof()) && Traits::to_char_type(c) != '\n') {
        if (line.size() < SrsLineLimit) line.push_back(Traits::to_char_type(c));
        c = buf.sbumpc();
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

// The first `count` words of a line and where the words after them begin.
struct LineWords {
    std::array<std::string_view, kColumns> words{};
    std::size_t count = 0;
    std::string_view rest;
};

LineWords SplitWords(std::string_view line) {
    LineWords out;
    std::size_t i = 0;
    const auto skipSpace = [&] {
        while (i < line.size() && IsStreamSpace(static_cast<unsigned char>(line[i])))
            ++i;
    };
    while (out.count < kColumns) {
        skipSpace();
        if (i >= line.size()) return out;
        const std::size_t start = i;
        while (i < line.size() && !IsStreamSpace(static_cast<unsigned char>(line[i])))
            ++i;
        out.words[out.count++] = line.substr(start, i - start);
    }
    skipSpace();
    std::string_view rest = line.substr(i);
    while (!rest.empty() && IsStreamSpace(static_cast<unsigned char>(rest.back())))
        rest.remove_suffix(1);
    out.rest = rest;
    return out;
}

std::optional<int32_t> Digits(std::string_view w) {
    if (!AllDigits(w)) return std::nullopt;
    return ParseInt32(w);
}

// "N12W41": hemisphere, latitude, side, distance from the central meridian.
bool ParseLocation(std::string_view w, SrsRegion& r) {
    if (w.size() < 4) return false;
    const char ns = static_cast<char>(std::toupper(static_cast<unsigned char>(w[0])));
    if (ns != 'N' && ns != 'S') return false;
    std::size_t i = 1;
    while (i < w.size() && IsDigit(w[i]))
        ++i;
    if (i == w.size()) return false;
    const char ew = static_cast<char>(std::toupper(static_cast<unsigned char>(w[i])));
    if (ew != 'E' && ew != 'W') return false;
    const auto lat = Digits(w.substr(1, i - 1));
    const auto dist = Digits(w.substr(i + 1));
    if (!lat || !dist || *lat > kMaxLatitude || *dist > kMaxCentralDistance) return false;
    r.Latitude = ns == 'N' ? *lat : -*lat;
    r.CentralDistance = ew == 'W' ? -*dist : *dist;
    return true;
}

// The implied central-meridian longitude: Lo plus the distance east of the meridian.
int32_t ImpliedCentralLongitude(int32_t lo, int32_t eastDistance) {
    int32_t cm = lo + eastDistance;
    if (cm >= kFullCircle) cm -= kFullCircle;
    if (cm < 0) cm += kFullCircle;
    return cm;
}

// Reads one region line into `r`; an error text (without file and line) otherwise.
std::string ParseRegionLine(std::string_view line, const SrsDate& date, SrsRegion& r) {
    const LineWords lw = SplitWords(line);
    const auto& w = lw.words;
    const auto notNumber = [](std::string_view what, std::string_view word) {
        return std::string("the ") + std::string(what) + " " + Quoted(word) + " is not a number";
    };
    const auto number = Digits(w[kNumber]);
    if (!number) return notNumber("region number", w[kNumber]);
    r = SrsRegion{};
    r.Number = FullRegionNumber(*number, w[kNumber].size(), date);
    if (lw.count <= kLocation) return "the line ends before the location";
    if (!ParseLocation(w[kLocation], r)) {
        return "the location " + Quoted(w[kLocation]) + " is not a location such as N12W41";
    }
    r.Location = std::string(w[kLocation]);
    if (lw.count <= kLo) return "the line ends before the Carrington longitude";
    const auto lo = Digits(w[kLo]);
    if (!lo) return notNumber("Carrington longitude", w[kLo]);
    if (*lo > kFullCircle) return "the Carrington longitude " + Quoted(w[kLo]) + " is above 360";
    r.Lo = *lo;
    r.CentralLongitude = ImpliedCentralLongitude(r.Lo, r.CentralDistance);
    struct Optional {
        Column column;
        const char* what;
        std::optional<int32_t>* into;
    };
    for (const Optional& o : {Optional{kArea, "area", &r.Area},
                              Optional{kLongExtent, "longitude extent", &r.LongExtent},
                              Optional{kSpotCount, "spot count", &r.SpotCount}}) {
        if (lw.count <= static_cast<std::size_t>(o.column)) break;
        *o.into = Digits(w[o.column]);
        if (!*o.into) return notNumber(o.what, w[o.column]);
    }
    if (lw.count > kClass) r.Class = std::string(w[kClass]);
    r.MagType = std::string(lw.rest);
    return {};
}

// Headings and notes that end the table of regions: the next section ("IA.", "II.",
// "III."), a comment, a product header.
bool EndsTable(std::string_view line) {
    return StartsWith(line, "I") || StartsWithNoCase(line, "comment") || StartsWith(line, ":") ||
           StartsWith(line, "#");
}

// The number of the section a line is the title of ("I", "IA", "II", ...: capitals of
// Roman numerals and "A", then a point), or nothing.
std::string_view SectionNumber(std::string_view line) {
    constexpr std::size_t kLongestNumber = 5;
    std::size_t n = 0;
    while (n < line.size() && n < kLongestNumber &&
           std::string_view("IVXA").find(line[n]) != std::string_view::npos)
        ++n;
    if (n == 0 || n >= line.size() || line[n] != '.' || line[0] != 'I') return {};
    return line.substr(0, n);
}

// Whether a table heading names the area column, which only section I's table has.
bool HasAreaColumn(std::string_view heading) {
    const LineWords words = SplitWords(heading);
    for (std::size_t i = 0; i < words.count; ++i) {
        if (words.words[i].size() == 4 && StartsWithNoCase(words.words[i], "area")) return true;
    }
    return false;
}

std::string_view TrimLeft(std::string_view line) {
    while (!line.empty() && IsStreamSpace(static_cast<unsigned char>(line.front())))
        line.remove_prefix(1);
    return line;
}

bool IsNone(std::string_view line) {
    return StartsWithNoCase(line, "none");
}

// "... Locations Valid at DD/HHMMZ ...": the day, hour and minute, if the line has them.
struct ValidAt {
    int32_t day = 0;
    int32_t hour = 0;
    int32_t minute = 0;
};
std::optional<ValidAt> FindValidAt(std::string_view line) {
    constexpr std::string_view kKey = "valid at";
    std::size_t at = std::string_view::npos;
    for (std::size_t i = 0; i + kKey.size() <= line.size(); ++i) {
        if (StartsWithNoCase(line.substr(i), kKey)) {
            at = i + kKey.size();
            break;
        }
    }
    if (at == std::string_view::npos) return std::nullopt;
    const std::string_view rest = TrimLeft(line.substr(at));
    const std::size_t slash = rest.find('/');
    constexpr std::size_t kTimeDigits = 4;
    if (slash == std::string_view::npos || slash == 0 || slash > 2 ||
        rest.size() < slash + 1 + kTimeDigits) {
        return std::nullopt;
    }
    const auto day = Digits(rest.substr(0, slash));
    const auto hour = Digits(rest.substr(slash + 1, 2));
    const auto minute = Digits(rest.substr(slash + 3, 2));
    if (!day || !hour || !minute) return std::nullopt;
    return ValidAt{*day, *hour, *minute};
}

bool Before(const SrsDate& a, const SrsDate& b) {
    if (a.Year != b.Year) return a.Year < b.Year;
    if (a.Month != b.Month) return a.Month < b.Month;
    return a.Day < b.Day;
}

} // namespace

std::optional<SrsDate> SrsFileDate(std::string_view fileName) {
    if (fileName.size() < kDateDigits || !AllDigits(fileName.substr(0, kDateDigits))) {
        return std::nullopt;
    }
    const SrsDate d = {*Digits(fileName.substr(0, 4)), *Digits(fileName.substr(4, 2)),
                       *Digits(fileName.substr(6, 2))};
    constexpr int32_t kMonths = 12;
    if (d.Year < 1 || d.Month < 1 || d.Month > kMonths || d.Day < 1 ||
        d.Day > DaysInMonth(d.Year, d.Month)) {
        return std::nullopt;
    }
    return d;
}

int32_t FullRegionNumber(int32_t printed, std::size_t digits, const SrsDate& fileDate) {
    if (digits > kPrintedDigits || printed >= kNumberWrap) return printed;
    if (Before(fileDate, kFiveDigitNumbersFrom)) return printed;
    if (printed >= kOldNumbersFrom && fileDate.Year <= kLastYearOfOldNumbers) return printed;
    return printed + kNumberWrap;
}

std::optional<Instant> ResolveValidTime(int32_t day, int32_t hour, int32_t minute,
                                        const SrsDate& fileDate) {
    if (hour < 0 || hour > kHoursPerDay || minute < 0 || minute > kLastMinute) return std::nullopt;
    if (hour == kHoursPerDay && minute != 0) return std::nullopt;
    Instant t;
    t.year = fileDate.Year;
    t.month = fileDate.Month;
    if (day > fileDate.Day) {
        constexpr int32_t kDecember = 12;
        if (--t.month < 1) {
            t.month = kDecember;
            --t.year;
        }
    }
    if (day < 1 || day > DaysInMonth(t.year, t.month)) return std::nullopt;
    t.day = day;
    t.hour = hour;
    t.minute = minute;
    if (hour == kHoursPerDay) {
        t.hour = 0;
        AddDays(t.year, t.month, t.day, 1);
    }
    const double sinceFile =
        JulianDate(t) - JulianDate(fileDate.Year, fileDate.Month, fileDate.Day, 0, 0, 0);
    if (sinceFile < -kValidBeforeDays || sinceFile > kValidAfterDays) return std::nullopt;
    return t;
}

SrsSummary ReadSrs(std::istream& in, const SrsDate& fileDate, std::string_view name) {
    SrsSummary s;
    s.FileDate = fileDate;
    s.Epoch = Instant{fileDate.Year, fileDate.Month, fileDate.Day, 0, 0, 0};
    const std::string source(name);
    std::streambuf* buf = in.rdbuf();
    if (!buf || !in) {
        s.Error = "Unable to read " + source + ".";
        return s;
    }

    enum class Stage { Product, Heading, FirstRow, Rows };
    Stage stage = Stage::Product;
    std::string line;
    std::string sectionTitleLine; // section I's title, while its table's heading is awaited
    std::size_t lineNumber = 0;
    while (ReadLine(*buf, line)) {
        ++lineNumber;
        // A byte-order mark that an editor put before the first line is no part of it.
        if (lineNumber == 1) line = std::string(WithoutByteOrderMark(line));
        const std::string_view l = line;
        switch (stage) {
        case Stage::Product:
            if (StartsWith(l, ":Product")) stage = Stage::Heading;
            continue;
        case Stage::Heading: {
            if (const auto v = FindValidAt(l)) {
                if (const auto t = ResolveValidTime(v->day, v->hour, v->minute, fileDate)) {
                    s.Epoch = *t;
                    s.EpochFromFile = true;
                }
            }
            // The regions with sunspots are the table of section I, which comes first. A
            // table is never taken from a later section: its plages or returning regions
            // would be read as regions with spots. Without section I's title before it, a
            // table is taken for section I's only by its heading's columns.
            const std::string at = source + ", line " + std::to_string(lineNumber) + ": ";
            if (StartsWith(l, "Nmbr") || StartsWith(l, "NMBR")) {
                if (sectionTitleLine.empty() && !HasAreaColumn(l)) {
                    s.Error = at + "the table " + Quoted(l) +
                              " has no area column and no section title (\"I. Regions with "
                              "Sunspots\") before it, so it cannot be told from the tables of "
                              "plages or returning regions; the summary is not read.";
                    return s;
                }
                stage = Stage::FirstRow;
                continue;
            }
            const std::string_view section = SectionNumber(l);
            if (!section.empty() && section != "I") {
                s.Error = at + "section " + std::string(section) + " (" + Quoted(l) +
                          ") comes before the table of regions with sunspots, section I; "
                          "the summary is not read.";
                return s;
            }
            if (!sectionTitleLine.empty() && !IsBlank(l)) {
                s.Error = at +
                          "the heading of section I's table (\"Nmbr Location Lo Area ...\") "
                          "should follow " +
                          Quoted(sectionTitleLine) + ", not " + Quoted(l) +
                          "; the summary is not read.";
                return s;
            }
            if (section == "I") sectionTitleLine = line;
            continue;
        }
        case Stage::FirstRow:
        case Stage::Rows:
            break;
        }
        if (IsBlank(l)) continue;
        const std::string_view head = TrimLeft(l);
        if (IsNone(head) || EndsTable(head)) {
            s.Status = SrsStatus::Complete;
            return s;
        }
        stage = Stage::Rows;
        if (s.Regions.size() == SrsRegionLimit) {
            s.Status = SrsStatus::Partial;
            s.Error = source + " lists more than " + std::to_string(SrsRegionLimit) +
                      " regions; the first " + std::to_string(SrsRegionLimit) + " are kept.";
            return s;
        }
        SrsRegion r;
        const std::string why = ParseRegionLine(l, fileDate, r);
        if (!why.empty()) {
            s.Status = SrsStatus::Partial;
            s.Error = source + ", line " + std::to_string(lineNumber) + ": " + why + "; " +
                      Kept(s.Regions.size(), "before it", "no region comes before it") + ".";
            return s;
        }
        s.Regions.push_back(std::move(r));
    }
    switch (stage) {
    case Stage::Product:
        s.Error = source + " ends before its \":Product\" line: it is not a Solar Region Summary.";
        break;
    case Stage::Heading:
        s.Error = source + " ends before its table of regions (\"Nmbr\").";
        break;
    case Stage::FirstRow:
    case Stage::Rows:
        s.Status = SrsStatus::Partial;
        s.Error = source + " ends inside its table of regions; " +
                  Kept(s.Regions.size(), "read", "no region was read") + ".";
        break;
    }
    return s;
}

SrsSummary LoadSrsFile(const std::filesystem::path& path) {
    SrsSummary s;
    const std::string name = path.filename().string();
    std::error_code ec;
    if (const std::string why = WhyUnreachable(path); !why.empty()) {
        s.Error = "Unable to open " + name + ": " + why + ".";
        return s;
    }
    if (std::filesystem::is_directory(path, ec)) {
        s.Error = name + " is a folder, not a Solar Region Summary.";
        return s;
    }
    const auto date = SrsFileDate(name);
    if (!date) {
        s.Error = "The name of " + name + " does not begin with its date (YYYYMMDD).";
        return s;
    }
    // Only a regular file is read, and only so far: a pipe or a device is refused.
    const RegularFileRead file = ReadRegularFile(path);
    if (file.tooLong) {
        s.Error =
            name + " is longer than " + std::to_string(kLargestTextFile / kBytesPerMegabyte) +
            " MB, far longer than any Solar Region Summary (a few kilobytes); it is not read.";
        return s;
    }
    if (!file.ok) {
        s.Error = "Unable to open " + name + ": " + file.error + ".";
        return s;
    }
    std::istringstream in(file.bytes);
    return ReadSrs(in, *date, name);
}

int64_t WolfNumber(std::span<const SrsRegion> regions) {
    int64_t spots = 0;
    for (const SrsRegion& r : regions)
        spots += r.SpotCount.value_or(0);
    return WolfNumberOf(static_cast<int64_t>(regions.size()), spots);
}

} // namespace zorva
