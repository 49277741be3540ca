#include "core/logfile/logfile_record.h"

#include <algorithm>

#include "core/common/regular_file.h"
#include "core/logfile/logfile.h"
#include "core/text/escape.h"
#include "core/text/format.h"
#include "core/text/parse.h"

namespace zorva {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::array<std::string_view, 4> kOrientationCodes = {"NE", "NW", "SE", "SW"};
constexpr int32_t kLastMonth = 12;
constexpr int32_t kLastHour = 23;
constexpr int32_t kLastMinute = 59;
constexpr int32_t kLastSecond = 59;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A number as the line writes it: an optional minus, digits, and digits after a point.
bool IsNumberText(std::string_view t) {
    if (!t.empty() && t.front() == '-') t.remove_prefix(1);
    const std::size_t point = t.find('.');
    const std::string_view whole = t.substr(0, point);
    const std::string_view decimals =
        point == std::string_view::npos ? std::string_view() : t.substr(point + 1);
    const auto digits = [](std::string_view d) {
        return !d.empty() && std::all_of(d.begin(), d.end(), IsDigit);
    };
    return digits(whole) && (point == std::string_view::npos || digits(decimals));
}

// A column filled with the mark of a value too wide for it.
bool IsNoValue(std::string_view t) {
    return !t.empty() && t.find_first_not_of('*') == std::string_view::npos;
}

std::string_view TrimmedRight(std::string_view line) {
    const std::size_t end = line.find_last_not_of(" \t\r");
    return end == std::string_view::npos ? std::string_view() : line.substr(0, end + 1);
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = line.find_first_not_of(kBlanks);
    while (at != std::string_view::npos) {
        const std::size_t end = line.find_first_of(kBlanks, at);
        words.push_back(line.substr(at, end - at));
        at = end == std::string_view::npos ? end : line.find_first_not_of(kBlanks, end);
    }
    return words;
}

std::string Quoted(std::string_view t) {
    constexpr std::size_t kShown = 24; // enough of a wrong field to recognise it
    return "\"" + std::string(t.substr(0, kShown)) + (t.size() > kShown ? "...\"" : "\"");
}

// A JSON number from a field's text: the same digits without leading zeros, which JSON
// does not allow.
std::string JsonNumber(std::string_view t) {
    std::string out;
    if (!t.empty() && t.front() == '-') {
        out = "-";
        t.remove_prefix(1);
    }
    const std::size_t point = t.find('.');
    const std::size_t wholeEnd = point == std::string_view::npos ? t.size() : point;
    std::size_t first = 0;
    while (first + 1 < wholeEnd && t[first] == '0')
        ++first;
    return out + std::string(t.substr(first));
}

} // namespace

std::optional<double> LogfileRecord::Value(LogfileField f) const {
    const std::string& t = Text(f);
    if (LogfileColumns[static_cast<std::size_t>(f)].kind == LogfileFieldKind::Code) return {};
    return ParseReal(t);
}

LogfileLineRead ReadLogfileLine(std::string_view line) {
    LogfileLineRead read;
    const std::vector<std::string_view> words = Words(line);
    if (words.size() != LogfileFieldCount) {
        read.error = "it has " + std::to_string(words.size()) + " fields, not " +
                     std::to_string(LogfileFieldCount);
        return read;
    }
    LogfileRecord record;
    for (std::size_t i = 0; i < LogfileFieldCount; ++i) {
        const std::string_view w = words[i];
        const LogfileColumn& column = LogfileColumns[i];
        const bool fits = column.kind == LogfileFieldKind::Code
                              ? std::find(kOrientationCodes.begin(), kOrientationCodes.end(), w) !=
                                    kOrientationCodes.end()
                              : IsNumberText(w) || IsNoValue(w);
        if (!fits) {
            read.error = "field " + std::to_string(i + 1) + " (" + std::string(column.header) +
                         ") " + Quoted(w) + " is not " +
                         (column.kind == LogfileFieldKind::Code ? "NE, NW, SE or SW" : "a number");
            return read;
        }
        record.fields[i] = std::string(w);
    }
    std::array<int32_t, 6> when{};
    for (std::size_t i = 0; i < when.size(); ++i) {
        const std::optional<int32_t> v = ParseInt32(record.fields[i]);
        if (!v) {
            read.error = "its date and time " + Quoted(record.fields[i]) + " is not a whole number";
            return read;
        }
        when[i] = *v;
    }
    const Instant t{when[0], when[1], when[2], when[3], when[4], when[5]};
    if (t.month < 1 || t.month > kLastMonth || t.day < 1 || t.day > DaysInMonth(t.year, t.month) ||
        t.hour < 0 || t.hour > kLastHour || t.minute < 0 || t.minute > kLastMinute ||
        t.second < 0 || t.second > kLastSecond) {
        read.error = "its date and time " + std::to_string(t.year) + "-" + std::to_string(t.month) +
                     "-" + std::to_string(t.day) + " " + std::to_string(t.hour) + ":" +
                     std::to_string(t.minute) + ":" + std::to_string(t.second) +
                     " is no date and time";
        return read;
    }
    record.instant = t;
    read.record = std::move(record);
    return read;
}

