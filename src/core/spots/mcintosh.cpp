// A group's McIntosh class read from its spots as an observer reads it at the eyepiece:
// which spots have a penumbra, how far the group reaches, what lies between its leader and
// its follower.
#include "core/spots/mcintosh.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "core/common/angles.h"
#include "core/spots/spot_groups.h"

namespace zorva {

namespace {

using namespace degrees;

// A group whose spots all lie within this of each other is unipolar (McIntosh 1990).
constexpr double kUnipolarSpan = 3.0;
// The longitudinal extents that part D from E and E from F (McIntosh 1990).
constexpr double kLongestD = 10.0;
constexpr double kLongestE = 15.0;
// A penumbra up to this across is small (McIntosh 1990).
constexpr double kSmallPenumbra = 2.5;
// A mature spot's penumbra covers about four times its umbra (the umbra is a fifth of the
// spot). A picture's blur spreads an umbra into a ring of penumbral darkness, so a spot
// counts as having a mature penumbra when the penumbra is at least 1.5 times the umbra
// (0.6 of the spot), and a rudimentary one from 0.3 of the spot.
constexpr double kMaturePenumbraShare = 0.6;
constexpr double kRudimentaryPenumbraShare = 0.3;
// Pores reach about 7 Mm across, some 12 millionths of the hemisphere: a smaller spot's
// dark ring is the blur of a pore as often as a penumbra, and counts as rudimentary at most.
constexpr double kLargestPoreMsh = 12.0;
// A penumbra whose outline, seen face-on, is no more than this much longer than it is wide
// and holds one umbra is symmetric.
constexpr double kSymmetricAxisRatio = 1.5;
// Between the leader and the follower: this many spots make an intermediate or compact
// distribution; two will do when one of them has a mature penumbra.
constexpr int32_t kManyInterior = 3;
constexpr int32_t kCompactInterior = 2;

// Longitude of `l` relative to `origin`, within -180..180.
double Relative(double l, double origin) {
    double d = std::fmod(l - origin, kFullCircle);
    if (d > kHalfCircle) d -= kFullCircle;
    if (d <= -kHalfCircle) d += kFullCircle;
    return d;
}

char PenumbraLetter(const ClassifiedSpot& largest) {
    if (PenumbraOf(largest) == PenumbraKind::Rudimentary) return 'r';
    const double area = std::max(largest.patchMsh, largest.areaMsh);
    const bool large = 2 * SpotRadiusDegrees(area) > kSmallPenumbra;
    const bool symmetric = largest.patchSpots <= 1 && largest.patchAxisRatio <= kSymmetricAxisRatio;
    if (large) return symmetric ? 'h' : 'k';
    return symmetric ? 's' : 'a';
}

// The axis ratio of a closed polygon from its second moments (the shoelace sums); 0 for a
// polygon with no area.
double AxisRatio(const Outline& outline) {
    const std::size_t n = outline.size();
    double a = 0, cx = 0, cy = 0, xx = 0, yy = 0, xy = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double x0 = outline[i].x, y0 = outline[i].y;
        const double x1 = outline[(i + 1) % n].x, y1 = outline[(i + 1) % n].y;
        const double cross = x0 * y1 - x1 * y0;
        a += cross;
        cx += (x0 + x1) * cross;
        cy += (y0 + y1) * cross;
        xx += (x0 * x0 + x0 * x1 + x1 * x1) * cross;
        yy += (y0 * y0 + y0 * y1 + y1 * y1) * cross;
        xy += (x0 * y1 + 2 * x0 * y0 + 2 * x1 * y1 + x1 * y0) * cross;
    }
    a /= 2;
    constexpr double kNoArea = 0.5; // pixels: a line of pixels, or a single one
    if (std::fabs(a) < kNoArea) return 0;
    cx /= 6 * a;
    cy /= 6 * a;
    const double mxx = xx / (12 * a) - cx * cx;
    const double myy = yy / (12 * a) - cy * cy;
    const double mxy = xy / (24 * a) - cx * cy;
    const double half = (mxx + myy) / 2;
    const double root = std::sqrt(std::max(0.0, (mxx - myy) * (mxx - myy) / 4 + mxy * mxy));
    const double low = half - root, high = half + root;
    if (!(low > 0)) return 0;
    return std::sqrt(high / low);
}

} // namespace

PenumbraKind PenumbraOf(const ClassifiedSpot& spot) {
    if (!(spot.areaMsh > 0)) return PenumbraKind::None;
    // A dark patch without an umbra larger than any pore is a penumbra whose umbra the
    // picture does not resolve, or one whose umbra has gone.
    if (!(spot.umbraMsh > 0))
        return spot.areaMsh >= kLargestPoreMsh ? PenumbraKind::Mature : PenumbraKind::None;
    const double share = (spot.areaMsh - spot.umbraMsh) / spot.areaMsh;
    if (share < kRudimentaryPenumbraShare) return PenumbraKind::None;
    if (share < kMaturePenumbraShare || spot.areaMsh < kLargestPoreMsh)
        return PenumbraKind::Rudimentary;
    return PenumbraKind::Mature;
}

