#include "core/images/limb.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "core/common/angles.h"

namespace zorva {

namespace {

using degrees::Tan;

// A pixel brighter than grey 252 at (2, 2) means a light background.
constexpr int32_t kLightBackgroundAbove = 16581374; // 0xFD02FE
constexpr int32_t kCornerProbe = 2;
// The rays start this far inside the picture's border.
constexpr int32_t kBorderInset = 2;
// An edge this close to the border, the rays' start points included, is where the frame
// cuts the disk: the brightness was already past the threshold where the ray began.
constexpr int32_t kBorderMargin = kBorderInset + 1;
// A light-background edge must be this much darker than the border.
constexpr double kLightEdgeContrast = 1.05;
// The dark-background threshold is a fifth of the mean of the central tenth of the
// picture, or grey level 50 and a half when that box is black.
constexpr double kCentralBoxFrom = 0.45;
constexpr double kCentralBoxTo = 0.55;
constexpr int64_t kThresholdDivisor = 5;
constexpr int32_t kBlackCentreThreshold = 3316275;
// Two edges of one ray agree when they are less than this apart in x and in y.
constexpr int32_t kAgreement = 2;
// With fewer agreeing rays the search from the border is used alone.
constexpr int32_t kFewestAgreeingRays = 10;
// Outlier rejection: the tolerance shrinks from 10 to 2 pixels, one per round, and the
// rounds end once no edge lies more than 2 pixels off the circle.
constexpr double kDeviationGoal = 2;
constexpr double kDeviationBeforeFirstRound = 3;

// Edge search states of one ray in one pass.
constexpr int32_t kNothingFound = 0;
constexpr int32_t kDarkeningRun = 1;
constexpr int32_t kEdgeFound = LimbPointAccepted;

// Rays straight down, right, up and left are never searched.
constexpr int32_t kQuarterTurn = 90;

int32_t Trunc(double v) {
    return static_cast<int32_t>(std::trunc(v));
}
// floor(v + 0.5) for the pixel coordinates of a ray, which lie well within the integer
// range: the conversion cuts towards zero, one less below zero gives the floor. (The
// library's floor is a call per pixel on processors without a rounding instruction.)
int32_t RoundToPixel(double v) {
    const double half = v + 0.5;
    const auto cut = static_cast<int32_t>(half);
    return cut > half ? cut - 1 : cut;
}

// The pixels of one ray, from its start point near the border (k = 0) to the picture's
// centre (k = count - 1), worked out one at a time so a search that stops early costs no
// more. Pixels before `first` lie outside the picture; from `first` on every pixel lies
// inside, as both coordinates move steadily towards the centre. No pixels (count 0) for
// the rays that are not searched and for a line without a defined slope.
struct RayLine {
    bool alongY = false;
    int32_t start = 0; // x0 or y0, the stepped coordinate's first value
    int32_t step = 0;
    double m = 0;
    double b = 0;
    int32_t count = 0;
    int32_t first = 0;

    RayLine(int32_t ray, int32_t width, int32_t height) {
        if (ray <= 0 || ray >= static_cast<int32_t>(LimbRays) || ray % kQuarterTurn == 0) return;
        const int32_t cx0 = width / 2;
        const int32_t cy0 = height / 2;
        // The ray's angle runs from straight down towards increasing x. The rays nearer the
        // vertical step along y and meet the bottom or top border; the others step along x.
        alongY = ray <= 45 || ray >= 316 || (ray >= 136 && ray <= 225);
        int32_t x0 = 0;
        int32_t y0 = 0;
        if (ray <= 45 || ray >= 316) {
            y0 = height - kBorderInset;
            x0 = Trunc(Tan(ray) * (y0 - cy0) + cx0);
        } else if (ray <= 135) {
            x0 = width - kBorderInset;
            y0 = Trunc(Tan(90 - ray) * (x0 - cx0) + cy0);
        } else if (ray <= 225) {
            y0 = kBorderInset;
            x0 = Trunc(cx0 - Tan(180 - ray) * (y0 - cy0));
        } else {
            x0 = kBorderInset;
            y0 = Trunc(Tan(270 - ray) * (x0 - cx0) + cy0);
        }
        // A start point in the centre's column leaves the slope undefined; one in the
        // centre's row does the same for a ray stepping along y, which divides by it.
        if (x0 == cx0 || (alongY && y0 == cy0)) return;
        m = static_cast<double>(cy0 - y0) / static_cast<double>(cx0 - x0);
        b = cy0 - m * cx0;
        start = alongY ? y0 : x0;
        const int32_t end = alongY ? cy0 : cx0;
        step = start > end ? -1 : 1;
        count = std::abs(end - start) + 1;
        auto inside = [&](RayPixel p) {
            return p.x >= 0 && p.y >= 0 && p.x < width && p.y < height;
        };
        while (first < count && !inside(At(first)))
            ++first;
    }

