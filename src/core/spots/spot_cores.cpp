// The spots within one dark patch, told as an observer tells them: each darkest point that
// stands out of the rest of the patch by more than the picture's noise is a spot of its
// own (two umbrae in one penumbra, a pore at its edge), and each pixel belongs to the spot
// whose darkest point it runs down to.
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "core/spots/spot_search.h"

namespace zorva::spots {

PointWeights WeightsOfPoint(double sigma) {
    // A blur narrower than this keeps a point within its pixel to a millionth.
    constexpr double kNarrowest = 0.2;
    const double s = std::max(kNarrowest, std::isfinite(sigma) ? sigma : kNarrowest);
    PointWeights w{};
    double sum = 0;
    for (int32_t j = -1, k = 0; j <= 1; ++j) {
        for (int32_t i = -1; i <= 1; ++i, ++k) {
            w[static_cast<std::size_t>(k)] = std::exp(-(i * i + j * j) / (2 * s * s));
            sum += w[static_cast<std::size_t>(k)];
        }
    }
    for (double& v : w)
        v /= sum;
    return w;
}

cv::Mat RatioAround(const Search& s, const cv::Rect& box, const LocalQuiet& local) {
    const cv::Rect wide(box.x - 1, box.y - 1, box.width + 2, box.height + 2);
    cv::Mat ratio(wide.height, wide.width, CV_32F,
                  cv::Scalar(std::numeric_limits<float>::quiet_NaN()));
    for (int32_t j = 0; j < wide.height; ++j) {
        const int32_t y = wide.y + j;
        if (y < 0 || y >= s.grey.rows) continue;
        for (int32_t i = 0; i < wide.width; ++i) {
            const int32_t x = wide.x + i;
            if (x < 0 || x >= s.grey.cols || !s.disk.Searched(x, y)) continue;
            ratio.at<float>(j, i) =
                static_cast<float>(s.quiet.Ratio(s.grey.at<uint8_t>(y, x), x, y) / local.At(x, y));
        }
    }
    return ratio;
}

cv::Mat PointMeans(const Search& s, const cv::Mat& around, const cv::Mat& inPatch) {
    const PointWeights& w = s.measures.point;
    cv::Mat means(inPatch.rows, inPatch.cols, CV_32F, cv::Scalar(1));
    for (int32_t j = 0; j < inPatch.rows; ++j) {
        for (int32_t i = 0; i < inPatch.cols; ++i) {
            if (!inPatch.at<uint8_t>(j, i)) continue;
            double sum = 0, weights = 0;
            for (int32_t dj = 0, k = 0; dj < 3; ++dj) {
                for (int32_t di = 0; di < 3; ++di, ++k) {
                    const float v = around.at<float>(j + dj, i + di);
                    if (std::isnan(v)) continue;
                    sum += w[static_cast<std::size_t>(k)] * v;
                    weights += w[static_cast<std::size_t>(k)];
                }
            }
            if (weights > 0) means.at<float>(j, i) = static_cast<float>(sum / weights);
        }
    }
    return means;
}

namespace {

// Sorts (level, place) pairs: into as many buckets as there are pairs by level, then each
// bucket, a few pairs at most where the levels spread evenly, on its own. The order of a
// plain sort, in time that grows with the number of pairs alone.
void SortByLevel(std::vector<std::pair<float, int32_t>>& pairs) {
    const auto [low, high] = std::minmax_element(pairs.begin(), pairs.end());
    const double from = low->first, span = static_cast<double>(high->first) - from;
    const std::size_t n = pairs.size();
    if (!(span > 0) || n < 2) {
        std::sort(pairs.begin(), pairs.end());
        return;
    }
    const auto bucketOf = [&](float v) {
        const double t = (v - from) / span * static_cast<double>(n);
        // Not a number (which no patch holds) goes first rather than anywhere undefined.
        return t >= 0 ? std::min(n - 1, static_cast<std::size_t>(std::min<double>(t, n))) : 0;
    };
    std::vector<std::size_t> starts(n + 1, 0);
    for (const auto& p : pairs)
        ++starts[bucketOf(p.first) + 1];
    for (std::size_t b = 0; b < n; ++b)
        starts[b + 1] += starts[b];
    std::vector<std::pair<float, int32_t>> sorted(n);
    std::vector<std::size_t> next(starts.begin(), starts.end() - 1);
    for (const auto& p : pairs)
        sorted[next[bucketOf(p.first)]++] = p;
    for (std::size_t b = 0; b < n; ++b) {
        const auto first = sorted.begin() + static_cast<std::ptrdiff_t>(starts[b]);
        const auto last = sorted.begin() + static_cast<std::ptrdiff_t>(starts[b + 1]);
        if (last - first > 1) std::sort(first, last);
    }
    pairs.swap(sorted);
}

} // namespace

// Flooded from the darkest pixel up, as a landscape fills with water: a pixel with no
// flooded neighbour starts a basin at a darkest point; one that touches two basins is
// their saddle, where the shallower basin's depth below it (its dynamics) says whether its
// darkest point is a spot of its own or the noise of the deeper one's slope.
Cores FindCores(const cv::Mat& means, const cv::Mat& ratio, const cv::Mat& inPatch, double rise,
                double darkEnough) {
    Cores cores;
    cores.owner = cv::Mat(inPatch.rows, inPatch.cols, CV_32S, cv::Scalar(-1));
    // The patch's pixels from the darkest up (a tie by their place, so that the flood is
    // the same every time).
    std::vector<std::pair<float, int32_t>> order;
    for (int32_t j = 0; j < inPatch.rows; ++j)
        for (int32_t i = 0; i < inPatch.cols; ++i)
            if (inPatch.at<uint8_t>(j, i))
                order.emplace_back(means.at<float>(j, i), j * inPatch.cols + i);
    if (order.empty()) return cores;
    SortByLevel(order);

    // The basin of each pixel and its level, on a grid a pixel wider on every side, where
    // the border (and every pixel not yet flooded) has no basin.
    const int32_t wide = inPatch.cols + 2;
    std::vector<int32_t> basinOf(static_cast<std::size_t>(wide) * (inPatch.rows + 2), -1);
    std::vector<float> levelOf(basinOf.size(), 0);
    const std::array<int32_t, 8> around = {-wide - 1, -wide,    -wide + 1, -1,
                                           1,         wide - 1, wide,      wide + 1};
    std::vector<int32_t> root;       // union of basins, for the flood
    std::vector<int32_t> joinedInto; // the deeper basin each joined, -1 while it stands
    std::vector<float> bottom;       // the darkest weighted mean of each basin
    std::vector<float> rawDarkest;   // and its darkest pixel
    std::vector<bool> isCore;
    const auto find = [&](int32_t b) {
        while (root[static_cast<std::size_t>(b)] != b) {
            root[static_cast<std::size_t>(b)] =
                root[static_cast<std::size_t>(root[static_cast<std::size_t>(b)])];
            b = root[static_cast<std::size_t>(b)];
        }
        return b;
    };
    for (const auto& [level, p] : order) {
        const int32_t y = p / inPatch.cols, x = p % inPatch.cols;
        const int32_t at = (y + 1) * wide + x + 1;
        // The flooded neighbours' basins, and the neighbour lowest of all.
        std::array<int32_t, 8> basins{};
        std::size_t count = 0;
        int32_t lowest = -1, last = -1;
        float lowestLevel = std::numeric_limits<float>::max();
        for (const int32_t step : around) {
            const auto n = static_cast<std::size_t>(at + step);
            const int32_t b = basinOf[n];
            if (b < 0) continue;
            if (levelOf[n] < lowestLevel) {
                lowestLevel = levelOf[n];
                lowest = b;
            }
            if (b == last) continue;
            last = b;
            const int32_t r = find(b);
            if (std::find(basins.begin(), basins.begin() + static_cast<std::ptrdiff_t>(count), r) ==
                basins.begin() + static_cast<std::ptrdiff_t>(count))
                basins[count++] = r;
        }
        const float raw = ratio.at<float>(y, x);
        levelOf[static_cast<std::size_t>(at)] = level;
        if (count == 0) {
            const auto b = static_cast<int32_t>(root.size());
            root.push_back(b);
            joinedInto.push_back(-1);
            bottom.push_back(level);
            rawDarkest.push_back(raw);
            isCore.push_back(false);
            basinOf[static_cast<std::size_t>(at)] = b;
            continue;
        }
        basinOf[static_cast<std::size_t>(at)] = lowest;
        int32_t deepest = basins[0];
        for (std::size_t k = 1; k < count; ++k) {
            if (bottom[static_cast<std::size_t>(basins[k])] <
                bottom[static_cast<std::size_t>(deepest)])
                deepest = basins[k];
        }
        // The deepest of the basins met goes on; each other one ends here.
        for (std::size_t k = 0; k < count; ++k) {
            const auto b = static_cast<std::size_t>(basins[k]);
            if (basins[k] == deepest) continue;
            isCore[b] = level - bottom[b] >= rise && rawDarkest[b] <= darkEnough;
            joinedInto[b] = deepest;
            root[b] = deepest;
            if (!isCore[b]) {
                auto& d = rawDarkest[static_cast<std::size_t>(deepest)];
                d = std::min(d, rawDarkest[b]);
            }
        }
        auto& d = rawDarkest[static_cast<std::size_t>(deepest)];
        d = std::min(d, raw);
    }
    // The basins that never joined a deeper one are the deepest of their parts of the patch.
    for (std::size_t b = 0; b < root.size(); ++b)
        if (joinedInto[b] < 0) isCore[b] = true;

    // The cores numbered from the darkest; each basin's pixels go to the core it joined
    // through basins that were not cores themselves.
    std::vector<std::size_t> coreBasins;
    for (std::size_t b = 0; b < root.size(); ++b)
        if (isCore[b]) coreBasins.push_back(b);
    std::stable_sort(coreBasins.begin(), coreBasins.end(),
                     [&](std::size_t a, std::size_t b) { return bottom[a] < bottom[b]; });
    std::vector<int32_t> coreOf(root.size(), -1);
    for (std::size_t k = 0; k < coreBasins.size(); ++k)
        coreOf[coreBasins[k]] = static_cast<int32_t>(k);
    const auto ownerOf = [&](int32_t b) {
        while (coreOf[static_cast<std::size_t>(b)] < 0)
            b = joinedInto[static_cast<std::size_t>(b)];
        return coreOf[static_cast<std::size_t>(b)];
    };
    for (int32_t j = 0; j < inPatch.rows; ++j) {
        for (int32_t i = 0; i < inPatch.cols; ++i) {
            const int32_t b = basinOf[static_cast<std::size_t>((j + 1) * wide + i + 1)];
            if (b >= 0) cores.owner.at<int32_t>(j, i) = ownerOf(b);
        }
    }
    cores.count = static_cast<int32_t>(coreBasins.size());
    return cores;
}

} // namespace zorva::spots
