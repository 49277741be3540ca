// What an observation holds and which ones cannot be: counts no observer could make, a day
// that has not come, values out of their range.
#include "core/record/observation.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <set>
#include <tuple>

#include "core/spots/mcintosh.h"
#include "core/text/parse.h"

namespace zorva {

namespace {

std::string TwoDigits(int32_t v) {
    return (v < 10 ? "0" : "") + std::to_string(v);
}

// The observer's code, site and instrument are short labels on one line.
constexpr std::size_t kLongestLabel = 200;
constexpr std::size_t kLongestPictureName = 4096;

std::string LabelProblem(const std::string& text, const char* what, std::size_t longest) {
    if (text.size() > longest)
        return std::string("the ") + what + " is longer than " + std::to_string(longest) +
               " characters";
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20)
            return std::string("the ") + what + " holds a control character";
    }
    return "";
}

// Far beyond any count of a hemisphere (the most spots ever counted on a day are some
// hundreds), and small enough that no sum of them overflows.
constexpr int32_t kMostCounted = 100000;

std::string CountProblem(const HemisphereCount& c, const char* half) {
    if (c.groups > kMostCounted || c.spots > kMostCounted)
        return std::string("more than ") + std::to_string(kMostCounted) +
               " groups or spots in the " + half;
    if (c.groups < 0 || c.spots < 0)
        return std::string("a negative count in the ") + half + " (g " + std::to_string(c.groups) +
               ", s " + std::to_string(c.spots) + ")";
    if (c.spots < c.groups)
        return std::string("fewer spots than groups in the ") + half + " (g " +
               std::to_string(c.groups) + ", s " + std::to_string(c.spots) +
               "): every group has a spot at least";
    if (c.groups == 0 && c.spots > 0)
        return std::string("spots without a group in the ") + half + " (s " +
               std::to_string(c.spots) + ")";
    return "";
}

std::string WolfProblem(const std::optional<int64_t>& stated, int64_t counted, const char* what) {
    if (!stated || *stated == counted) return "";
    return std::string("the ") + what + " given, " + std::to_string(*stated) +
           ", is not 10 g + s = " + std::to_string(counted);
}

std::string GroupProblem(const ObservedGroup& g) {
    const std::string which = "group " + std::to_string(g.number);
    if (g.spots < 1) return which + " has no spot";
    if (g.spots > kMostCounted) return which + " has more spots than a group can";
    if (g.latitude && !(std::fabs(*g.latitude) <= 90))
        return which + "'s latitude is not within -90..90";
    // A group on the equator is counted on the side the observer gives.
    if (g.latitude && *g.latitude != 0 && (*g.latitude > 0) != g.north)
        return which + "'s latitude lies in the other hemisphere";
    if (g.longitude && !(*g.longitude >= 0 && *g.longitude < 360))
        return which + "'s Carrington longitude is not within 0..360";
    if (g.areaMsh && !(*g.areaMsh >= 0 && *g.areaMsh <= 1e6))
        return which + "'s area is not within 0..1000000 millionths";
    if (!g.mcintosh.empty() && !IsMcIntoshClass(g.mcintosh))
        return which + "'s class '" + g.mcintosh + "' is no McIntosh class";
    if (g.noaa && *g.noaa <= 0) return which + "'s NOAA number is not a region number";
    return "";
}

} // namespace

std::string DayText(const CalendarDay& d) {
    return std::to_string(d.year) + "-" + TwoDigits(d.month) + "-" + TwoDigits(d.day);
}

std::optional<CalendarDay> ParseDayText(std::string_view text) {
    constexpr std::size_t kLength = 10;
    if (text.size() != kLength || text[4] != '-' || text[7] != '-') return std::nullopt;
    const auto digits = [&text](std::size_t from, std::size_t n) -> std::optional<int32_t> {
        for (std::size_t i = from; i < from + n; ++i) {
            if (text[i] < '0' || text[i] > '9') return std::nullopt;
        }
        return ParseInt32(text.substr(from, n));
    };
    const auto y = digits(0, 4), m = digits(5, 2), d = digits(8, 2);
    constexpr int32_t kMonths = 12;
    if (!y || !m || !d || *m < 1 || *m > kMonths || *d < 1 || *d > DaysInMonth(*y, *m))
        return std::nullopt;
    return CalendarDay{*y, *m, *d};
}

std::optional<Instant> ParseIsoInstant(std::string_view text) {
    constexpr std::size_t kLength = 20;
    if (text.size() != kLength || text[10] != 'T' || text[13] != ':' || text[16] != ':' ||
        text[19] != 'Z')
        return std::nullopt;
    const auto day = ParseDayText(text.substr(0, 10));
    const auto two = [&text](std::size_t at) -> std::optional<int32_t> {
        if (text[at] < '0' || text[at] > '9' || text[at + 1] < '0' || text[at + 1] > '9')
            return std::nullopt;
        return (text[at] - '0') * 10 + (text[at + 1] - '0');
    };
    const auto h = two(11), m = two(14), s = two(17);
    constexpr int32_t kHours = 24, kSixty = 60;
    if (!day || !h || !m || !s || *h >= kHours || *m >= kSixty || *s >= kSixty) return std::nullopt;
    return Instant{day->year, day->month, day->day, *h, *m, *s};
}

