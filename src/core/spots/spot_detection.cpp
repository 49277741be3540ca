// Sunspots found on a picture: what is darker than the quiet Sun around it beyond the
// picture's own noise, as blurred as the picture's optics blur, dark in every colour and
// clear of the limb's fall; cut into umbrae and penumbrae, counted as SILSO counts spots,
// grouped as observers group them, and measured in millionths of the hemisphere corrected
// for foreshortening.
#include "core/spots/spot_detection.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "core/common/angles.h"
#include "core/images/limb_refine.h"
#include "core/images/picture_context.h"
#include "core/spots/dark_pixels.h"
#include "core/spots/mcintosh.h"
#include "core/spots/quiet_sun.h"
#include "core/spots/spot_groups.h"
#include "core/spots/spot_search.h"
#include "core/spots/transits.h"

namespace zorva {

namespace {

using spots::DarkPixels;
using spots::DiskArea;
using spots::FindDarkPixels;
using spots::kDarkBlock;
using spots::PictureMeasures;
using spots::QuietSun;

// Below this radius a disk is a few dozen pixels across: too coarse for a spot to be told
// from a pixel.
constexpr double kSmallestRadius = 8.0;
// A disk whose radius is this many times the picture's side shows the picture as a patch
// of an all but flat Sun: no limb, no limb darkening, nothing to measure a spot against.
constexpr double kLargestRadiusPerSide = 64.0;
// More of the disk than this darker than the quiet Sun is not a spotted Sun: the largest
// groups ever seen cover well under one per cent of it. Clouds, a wrong disk or a picture
// of something else.
constexpr double kMostDarkShare = 0.05;
// More spots than this is noise or a picture of something else: the most spots ever
// counted on one day are a few hundred.
constexpr std::size_t kMostSpots = 2000;
constexpr double kPerHemisphere = 1e6;
constexpr double kHalfCircle = 180.0;
constexpr int32_t kLevels = 256;
// The limb is surveyed along this many rays; with fewer fitted the picture's limb says
// nothing and its granulation is asked for the blur instead.
constexpr int32_t kLimbRays = 72;
constexpr int32_t kFewestLimbRays = 12;
// The band left out at the limb: the limb's blur reaches three of its widths in, and the
// disk's circle may stray from the limb by the survey's offset and twice its scatter; never
// less than a pixel.
constexpr double kBlurWidthsAtLimb = 3.0;
constexpr double kScattersAtLimb = 2.0;
constexpr double kLeastLimbBand = 1.0;
// The sky is read beyond this many radii, and beyond the blur's reach, from the centre.
constexpr double kSkyFrom = 1.05;
constexpr int64_t kSkySamples = 200000;
constexpr int64_t kFewestSkySamples = 500;

// The picture as 8-bit grey: a view of its own bytes when it is grey, else a grey copy.
cv::Mat GreyOf(const PixelGrid& picture) {
    const int32_t w = picture.Width(), h = picture.Height();
    if (w <= 0 || h <= 0 || picture.Data() == nullptr) return {};
    if (picture.Layout() == PixelLayout::Grey8) {
        // OpenCV reads it only; its constructor takes no pointer to const.
        return cv::Mat(h, w, CV_8UC1, const_cast<uint8_t*>(picture.Data()),
                       static_cast<std::size_t>(picture.BytesPerLine()));
    }
    cv::Mat grey(h, w, CV_8UC1);
    for (int32_t y = 0; y < h; ++y) {
        auto* out = grey.ptr<uint8_t>(y);
        for (int32_t x = 0; x < w; ++x) {
            const int32_t v = picture.At(x, y);
            constexpr int32_t kChannels = 3;
            out[x] = static_cast<uint8_t>(
                (PackedRed(v) + PackedGreen(v) + PackedBlue(v) + kChannels / 2) / kChannels);
        }
    }
    return grey;
}

bool Finite(double v) {
    return std::isfinite(v);
}

bool UsableOptions(const SpotOptions& o) {
    return Finite(o.penumbraLevel) && Finite(o.umbraLevel) && Finite(o.umbraSigma) &&
           Finite(o.poreContrast) && Finite(o.smallestSpotMsh) && Finite(o.limbMu) &&
           Finite(o.smallestGroupLink) && Finite(o.largestGroupLink) && Finite(o.twoPixelDarkest) &&
           Finite(o.significance) && Finite(o.maskSigmas) && o.penumbraLevel > 0 &&
           o.penumbraLevel <= 1 && o.umbraLevel >= 0 && o.umbraLevel <= o.penumbraLevel &&
           o.limbMu >= 0 && o.limbMu < 1 && o.significance >= 0 && o.maskSigmas >= 0 &&
           o.smallestGroupLink >= 0 && o.largestGroupLink >= 0 && o.largestGroupLink <= kHalfCircle;
}

// The grey level of the sky: the median of the picture beyond the disk, sampled evenly;
// 0 where too little of the picture lies beyond it, or where that is brighter than half
// the disk's centre (a light field, or a disk that fills the frame to its corners).
double SkyLevel(const cv::Mat& grey, const DiskFrame& frame, double blur) {
    const double from = kSkyFrom * frame.rx + kBlurWidthsAtLimb * blur;
    const double fromSquared = from * from;
    const int64_t pixels = static_cast<int64_t>(grey.cols) * grey.rows;
    const auto step = static_cast<int32_t>(std::max<int64_t>(
        1, static_cast<int64_t>(std::sqrt(static_cast<double>(pixels) / kSkySamples))));
    std::array<int64_t, kLevels> counts{};
    int64_t total = 0;
    for (int32_t y = 0; y < grey.rows; y += step) {
        const double dy = y - frame.cy;
        const auto* row = grey.ptr<uint8_t>(y);
        for (int32_t x = 0; x < grey.cols; x += step) {
            const double dx = x - frame.cx;
            if (dx * dx + dy * dy < fromSquared) continue;
            ++counts[row[x]];
            ++total;
        }
    }
    if (total < kFewestSkySamples) return 0;
    int64_t below = 0;
    int32_t median = 0;
    for (; median < kLevels; ++median) {
        below += counts[static_cast<std::size_t>(median)];
        if (2 * below >= total) break;
    }
    const auto cx = static_cast<int32_t>(std::clamp(std::lround(frame.cx), 0L, grey.cols - 1L));
    const auto cy = static_cast<int32_t>(std::clamp(std::lround(frame.cy), 0L, grey.rows - 1L));
    return 2 * median < grey.at<uint8_t>(cy, cx) ? median : 0.0;
}

double MedianOf(std::vector<float>& v) {
    if (v.empty()) return 0;
    const auto middle = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), middle, v.end());
    return *middle;
}