LogfileRead ReadLogfileText(std::string_view text) {
    LogfileRead read;
    if (text.find('\0') != std::string_view::npos) {
        read.error = "it holds binary data, not lines of text";
        return read;
    }
    // A byte-order mark that an editor put before the first line is no part of it.
    text = WithoutByteOrderMark(text);
    bool first = true;
    std::size_t number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t end = text.find('\n');
        const std::string_view line = TrimmedRight(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.find_first_not_of(kBlanks) == std::string_view::npos) continue;
        if (line == LogfileHeader()) {
            first = false;
            continue;
        }
        LogfileLineRead parsed = ReadLogfileLine(line);
        if (!parsed.record) {
            if (first) {
                read.error = "its first line is neither the logfile's column header nor a "
                             "measurement";
                return read;
            }
            read.problems.push_back("line " + std::to_string(number) + ": " + parsed.error);
            continue;
        }
        first = false;
        read.lines.push_back({number, std::string(line), std::move(*parsed.record)});
    }
    read.ok = true;
    return read;
}

LogfileRead ReadLogfile(const std::filesystem::path& path) {
    const RegularFileRead file = ReadRegularFile(path, kLargestLogfile);
    if (!file.ok) {
        LogfileRead read;
        read.error = file.found ? file.error : "there is no such file";
        return read;
    }
    return ReadLogfileText(file.bytes);
}

std::string LogfileCsvHeader() {
    std::string row;
    for (const LogfileColumn& c : LogfileColumns)
        row += (row.empty() ? "" : ",") + std::string(c.name);
    return row;
}

std::string LogfileCsvCells(const LogfileRecord& record) {
    std::string row;
    for (std::size_t i = 0; i < LogfileFieldCount; ++i) {
        if (i > 0) row += ',';
        if (!IsNoValue(record.fields[i])) row += CsvField(record.fields[i]);
    }
    return row;
}

std::string LogfileCsv(std::span<const LogfileEntry> lines) {
    std::string csv = LogfileCsvHeader() + "\n";
    for (const LogfileEntry& line : lines)
        csv += LogfileCsvCells(line.record) + "\n";
    return csv;
}

std::string LogfileJson(std::span<const LogfileEntry> lines) {
    std::string json = "[";
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const LogfileRecord& r = lines[n].record;
        json += n == 0 ? "\n" : ",\n";
        json += "  {\"line\": " + std::to_string(lines[n].number);
        for (std::size_t i = 0; i < LogfileFieldCount; ++i) {
            const LogfileColumn& column = LogfileColumns[i];
            const std::string& field = r.fields[i];
            json += ", \"" + std::string(column.name) + "\": ";
            if (column.kind == LogfileFieldKind::Code) {
                json += "\"" + field + "\""; // one of the four codes: nothing to escape
            } else {
                json += IsNoValue(field) ? std::string("null") : JsonNumber(field);
            }
        }
        json += "}";
    }
    return json + (lines.empty() ? "]\n" : "\n]\n");
}

} // namespace zorva
