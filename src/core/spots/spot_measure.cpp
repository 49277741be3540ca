// Each dark patch the search finds: judged, measured in millionths of the hemisphere
// corrected for foreshortening, and cut into umbrae with the penumbra shared among them.
#include <algorithm>
#include <cmath>
#include <limits>

#include <opencv2/imgproc.hpp>

#include "core/spots/dark_pixels.h"
#include "core/spots/spot_search.h"

namespace zorva::spots {

Outline OutlineOf(const cv::Mat& mask, int32_t dx, int32_t dy) {
    std::vector<std::vector<cv::Point>> contours;
    cv::findContours(mask, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
    Outline outline;
    const auto largest =
        std::max_element(contours.begin(), contours.end(),
                         [](const auto& a, const auto& b) { return a.size() < b.size(); });
    if (largest == contours.end()) return outline;
    outline.reserve(largest->size());
    for (const cv::Point& p : *largest)
        outline.push_back({p.x + dx, p.y + dy});
    return outline;
}

namespace {

// The patch's area with the pixels along its edge counted by how dark they are: a blurred
// edge spreads a spot's darkness over pixels it only partly covers, and a level cut counts
// those wholly or not at all, which makes a small spot larger than it is. Within `kEdge`
// pixels of the edge each pixel counts as (1 - I) / (1 - I_penumbra), the share of it the
// penumbra would cover to give its darkness. Pixels of another patch are left to it. In
// pixels over mu, as `area`.
double EdgeCorrectedArea(const Search& s, const cv::Mat& inPatch, const cv::Rect& box,
                         const cv::Mat& ratio, double umbraLevel, const LocalQuiet& local) {
    constexpr int32_t kEdge = 2;
    constexpr std::size_t kFewestInner = 8;
    const cv::Rect wide =
        cv::Rect(box.x - kEdge, box.y - kEdge, box.width + 2 * kEdge, box.height + 2 * kEdge) &
        cv::Rect(0, 0, s.grey.cols, s.grey.rows);
    cv::Mat patch(wide.height, wide.width, CV_8U, cv::Scalar(0));
    inPatch.copyTo(patch(box - wide.tl()));
    cv::Mat outer, inner;
    const cv::Mat square = cv::Mat::ones(3, 3, CV_8U);
    cv::dilate(patch, outer, square, cv::Point(-1, -1), kEdge);
    cv::erode(patch, inner, square, cv::Point(-1, -1), kEdge, cv::BORDER_CONSTANT, 0);

    // The penumbra's own level: its pixels a pixel or more from both its edges, where
    // neither the quiet Sun nor the umbra blurs into them; on a spot too small for any,
    // every penumbra pixel.
    cv::Mat core, umbraNear;
    cv::erode(inPatch, core, square, cv::Point(-1, -1), 1, cv::BORDER_CONSTANT, 0);
    cv::dilate(inPatch & (ratio < umbraLevel), umbraNear, square);
    std::vector<float> clear, all;
    for (int32_t j = 0; j < box.height; ++j) {
        const auto* in = inPatch.ptr<uint8_t>(j);
        for (int32_t i = 0; i < box.width; ++i) {
            const float v = ratio.at<float>(j, i);
            if (!in[i] || v < umbraLevel) continue;
            all.push_back(v);
            if (core.at<uint8_t>(j, i) && !umbraNear.at<uint8_t>(j, i)) clear.push_back(v);
        }
    }
    std::vector<float>& levels = clear.size() >= kFewestInner ? clear : all;
    if (levels.empty()) levels.push_back(static_cast<float>(umbraLevel));
    const auto at = levels.begin() + static_cast<std::ptrdiff_t>(levels.size() / 2);
    std::nth_element(levels.begin(), at, levels.end());
    const double penumbra = *at;
    // Above 1 - penumbraLevel, as every pixel of the patch is darker than that.
    const double depth = std::max(1 - penumbra, 1 - s.options.penumbraLevel);

    const double invR2 = 1 / (s.disk.r * s.disk.r);
    double area = 0;
    for (int32_t j = 0; j < wide.height; ++j) {
        const int32_t y = wide.y + j;
        for (int32_t i = 0; i < wide.width; ++i) {
            if (!outer.at<uint8_t>(j, i)) continue;
            const int32_t x = wide.x + i;
            const bool mine = patch.at<uint8_t>(j, i) != 0;
            if (!mine && s.dark.at<uint8_t>(y, x)) continue;
            const double d2 =
                ((x - s.disk.cx) * (x - s.disk.cx) + (y - s.disk.cy) * (y - s.disk.cy));
            if (!s.disk.Searched(x, y)) continue;
            const double w = 1 / std::sqrt(std::max(1e-6, 1 - d2 * invR2));
            if (inner.at<uint8_t>(j, i)) {
                area += w;
                continue;
            }
            const double v = s.quiet.Ratio(s.grey.at<uint8_t>(y, x), x, y) / local.At(x, y);
            area += w * std::clamp((1 - v) / depth, 0.0, 1.0);
        }
    }
    return area;
}

// The quiet Sun round a patch against the disk's model of it, from the pixels of a frame
// round the patch's box, beyond the blur's reach: a plane fitted to their ratios to the
// model, fitted again without those far off it (other spots). Dark pixels are not left
// out beforehand: where the limb's shading is darker than the model, they are the quiet
// Sun there. The model
// follows the limb darkening and the light of the whole field, but only a cell at a time;
// round the patch the quiet Sun is known to the pixel, which near the limb of a
// photograph, where the light of the field falls steeply, is the difference between a spot
// and the limb's own shading. The plane, not a mean, as near the limb the frame holds
// more of the disk on its inner side than on its outer.
LocalQuiet FitLocalQuiet(const Search& s, const cv::Rect& box) {
    const int32_t margin = std::max(3, static_cast<int32_t>(std::ceil(3 * s.measures.blur)) + 1);
    const int32_t width = std::max(margin, std::max(box.width, box.height) / 2);
    const cv::Rect inner(box.x - margin, box.y - margin, box.width + 2 * margin,
                         box.height + 2 * margin);
    const cv::Rect outer = cv::Rect(inner.x - width, inner.y - width, inner.width + 2 * width,
                                    inner.height + 2 * width) &
                           cv::Rect(0, 0, s.grey.cols, s.grey.rows);
    LocalQuiet local;
    local.x = box.x + (box.width - 1) / 2.0;
    local.y = box.y + (box.height - 1) / 2.0;
    struct Sample {
        float dx, dy, ratio;
        bool dark; // a dark pixel of the picture: left out of the first round
    };
    // A few thousand pixels settle a plane: a large patch's frame is sampled on a sparser
    // grid.
    constexpr double kEnoughSamples = 2000;
    const auto step = std::max(
        1, static_cast<int32_t>(std::sqrt(static_cast<double>(outer.area()) / kEnoughSamples)));
    std::vector<Sample> samples;
    for (int32_t y = outer.y; y < outer.y + outer.height; y += step) {
        const auto* grey = s.grey.ptr<uint8_t>(y);
        for (int32_t x = outer.x; x < outer.x + outer.width; x += step) {
            if (inner.contains(cv::Point(x, y)) || !s.disk.Searched(x, y)) continue;
            samples.push_back({static_cast<float>(x - local.x), static_cast<float>(y - local.y),
                               static_cast<float>(s.quiet.Ratio(grey[x], x, y)),
                               s.dark.at<uint8_t>(y, x) != 0});
        }
    }
    constexpr std::size_t kFewest = 16, kFewestForSpread = 32;
    if (samples.size() < kFewest) return local;
    std::vector<float> off(samples.size());
    double far = std::numeric_limits<double>::max();
    // Each round leaves out what lies far off the last one's plane: other spots in the
    // frame, which would tip the plane and swell the spread. The first leaves out the dark
    // pixels, where enough are left.
    constexpr int32_t kRounds = 4;
    const auto notDark = static_cast<std::size_t>(
        std::count_if(samples.begin(), samples.end(), [](const Sample& p) { return !p.dark; }));
    const bool firstWithoutDark = notDark >= kFewest;
    constexpr double kMadToSigma = 1.4826, kFarOff = 3.0;
    for (int32_t round = 0; round < kRounds; ++round) {
        // Least squares for level + slopeX dx + slopeY dy over the samples near the plane.
        double a[3][3] = {}, b[3] = {};
        for (const Sample& p : samples) {
            const double t[3] = {1, p.dx, p.dy};
            if (round == 0 && firstWithoutDark && p.dark) continue;
            if (std::fabs(p.ratio - (local.level + local.slopeX * p.dx + local.slopeY * p.dy)) >
                far)
                continue;
            for (int m = 0; m < 3; ++m) {
                b[m] += t[m] * p.ratio;
                for (int n = 0; n < 3; ++n)
                    a[m][n] += t[m] * t[n];
            }
        }
        cv::Mat am(3, 3, CV_64F, a), bm(3, 1, CV_64F, b), solution;
        if (!cv::solve(am, bm, solution, cv::DECOMP_SVD)) return LocalQuiet{};
        local.level = solution.at<double>(0);
        local.slopeX = solution.at<double>(1);
        local.slopeY = solution.at<double>(2);
        for (std::size_t k = 0; k < samples.size(); ++k) {
            const Sample& p = samples[k];
            off[k] = static_cast<float>(
                std::fabs(p.ratio - (local.level + local.slopeX * p.dx + local.slopeY * p.dy)));
        }
        std::nth_element(off.begin(), off.begin() + static_cast<std::ptrdiff_t>(off.size() / 2),
                         off.end());
        far = kFarOff * kMadToSigma * off[off.size() / 2];
    }
    if (!(local.level > 0) || !std::isfinite(local.slopeX) || !std::isfinite(local.slopeY))
        return LocalQuiet{};
    // The spread of the samples near the plane, on its dark side alone: a spot stands out of
    // what darkens the quiet Sun by chance, and the bright faculae round an active region
    // say nothing of that.
    std::vector<float> below;
    for (const Sample& p : samples) {
        const double d = p.ratio - (local.level + local.slopeX * p.dx + local.slopeY * p.dy);
        if (d < 0 && -d <= far) below.push_back(static_cast<float>(-d));
    }
    if (below.size() >= kFewestForSpread / 2) {
        std::nth_element(below.begin(),
                         below.begin() + static_cast<std::ptrdiff_t>(below.size() / 2),
                         below.end());
        local.spread = kMadToSigma * below[below.size() / 2] / local.level;
    }
    return local;
}

} // namespace

void MeasurePatch(Search& s, const cv::Mat& inPatch, const cv::Rect& box) {
    const SpotOptions& o = s.options;
    const LocalQuiet local = FitLocalQuiet(s, box);
    // Each pixel's intensity against the quiet Sun, round the patch and in it, and its weight
    // 1/mu.
    const cv::Mat around = RatioAround(s, box, local);
    cv::Mat ratio(box.height, box.width, CV_32F, cv::Scalar(0));
    cv::Mat weight(box.height, box.width, CV_32F, cv::Scalar(0));
    int32_t pixels = 0;
    double area = 0, sum = 0, sumSquares = 0, darkest = std::numeric_limits<double>::max();
    int32_t lowest = std::numeric_limits<int32_t>::max(), highest = -1;
    int32_t darkestX = box.x, darkestY = box.y;
    const double invR2 = 1 / (s.disk.r * s.disk.r);
    for (int32_t j = 0; j < box.height; ++j) {
        const int32_t y = box.y + j;
        const auto* in = inPatch.ptr<uint8_t>(j);
        const auto* grey = s.grey.ptr<uint8_t>(y);
        for (int32_t i = 0; i < box.width; ++i) {
            if (!in[i]) continue;
            const int32_t x = box.x + i;
            const double v = around.at<float>(j + 1, i + 1);
            const double d2 =
                ((x - s.disk.cx) * (x - s.disk.cx) + (y - s.disk.cy) * (y - s.disk.cy)) * invR2;
            const double w = 1 / std::sqrt(std::max(1e-6, 1 - d2));
            ratio.at<float>(j, i) = static_cast<float>(v);
            weight.at<float>(j, i) = static_cast<float>(w);
            ++pixels;
            area += w;
            sum += v;
            sumSquares += v * v;
            if (v < darkest) {
                darkest = v;
                darkestX = x;
                darkestY = y;
            }
            lowest = std::min<int32_t>(lowest, grey[x]);
            highest = std::max<int32_t>(highest, grey[x]);
        }
    }
    // Too faint to count: a dark lane of granulation, the noise, an uneven background.
    if (s.judge && darkest > 1 - o.poreContrast) return;
    constexpr int32_t kTwoPixels = 2;
    const bool darkPair = pixels == kTwoPixels && darkest < o.twoPixelDarkest;
    const bool tooSmall =
        (pixels < o.smallestSpotPixels && !darkPair) || area * s.pixelMsh < o.smallestSpotMsh;
    // The darkness weighed against the quiet Sun's own spread: round the patch where that can
    // be told (the quiet Sun's cells are coarse, and towards the limb the noise grows as the
    // light falls), never below its cell's.
    const cv::Mat means = PointMeans(s, around, inPatch);
    double darkestPoint = 1;
    cv::minMaxLoc(means, &darkestPoint);
    const double spread = std::max(s.quiet.Noise(darkestX, darkestY), local.spread);
    const PatchFacts facts{inPatch, box,      ratio,        pixels, area * s.pixelMsh,
                           darkest, darkestX, darkestY,     lowest, highest,
                           local,   around,   darkestPoint, spread};
    std::optional<std::string> reason = s.judge ? JudgePatch(s, facts) : std::nullopt;
    // A speck that stands out of the noise but is smaller than a spot the picture can tell
    // from a dead pixel.
    if (s.judge && !reason && tooSmall) reason = "too small to tell from a fault of the camera";
    if (reason) {
        if (!reason->empty())
            s.rejected.push_back(
                {static_cast<double>(darkestX), static_cast<double>(darkestY), *reason});
        return;
    }

    // The spots: each darkest point parted from the darker ones by a saddle that rises out
    // of the noise as the patch must stand out of the quiet Sun, and dark as a pore.
    const Cores cores =
        FindCores(means, ratio, inPatch, o.significance * spread * s.measures.pointSpread,
                  1 - o.poreContrast);

    // The umbrae: darker than the umbra level, or by Zharkov's rule than the spot's own
    // mean less 0.85 of its spread.
    double umbraLevel = o.umbraLevel;
    if (o.adaptiveUmbra) {
        const double mean = sum / pixels;
        const double deviation = std::sqrt(std::max(0.0, sumSquares / pixels - mean * mean));
        umbraLevel = std::max(umbraLevel, mean - o.umbraSigma * deviation);
    }
    cv::Mat umbra = inPatch & (ratio < umbraLevel);
    cv::Mat umbraLabels, umbraStats, umbraCentroids;
    const int32_t found =
        cv::connectedComponentsWithStats(umbra, umbraLabels, umbraStats, umbraCentroids, 8, CV_32S);
    std::vector<bool> isKept(static_cast<std::size_t>(found), false);
    for (int32_t u = 1; u < found; ++u)
        isKept[static_cast<std::size_t>(u)] =
            umbraStats.at<int32_t>(u, cv::CC_STAT_AREA) >= o.smallestUmbraPixels;

    const auto patchIndex = static_cast<int32_t>(s.patches.size());
    const double edgeCorrected = EdgeCorrectedArea(s, inPatch, box, ratio, umbraLevel, local);
    const double scale = edgeCorrected / area;
    SpotPatch patch;
    patch.outline = OutlineOf(inPatch, box.x, box.y);
    patch.pixels = pixels;
    patch.areaMsh = edgeCorrected * s.pixelMsh;

    // Each pixel goes to the spot whose darkest point it falls to; each umbra to the spot
    // of its darkest pixel.
    const std::size_t first = s.spots.size();
    s.spots.resize(first + static_cast<std::size_t>(std::max(1, cores.count)));
    std::vector<int32_t> umbraOwner(static_cast<std::size_t>(found), 0);
    std::vector<float> umbraDarkest(static_cast<std::size_t>(found),
                                    std::numeric_limits<float>::max());
    for (int32_t j = 0; j < box.height; ++j) {
        const auto* in = inPatch.ptr<uint8_t>(j);
        for (int32_t i = 0; i < box.width; ++i) {
            if (!in[i]) continue;
            const int32_t owner = std::max(0, cores.owner.at<int32_t>(j, i));
            Measured& m = s.spots[first + static_cast<std::size_t>(owner)];
            const double w = weight.at<float>(j, i);
            const float v = ratio.at<float>(j, i);
            m.sumX += box.x + i;
            m.sumY += box.y + j;
            ++m.pixels;
            m.area += w;
            m.darkest = std::min<double>(m.darkest, v);
            const auto u = static_cast<std::size_t>(umbraLabels.at<int32_t>(j, i));
            if (isKept[u]) {
                ++m.umbraPixels;
                m.umbraArea += w;
                if (v < umbraDarkest[u]) {
                    umbraDarkest[u] = v;
                    umbraOwner[u] = owner;
                }
            }
        }
    }
    for (int32_t u = 1; u < found; ++u) {
        if (!isKept[static_cast<std::size_t>(u)]) continue;
        const cv::Mat one = umbraLabels == u;
        s.spots[first + static_cast<std::size_t>(umbraOwner[static_cast<std::size_t>(u)])]
            .umbrae.push_back(OutlineOf(one, box.x, box.y));
    }
    // Each spot placed on the Sun; one the projection cannot place (which only a disk
    // beyond the picture's numbers could give) is dropped.
    for (std::size_t k = first; k < s.spots.size();) {
        Measured& m = s.spots[k];
        m.patch = patchIndex;
        // Each spot's share of the patch's edge, as of its pixels.
        m.area = std::max(m.umbraArea, m.area * scale);
        const auto place =
            m.pixels > 0 ? PlaceOnSun(s.frame, s.ephemeris, m.sumX / m.pixels, m.sumY / m.pixels)
                         : std::nullopt;
        if (!place) {
            s.spots.erase(s.spots.begin() + static_cast<std::ptrdiff_t>(k));
            continue;
        }
        m.place = *place;
        ++k;
    }
    if (s.spots.size() == first) return;
    s.patches.push_back(std::move(patch));
}

void LabelBlockPatch(Search& s, const cv::Mat& mask, const cv::Mat& blockLabels, int32_t blockLabel,
                     const cv::Rect& blocks) {
    const cv::Rect box = cv::Rect(blocks.x * kDarkBlock, blocks.y * kDarkBlock,
                                  blocks.width * kDarkBlock, blocks.height * kDarkBlock) &
                         cv::Rect(0, 0, mask.cols, mask.rows);
    if (box.empty()) return;
    // Only the pixels in this patch's own blocks: a neighbour's box may reach into it.
    cv::Mat mine = blockLabels(blocks) == blockLabel;
    cv::Mat mineFull;
    cv::resize(mine, mineFull, cv::Size(blocks.width * kDarkBlock, blocks.height * kDarkBlock), 0,
               0, cv::INTER_NEAREST);
    cv::Mat dark = mask(box) & mineFull(cv::Rect(0, 0, box.width, box.height));
    cv::Mat labels, stats, centroids;
    const int32_t found =
        cv::connectedComponentsWithStats(dark, labels, stats, centroids, 8, CV_32S);
    for (int32_t c = 1; c < found; ++c) {
        const cv::Rect inner(
            stats.at<int32_t>(c, cv::CC_STAT_LEFT), stats.at<int32_t>(c, cv::CC_STAT_TOP),
            stats.at<int32_t>(c, cv::CC_STAT_WIDTH), stats.at<int32_t>(c, cv::CC_STAT_HEIGHT));
        const cv::Mat inPatch = labels(inner) == c;
        MeasurePatch(s, inPatch, inner + box.tl());
    }
}

} // namespace zorva::spots