// How much the quiet Sun's spread shrinks when three pixels by three are averaged (a third
// for noise that differs from pixel to pixel, less for granulation and blur that its
// neighbours share), and when they are weighted as the blur spreads a point over them;
// and, when the limb gave no blur, the blur its granulation implies: the correlation rho
// of neighbouring pixels' departures from the quiet Sun is about exp(-1 / (4 sigma^2)) for
// a field blurred by a Gaussian of width sigma. All from blocks spread over the inner disk.
struct Granulation {
    double blockSpread = 1.0 / 3;
    double pointSpread = 1;
    double blur = 0;
};
Granulation MeasureGranulation(const cv::Mat& grey, const DiskArea& disk, const QuietSun& quiet,
                               double limbBlur) {
    Granulation g;
    g.blur = limbBlur;
    constexpr double kInner = 0.7; // of the radius, clear of the limb's fall
    constexpr int32_t kBlocks = 5000;
    const double reach = kInner * disk.r;
    // Within the part of the disk searched, clamped before the bounds become whole numbers.
    const auto bound = [](double v, int32_t low, int32_t high) {
        return static_cast<int32_t>(
            std::clamp(v, static_cast<double>(low), static_cast<double>(high)));
    };
    const int32_t left = std::max({1, disk.left, bound(std::ceil(disk.cx - reach), -1, grey.cols)});
    const int32_t right =
        std::min({grey.cols - 2, disk.right, bound(std::floor(disk.cx + reach), -1, grey.cols)});
    const int32_t top = std::max({1, disk.top, bound(std::ceil(disk.cy - reach), -1, grey.rows)});
    const int32_t bottom =
        std::min({grey.rows - 2, disk.bottom, bound(std::floor(disk.cy + reach), -1, grey.rows)});
    if (left > right || top > bottom) return g;
    const double area = static_cast<double>(right - left + 1) * (bottom - top + 1);
    const auto step = std::max<int32_t>(3, static_cast<int32_t>(std::sqrt(area / kBlocks)));
    std::vector<float> singles, blocks;
    std::vector<std::array<float, spots::kBlock>> departures;
    double across = 0, own = 0;
    for (int32_t y = top; y <= bottom; y += step) {
        for (int32_t x = left; x <= right; x += step) {
            const double dx = x - disk.cx, dy = y - disk.cy;
            if (dx * dx + dy * dy > reach * reach) continue;
            std::array<float, spots::kBlock> block{};
            double sum = 0;
            for (int32_t j = -1, k = 0; j <= 1; ++j) {
                for (int32_t i = -1; i <= 1; ++i, ++k) {
                    block[static_cast<std::size_t>(k)] = static_cast<float>(
                        quiet.Ratio(grey.at<uint8_t>(y + j, x + i), x + i, y + j) - 1);
                    sum += block[static_cast<std::size_t>(k)];
                }
            }
            const double here = block[spots::kBlock / 2];
            const double next = quiet.Ratio(grey.at<uint8_t>(y, x + 1), x + 1, y) - 1;
            singles.push_back(static_cast<float>(std::fabs(here)));
            blocks.push_back(static_cast<float>(std::fabs(sum / spots::kBlock)));
            departures.push_back(block);
            across += here * next;
            own += here * here;
        }
    }
    constexpr std::size_t kFewestBlocks = 50;
    if (singles.size() < kFewestBlocks) return g;
    const double single = MedianOf(singles);
    if (single > 0) g.blockSpread = std::clamp(MedianOf(blocks) / single, 1.0 / 3, 1.0);
    if (!(limbBlur > 0)) {
        const double rho = own > 0 ? across / own : 0;
        constexpr double kLeastRho = 0.01, kMostRho = 0.99;
        constexpr double kSharpest = 0.3, kSoftest = 5.0;
        g.blur = rho <= kLeastRho ? kSharpest
                 : rho >= kMostRho
                     ? kSoftest
                     : std::clamp(std::sqrt(-1 / (4 * std::log(rho))), kSharpest, kSoftest);
    }
    // The spread of the blur's weighted means: never below that of the block's plain mean,
    // the least any weights of nine pixels give.
    const spots::PointWeights weights = spots::WeightsOfPoint(g.blur);
    std::vector<float> points;
    points.reserve(departures.size());
    for (const auto& block : departures) {
        double sum = 0;
        for (std::size_t k = 0; k < spots::kBlock; ++k)
            sum += weights[k] * block[k];
        points.push_back(static_cast<float>(std::fabs(sum)));
    }
    if (single > 0) g.pointSpread = std::clamp(MedianOf(points) / single, g.blockSpread, 1.0);
    return g;
}

