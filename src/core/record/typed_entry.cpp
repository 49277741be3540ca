// Counts typed at the eyepiece, read with the reason for anything that cannot be read, and
// a group's class corrected by the observer.
#include "core/record/typed_entry.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/spots/mcintosh.h"
#include "core/text/parse.h"

namespace zorva {

namespace {

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string Upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

// A whole number of degrees of at most two digits and at most `most`.
std::optional<int32_t> Degrees(std::string_view text, int32_t most) {
    if (text.empty() || text.size() > 2 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const auto v = ParseInt32(text);
    if (!v || *v > most) return std::nullopt;
    return v;
}

} // namespace

std::string ReadGroupPlace(std::string_view text, double l0, ObservedGroup& group) {
    const std::string place = Upper(Trimmed(text));
    const std::string refusal = "the place '" + std::string(Trimmed(text)) +
                                "' is not N or S, a latitude as N14, or a place as N14W23";
    if (place.empty() || (place[0] != 'N' && place[0] != 'S')) return refusal;
    const bool north = place[0] == 'N';
    std::optional<double> latitude, longitude;
    if (place.size() > 1) {
        constexpr int32_t kPole = 90, kLimb = 90;
        const std::size_t side = place.find_first_of("EW", 1);
        const auto lat = Degrees(std::string_view(place).substr(
                                     1, side == std::string::npos ? std::string::npos : side - 1),
                                 kPole);
        if (!lat) return refusal;
        latitude = north ? *lat : -*lat;
        if (side != std::string::npos) {
            const auto cmd = Degrees(std::string_view(place).substr(side + 1), kLimb);
            if (!cmd) return refusal;
            const double west = place[side] == 'W' ? *cmd : -*cmd;
            constexpr double kCircle = 360;
            double at = std::fmod(l0 + west, kCircle);
            if (at < 0) at += kCircle;
            // fmod of a hair below zero, pushed up, can give 360 itself.
            longitude = at >= kCircle ? 0 : at;
        }
    }
    group.north = north;
    group.latitude = latitude;
    group.longitude = longitude;
    return "";
}

bool TypedGroup::Blank() const {
    return Trimmed(place).empty() && Trimmed(spots).empty() && Trimmed(mcintosh).empty() &&
           Trimmed(noaa).empty();
}

TypedRead ReadTypedCounts(const TypedCounts& typed, double l0, const CalendarDay& today) {
    TypedRead read;
    SunspotObservation o;
    o.instant = typed.instant;
    o.instantSource = std::string(TypedInstantSource);
    o.method = typed.method;
    o.observer = std::string(Trimmed(typed.observer));
    o.site = std::string(Trimmed(typed.site));
    o.instrument = std::string(Trimmed(typed.instrument));
    o.seeing = typed.seeing;
    o.north = typed.north;
    o.south = typed.south;
    if (const std::string_view wolf = Trimmed(typed.wolf); !wolf.empty()) {
        const auto r = ParseInt64(wolf);
        if (!r) {
            read.problem = "R '" + std::string(wolf) + "' is not a whole number";
            return read;
        }
        o.statedWolf = *r;
    }
    int32_t number = 0;
    for (const TypedGroup& t : typed.groups) {
        if (t.Blank()) continue;
        ObservedGroup g;
        g.number = ++number;
        const std::string which = "group " + std::to_string(g.number) + ": ";
        if (std::string p = ReadGroupPlace(t.place, l0, g); !p.empty()) {
            read.problem = which + p;
            return read;
        }
        const auto spots = ParseInt32(Trimmed(t.spots));
        if (!spots) {
            read.problem =
                which + "the spots '" + std::string(Trimmed(t.spots)) + "' are not a whole number";
            return read;
        }
        g.spots = *spots;
        g.mcintosh = std::string(Trimmed(t.mcintosh));
        g.classReviewed = !g.mcintosh.empty();
        if (const std::string_view noaa = Trimmed(t.noaa); !noaa.empty()) {
            const auto n = ParseInt32(noaa);
            if (!n) {
                read.problem =
                    which + "the NOAA number '" + std::string(noaa) + "' is not a whole number";
                return read;
            }
            g.noaa = *n;
        }
        o.groups.push_back(std::move(g));
    }
    if (std::string p = ObservationProblem(o, today); !p.empty()) {
        read.problem = std::move(p);
        return read;
    }
    read.observation = std::move(o);
    return read;
}

std::string ReviewGroupClass(SunspotObservation& o, int32_t number, std::string_view mcintosh) {
    const auto g = std::find_if(o.groups.begin(), o.groups.end(),
                                [number](const ObservedGroup& x) { return x.number == number; });
    if (g == o.groups.end()) return "the observation has no group " + std::to_string(number);
    const std::string cls(Trimmed(mcintosh));
    if (!IsMcIntoshClass(cls))
        return "'" + cls +
               "' is no McIntosh class: a Zurich class A B C D E F or H, the largest spot's "
               "penumbra x r s a h or k, and the compactness x o i or c, as in Dso";
    g->mcintosh = cls;
    g->classReviewed = true;
    return "";
}

} // namespace zorva