    RayPixel At(int32_t k) const {
        const int32_t v = start + step * k;
        if (alongY) return {RoundToPixel((v - b) / m), v};
        return {v, RoundToPixel(m * v + b)};
    }
};

// The pixels of a ray in the order of one pass: from the border inwards, or from the
// centre outwards.
struct RayWalk {
    const RayLine& line;
    bool outwards;
    int32_t size() const { return line.count - line.first; }
    RayPixel operator[](int32_t i) const {
        return line.At(outwards ? line.count - 1 - i : line.first + i);
    }
};

// One pass over a ray's pixels in the light-background mode: the edge is the darkest
// pixel of the first run that falls below the border value by the contrast factor.
void LightEdge(const PixelGrid& grid, const RayWalk& walk, int32_t border, LimbPoints& pass,
               std::size_t ray) {
    int32_t lowest = border;
    int32_t& state = pass.flag[ray];
    for (int32_t i = 0; i < walk.size(); ++i) {
        const RayPixel at = walk[i];
        const int32_t p = grid.At(at.x, at.y);
        if (p < lowest && state < kEdgeFound) {
            pass.x[ray] = at.x;
            pass.y[ray] = at.y;
            lowest = p;
            if (p < border / kLightEdgeContrast) state = kDarkeningRun;
        } else if (state == kDarkeningRun) {
            state = kEdgeFound;
        }
    }
}

// One pass in the dark-background mode: the first pixel on the far side of the
// threshold, brighter going inwards or darker going outwards.
template <typename Beyond>
void DarkEdge(const PixelGrid& grid, const RayWalk& walk, Beyond beyond, LimbPoints& pass,
              std::size_t ray) {
    for (int32_t i = 0; i < walk.size(); ++i) {
        const RayPixel at = walk[i];
        if (beyond(grid.At(at.x, at.y))) {
            pass.x[ray] = at.x;
            pass.y[ray] = at.y;
            pass.flag[ray] = kEdgeFound;
            return;
        }
    }
}

int32_t DarkThreshold(const PixelGrid& grid) {
    const int32_t w = grid.Width();
    const int32_t h = grid.Height();
    int64_t sum = 0;
    int64_t count = 0;
    for (int32_t y = Trunc(kCentralBoxFrom * h); y < Trunc(kCentralBoxTo * h); ++y) {
        for (int32_t x = Trunc(kCentralBoxFrom * w); x < Trunc(kCentralBoxTo * w); ++x) {
            sum += grid.At(x, y);
            ++count;
        }
    }
    // A box too small to hold a pixel is taken as black.
    const double mean = count > 0 ? static_cast<double>(sum) / static_cast<double>(count) : 0.0;
    if (mean == 0) return kBlackCentreThreshold;
    return static_cast<int32_t>(static_cast<int64_t>(std::trunc(mean)) / kThresholdDivisor);
}

bool Agree(const LimbPoints& a, const LimbPoints& b, std::size_t i) {
    return std::abs(a.x[i] - b.x[i]) < kAgreement && std::abs(a.y[i] - b.y[i]) < kAgreement;
}

void Accept(LimbPoints& out, const LimbPoints& from, std::size_t i) {
    out.x[i] = from.x[i];
    out.y[i] = from.y[i];
    out.flag[i] = kEdgeFound;
}

void Reject(LimbPoints& out, std::size_t i) {
    out.x[i] = 0;
    out.y[i] = 0;
    out.flag[i] = kNothingFound;
}

bool OnBorder(int32_t x, int32_t y, int32_t width, int32_t height) {
    return x <= kBorderMargin || y <= kBorderMargin || x >= width - 1 - kBorderMargin ||
           y >= height - 1 - kBorderMargin;
}

// Leaves out the edges a pass found at the picture's border.
void DropBorderEdges(LimbPoints& pass, int32_t width, int32_t height) {
    for (std::size_t i = 0; i < LimbRays; ++i) {
        if (pass.flag[i] == kEdgeFound && OnBorder(pass.x[i], pass.y[i], width, height)) {
            pass.flag[i] = kNothingFound;
        }
    }
}

// The sentence of a reason: its first letter capitalised, a full stop after it.
std::string Sentence(std::string reason) {
    if (!reason.empty() && reason[0] >= 'a' && reason[0] <= 'z') {
        reason[0] = static_cast<char>(reason[0] - 'a' + 'A');
    }
    return reason + ".";
}

double Distance(double x, double y, const Circle& c) {
    return std::sqrt((x - c.cx) * (x - c.cx) + (y - c.cy) * (y - c.cy));
}

} // namespace

std::string_view LimbBackgroundName(LimbBackground mode) {
    return mode == LimbBackground::Light ? "LightBackground" : "DarkBackground";
}

int32_t LimbFit::AcceptedPoints() const {
    return static_cast<int32_t>(std::count(points.flag.begin(), points.flag.end(), kEdgeFound));
}

std::string LimbNotFoundText(const LimbFit& fit) {
    std::string text(LimbNotFoundMessage);
    if (!fit.found && !fit.reason.empty()) text += " " + Sentence(fit.reason);
    return text;
}

void RayPixels(int32_t ray, int32_t width, int32_t height, std::vector<RayPixel>& out) {
    out.clear();
    const RayLine line(ray, width, height);
    for (int32_t k = line.first; k < line.count; ++k)
        out.push_back(line.At(k));
}

namespace {

// The search with the dark-background threshold given (a packed value).
LimbFit FindLimbWith(const PixelGrid& grid, std::optional<int32_t> darkThreshold) {
    const int32_t w = grid.Width();
    const int32_t h = grid.Height();
    const int32_t cx0 = w / 2;
    const int32_t cy0 = h / 2;
    LimbFit fit;
    fit.disk = {static_cast<double>(cx0), static_cast<double>(cy0), static_cast<double>(cx0)};
    fit.mode = grid.At(kCornerProbe, kCornerProbe) > kLightBackgroundAbove ? LimbBackground::Light
                                                                           : LimbBackground::Dark;
    if (w < SmallestLimbImage || h < SmallestLimbImage) {
        fit.reason =
            "the picture is smaller than " + std::to_string(SmallestLimbImage) + " pixels a side";
        return fit;
    }

    // Edges from the border inwards (pass 1) and from the centre outwards (pass 2).
    LimbPoints pass1;
    LimbPoints pass2;
    const int32_t threshold =
        fit.mode == LimbBackground::Dark ? darkThreshold.value_or(DarkThreshold(grid)) : 0;
    for (std::size_t ray = 0; ray < LimbRays; ++ray) {
        const RayLine line(static_cast<int32_t>(ray), w, h);
        if (line.first >= line.count) continue;
        ++fit.raysSearched;
        const RayWalk inwards{line, false};
        const RayWalk outwards{line, true};
        if (fit.mode == LimbBackground::Light) {
            const RayPixel start = inwards[0];
            const int32_t border = grid.At(start.x, start.y);
            LightEdge(grid, inwards, border, pass1, ray);
            LightEdge(grid, outwards, border, pass2, ray);
        } else {
            DarkEdge(
                grid, inwards, [&](int32_t p) { return p > threshold; }, pass1, ray);
            DarkEdge(
                grid, outwards, [&](int32_t p) { return p < threshold; }, pass2, ray);
        }
    }

    DropBorderEdges(pass1, w, h);
    DropBorderEdges(pass2, w, h);

    // Keep the rays whose two edges agree; with too few, trust the search from the border.
    LimbPoints& out = fit.points;
    int32_t agreeing = 0;
    for (std::size_t i = 0; i < LimbRays; ++i) {
        if (pass1.flag[i] == kEdgeFound && pass2.flag[i] == kEdgeFound && Agree(pass1, pass2, i)) {
            Accept(out, pass1, i);
            ++agreeing;
        } else {
            Reject(out, i);
        }
    }
    if (agreeing < kFewestAgreeingRays) {
        out = pass1;
        pass2 = pass1;
    }

    bool failed = false;
    FitOutcome last;
    auto fitCircle = [&] {
        last = GaussNewtonFit(out, fit.disk);
        failed = failed || last.failed;
    };
    double tolerance = LimbFirstTolerance;
    double largest = kDeviationBeforeFirstRound;
    while (largest > kDeviationGoal) {
        largest = 0;
        fitCircle();
        for (LimbPoints* pass : {&pass1, &pass2}) {
            for (std::size_t i = 0; i < LimbRays; ++i) {
                if (pass->flag[i] != kEdgeFound) continue;
                const double deviation =
                    std::fabs(Distance(pass->x[i], pass->y[i], fit.disk) - fit.disk.r);
                largest = std::max(largest, deviation);
                if (deviation > tolerance) pass->flag[i] = kNothingFound;
            }
        }
        if (tolerance > LimbLastTolerance) {
            tolerance -= 1;
        } else {
            largest = 0;
        }
        for (std::size_t i = 0; i < LimbRays; ++i) {
            const bool one = pass1.flag[i] == kEdgeFound;
            const bool two = pass2.flag[i] == kEdgeFound;
            if (one && two) {
                if (Agree(pass1, pass2, i)) {
                    Accept(out, pass1, i);
                } else {
                    Reject(out, i);
                }
            } else if (one) {
                Accept(out, pass1, i);
            } else if (two) {
                Accept(out, pass2, i);
            } else {
                Reject(out, i);
            }
        }
        fitCircle();
    }
    const LimbVerdict verdict =
        JudgeLimb(grid, fit.mode, fit.disk, AsSubPixel(fit.points), fit.raysSearched);
    fit.residual = verdict.residual;
    // Too few points for a circle say so in the verdict; a fit that went astray with enough
    // of them says that.
    constexpr int32_t kPointsForACircle = 3;
    fit.found = verdict.accepted && !failed;
    fit.reason = failed && verdict.points >= kPointsForACircle ? "the circle fit did not settle"
                                                               : verdict.reason;
    return fit;
}

} // namespace

LimbFit FindLimb(const PixelGrid& grid) {
    LimbFit fit = FindLimbWith(grid, std::nullopt);
    if (!fit.found || fit.mode != LimbBackground::Dark) return fit;
    // An edge inside the circle as marked as the circle's own is the disk's, and what the
    // circle found lies round it: a dark ring a rendering drew about the disk, the shade of
    // a frame. The search again with its threshold halfway down that edge finds the disk's
    // own limb, or the picture is refused.
    const std::optional<InnerEdge> inner = FindInnerEdge(grid, fit.disk);
    if (!inner) return fit;
    const auto threshold = static_cast<int32_t>(std::lround(inner->level * GreyToPacked));
    LimbFit again = FindLimbWith(grid, threshold);
    const double tolerance = std::max(LimbEdgeTolerance, fit.disk.r * LimbEdgeTolerancePerRadius);
    if (again.found && std::fabs(again.disk.r - inner->radius) <= tolerance &&
        !FindInnerEdge(grid, again.disk))
        return again;
    fit.found = false;
    fit.reason = "a ring or a frame's edge lies round the disk: the disk's own edge is " +
                 std::to_string(static_cast<int32_t>(std::lround(fit.disk.r - inner->radius))) +
                 " px inside the circle";
    return fit;
}

} // namespace zorva