// The squared distance from the centre beyond which the limb's fall is steep: where the
// quiet Sun's ring level falls by more than half a penumbra's contrast over the distance
// by which the disk may be off the limb.
double LimbReachSquared(const QuietSun& quiet, const DiskArea& disk, double uncertainty,
                        double penumbraLevel) {
    const double searched = std::sqrt(disk.searchedSquared);
    const double allowed = (1 - penumbraLevel) / 2;
    constexpr double kStep = 0.5; // pixels
    for (double r = searched; r > kStep + uncertainty; r -= kStep) {
        const double here = quiet.RingBetween(r * r);
        const double inner = quiet.RingBetween((r - uncertainty) * (r - uncertainty));
        if (!(here > 0) || (inner - here) / here <= allowed) return r * r;
    }
    return 0;
}

// The searched radius round the disk, one a surveyed ray: the limb where the survey puts
// it (never beyond the disk's circle, on which every place is measured), less three blur
// widths and the survey's own uncertainty there (twice the spread of the rays about their
// neighbours), never less than a pixel in. A ray the survey could not fit takes its
// neighbours' limb; with too few rays fitted, the circle less the blur.
std::vector<float> LimbLimit(const LimbSurvey& limb, double radius, double blur) {
    const std::size_t n = limb.offsets.size();
    if (limb.rays < kFewestLimbRays || n == 0) return {};
    // Each ray's offset, a lost one from the nearest fitted on either side, then the median
    // of three neighbours to drop a stray fit.
    std::vector<double> filled(n);
    for (std::size_t k = 0; k < n; ++k) {
        double v = limb.offsets[k];
        for (std::size_t step = 1; !std::isfinite(v) && step < n; ++step) {
            const double before = limb.offsets[(k + n - step) % n];
            const double after = limb.offsets[(k + step) % n];
            v = std::isfinite(before) ? before : after;
        }
        filled[k] = std::isfinite(v) ? v : 0.0;
    }
    std::vector<double> smooth(n), residuals;
    for (std::size_t k = 0; k < n; ++k) {
        std::array<double, 3> three = {filled[(k + n - 1) % n], filled[k], filled[(k + 1) % n]};
        std::sort(three.begin(), three.end());
        smooth[k] = three[1];
        if (std::isfinite(limb.offsets[k]))
            residuals.push_back(std::fabs(limb.offsets[k] - smooth[k]));
    }
    double uncertainty = 0;
    if (!residuals.empty()) {
        const auto middle = residuals.begin() + static_cast<std::ptrdiff_t>(residuals.size() / 2);
        std::nth_element(residuals.begin(), middle, residuals.end());
        constexpr double kMadToSigma = 1.4826;
        uncertainty = kScattersAtLimb * kMadToSigma * *middle;
    }
    std::vector<float> out(n);
    for (std::size_t k = 0; k < n; ++k) {
        const double band = std::max(kLeastLimbBand, kBlurWidthsAtLimb * blur + uncertainty -
                                                         std::min(0.0, smooth[k]));
        out[k] = static_cast<float>(radius - band);
    }
    return out;
}

} // namespace