std::string McIntoshClass(const std::vector<ClassifiedSpot>& spots) {
    if (spots.empty()) return "";
    // Longitudes against the first spot's, so a group across 0/360 stays whole; they grow
    // westward, towards the leader.
    std::vector<double> along;
    for (const ClassifiedSpot& s : spots)
        along.push_back(Relative(s.longitude, spots[0].longitude));
    double span = 0;
    for (std::size_t i = 0; i < spots.size(); ++i) {
        for (std::size_t j = i + 1; j < spots.size(); ++j) {
            span = std::max(span, HeliographicDistance(spots[i].latitude, spots[i].longitude,
                                                       spots[j].latitude, spots[j].longitude));
        }
    }
    const bool unipolar = span <= kUnipolarSpan;
    const auto [west, east] = std::minmax_element(along.begin(), along.end());
    const double mid = (*west + *east) / 2;
    const double extent = *east - *west;

    // The penumbral spots and the largest of them; the ends they lie at.
    const ClassifiedSpot* largest = nullptr;
    bool leading = false, following = false;
    for (std::size_t i = 0; i < spots.size(); ++i) {
        if (PenumbraOf(spots[i]) == PenumbraKind::None) continue;
        if (!largest || spots[i].areaMsh > largest->areaMsh) largest = &spots[i];
        (along[i] >= mid ? leading : following) = true;
    }
    std::string mcintosh(3, 'x');
    if (!largest) {
        mcintosh[0] = unipolar ? 'A' : 'B';
    } else if (unipolar) {
        mcintosh[0] = 'H';
    } else if (!(leading && following)) {
        mcintosh[0] = 'C';
    } else {
        mcintosh[0] = extent <= kLongestD ? 'D' : extent <= kLongestE ? 'E' : 'F';
    }
    if (largest) mcintosh[1] = PenumbraLetter(*largest);
    if (unipolar) return mcintosh;

    // The leader and the follower: the largest spot of each half; what lies between them
    // is the interior.
    std::size_t leader = 0, follower = 0;
    bool haveLeader = false, haveFollower = false;
    for (std::size_t i = 0; i < spots.size(); ++i) {
        bool& have = along[i] >= mid ? haveLeader : haveFollower;
        std::size_t& principal = along[i] >= mid ? leader : follower;
        if (!have || spots[i].areaMsh > spots[principal].areaMsh) principal = i;
        have = true;
    }
    int32_t interior = 0;
    bool interiorPenumbra = false;
    for (std::size_t i = 0; i < spots.size(); ++i) {
        if (i == leader || i == follower) continue;
        if (along[i] > along[follower] && along[i] < along[leader]) {
            ++interior;
            interiorPenumbra = interiorPenumbra || PenumbraOf(spots[i]) == PenumbraKind::Mature;
        }
    }
    if (interiorPenumbra && interior >= kCompactInterior) {
        mcintosh[2] = 'c';
    } else if (interior >= kManyInterior) {
        mcintosh[2] = 'i';
    } else {
        mcintosh[2] = 'o';
    }
    return mcintosh;
}

void ClassifyGroups(SpotDetection& detection) {
    std::map<int32_t, std::vector<ClassifiedSpot>> byGroup;
    for (const DetectedSpot& s : detection.spots) {
        ClassifiedSpot c{s.latitude, s.longitude, s.areaMsh, s.umbraMsh, 0, 1, 0};
        const auto patch = static_cast<std::size_t>(s.patch);
        if (s.patch >= 0 && patch < detection.patches.size()) {
            const SpotPatch& p = detection.patches[patch];
            c.patchMsh = p.areaMsh;
            c.patchSpots = std::max<int32_t>(1, static_cast<int32_t>(p.spots.size()));
            // Foreshortening narrows a spot by mu along the disk's radius, which the group
            // does not know: the ratio seen is taken down by mu, so that a round spot near
            // the limb stays round.
            const double seen = AxisRatio(p.outline);
            c.patchAxisRatio = seen > 0 ? std::max(1.0, seen * std::clamp(s.mu, 0.0, 1.0)) : 0;
        }
        byGroup[s.group].push_back(c);
    }
    for (SpotGroup& g : detection.groups)
        g.mcintosh = McIntoshClass(byGroup[g.id]);
}

bool IsMcIntoshClass(const std::string& text) {
    if (text.size() != 3) return false;
    const std::string_view zurich = "ABCDEFH", penumbra = "xrsahk", compact = "xoic";
    if (zurich.find(text[0]) == std::string_view::npos ||
        penumbra.find(text[1]) == std::string_view::npos ||
        compact.find(text[2]) == std::string_view::npos)
        return false;
    const bool noPenumbra = text[0] == 'A' || text[0] == 'B';
    const bool unipolar = text[0] == 'A' || text[0] == 'H';
    if (noPenumbra != (text[1] == 'x')) return false;
    if (unipolar != (text[2] == 'x')) return false;
    // A compact distribution needs an interior spot with a penumbra.
    return !(text[0] == 'B' && text[2] == 'c');
}

} // namespace zorva
