// Sunspots found on a picture: what is darker than the quiet Sun around it, cut into
// umbrae and penumbrae, counted as SILSO counts spots, grouped on the sphere, and measured
// in millionths of the hemisphere corrected for foreshortening.
#include "core/spots/spot_detection.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "core/chart/foreshortening.h"
#include "core/chart/projection.h"
#include "core/common/angles.h"
#include "core/images/picture_context.h"
#include "core/spots/dark_pixels.h"
#include "core/spots/mcintosh.h"
#include "core/spots/quiet_sun.h"
#include "core/spots/spot_groups.h"
#include "core/spots/wolf_number.h"

namespace zorva {

namespace {

using spots::DarkPixels;
using spots::DiskArea;
using spots::FindDarkPixels;
using spots::kDarkBlock;
using spots::QuietSun;

// Below this radius a disk is a few dozen pixels across: too coarse for a spot to be told
// from a pixel.
constexpr double kSmallestRadius = 8.0;
// A disk whose radius is this many times the picture's side shows the picture as a patch
// of an all but flat Sun: no limb, no limb darkening, nothing to measure a spot against.
constexpr double kLargestRadiusPerSide = 64.0;
constexpr int32_t kBlock = kDarkBlock;
// More of the disk than this darker than the quiet Sun is not a spotted Sun: the largest
// groups ever seen cover well under one per cent of it. Clouds, a wrong disk or a picture
// of something else.
constexpr double kMostDarkShare = 0.05;
constexpr double kPerHemisphere = 1e6;
constexpr double kHalfCircle = 180.0;
constexpr double kFullCircle = 360.0;
// A line one pixel thick and this long or longer is a scan or transfer line, not a spot.
constexpr int32_t kLineLength = 4;

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
           o.penumbraLevel > 0 && o.penumbraLevel <= 1 && o.umbraLevel >= 0 &&
           o.umbraLevel <= o.penumbraLevel && o.limbMu >= 0 && o.limbMu < 1 &&
           o.smallestGroupLink >= 0 && o.largestGroupLink >= 0 && o.largestGroupLink <= kHalfCircle;
}

// Degrees west of the central meridian for a Carrington longitude: L - L0 within +-180.
double WestOfCentre(double longitude, double L0) {
    double d = std::fmod(longitude - L0, kFullCircle);
    if (d > kHalfCircle) d -= kFullCircle;
    if (d <= -kHalfCircle) d += kFullCircle;
    return d;
}

// Where a pixel position lies on the Sun.
struct Place {
    double latitude = 0;
    double longitude = 0;
    double centralDistance = 0;
    double mu = 1;
};
std::optional<Place> PlaceOf(double x, double y, const DiskFrame& frame, const Ephemeris& e) {
    const DiskPoint p = PixelToDisk(frame, x, y);
    const auto at = LocateDiskPoint(p.x, p.y, frame, ApparentDiameter(e), e.B0, e.L0, e.Rotation);
    if (!at || !Finite(at->latitude) || !Finite(at->longitude)) return std::nullopt;
    Place place;
    place.latitude = at->latitude;
    place.longitude = at->longitude;
    place.centralDistance = WestOfCentre(at->longitude, e.L0);
    const double r2 =
        ((x - frame.cx) * (x - frame.cx) + (y - frame.cy) * (y - frame.cy)) / (frame.rx * frame.rx);
    place.mu = MuAtRadius(r2);
    return place;
}

// A spot as it is measured, before it is grouped and numbered.
struct Measured {
    double sumX = 0, sumY = 0;
    int32_t pixels = 0, umbraPixels = 0;
    double area = 0, umbraArea = 0; // in pixels over mu
    double darkest = std::numeric_limits<double>::max();
    std::vector<Outline> umbrae;
    int32_t patch = 0;
    Place place;
};

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

// What one search keeps while it runs.
struct Search {
    const cv::Mat& grey;
    const DiskArea& disk;
    const QuietSun& quiet;
    const DiskFrame& frame;
    const Ephemeris& ephemeris;
    const SpotOptions& options;
    const cv::Mat& dark; // every dark pixel of the picture
    double pixelMsh = 0; // millionths of the hemisphere a pixel at the centre covers
    std::vector<Measured> spots;
    std::vector<SpotPatch> patches;
};

// The patch's area with the pixels along its edge counted by how dark they are: a blurred
// edge spreads a spot's darkness over pixels it only partly covers, and a level cut counts
// those wholly or not at all, which makes a small spot larger than it is. Within `kEdge`
// pixels of the edge each pixel counts as (1 - I) / (1 - I_penumbra), the share of it the
// penumbra would cover to give its darkness. Pixels of another patch are left to it. In
// pixels over mu, as `area`.
double EdgeCorrectedArea(const Search& s, const cv::Mat& inPatch, const cv::Rect& box,
                         const cv::Mat& ratio, double umbraLevel) {
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
            if (d2 > s.disk.searchedSquared) continue;
            const double w = PixelAreaWeight(d2 * invR2);
            if (inner.at<uint8_t>(j, i)) {
                area += w;
                continue;
            }
            const double quiet = s.quiet.At(x, y);
            const double v = quiet > 0 ? s.grey.at<uint8_t>(y, x) / quiet : 1.0;
            area += w * std::clamp((1 - v) / depth, 0.0, 1.0);
        }
    }
    return area;
}