// A measured spot as it is told, not yet numbered.
DetectedSpot SpotOf(spots::Measured& m, double pixelMsh) {
    DetectedSpot spot;
    spot.patch = m.patch;
    spot.x = m.sumX / m.pixels;
    spot.y = m.sumY / m.pixels;
    spot.latitude = m.place.latitude;
    spot.longitude = m.place.longitude;
    spot.centralDistance = m.place.centralDistance;
    spot.mu = m.place.mu;
    spot.areaMsh = m.area * pixelMsh;
    spot.umbraMsh = m.umbraArea * pixelMsh;
    spot.pixels = m.pixels;
    spot.umbraPixels = m.umbraPixels;
    spot.darkest = m.darkest;
    spot.umbrae = std::move(m.umbrae);
    return spot;
}

// What a search measures of the picture before it looks for dark pixels: its grey levels,
// the part of the disk searched (within `region` when one is given) and the quiet Sun
// there, and what the picture says of its blur and noise. With `result.error` set nothing
// could be measured.
struct Prepared {
    cv::Mat grey;
    DiskArea disk;
    QuietSun quiet;
    PictureMeasures measures;
};
Prepared Prepare(const PixelGrid& picture, const DiskFrame& frame, const Ephemeris& ephemeris,
                 const SpotOptions& options, const cv::Rect* region, SpotDetection& result) {
    Prepared p;
    cv::Mat& grey = p.grey;
    grey = GreyOf(picture);
    if (grey.empty()) {
        result.error = "the picture has no pixels";
        return p;
    }
    if (!UsableOptions(options)) {
        result.error = "the spot search's levels are out of range";
        return p;
    }
    if (!Finite(frame.cx) || !Finite(frame.cy) || !Finite(frame.rx) || !Finite(frame.q) ||
        !Finite(frame.diameter) || !(frame.diameter > 0) || !Finite(ephemeris.B0) ||
        !Finite(ephemeris.L0) || !Finite(ApparentDiameter(ephemeris)) ||
        !(ApparentDiameter(ephemeris) > 0)) {
        result.error = "the disk or the instant is not usable";
        return p;
    }
    if (frame.rx < kSmallestRadius) {
        result.error = "the disk is too small to find spots on";
        return p;
    }
    if (frame.rx > kLargestRadiusPerSide * std::max(grey.cols, grey.rows)) {
        result.error = "the disk is far larger than the picture";
        return p;
    }

    // The limb as the picture shows it: its blur, and how far it strays from the circle.
    const PixelGrid greyGrid(grey.data, grey.cols, grey.rows,
                             static_cast<std::ptrdiff_t>(grey.step), PixelLayout::Grey8);
    const LimbSurvey limb =
        SurveyLimb(greyGrid, Circle{frame.cx, frame.cy, frame.rx}, LimbBackground::Dark, kLimbRays);
    const bool limbSeen = limb.rays >= kFewestLimbRays;
    const double limbBlur = limbSeen ? limb.spread : 0;
    const std::vector<float> limit = LimbLimit(limb, frame.rx, limbBlur);
    const double sky = SkyLevel(grey, frame, limbBlur);

    DiskArea& disk = p.disk;
    disk.cx = frame.cx;
    disk.cy = frame.cy;
    disk.r = frame.rx;
    // The band at the limb: as the limb asks, and in to the least mu asked for.
    const double muLimit = disk.r * std::sqrt(1 - options.limbMu * options.limbMu);
    double outer = 0, inner = muLimit;
    disk.limit = limit;
    for (float& l : disk.limit) {
        l = static_cast<float>(std::min<double>(l, muLimit));
        outer = std::max<double>(outer, l);
        inner = std::min<double>(inner, l);
    }
    if (disk.limit.empty()) outer = inner = std::min(muLimit, disk.r - kLeastLimbBand);
    const double searched = outer;
    if (!(inner > kSmallestRadius / 2)) {
        result.error = "the disk is too small to find spots on";
        return p;
    }
    disk.searchedSquared = outer * outer;
    disk.innerSquared = inner * inner;
    // Clamped before they become whole numbers: a disk far beside the picture has edges no
    // int holds.
    const auto within = [](double v, int32_t last) {
        return static_cast<int32_t>(std::clamp(v, -1.0, static_cast<double>(last) + 1));
    };
    disk.left = std::max(0, within(std::ceil(disk.cx - searched), grey.cols - 1));
    disk.right = std::min(grey.cols - 1, within(std::floor(disk.cx + searched), grey.cols - 1));
    disk.top = std::max(0, within(std::ceil(disk.cy - searched), grey.rows - 1));
    disk.bottom = std::min(grey.rows - 1, within(std::floor(disk.cy + searched), grey.rows - 1));
    if (region) {
        disk.left = std::max(disk.left, region->x);
        disk.right = std::min(disk.right, region->x + region->width - 1);
        disk.top = std::max(disk.top, region->y);
        disk.bottom = std::min(disk.bottom, region->y + region->height - 1);
    }
    if (disk.left > disk.right || disk.top > disk.bottom) {
        result.error = "the disk lies outside the picture";
        return p;
    }

    p.quiet = QuietSun::Measure(grey, disk, sky, result.error);
    const QuietSun& quiet = p.quiet;
    if (!result.error.empty()) return p;
    result.quietSun = quiet.Centre() + sky;
    result.noise = quiet.TypicalNoise();
    result.limbBand = disk.r - inner;

    PictureMeasures& measures = p.measures;
    const Granulation granulation = MeasureGranulation(grey, disk, quiet, limbBlur);
    measures.blur = granulation.blur;
    measures.blockSpread = granulation.blockSpread;
    measures.point = spots::WeightsOfPoint(measures.blur);
    measures.pointSpread = granulation.pointSpread;
    measures.limbReachSquared =
        LimbReachSquared(quiet, disk, kLeastLimbBand + measures.blur, options.penumbraLevel);
    result.blur = measures.blur;
    return p;
}

