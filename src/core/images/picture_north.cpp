// Where north lies on a picture the user cannot say it of: from the Sun's drift with the
// drive off, or from the day's regions laid onto the groups found on it.
#include "core/images/picture_north.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/chart/projection.h"
#include "core/common/angles.h"
#include "core/spots/spot_types.h"

namespace zorva {

namespace {

using degrees::Atan2;
using degrees::Cos;
using degrees::Sin;

constexpr double kQuarter = 90;
constexpr double kFull = 360;

// A position on the disk: radial fraction and angle counter-clockwise from the picture's
// up, and its coordinates in disk radii (u to the right, v up).
struct Polar {
    double r = 0;
    double angle = 0;
    double u = 0;
    double v = 0;
};

Polar FromAngle(double r, double angle) {
    return {r, angle, -r * Sin(angle), r * Cos(angle)};
}

// The angle counter-clockwise from up of a direction (u to the right, v up).
double AngleOf(double u, double v) {
    return Degrees360(Atan2(-u, v));
}

struct Trial {
    double turn = 0;
    int32_t sense = 1; // +1: east counter-clockwise from north
    double cost = 0;
    int32_t matched = 0;
    double squares = 0;                                     // sum over the matched pairs
    std::vector<std::pair<std::size_t, std::size_t>> pairs; // group, region
};

// Each group paired with the nearest region still free, nearest pairs first; a group with
// no region within reach costs reach squared.
Trial Match(std::span<const Polar> groups, std::span<const RegionPlace> regions, double turn,
            int32_t sense, double reach) {
    Trial t;
    t.turn = Degrees360(turn);
    t.sense = sense;
    struct Pair {
        double d2;
        std::size_t g, r;
    };
    std::vector<Pair> near;
    const double reach2 = reach * reach;
    for (std::size_t j = 0; j < regions.size(); ++j) {
        const Polar q = FromAngle(regions[j].Disk.r, turn + sense * regions[j].Disk.pa);
        for (std::size_t i = 0; i < groups.size(); ++i) {
            const double du = groups[i].u - q.u, dv = groups[i].v - q.v;
            const double d2 = du * du + dv * dv;
            if (d2 < reach2) near.push_back({d2, i, j});
        }
    }
    std::sort(near.begin(), near.end(), [](const Pair& a, const Pair& b) { return a.d2 < b.d2; });
    std::vector<bool> groupTaken(groups.size()), regionTaken(regions.size());
    for (const Pair& p : near) {
        if (groupTaken[p.g] || regionTaken[p.r]) continue;
        groupTaken[p.g] = regionTaken[p.r] = true;
        t.pairs.emplace_back(p.g, p.r);
        t.squares += p.d2;
    }
    t.matched = static_cast<int32_t>(t.pairs.size());
    t.cost = t.squares + static_cast<double>(groups.size() - t.pairs.size()) * reach2;
    return t;
}

// The turn that lays the paired regions best onto their groups (least squares), matched
// again until the pairs settle.
Trial Refine(const Trial& start, std::span<const Polar> groups,
             std::span<const RegionPlace> regions, double reach) {
    constexpr int kRounds = 10;
    Trial t = start;
    for (int round = 0; round < kRounds && !t.pairs.empty(); ++round) {
        double s = 0, c = 0;
        for (const auto& [g, r] : t.pairs) {
            const double w = groups[g].r * regions[r].Disk.r;
            const double diff = groups[g].angle - t.sense * regions[r].Disk.pa;
            s += w * Sin(diff);
            c += w * Cos(diff);
        }
        const Trial next = Match(groups, regions, Atan2(s, c), t.sense, reach);
        const bool settled = next.pairs == t.pairs;
        if (next.cost > t.cost && !settled) break;
        t = next;
        if (settled) break;
    }
    return t;
}

double AngleBetween(double a, double b) {
    const double d = std::fmod(std::abs(a - b), kFull);
    return std::min(d, kFull - d);
}

} // namespace

double Degrees360(double degrees) {
    if (!std::isfinite(degrees)) return 0;
    double d = std::fmod(degrees, kFull);
    if (d < 0) d += kFull;
    return d >= kFull ? 0 : d;
}

SolarNorth NorthOfFrame(double q, int32_t flip, int32_t mirror) {
    // Drawn clockwise from up at the angle whose sine is mirror sin(pa + q) and cosine
    // flip cos(pa + q); counter-clockwise is its negative.
    const auto at = [&](double pa) {
        return Degrees360(-Atan2(mirror * Sin(pa + q), flip * Cos(pa + q)));
    };
    const double north = at(0);
    const bool asTheSky = std::abs(Degrees360(at(kQuarter) - north) - kQuarter) < 1;
    return {north, asTheSky ? EastSense::AsTheSky : EastSense::Mirrored};
}

SolarNorth NorthOnPicture(const PictureContext& picture, const ChartGeometry& chart,
                          const Ephemeris& ephemeris) {
    const ChartGeometry g = PictureGeometry(picture, chart);
    return NorthOfFrame(ChartRotation(g, ephemeris.P, ephemeris.ParallacticAngle), g.FlipSign,
                        g.MirrorSign);
}

PictureTurn TurnOfSolarNorth(const SolarNorth& north, OrientationSource source) {
    return {Orientation::RotationAxis, 1, static_cast<int32_t>(north.east), north.turn, source};
}

PictureTurn TurnOfCelestialNorth(double turn, EastSense east, OrientationSource source) {
    return {Orientation::Equatorial, 1, static_cast<int32_t>(east), Degrees360(turn), source};
}

double SolarEastTurn(const SolarNorth& north) {
    return Degrees360(north.turn + (north.east == EastSense::AsTheSky ? kQuarter : -kQuarter));
}

DriftNorth NorthFromDrift(double x1, double y1, double x2, double y2, EastSense east,
                          double shortest) {
    const double dx = x2 - x1, dy = y2 - y1;
    const double length = std::hypot(dx, dy);
    if (!(length >= shortest)) {
        return {std::nullopt, "the drift is " + std::to_string(std::lround(length)) +
                                  " px; it must be at least " +
                                  std::to_string(std::lround(shortest)) +
                                  " px long to show a direction"};
    }
    // The drift points west: with the sky as it is seen west lies a quarter turn clockwise
    // from north, mirrored a quarter turn counter-clockwise.
    const double west = AngleOf(dx, -dy);
    return {Degrees360(west + (east == EastSense::AsTheSky ? kQuarter : -kQuarter)), {}};
}

DriftNorth NorthFromTwoDisks(const Circle& earlier, const Circle& later, EastSense east) {
    constexpr double kLargestRadiusChange = 0.02;
    const double larger = std::max(earlier.r, later.r);
    if (!(larger > 0) || std::abs(earlier.r - later.r) > kLargestRadiusChange * larger) {
        return {std::nullopt, "the two disks differ in size, so the pictures are not of one "
                              "set-up"};
    }
    DriftNorth north = NorthFromDrift(earlier.cx, earlier.cy, later.cx, later.cy, east);
    if (!north.celestialNorthTurn) {
        north.error = "the disk moved too little between the pictures: " + north.error;
    }
    return north;
}

NorthSolution SolveNorthFromRegions(std::span<const SpotGroup> found, const Circle& disk,
                                    std::span<const RegionPlace> placed,
                                    const NorthSolveOptions& options) {
    NorthSolution out;
    std::vector<Polar> groups;
    for (const SpotGroup& g : found) {
        const double u = (g.x - disk.cx) / disk.r, v = (disk.cy - g.y) / disk.r;
        const double r = std::hypot(u, v);
        if (!(r <= 1)) continue;
        groups.push_back({r, AngleOf(u, v), u, v});
    }
    std::vector<RegionPlace> regions;
    for (const RegionPlace& p : placed) {
        if (p.Visible) regions.push_back(p);
    }
    out.groups = static_cast<int32_t>(groups.size());
    constexpr int32_t kFewest = 2;
    if (groups.size() < kFewest || regions.size() < kFewest) {
        out.error = "north cannot be solved from " + std::to_string(groups.size()) +
                    " groups and " + std::to_string(regions.size()) +
                    " regions on the disk: at least two of each are needed";
        return out;
    }
    const double step = options.step > 0 ? options.step : 1.0;
    std::vector<Trial> trials;
    for (const int32_t sense : {1, -1}) {
        for (double turn = 0; turn < kFull; turn += step)
            trials.push_back(Match(groups, regions, turn, sense, options.reach));
    }
    const auto better = [](const Trial& a, const Trial& b) {
        return a.cost < b.cost || (a.cost == b.cost && a.matched > b.matched);
    };
    const Trial first = *std::min_element(trials.begin(), trials.end(), better);
    const Trial best = Refine(first, groups, regions, options.reach);
    out.matched = best.matched;
    out.residual = best.matched > 0 ? std::sqrt(best.squares / best.matched) : 0;
    if (best.matched < kFewest) {
        out.error = "only " + std::to_string(best.matched) +
                    " group lies on a region of the summary at any turn; at least two must";
        return out;
    }
    // The best answer that is not this one: the other sense, or a turn well away.
    const Trial* rival = nullptr;
    for (const Trial& t : trials) {
        if (t.sense == best.sense && AngleBetween(t.turn, best.turn) <= options.apart) continue;
        if (rival == nullptr || better(t, *rival)) rival = &t;
    }
    if (rival != nullptr) {
        const Trial other = Refine(*rival, groups, regions, options.reach);
        const bool elsewhere =
            other.sense != best.sense || AngleBetween(other.turn, best.turn) > options.apart;
        const double reach2 = options.reach * options.reach;
        if (elsewhere && other.matched >= best.matched &&
            other.cost <= best.cost + options.margin * reach2) {
            out.error = "two answers fit the regions equally well (north at " +
                        std::to_string(std::lround(best.turn)) + " and at " +
                        std::to_string(std::lround(other.turn)) + " degrees" +
                        (other.sense != best.sense ? ", one of them mirrored" : "") + ")";
            return out;
        }
    }
    out.north = SolarNorth{best.turn, best.sense == 1 ? EastSense::AsTheSky : EastSense::Mirrored};
    return out;
}

} // namespace zorva