// One dark patch (the pixels of `inPatch` within its bounding box `box` of the picture):
// measured, judged and cut into its spots.
void MeasurePatch(Search& s, const cv::Mat& inPatch, const cv::Rect& box) {
    const SpotOptions& o = s.options;
    // Each pixel's intensity against the quiet Sun, and its weight 1/mu.
    cv::Mat ratio(box.height, box.width, CV_32F, cv::Scalar(0));
    cv::Mat weight(box.height, box.width, CV_32F, cv::Scalar(0));
    int32_t pixels = 0;
    double area = 0, sum = 0, sumSquares = 0, darkest = std::numeric_limits<double>::max();
    int32_t lowest = std::numeric_limits<int32_t>::max(), highest = -1;
    const double invR2 = 1 / (s.disk.r * s.disk.r);
    for (int32_t j = 0; j < box.height; ++j) {
        const int32_t y = box.y + j;
        const auto* in = inPatch.ptr<uint8_t>(j);
        const auto* grey = s.grey.ptr<uint8_t>(y);
        for (int32_t i = 0; i < box.width; ++i) {
            if (!in[i]) continue;
            const int32_t x = box.x + i;
            const double quiet = s.quiet.At(x, y);
            const double v = quiet > 0 ? grey[x] / quiet : 1.0;
            const double d2 =
                ((x - s.disk.cx) * (x - s.disk.cx) + (y - s.disk.cy) * (y - s.disk.cy)) * invR2;
            const double w = PixelAreaWeight(d2);
            ratio.at<float>(j, i) = static_cast<float>(v);
            weight.at<float>(j, i) = static_cast<float>(w);
            ++pixels;
            area += w;
            sum += v;
            sumSquares += v * v;
            darkest = std::min(darkest, v);
            lowest = std::min<int32_t>(lowest, grey[x]);
            highest = std::max<int32_t>(highest, grey[x]);
        }
    }
    constexpr int32_t kTwoPixels = 2;
    const bool darkPair = pixels == kTwoPixels && darkest < o.twoPixelDarkest;
    if ((pixels < o.smallestSpotPixels && !darkPair) || area * s.pixelMsh < o.smallestSpotMsh)
        return;
    // Too faint to count: a dark lane of granulation, the noise, an uneven background.
    if (darkest > 1 - o.poreContrast) return;
    // A patch of one grey level, dark, is a dead cluster or dust, not a spot with its
    // graded edge; a line one pixel thick is a fault of the camera or the transfer.
    if (highest == lowest && pixels > 1) return;
    if (std::min(box.width, box.height) == 1 && std::max(box.width, box.height) >= kLineLength)
        return;

    // The umbrae: darker than the umbra level, or by Zharkov's rule than the spot's own
    // mean less 0.85 of its spread.
    double umbraLevel = o.umbraLevel;
    if (o.adaptiveUmbra) {
        const double mean = sum / pixels;
        const double spread = std::sqrt(std::max(0.0, sumSquares / pixels - mean * mean));
        umbraLevel = std::max(umbraLevel, mean - o.umbraSigma * spread);
    }
    cv::Mat umbra = inPatch & (ratio < umbraLevel);
    cv::Mat umbraLabels, umbraStats, umbraCentroids;
    const int32_t found =
        cv::connectedComponentsWithStats(umbra, umbraLabels, umbraStats, umbraCentroids, 8, CV_32S);
    std::vector<int32_t> kept; // labels of the umbrae large enough to be spots
    for (int32_t u = 1; u < found; ++u) {
        if (umbraStats.at<int32_t>(u, cv::CC_STAT_AREA) >= o.smallestUmbraPixels) kept.push_back(u);
    }

    const auto patchIndex = static_cast<int32_t>(s.patches.size());
    const double edgeCorrected = EdgeCorrectedArea(s, inPatch, box, ratio, umbraLevel);
    const double scale = edgeCorrected / area;
    SpotPatch patch;
    patch.outline = OutlineOf(inPatch, box.x, box.y);
    patch.pixels = pixels;
    patch.areaMsh = edgeCorrected * s.pixelMsh;

    // Each pixel goes to the spot whose umbra is nearest to it.
    const std::size_t first = s.spots.size();
    const std::size_t count = std::max<std::size_t>(1, kept.size());
    s.spots.resize(first + count);
    cv::Mat owner(box.height, box.width, CV_32S, cv::Scalar(0)); // index among the spots
    if (kept.size() > 1) {
        std::vector<int32_t> spotOfUmbra(static_cast<std::size_t>(found), -1);
        for (std::size_t k = 0; k < kept.size(); ++k)
            spotOfUmbra[static_cast<std::size_t>(kept[k])] = static_cast<int32_t>(k);
        const auto spotAt = [&](int32_t j, int32_t i) {
            return spotOfUmbra[static_cast<std::size_t>(umbraLabels.at<int32_t>(j, i))];
        };
        cv::Mat notUmbra(box.height, box.width, CV_8U, cv::Scalar(255));
        for (int32_t j = 0; j < box.height; ++j) {
            for (int32_t i = 0; i < box.width; ++i) {
                if (spotAt(j, i) >= 0) notUmbra.at<uint8_t>(j, i) = 0;
            }
        }
        cv::Mat distance, nearest;
        cv::distanceTransform(notUmbra, distance, nearest, cv::DIST_L2, cv::DIST_MASK_5,
                              cv::DIST_LABEL_CCOMP);
        // The transform numbers the umbrae its own way; each of its numbers is read off
        // the umbra pixels it marks.
        double most = 0;
        cv::minMaxLoc(nearest, nullptr, &most);
        std::vector<int32_t> spotOfNumber(static_cast<std::size_t>(most) + 1, 0);
        for (int32_t j = 0; j < box.height; ++j) {
            for (int32_t i = 0; i < box.width; ++i) {
                const int32_t k = spotAt(j, i);
                if (k >= 0) spotOfNumber[static_cast<std::size_t>(nearest.at<int32_t>(j, i))] = k;
            }
        }
        for (int32_t j = 0; j < box.height; ++j) {
            for (int32_t i = 0; i < box.width; ++i) {
                owner.at<int32_t>(j, i) =
                    spotOfNumber[static_cast<std::size_t>(nearest.at<int32_t>(j, i))];
            }
        }
    }
    std::vector<bool> isKept(static_cast<std::size_t>(found), false);
    for (const int32_t u : kept)
        isKept[static_cast<std::size_t>(u)] = true;
    for (int32_t j = 0; j < box.height; ++j) {
        const auto* in = inPatch.ptr<uint8_t>(j);
        for (int32_t i = 0; i < box.width; ++i) {
            if (!in[i]) continue;
            Measured& m = s.spots[first + static_cast<std::size_t>(owner.at<int32_t>(j, i))];
            const double w = weight.at<float>(j, i);
            m.sumX += box.x + i;
            m.sumY += box.y + j;
            ++m.pixels;
            m.area += w;
            m.darkest = std::min<double>(m.darkest, ratio.at<float>(j, i));
            if (isKept[static_cast<std::size_t>(umbraLabels.at<int32_t>(j, i))]) {
                ++m.umbraPixels;
                m.umbraArea += w;
            }
        }
    }
    for (std::size_t k = 0; k < kept.size(); ++k) {
        cv::Mat one = umbraLabels == kept[k];
        s.spots[first + k].umbrae.push_back(OutlineOf(one, box.x, box.y));
    }
    // Each spot placed on the Sun; one the projection cannot place (which only a disk
    // beyond the picture's numbers could give) is dropped.
    for (std::size_t k = first; k < s.spots.size();) {
        Measured& m = s.spots[k];
        m.patch = patchIndex;
        // Each spot's share of the patch's edge, as of its pixels.
        m.area = std::max(m.umbraArea, m.area * scale);
        const auto place = m.pixels > 0
                               ? PlaceOf(m.sumX / m.pixels, m.sumY / m.pixels, s.frame, s.ephemeris)
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

// Labels the dark pixels of `mask` within the blocks of one block patch and measures each
// dark patch found there.
void LabelBlockPatch(Search& s, const cv::Mat& mask, const cv::Mat& blockLabels, int32_t blockLabel,
                     const cv::Rect& blocks) {
    const cv::Rect box = cv::Rect(blocks.x * kBlock, blocks.y * kBlock, blocks.width * kBlock,
                                  blocks.height * kBlock) &
                         cv::Rect(0, 0, mask.cols, mask.rows);
    if (box.empty()) return;
    // Only the pixels in this patch's own blocks: a neighbour's box may reach into it.
    cv::Mat mine = blockLabels(blocks) == blockLabel;
    cv::Mat mineFull;
    cv::resize(mine, mineFull, cv::Size(blocks.width * kBlock, blocks.height * kBlock), 0, 0,
               cv::INTER_NEAREST);
    cv::Mat dark = mask(box) & mineFull(cv::Rect(0, 0, box.width, box.height));
    cv::Mat labels, stats, centroids;
    const int32_t found =
        cv::connectedComponentsWithStats(dark, labels, stats, centroids, 8, CV_32S);
    for (int32_t c = 1; c < found; ++c) {
        constexpr int32_t kTwoPixels = 2;
        const int32_t pixels = stats.at<int32_t>(c, cv::CC_STAT_AREA);
        if (pixels < std::min(kTwoPixels, s.options.smallestSpotPixels)) continue;
        const cv::Rect inner(
            stats.at<int32_t>(c, cv::CC_STAT_LEFT), stats.at<int32_t>(c, cv::CC_STAT_TOP),
            stats.at<int32_t>(c, cv::CC_STAT_WIDTH), stats.at<int32_t>(c, cv::CC_STAT_HEIGHT));
        const cv::Mat inPatch = labels(inner) == c;
        MeasurePatch(s, inPatch, inner + box.tl());
    }
}

} // namespace

SpotDetection DetectSpots(const PixelGrid& picture, const DiskFrame& frame,
                          const Ephemeris& ephemeris, const SpotOptions& options) {
    SpotDetection result;
    const cv::Mat grey = GreyOf(picture);
    if (grey.empty()) {
        result.error = "the picture has no pixels";
        return result;
    }
    if (!UsableOptions(options)) {
        result.error = "the spot search's levels are out of range";
        return result;
    }
    if (!Finite(frame.cx) || !Finite(frame.cy) || !Finite(frame.rx) || !Finite(frame.q) ||
        !Finite(frame.diameter) || !(frame.diameter > 0) || !Finite(ephemeris.B0) ||
        !Finite(ephemeris.L0) || !Finite(ApparentDiameter(ephemeris)) ||
        !(ApparentDiameter(ephemeris) > 0)) {
        result.error = "the disk or the instant is not usable";
        return result;
    }
    if (frame.rx < kSmallestRadius) {
        result.error = "the disk is too small to find spots on";
        return result;
    }
    if (frame.rx > kLargestRadiusPerSide * std::max(grey.cols, grey.rows)) {
        result.error = "the disk is far larger than the picture";
        return result;
    }

    DiskArea disk;
    disk.cx = frame.cx;
    disk.cy = frame.cy;
    disk.r = frame.rx;
    disk.searchedSquared = disk.r * disk.r * (1 - options.limbMu * options.limbMu);
    const double reach = std::sqrt(disk.searchedSquared);
    // Clamped before they become whole numbers: a disk far beside the picture has edges no
    // int holds.
    const auto within = [](double v, int32_t last) {
        return static_cast<int32_t>(std::clamp(v, -1.0, static_cast<double>(last) + 1));
    };
    disk.left = std::max(0, within(std::ceil(disk.cx - reach), grey.cols - 1));
    disk.right = std::min(grey.cols - 1, within(std::floor(disk.cx + reach), grey.cols - 1));
    disk.top = std::max(0, within(std::ceil(disk.cy - reach), grey.rows - 1));
    disk.bottom = std::min(grey.rows - 1, within(std::floor(disk.cy + reach), grey.rows - 1));
    if (disk.left > disk.right || disk.top > disk.bottom) {
        result.error = "the disk lies outside the picture";
        return result;
    }

    const QuietSun quiet = QuietSun::Measure(grey, disk, result.error);
    if (!result.error.empty()) return result;
    result.quietSun = quiet.Centre();

    // Every pixel darker than the penumbra level, and the blocks that hold one.
    const DarkPixels dark = FindDarkPixels(grey, disk, quiet, options.penumbraLevel);
    const int64_t darkPixels = dark.darkPixels, diskPixels = dark.diskPixels;
    if (static_cast<double>(darkPixels) > kMostDarkShare * static_cast<double>(diskPixels)) {
        result.error = "too much of the disk is darker than the quiet Sun (clouds, or a disk "
                       "that is not the Sun's): no spots counted";
        return result;
    }

    Search s{grey, disk, quiet, frame, ephemeris, options, dark.mask, {}, {}, {}};
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
        LabelBlockPatch(s, dark.mask, blockLabels, b, rect);
    }

    // Groups on the sphere.
    std::vector<SpotPlace> places;
    places.reserve(s.spots.size());
    for (const Measured& m : s.spots) {
        places.push_back(
            {m.place.latitude, m.place.longitude, SpotRadiusDegrees(m.area * s.pixelMsh)});
    }
    const SpotGrouping grouping =
        GroupSpots(places, options.smallestGroupLink, options.largestGroupLink);
    const std::size_t groupCount = grouping.extent.size();
    struct GroupSum {
        double sumX = 0, sumY = 0, area = 0, umbra = 0;
        int32_t pixels = 0, spots = 0;
    };
    std::vector<GroupSum> sums(groupCount);
    for (std::size_t k = 0; k < s.spots.size(); ++k) {
        GroupSum& g = sums[static_cast<std::size_t>(grouping.groupOf[k])];
        const Measured& m = s.spots[k];
        g.sumX += m.sumX;
        g.sumY += m.sumY;
        g.pixels += m.pixels;
        g.area += m.area;
        g.umbra += m.umbraArea;
        ++g.spots;
    }
    std::vector<SpotGroup> groups(groupCount);
    for (std::size_t g = 0; g < groupCount; ++g) {
        SpotGroup& group = groups[g];
        group.x = sums[g].sumX / sums[g].pixels;
        group.y = sums[g].sumY / sums[g].pixels;
        // The centre of a group's pixels lies on the disk, as each of them does.
        const Place place = PlaceOf(group.x, group.y, frame, ephemeris).value_or(Place{});
        group.latitude = place.latitude;
        group.longitude = place.longitude;
        group.centralDistance = place.centralDistance;
        group.mu = place.mu;
        group.spots = sums[g].spots;
        group.areaMsh = sums[g].area * s.pixelMsh;
        group.umbraMsh = sums[g].umbra * s.pixelMsh;
        group.extent = grouping.extent[g];
    }
    // Numbered from east to west, groups and the spots within each.
    std::vector<std::size_t> groupOrder(groupCount);
    for (std::size_t g = 0; g < groupCount; ++g)
        groupOrder[g] = g;
    const auto eastFirst = [](const auto& a, const auto& b) {
        if (a.centralDistance != b.centralDistance) return a.centralDistance < b.centralDistance;
        return a.latitude > b.latitude;
    };
    std::sort(groupOrder.begin(), groupOrder.end(),
              [&](std::size_t a, std::size_t b) { return eastFirst(groups[a], groups[b]); });
    std::vector<int32_t> groupId(groupCount);
    for (std::size_t n = 0; n < groupCount; ++n) {
        groupId[groupOrder[n]] = static_cast<int32_t>(n + 1);
        groups[groupOrder[n]].id = static_cast<int32_t>(n + 1);
        result.groups.push_back(groups[groupOrder[n]]);
    }
    std::vector<std::size_t> spotOrder(s.spots.size());
    for (std::size_t k = 0; k < spotOrder.size(); ++k)
        spotOrder[k] = k;
    std::sort(spotOrder.begin(), spotOrder.end(), [&](std::size_t a, std::size_t b) {
        const int32_t ga = groupId[static_cast<std::size_t>(grouping.groupOf[a])];
        const int32_t gb = groupId[static_cast<std::size_t>(grouping.groupOf[b])];
        if (ga != gb) return ga < gb;
        return eastFirst(s.spots[a].place, s.spots[b].place);
    });
    result.patches = std::move(s.patches);
    for (std::size_t n = 0; n < spotOrder.size(); ++n) {
        Measured& m = s.spots[spotOrder[n]];
        DetectedSpot spot;
        spot.id = static_cast<int32_t>(n + 1);
        spot.group = groupId[static_cast<std::size_t>(grouping.groupOf[spotOrder[n]])];
        spot.patch = m.patch;
        spot.x = m.sumX / m.pixels;
        spot.y = m.sumY / m.pixels;
        spot.latitude = m.place.latitude;
        spot.longitude = m.place.longitude;
        spot.centralDistance = m.place.centralDistance;
        spot.mu = m.place.mu;
        spot.areaMsh = m.area * s.pixelMsh;
        spot.umbraMsh = m.umbraArea * s.pixelMsh;
        spot.pixels = m.pixels;
        spot.umbraPixels = m.umbraPixels;
        spot.darkest = m.darkest;
        spot.umbrae = std::move(m.umbrae);
        SpotPatch& patch = result.patches[static_cast<std::size_t>(m.patch)];
        patch.group = spot.group;
        patch.spots.push_back(spot.id);
        result.spots.push_back(std::move(spot));
    }

    WolfNumber& wolf = result.wolf;
    wolf.groups = static_cast<int32_t>(result.groups.size());
    wolf.spots = static_cast<int32_t>(result.spots.size());
    wolf.total = static_cast<int32_t>(WolfNumberOf(wolf.groups, wolf.spots));
    // Each hemisphere's part: the groups whose centroid lies in it, with their spots.
    for (const SpotGroup& g : result.groups) {
        (g.latitude >= 0 ? wolf.north : wolf.south) +=
            static_cast<int32_t>(WolfNumberOf(1, g.spots));
    }
    ClassifyGroups(result);
    return result;
}

SpotDetection DetectSpots(const PixelGrid& picture, const PictureContext& context,
                          const ChartGeometry& chart, const Ephemeris& ephemeris,
                          const SpotOptions& options) {
    if (!context.disk) {
        SpotDetection result;
        result.error = "the picture has no disk to find spots on";
        return result;
    }
    return DetectSpots(picture, PictureFrame(context, chart, ephemeris), ephemeris, options);
}

} // namespace zorva