SpotDetection DetectSpots(const PixelGrid& picture, const DiskFrame& frame,
                          const Ephemeris& ephemeris, const SpotOptions& options,
                          const std::optional<Instant>& instant) {
    SpotDetection result;
    const Prepared p = Prepare(picture, frame, ephemeris, options, nullptr, result);
    if (!result.error.empty()) return result;
    const cv::Mat& grey = p.grey;
    const DiskArea& disk = p.disk;
    const QuietSun& quiet = p.quiet;
    const PictureMeasures& measures = p.measures;

    // Every pixel darker than the penumbra level, and the blocks that hold one.
    const DarkPixels dark =
        FindDarkPixels(grey, disk, quiet, options.penumbraLevel, options.maskSigmas);
    const int64_t darkPixels = dark.darkPixels, diskPixels = dark.diskPixels;
    result.diskSeen =
        std::clamp(static_cast<double>(diskPixels) / (degrees::kPi * disk.r * disk.r), 0.0, 1.0);
    if (static_cast<double>(darkPixels) > kMostDarkShare * static_cast<double>(diskPixels)) {
        result.error = "too much of the disk is darker than the quiet Sun (clouds, or a disk "
                       "that is not the Sun's): no spots counted";
        return result;
    }

    spots::Search s{grey,      picture,  disk, quiet, frame, ephemeris, options,
                    dark.mask, measures, 0,    {},    {},    {}};
    s.pixelMsh = kPerHemisphere / (2 * degrees::kPi * disk.r * disk.r);
    // The block patches: blocks with dark pixels, joined across one block of margin, so
    // that every dark patch lies within the blocks of one of them.
    cv::Mat joined, blockLabels, blockStats, blockCentroids;
    cv::dilate(dark.blocks, joined, cv::Mat::ones(3, 3, CV_8U));
    const int32_t blockPatches = cv::connectedComponentsWithStats(joined, blockLabels, blockStats,
                                                                  blockCentroids, 8, CV_32S);
    for (int32_t b = 1; b < blockPatches; ++b) {
        const cv::Rect rect(blockStats.at<int32_t>(b, cv::CC_STAT_LEFT),
                            blockStats.at<int32_t>(b, cv::CC_STAT_TOP),
                            blockStats.at<int32_t>(b, cv::CC_STAT_WIDTH),
                            blockStats.at<int32_t>(b, cv::CC_STAT_HEIGHT));
        spots::LabelBlockPatch(s, dark.mask, blockLabels, b, rect);
        if (s.spots.size() > kMostSpots) {
            result.error = "more dark features than the Sun ever shows spots (noise, or a "
                           "picture of something else): no spots counted";
            return result;
        }
    }
    result.rejected = std::move(s.rejected);

    // The spots as they are found, then a planet crossing the disk taken out of them.
    for (spots::Measured& m : s.spots)
        result.spots.push_back(SpotOf(m, s.pixelMsh));
    result.patches = std::move(s.patches);
    if (instant) TakeOutTransits(result, frame, ephemeris, *instant);

    // Groups as observers draw them.
    std::vector<SpotPlace> places;
    places.reserve(result.spots.size());
    for (const DetectedSpot& spot : result.spots) {
        places.push_back({spot.latitude, spot.centralDistance, SpotRadiusDegrees(spot.areaMsh),
                          spot.areaMsh, spot.umbraPixels > 0});
    }
    const SpotGrouping grouping =
        GroupSpots(places, options.smallestGroupLink, options.largestGroupLink);
    AssembleDetection(result, grouping.groupOf, ephemeris);
    ClassifyGroups(result);
    return result;
}

