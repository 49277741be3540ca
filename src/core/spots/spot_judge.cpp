// Whether a dark patch is a sunspot: a feature of the Sun is darker than the quiet Sun
// beyond the picture's own noise, blurred by the optics as everything the picture shows
// is, dark in every colour, and no larger than the largest group ever seen. What fails is
// a fault of the camera, dust, a stain, noise or shading, and is said so.
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "core/spots/spot_search.h"

namespace zorva::spots {

namespace {

// A line one pixel thick and this long or longer is a scan or transfer line, not a spot.
constexpr int32_t kLineLength = 4;
// The largest sunspot group on record covered 6132 millionths of the hemisphere (April
// 1947, in the Royal Greenwich Observatory's photoheliographic results); a dark patch
// larger than that is not a sunspot.
constexpr double kLargestGroupMsh = 6132;
// The blur a judgement allows for is this share of the blur measured, so that a spot is
// not refused for an error in that measure; and a step is too steep only past the middle
// between the steepest the blur lets through and a step of the whole depth, the step of
// a single pixel beside normal ones (a compressed picture's ringing steepens a real one).
constexpr double kBlurAllowance = 0.75;
// Noise may steepen a step between two pixels by this many times its spread.
constexpr double kStepNoise = 3.0;
// A colour channel shows a spot when its level at the quiet Sun is between these (too dark
// a channel has no room to fall, a saturated one hides the fall), and falls by at least
// this share of what a channel darkened as the grey would, or of the largest fall of the
// other channels.
constexpr double kDimmestChannel = 16;
constexpr double kBrightestChannel = 250;
constexpr double kChannelShare = 0.25;

double NormalBelow(double x) {
    return 0.5 * std::erfc(-x / std::numbers::sqrt2);
}

// The largest share of its depth by which the darkness of a feature can step from one
// pixel to the next through a Gaussian blur of `sigma` pixels: that of a point, the
// sharpest thing a picture can show, from its centre pixel to the next one.
double SharpestStep(double sigma) {
    if (!(sigma > 0)) return 1;
    const double centre = 2 * NormalBelow(0.5 / sigma) - 1;
    const double next = NormalBelow(1.5 / sigma) - NormalBelow(0.5 / sigma);
    return centre > 0 ? 1 - next / centre : 1;
}

// The patch's surroundings, one pixel wider than its box, as ratios to the quiet Sun
// (RatioAround's), and whether each pixel is the patch's.
struct Surroundings {
    cv::Rect box; // in the picture
    const cv::Mat& ratio;
    cv::Mat mine;
};
Surroundings Around(const PatchFacts& f) {
    Surroundings a{cv::Rect(f.box.x - 1, f.box.y - 1, f.box.width + 2, f.box.height + 2), f.around,
                   cv::Mat(f.box.height + 2, f.box.width + 2, CV_8U, cv::Scalar(0))};
    f.inPatch.copyTo(a.mine(cv::Rect(1, 1, f.box.width, f.box.height)));
    return a;
}

// The darkest mean of three pixels by three about a pixel of the patch, as a ratio; the
// pixels of the block beyond the searched disk are left out of its mean.
double DarkestBlock(const Surroundings& a) {
    double darkest = 1;
    for (int32_t j = 1; j + 1 < a.box.height; ++j) {
        for (int32_t i = 1; i + 1 < a.box.width; ++i) {
            if (!a.mine.at<uint8_t>(j, i)) continue;
            double sum = 0;
            int32_t count = 0;
            for (int32_t dj = -1; dj <= 1; ++dj) {
                for (int32_t di = -1; di <= 1; ++di) {
                    const float v = a.ratio.at<float>(j + dj, i + di);
                    if (std::isnan(v)) continue;
                    sum += v;
                    ++count;
                }
            }
            // Only with most of the block there: a block cut to a few pixels averages nothing.
            constexpr int32_t kMostOfABlock = 6;
            if (count >= kMostOfABlock) darkest = std::min(darkest, sum / count);
        }
    }
    return darkest;
}

// The largest fall in darkness from a pixel of the patch to a neighbour outside it; a
// neighbour brighter than the quiet Sun (a facula beside a spot) counts as the quiet Sun,
// as the spot's own darkness is all a step of it can show.
double SteepestEdgeStep(const Surroundings& a) {
    double steepest = 0;
    constexpr int32_t kNeighbours[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (int32_t j = 1; j + 1 < a.box.height; ++j) {
        for (int32_t i = 1; i + 1 < a.box.width; ++i) {
            if (!a.mine.at<uint8_t>(j, i)) continue;
            const float inside = a.ratio.at<float>(j, i);
            for (const auto& n : kNeighbours) {
                if (a.mine.at<uint8_t>(j + n[1], i + n[0])) continue;
                const float outside = std::min(1.0F, a.ratio.at<float>(j + n[1], i + n[0]));
                if (std::isnan(outside)) continue;
                steepest = std::max<double>(steepest, outside - inside);
            }
        }
    }
    return steepest;
}

// Whether every colour channel with room to show it falls in the patch: the channels'
// levels in its darker half against their medians round it, beyond the blur's reach.
bool DarkInEveryColour(const Search& s, const PatchFacts& f) {
    const PixelGrid& p = s.picture;
    if (p.Layout() != PixelLayout::Xrgb32 || p.Width() != s.grey.cols || p.Height() != s.grey.rows)
        return true;
    // The darker half of the patch.
    std::vector<float> ratios;
    for (int32_t j = 0; j < f.box.height; ++j)
        for (int32_t i = 0; i < f.box.width; ++i)
            if (f.inPatch.at<uint8_t>(j, i)) ratios.push_back(f.ratio.at<float>(j, i));
    const auto middle = ratios.begin() + static_cast<std::ptrdiff_t>(ratios.size() / 2);
    std::nth_element(ratios.begin(), middle, ratios.end());
    const float half = *middle;
    std::array<double, 4> core{}; // red, green, blue, grey
    int32_t coreCount = 0;
    for (int32_t j = 0; j < f.box.height; ++j) {
        for (int32_t i = 0; i < f.box.width; ++i) {
            if (!f.inPatch.at<uint8_t>(j, i) || f.ratio.at<float>(j, i) > half) continue;
            const int32_t x = f.box.x + i, y = f.box.y + j;
            const int32_t v = p.At(x, y);
            core[0] += PackedRed(v);
            core[1] += PackedGreen(v);
            core[2] += PackedBlue(v);
            core[3] += s.grey.at<uint8_t>(y, x);
            ++coreCount;
        }
    }
    // The ring round the patch, clear of its blur and of other dark pixels.
    const int32_t margin = std::max(3, static_cast<int32_t>(std::ceil(3 * s.measures.blur)) + 1);
    const cv::Rect ring = cv::Rect(f.box.x - 2 * margin, f.box.y - 2 * margin,
                                   f.box.width + 4 * margin, f.box.height + 4 * margin) &
                          cv::Rect(0, 0, s.grey.cols, s.grey.rows);
    std::array<std::vector<int32_t>, 4> quiet;
    for (int32_t y = ring.y; y < ring.y + ring.height; ++y) {
        for (int32_t x = ring.x; x < ring.x + ring.width; ++x) {
            const bool nearPatch = x >= f.box.x - margin && x < f.box.x + f.box.width + margin &&
                                   y >= f.box.y - margin && y < f.box.y + f.box.height + margin;
            if (nearPatch || s.dark.at<uint8_t>(y, x)) continue;
            if (!s.disk.Searched(x, y)) continue;
            const int32_t v = p.At(x, y);
            quiet[0].push_back(PackedRed(v));
            quiet[1].push_back(PackedGreen(v));
            quiet[2].push_back(PackedBlue(v));
            quiet[3].push_back(s.grey.at<uint8_t>(y, x));
        }
    }
    constexpr std::size_t kFewestQuiet = 8;
    if (coreCount == 0 || quiet[3].size() < kFewestQuiet) return true;
    std::array<double, 4> level{}, fall{};
    for (std::size_t c = 0; c < 4; ++c) {
        auto& q = quiet[c];
        const auto m = q.begin() + static_cast<std::ptrdiff_t>(q.size() / 2);
        std::nth_element(q.begin(), m, q.end());
        level[c] = *m;
        fall[c] = level[c] - core[c] / coreCount;
    }
    const double greyDepth = level[3] > 0 ? fall[3] / level[3] : 0;
    double largestFall = 0;
    int32_t usable = 0;
    const auto usableChannel = [&](std::size_t c) {
        return level[c] >= kDimmestChannel && level[c] <= kBrightestChannel;
    };
    for (std::size_t c = 0; c < 3; ++c) {
        if (!usableChannel(c)) continue;
        ++usable;
        largestFall = std::max(largestFall, fall[c]);
    }
    if (usable < 2 || !(greyDepth > 0)) return true;
    for (std::size_t c = 0; c < 3; ++c) {
        if (!usableChannel(c)) continue;
        const bool asGrey = fall[c] >= kChannelShare * greyDepth * level[c];
        const bool asOthers = fall[c] >= kChannelShare * largestFall;
        if (!asGrey && !asOthers) return false;
    }
    return true;
}

// Whether the patch runs into the band at the limb (a pixel of it has, two pixels further
// out from the disk's centre, a place on the disk that is not searched) with its darkest
// point at the band's edge, within the blur's reach of it or a pixel.
bool DeepensIntoTheLimb(const Search& s, const PatchFacts& f) {
    constexpr double kOut = 2.0;
    const auto outward = [&](double x, double y, double by) {
        const double dx = x - s.disk.cx, dy = y - s.disk.cy;
        const double d = std::hypot(dx, dy);
        const double outX = x + by * dx / std::max(d, 1.0), outY = y + by * dy / std::max(d, 1.0);
        const bool inPicture =
            outX >= 0 && outY >= 0 && outX <= s.grey.cols - 1 && outY <= s.grey.rows - 1;
        return inPicture && !s.disk.Searched(outX, outY);
    };
    bool runs = false;
    for (int32_t j = 0; j < f.box.height && !runs; ++j) {
        for (int32_t i = 0; i < f.box.width && !runs; ++i) {
            if (f.inPatch.at<uint8_t>(j, i)) runs = outward(f.box.x + i, f.box.y + j, kOut);
        }
    }
    if (!runs) return false;
    const double reach = std::max(1.0, s.measures.blur);
    return outward(f.darkestX, f.darkestY, reach);
}

} // namespace

std::optional<std::string> JudgePatch(const Search& s, const PatchFacts& f) {
    const SpotOptions& o = s.options;
    if (std::min(f.box.width, f.box.height) == 1 &&
        std::max(f.box.width, f.box.height) >= kLineLength)
        return "a line one pixel wide: a fault of the camera or the transfer";
    if (f.areaMsh > kLargestGroupMsh)
        return "larger than any sunspot group ever seen: shading, a stain or cloud";

    const Surroundings around = Around(f);
    // Noise: the patch's darkest mean of nine pixels, plain or weighted as the blur spreads
    // a point, must lie further below the quiet Sun than the spread of such means allows by
    // chance. The plain mean tells a spot larger than the blur, the weighted one a pore no
    // larger: where the picture's noise is shared by neighbouring pixels, a plain mean
    // waters a pore down more than it quiets the noise. Noise is no feature worth a word.
    const double spread = f.spread;
    const double block = DarkestBlock(around);
    if (1 - block < o.significance * spread * s.measures.blockSpread &&
        1 - f.darkestPoint < o.significance * spread * s.measures.pointSpread)
        return std::string();
    if (f.highestGrey == f.lowestGrey && f.pixels > 1)
        return "of one grey level throughout: a fault of the camera, or dust";

    // The blur: no step from the patch to the quiet Sun beside it is steeper than the
    // optics let through.
    const double depth = 1 - f.darkest;
    const double sharpest = SharpestStep(kBlurAllowance * s.measures.blur);
    const double allowed = depth * (1 + sharpest) / 2 + kStepNoise * std::numbers::sqrt2 * spread;
    if (SteepestEdgeStep(around) > allowed)
        return "sharper than the picture's blur: a fault of the camera, not the Sun";

    if (!DarkInEveryColour(s, f)) return "dark in one colour only: a stain, not a spot";

    // A spot near the limb is darkest within it, with quiet Sun on its limb side too;
    // darkness that deepens on into the band left out at the limb is the limb's own
    // shading.
    if (DeepensIntoTheLimb(s, f)) return "deepens into the limb: the limb's shading, not a spot";

    // Near the limb the level the spot is measured against falls steeply, and a small error
    // of the disk or the level makes a dark rim: a spot there must show a pore's contrast
    // over the blur's reach, against the limb's own level at its distance from the centre.
    const double dx = f.darkestX - s.disk.cx, dy = f.darkestY - s.disk.cy;
    const double squared = dx * dx + dy * dy;
    if (squared > s.measures.limbReachSquared) {
        const double ring = s.quiet.RingBetween(squared) * f.local.At(f.darkestX, f.darkestY);
        const double grey = s.grey.at<uint8_t>(f.darkestY, f.darkestX) - s.quiet.Sky();
        if (1 - block < o.poreContrast || (ring > 0 && 1 - grey / ring < o.poreContrast))
            return "no darker than the limb's own shading";
    }
    return std::nullopt;
}

} // namespace zorva::spots