std::string_view MethodName(ObservationMethod method) {
    switch (method) {
    case ObservationMethod::Picture:
        return "picture";
    case ObservationMethod::Drawing:
        return "drawing";
    case ObservationMethod::Visual:
        break;
    }
    return "visual";
}

std::optional<ObservationMethod> MethodOfName(std::string_view name) {
    for (const ObservationMethod m :
         {ObservationMethod::Picture, ObservationMethod::Drawing, ObservationMethod::Visual}) {
        if (MethodName(m) == name) return m;
    }
    return std::nullopt;
}

std::string ObservationProblem(const SunspotObservation& o, const CalendarDay& today) {
    const Instant& t = o.instant;
    constexpr int32_t kMonths = 12, kHours = 24, kMinutes = 60, kSeconds = 60;
    if (t.year < kFirstSupportedYear || t.year > kLastSupportedYear || t.month < 1 ||
        t.month > kMonths || t.day < 1 || t.day > DaysInMonth(t.year, t.month) || t.hour < 0 ||
        t.hour >= kHours || t.minute < 0 || t.minute >= kMinutes || t.second < 0 ||
        t.second >= kSeconds)
        return "the instant is not a time of day of a date from " +
               std::to_string(kFirstSupportedYear) + " to " + std::to_string(kLastSupportedYear);
    if (DayOf(t) > today)
        return "the observation is dated " + DayText(DayOf(t)) + ", after today (" +
               DayText(today) + ")";
    if (o.seeing && (*o.seeing < kBestSeeing || *o.seeing > kWorstSeeing))
        return "the seeing " + std::to_string(*o.seeing) + " is not within 1..5";
    for (const auto& [text, what, longest] :
         {std::tuple{&o.observer, "observer's code", kLongestLabel},
          std::tuple{&o.site, "site", kLongestLabel},
          std::tuple{&o.instrument, "instrument", kLongestLabel},
          std::tuple{&o.picture, "picture's name", kLongestPictureName},
          std::tuple{&o.fingerprint, "fingerprint", kLongestLabel}}) {
        if (std::string p = LabelProblem(*text, what, longest); !p.empty()) return p;
    }
    if (o.method == ObservationMethod::Picture && o.picture.empty())
        return "an observation from a picture needs the picture's name";
    for (const auto& [count, half] : {std::pair{&o.north, "north"}, std::pair{&o.south, "south"}}) {
        if (std::string p = CountProblem(*count, half); !p.empty()) return p;
    }
    for (const auto& [stated, counted, what] :
         {std::tuple{o.statedWolf, o.Wolf(), "Wolf number"},
          std::tuple{o.statedWolfNorth, o.north.Wolf(), "northern Wolf number"},
          std::tuple{o.statedWolfSouth, o.south.Wolf(), "southern Wolf number"}}) {
        if (std::string p = WolfProblem(stated, counted, what); !p.empty()) return p;
    }
    if (o.groups.empty()) return "";
    std::set<int32_t> numbers;
    for (const ObservedGroup& g : o.groups) {
        if (std::string p = GroupProblem(g); !p.empty()) return p;
        if (g.number > 0 && !numbers.insert(g.number).second)
            return "two groups are numbered " + std::to_string(g.number);
    }
    SunspotObservation listed;
    listed.groups = o.groups;
    CountGroups(listed);
    const HemisphereCount& listedNorth = listed.north;
    const HemisphereCount& listedSouth = listed.south;
    if (listedNorth != o.north || listedSouth != o.south)
        return "the groups listed (north " + std::to_string(listedNorth.groups) + " with " +
               std::to_string(listedNorth.spots) + " spots, south " +
               std::to_string(listedSouth.groups) + " with " + std::to_string(listedSouth.spots) +
               ") are not the counts given (north g " + std::to_string(o.north.groups) + ", s " +
               std::to_string(o.north.spots) + ", south g " + std::to_string(o.south.groups) +
               ", s " + std::to_string(o.south.spots) + ")";
    return "";
}

void CountGroups(SunspotObservation& o) {
    // Summed wide and held at the largest count, which no observation passes.
    int64_t groups[2] = {0, 0}, spots[2] = {0, 0};
    for (const ObservedGroup& g : o.groups) {
        const std::size_t half = g.north ? 0 : 1;
        ++groups[half];
        spots[half] += std::max<int64_t>(0, g.spots);
    }
    const auto held = [](int64_t v) {
        return static_cast<int32_t>(std::min<int64_t>(v, std::numeric_limits<int32_t>::max()));
    };
    o.north = {held(groups[0]), held(spots[0])};
    o.south = {held(groups[1]), held(spots[1])};
}

std::string PictureFingerprint(std::string_view bytes) {
    // FNV-1a's 64-bit offset basis and prime (Fowler, Noll and Vo).
    uint64_t hash = 0xcbf29ce484222325ULL;
    constexpr uint64_t kPrime = 0x100000001b3ULL;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= kPrime;
    }
    constexpr char kHex[] = "0123456789abcdef";
    std::string hex(16, '0');
    for (int i = 15; i >= 0; --i) {
        hex[static_cast<std::size_t>(i)] = kHex[hash & 0xF];
        hash >>= 4;
    }
    return "fnv1a64:" + hex + ":" + std::to_string(bytes.size());
}

std::string PictureFingerprintOfFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "";
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return in.bad() ? "" : PictureFingerprint(bytes);
}

} // namespace zorva