SpotDetection MeasureSpotAt(const PixelGrid& picture, const DiskFrame& frame,
                            const Ephemeris& ephemeris, double x, double y,
                            const SpotOptions& options) {
    SpotDetection result;
    if (!Finite(x) || !Finite(y) || !Finite(frame.rx)) {
        result.error = "the point or the disk is not usable";
        return result;
    }
    // The quiet Sun is measured in a square round the point: a tenth of the disk's radius
    // either side, and never less than a few dozen pixels.
    constexpr double kShareOfRadius = 0.1;
    constexpr double kLeastHalf = 48;
    const double half = std::max(kLeastHalf, kShareOfRadius * frame.rx);
    const auto at = [](double v) { return static_cast<int32_t>(std::clamp(v, -1e9, 1e9)); };
    const cv::Rect region(at(std::floor(x - half)), at(std::floor(y - half)), at(2 * half + 1),
                          at(2 * half + 1));
    const Prepared p = Prepare(picture, frame, ephemeris, options, &region, result);
    if (!result.error.empty()) return result;
    const DarkPixels dark =
        FindDarkPixels(p.grey, p.disk, p.quiet, options.penumbraLevel, options.maskSigmas);
    // The dark pixel nearest the point, within the blur's reach and a few pixels.
    const cv::Rect box = region & cv::Rect(0, 0, p.grey.cols, p.grey.rows);
    const double reach = 3 + 2 * p.measures.blur;
    cv::Point nearest(-1, -1);
    double best = reach * reach;
    for (int32_t j = std::max(box.y, at(std::floor(y - reach)));
         j <= std::min(box.y + box.height - 1, at(std::ceil(y + reach))); ++j) {
        for (int32_t i = std::max(box.x, at(std::floor(x - reach)));
             i <= std::min(box.x + box.width - 1, at(std::ceil(x + reach))); ++i) {
            const double d = (i - x) * (i - x) + (j - y) * (j - y);
            if (dark.mask.at<uint8_t>(j, i) && d <= best) {
                best = d;
                nearest = {i, j};
            }
        }
    }
    if (nearest.x < 0) {
        result.error = "there is no dark spot at that point";
        return result;
    }
    cv::Mat labels;
    cv::connectedComponents(dark.mask(box), labels, 8, CV_32S);
    const int32_t label = labels.at<int32_t>(nearest - box.tl());
    const cv::Mat mine = labels == label;
    const cv::Rect patchBox = cv::boundingRect(mine);
    spots::Search s{p.grey,    picture,    p.disk, p.quiet, frame, ephemeris, options,
                    dark.mask, p.measures, 0,      {},      {},    {}};
    s.pixelMsh = kPerHemisphere / (2 * degrees::kPi * p.disk.r * p.disk.r);
    s.judge = false;
    spots::MeasurePatch(s, mine(patchBox), patchBox + box.tl());
    for (spots::Measured& m : s.spots)
        result.spots.push_back(SpotOf(m, s.pixelMsh));
    result.patches = std::move(s.patches);
    result.blur = p.measures.blur;
    const std::vector<int32_t> oneGroup(result.spots.size(), 1);
    AssembleDetection(result, oneGroup, ephemeris);
    if (result.spots.empty()) result.error = "the dark patch there lies off the disk";
    return result;
}

ReviewOutcome AddSpotAt(SpotReview& review, const PixelGrid& picture, double x, double y,
                        const SpotOptions& options) {
    return review.AddSpot(
        MeasureSpotAt(picture, review.Frame(), review.EphemerisOfPicture(), x, y, options), x, y,
        options);
}

SpotDetection DetectSpots(const PixelGrid& picture, const PictureContext& context,
                          const ChartGeometry& chart, const Ephemeris& ephemeris,
                          const SpotOptions& options) {
    if (!context.disk) {
        SpotDetection result;
        result.error = "the picture has no disk to find spots on";
        return result;
    }
    return DetectSpots(picture, PictureFrame(context, chart, ephemeris), ephemeris, options,
                       context.instant);
}

} // namespace zorva
