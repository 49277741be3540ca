// The quiet Sun under the spots: limb darkening from ring medians, and what is left of
// the frame's own unevenness from a filtered grid of cell medians.
#include "core/spots/quiet_sun.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include <opencv2/imgproc.hpp>

namespace zorva::spots {

namespace {

constexpr int32_t kLevels = 256; // an 8-bit picture's grey levels
// Rings: one bin for each pixel of radius, which near the limb (where a ring of equal area
// is thinnest) is half a pixel wide. Bins are of equal area, so each holds about pi r
// pixels.
constexpr int32_t kFewestRings = 8;
constexpr int32_t kMostRings = 4096;
// A ring or a cell with fewer pixels than this has no median to trust.
constexpr int32_t kFewestSamples = 8;
// Cells: the disk is about 32 cells across, coarse enough that a large spot covers a few
// of them at most, fine enough to follow a gradient or a cloud's edge.
constexpr double kCellsAcross = 32;
constexpr int32_t kSmallestCell = 4;
// A cell counts when this share of it holds disk pixels; cells astride the limb are filled
// from their neighbours.
constexpr double kCellCover = 0.3;
// The ratio to the ring level is binned in 1/256 steps from 0 to 2.
constexpr int32_t kRatioSteps = 256;
constexpr int32_t kRatioBins = 2 * kRatioSteps;
// A disk of this radius or more is sampled every other row and column for the two medians,
// and every third from the next: what is left still puts hundreds of pixels in every ring
// and cell.
constexpr double kSampleEveryOtherFrom = 300;
constexpr double kSampleEveryThirdFrom = 1200;
// Smoothing the cell map: a 5 x 5 median drops a cell a large spot darkens (it is fewer
// than half of its neighbourhood), and a last light Gaussian leaves no seams.
constexpr int32_t kMapMedian = 5;
constexpr double kSmoothSigma = 0.7;
// A normal distribution's sigma is 1.4826 times its median absolute deviation.
constexpr double kMadToSigma = 1.4826;
// The spread a grey level's whole steps leave on their own: 1 / sqrt(12) of a step.
constexpr double kQuantumSpread = 0.2887;
// A cell at least this full of the disk is judged for a cloud's edge.
constexpr double kFilledCell = 0.9;
// Neighbouring cells of a clear sky differ by a per cent or two (a frame's gradient, the
// granulation); a step of this much is a cloud's edge.
constexpr double kCloudStep = 0.06;

// Where the cells lie: cell (i, j) is centred on column left + i cell + (cell - 1) / 2 and
// the matching row.
struct QuietSunLayout {
    int32_t cell = 1, left = 0, top = 0;
};

// The median of a histogram with `total` counts, interpolated within its bin.
double HistogramMedian(const uint32_t* counts, int32_t bins, uint64_t total) {
    const double half = static_cast<double>(total) / 2;
    double below = 0;
    for (int32_t v = 0; v < bins; ++v) {
        const double here = counts[v];
        if (below + here >= half && here > 0) return v + (half - below) / here;
        below += here;
    }
    return bins;
}

// The median absolute deviation from `median` (in bins) of a histogram, interpolated
// within bins: the half-width of the band about the median that holds half the counts.
double HistogramMad(const uint32_t* counts, int32_t bins, uint64_t total, double median) {
    std::vector<double> cumulative(static_cast<std::size_t>(bins) + 1, 0.0);
    for (int32_t v = 0; v < bins; ++v)
        cumulative[static_cast<std::size_t>(v) + 1] =
            cumulative[static_cast<std::size_t>(v)] + counts[v];
    // The counts below a position p (in bins, each bin spread evenly over its width).
    const auto below = [&](double p) {
        const double at = std::clamp(p, 0.0, static_cast<double>(bins));
        const auto whole =
            std::min(static_cast<std::size_t>(at), static_cast<std::size_t>(bins - 1));
        return cumulative[whole] + (cumulative[whole + 1] - cumulative[whole]) * (at - whole);
    };
    const double half = static_cast<double>(total) / 2;
    double low = 0, high = bins;
    // Halving the width 24 times puts it within a millionth of a bin of its place.
    constexpr int32_t kHalvings = 24;
    for (int32_t k = 0; k < kHalvings; ++k) {
        const double mid = (low + high) / 2;
        if (below(median + mid) - below(median - mid) >= half)
            high = mid;
        else
            low = mid;
    }
    return high;
}

// A quadratic in the place of a cell's centre (relative to the disk's centre, in radii)
// fitted by least squares to the cells that have a median, then again without those that
// lie far off the first fit (a large spot, a cloud's edge), evaluated at every cell; the
// median of the cells where too few have one.
cv::Mat FitSurface(const cv::Mat& values, const cv::Mat& weights, const QuietSunLayout& q,
                   const DiskArea& disk) {
    constexpr int32_t kTerms = 6;
    const auto basis = [&](int32_t i, int32_t j, double* b) {
        const double u = (q.left + i * q.cell + (q.cell - 1) / 2.0 - disk.cx) / disk.r;
        const double v = (q.top + j * q.cell + (q.cell - 1) / 2.0 - disk.cy) / disk.r;
        b[0] = 1;
        b[1] = u;
        b[2] = v;
        b[3] = u * u;
        b[4] = u * v;
        b[5] = v * v;
    };
    std::vector<float> measured;
    for (int32_t j = 0; j < values.rows; ++j)
        for (int32_t i = 0; i < values.cols; ++i)
            if (weights.at<float>(j, i) > 0) measured.push_back(values.at<float>(j, i));
    cv::Mat surface(values.rows, values.cols, CV_32F, cv::Scalar(1));
    if (measured.empty()) return surface;
    std::vector<float> sorted = measured;
    std::nth_element(sorted.begin(),
                     sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2), sorted.end());
    surface.setTo(cv::Scalar(sorted[sorted.size() / 2]));
    constexpr std::size_t kFewestCells = 4 * kTerms;
    if (measured.size() < kFewestCells) return surface;
    cv::Mat keep = weights > 0;
    cv::Mat coefficients;
    constexpr int32_t kRounds = 2;
    for (int32_t round = 0; round < kRounds; ++round) {
        cv::Mat a(kTerms, kTerms, CV_64F, cv::Scalar(0)), b(kTerms, 1, CV_64F, cv::Scalar(0));
        int32_t used = 0;
        for (int32_t j = 0; j < values.rows; ++j) {
            for (int32_t i = 0; i < values.cols; ++i) {
                if (!keep.at<uint8_t>(j, i)) continue;
                double t[kTerms];
                basis(i, j, t);
                for (int32_t m = 0; m < kTerms; ++m) {
                    b.at<double>(m) += t[m] * values.at<float>(j, i);
                    for (int32_t n = 0; n < kTerms; ++n)
                        a.at<double>(m, n) += t[m] * t[n];
                }
                ++used;
            }
        }
        if (used < static_cast<int32_t>(kFewestCells) ||
            !cv::solve(a, b, coefficients, cv::DECOMP_SVD))
            return surface;
        // Far off: more than four robust spreads of the cells about the fit, or 2 %.
        std::vector<float> off;
        const auto fitAt = [&](int32_t i, int32_t j) {
            double t[kTerms];
            basis(i, j, t);
            double v = 0;
            for (int32_t m = 0; m < kTerms; ++m)
                v += t[m] * coefficients.at<double>(m);
            return v;
        };
        for (int32_t j = 0; j < values.rows; ++j)
            for (int32_t i = 0; i < values.cols; ++i)
                if (weights.at<float>(j, i) > 0)
                    off.push_back(
                        static_cast<float>(std::fabs(values.at<float>(j, i) - fitAt(i, j))));
        std::nth_element(off.begin(), off.begin() + static_cast<std::ptrdiff_t>(off.size() / 2),
                         off.end());
        constexpr double kFarOff = 4 * kMadToSigma, kLeastFarOff = 0.02;
        const double far = std::max(kLeastFarOff, kFarOff * off[off.size() / 2]);
        for (int32_t j = 0; j < values.rows; ++j)
            for (int32_t i = 0; i < values.cols; ++i)
                keep.at<uint8_t>(j, i) =
                    weights.at<float>(j, i) > 0 &&
                            std::fabs(values.at<float>(j, i) - fitAt(i, j)) <= far
                        ? 255
                        : 0;
        if (round + 1 == kRounds) {
            for (int32_t j = 0; j < values.rows; ++j)
                for (int32_t i = 0; i < values.cols; ++i)
                    surface.at<float>(j, i) = static_cast<float>(fitAt(i, j));
        }
    }
    return surface;
}

} // namespace

void DiskArea::Chord(int32_t y, int32_t& first, int32_t& last) const {
    const double dy = y - cy;
    const double rest = searchedSquared - dy * dy;
    first = 1;
    last = 0;
    if (rest < 0) return;
    const double half = std::sqrt(rest);
    first = static_cast<int32_t>(std::max<double>(left, std::ceil(cx - half)));
    last = static_cast<int32_t>(std::min<double>(right, std::floor(cx + half)));
}

void DiskArea::InnerChord(int32_t y, int32_t& first, int32_t& last) const {
    const double dy = y - cy;
    const double rest = innerSquared - dy * dy;
    first = 1;
    last = 0;
    if (rest < 0) return;
    const double half = std::sqrt(rest);
    first = static_cast<int32_t>(std::clamp(std::ceil(cx - half), -1.0, right + 1.0));
    last = static_cast<int32_t>(std::clamp(std::floor(cx + half), -1.0, right + 1.0));
}

double DiskArea::LimitAt(double dx, double dy) const {
    if (limit.empty()) return std::sqrt(searchedSquared);
    const auto n = static_cast<double>(limit.size());
    double turn = std::atan2(dy, dx) / (2 * std::numbers::pi);
    if (turn < 0) turn += 1;
    const double at = std::clamp(turn * n, 0.0, n);
    const auto below = static_cast<std::size_t>(std::min(at, n - 1));
    const std::size_t above = (below + 1) % limit.size();
    const double t = at - static_cast<double>(below);
    return limit[below] * (1 - t) + limit[above] * t;
}

bool DiskArea::Searched(double x, double y) const {
    const double dx = x - cx, dy = y - cy;
    const double d2 = dx * dx + dy * dy;
    if (d2 <= innerSquared) return true;
    if (d2 > searchedSquared) return false;
    const double l = LimitAt(dx, dy);
    return d2 <= l * l;
}

QuietSun QuietSun::Measure(const cv::Mat& grey, const DiskArea& disk, double sky,
                           std::string& error) {
    QuietSun q;
    q.cx_ = disk.cx;
    q.cy_ = disk.cy;
    q.sky_ = sky;
    const int32_t step = disk.r >= kSampleEveryThirdFrom   ? 3
                         : disk.r >= kSampleEveryOtherFrom ? 2
                                                           : 1;

    // The rings.
    const auto rings =
        static_cast<int32_t>(std::clamp<double>(std::round(disk.r), kFewestRings, kMostRings));
    q.binsPerSquared_ = rings / disk.searchedSquared;
    std::vector<uint32_t> ringCounts(static_cast<std::size_t>(rings) * kLevels, 0);
    std::vector<uint64_t> ringTotals(static_cast<std::size_t>(rings), 0);
    uint64_t saturated = 0, samples = 0;
    for (int32_t y = disk.top; y <= disk.bottom; y += step) {
        const uint8_t* row = grey.ptr<uint8_t>(y);
        const double dy2 = (y - disk.cy) * (y - disk.cy);
        disk.ForRow(y, step, [&](int32_t x) {
            const double d2 = (x - disk.cx) * (x - disk.cx) + dy2;
            const auto bin =
                static_cast<int32_t>(std::min<double>(rings - 1, d2 * q.binsPerSquared_));
            ++ringCounts[static_cast<std::size_t>(bin) * kLevels + row[x]];
            ++ringTotals[static_cast<std::size_t>(bin)];
            saturated += row[x] == kLevels - 1;
            ++samples;
        });
    }
    if (samples < kFewestSamples) {
        error = "the disk holds too few of the picture's pixels to find spots on";
        return {};
    }
    // Most of the disk at the top level: its true brightness is unknown, and so is what is
    // dark against it.
    if (saturated * 2 > samples) {
        error = "the disk is saturated: its brightness is cut off, so no spot can be measured";
        return {};
    }
    q.ring_.assign(static_cast<std::size_t>(rings), -1.0F);
    for (int32_t b = 0; b < rings; ++b) {
        const auto i = static_cast<std::size_t>(b);
        if (ringTotals[i] >= kFewestSamples) {
            q.ring_[i] = static_cast<float>(
                HistogramMedian(&ringCounts[i * kLevels], kLevels, ringTotals[i]) - sky);
        }
    }
    // Rings the picture cuts off take the level of the nearest ring it holds.
    float lastKnown = -1.0F;
    for (float& level : q.ring_) {
        if (level >= 0)
            lastKnown = level;
        else
            level = lastKnown;
    }
    lastKnown = -1.0F;
    for (auto it = q.ring_.rbegin(); it != q.ring_.rend(); ++it) {
        if (*it >= 0)
            lastKnown = *it;
        else
            *it = lastKnown;
    }
    q.ringBeyond_.assign(q.ring_.size(), 0.0F);
    for (std::size_t b = q.ring_.size(); b-- > 0;)
        q.ringBeyond_[b] =
            std::max(q.ring_[b], b + 1 < q.ring_.size() ? q.ringBeyond_[b + 1] : 0.0F);
    if (q.ring_.front() < 0) {
        error = "the disk holds too few of the picture's pixels to find spots on";
        return {};
    }
    // A black disk (or one far below the grey levels' resolution) has no contrast to see a
    // spot by.
    constexpr float kDarkestDisk = 8.0F;
    if (*std::max_element(q.ring_.begin(), q.ring_.end()) < kDarkestDisk) {
        error = "the disk is too dark to find spots on";
        return {};
    }

    // The cells: the median of each cell's pixels over their ring's level.
    q.cell_ = std::max(kSmallestCell, static_cast<int32_t>(std::ceil(2 * disk.r / kCellsAcross)));
    q.left_ = disk.left;
    q.top_ = disk.top;
    const int32_t columns = (disk.right - disk.left) / q.cell_ + 1;
    const int32_t rows = (disk.bottom - disk.top) / q.cell_ + 1;
    const auto cells = static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows);
    std::vector<uint32_t> cellCounts(cells * kRatioBins, 0);
    std::vector<uint64_t> cellTotals(cells, 0);
    std::vector<float> inverseRing(q.ring_.size());
    for (std::size_t b = 0; b < q.ring_.size(); ++b)
        inverseRing[b] = q.ring_[b] > 0 ? kRatioSteps / q.ring_[b] : 0.0F;
    const auto skyLevel = static_cast<float>(sky);
    std::vector<std::size_t> cellColumn(static_cast<std::size_t>(disk.right - disk.left + 1));
    for (std::size_t i = 0; i < cellColumn.size(); ++i)
        cellColumn[i] = i / static_cast<std::size_t>(q.cell_);
    for (int32_t y = disk.top; y <= disk.bottom; y += step) {
        const uint8_t* row = grey.ptr<uint8_t>(y);
        const double dy2 = (y - disk.cy) * (y - disk.cy);
        const auto cellRow = static_cast<std::size_t>((y - disk.top) / q.cell_);
        disk.ForRow(y, step, [&](int32_t x) {
            const double d2 = (x - disk.cx) * (x - disk.cx) + dy2;
            const auto bin =
                static_cast<int32_t>(std::min<double>(rings - 1, d2 * q.binsPerSquared_));
            const float ratio = (row[x] - skyLevel) * inverseRing[static_cast<std::size_t>(bin)];
            const auto ratioBin =
                static_cast<int32_t>(std::clamp(ratio, 0.0F, static_cast<float>(kRatioBins - 1)));
            const std::size_t cell = cellRow * static_cast<std::size_t>(columns) +
                                     cellColumn[static_cast<std::size_t>(x - disk.left)];
            ++cellCounts[cell * kRatioBins + static_cast<std::size_t>(ratioBin)];
            ++cellTotals[cell];
        });
    }
    const double fullCell = static_cast<double>(q.cell_) * q.cell_ / (step * step);
    const auto fewest =
        static_cast<uint64_t>(std::max<double>(kFewestSamples, kCellCover * fullCell));
    cv::Mat values(rows, columns, CV_32F, cv::Scalar(0));
    cv::Mat weights(rows, columns, CV_32F, cv::Scalar(0));
    cv::Mat spreads(rows, columns, CV_32F, cv::Scalar(0));
    std::vector<float> measuredSpreads;
    for (int32_t j = 0; j < rows; ++j) {
        for (int32_t i = 0; i < columns; ++i) {
            const std::size_t cell = static_cast<std::size_t>(j) * columns + i;
            if (cellTotals[cell] < fewest) continue;
            const uint32_t* counts = &cellCounts[cell * kRatioBins];
            const double median = HistogramMedian(counts, kRatioBins, cellTotals[cell]);
            values.at<float>(j, i) = static_cast<float>(median / kRatioSteps);
            const auto spread = static_cast<float>(
                kMadToSigma * HistogramMad(counts, kRatioBins, cellTotals[cell], median) /
                kRatioSteps);
            spreads.at<float>(j, i) = spread;
            measuredSpreads.push_back(spread);
            weights.at<float>(j, i) = 1.0F;
        }
    }
    // The light of the whole field as a smooth surface over the disk, and the cells' own
    // departures from it. The cells without a median (beyond the limb, or cut off by the
    // frame) take the surface's value there, which follows a photograph's field however
    // steeply its light falls towards one side of the limb; their departure is that of the
    // nearest cell with a median.
    const cv::Mat surface = FitSurface(values, weights, {q.cell_, q.left_, q.top_}, disk);
    for (int32_t j = 0; j < rows; ++j)
        for (int32_t i = 0; i < columns; ++i)
            if (weights.at<float>(j, i) > 0) values.at<float>(j, i) -= surface.at<float>(j, i);
    // Cells without a median (beyond the limb, or cut off by the frame) take the value of
    // the nearest cell with one. The light of a photograph's field may fall steeply towards
    // one side of the limb; a mean of cells further in would be too bright there, and make
    // the limb's edge look dark.
    if (measuredSpreads.empty()) {
        values.setTo(cv::Scalar(0));
    } else {
        cv::Mat empty = weights == 0, distance, nearest;
        cv::distanceTransform(empty, distance, nearest, cv::DIST_L2, cv::DIST_MASK_5,
                              cv::DIST_LABEL_PIXEL);
        // The transform numbers the measured cells its own way; each number's value is read
        // off the cell it marks.
        double most = 0;
        cv::minMaxLoc(nearest, nullptr, &most);
        std::vector<float> valueOfLabel(static_cast<std::size_t>(most) + 1, 0.0F);
        for (int32_t j = 0; j < rows; ++j)
            for (int32_t i = 0; i < columns; ++i)
                if (weights.at<float>(j, i) > 0)
                    valueOfLabel[static_cast<std::size_t>(nearest.at<int32_t>(j, i))] =
                        values.at<float>(j, i);
        for (int32_t j = 0; j < rows; ++j)
            for (int32_t i = 0; i < columns; ++i)
                if (weights.at<float>(j, i) == 0)
                    values.at<float>(j, i) =
                        valueOfLabel[static_cast<std::size_t>(nearest.at<int32_t>(j, i))];
    }
    cv::Mat filtered;
    cv::medianBlur(values, filtered, kMapMedian);
    filtered += surface;
    // A sharp step between neighbouring cells that the median keeps is the edge of a cloud
    // (a spot fills too few cells to survive it): the quiet Sun cannot be followed across
    // it. A step is a change of slope: the light a photograph's optics lose towards the
    // edge of the field, however much, falls off smoothly from cell to cell.
    double steepest = 0;
    // Only cells the disk fills: one the limb cuts holds a sliver of it, whose level leans
    // on the limb's fall.
    const auto usable = [&](int32_t j, int32_t i) {
        return j >= 0 && i >= 0 && j < rows && i < columns &&
               cellTotals[static_cast<std::size_t>(j) * columns + i] >= kFilledCell * fullCell;
    };
    for (int32_t j = 0; j < rows; ++j) {
        for (int32_t i = 0; i < columns; ++i) {
            if (!usable(j, i)) continue;
            const float here = filtered.at<float>(j, i);
            if (usable(j, i - 1) && usable(j, i + 1))
                steepest =
                    std::max<double>(steepest, std::abs(filtered.at<float>(j, i + 1) - 2 * here +
                                                        filtered.at<float>(j, i - 1)));
            if (usable(j - 1, i) && usable(j + 1, i))
                steepest =
                    std::max<double>(steepest, std::abs(filtered.at<float>(j + 1, i) - 2 * here +
                                                        filtered.at<float>(j - 1, i)));
        }
    }
    if (steepest > kCloudStep) {
        error = "the disk is unevenly lit, as by cloud across it: no spots counted";
        return {};
    }
    cv::GaussianBlur(filtered, q.map_, cv::Size(), kSmoothSigma, kSmoothSigma,
                     cv::BORDER_REPLICATE);

    // The spread: never below what the grey levels' own steps leave (a level's step over
    // the square root of 12, as a share of the level at the centre), cells without one
    // taking the median of those that have one, a cell a spot widens dropped by the same
    // median filter as the map's.
    const double quantum = kQuantumSpread / std::max(1.0, static_cast<double>(q.ring_.front()));
    std::sort(measuredSpreads.begin(), measuredSpreads.end());
    q.typicalNoise_ =
        std::max(quantum, measuredSpreads.empty()
                              ? 0.0
                              : static_cast<double>(measuredSpreads[measuredSpreads.size() / 2]));
    for (int32_t j = 0; j < rows; ++j) {
        for (int32_t i = 0; i < columns; ++i) {
            float& v = spreads.at<float>(j, i);
            v = weights.at<float>(j, i) > 0 ? std::max(v, static_cast<float>(quantum))
                                            : static_cast<float>(q.typicalNoise_);
        }
    }
    cv::medianBlur(spreads, q.noise_, kMapMedian);
    return q;
}

double QuietSun::RingAt(double squared) const {
    const auto last = static_cast<int32_t>(ring_.size()) - 1;
    const auto bin =
        static_cast<int32_t>(std::clamp(squared * binsPerSquared_, 0.0, static_cast<double>(last)));
    return ring_[static_cast<std::size_t>(bin)];
}

double QuietSun::MapAt(double x, double y) const {
    const double half = (cell_ - 1) / 2.0;
    const double fx = std::clamp((x - left_ - half) / cell_, 0.0, map_.cols - 1.0);
    const double fy = std::clamp((y - top_ - half) / cell_, 0.0, map_.rows - 1.0);
    const auto i = std::min(static_cast<int32_t>(fx), map_.cols - 2 < 0 ? 0 : map_.cols - 2);
    const auto j = std::min(static_cast<int32_t>(fy), map_.rows - 2 < 0 ? 0 : map_.rows - 2);
    const int32_t i1 = std::min(i + 1, map_.cols - 1);
    const int32_t j1 = std::min(j + 1, map_.rows - 1);
    const double tx = fx - i, ty = fy - j;
    const double top = map_.at<float>(j, i) * (1 - tx) + map_.at<float>(j, i1) * tx;
    const double bottom = map_.at<float>(j1, i) * (1 - tx) + map_.at<float>(j1, i1) * tx;
    return top * (1 - ty) + bottom * ty;
}

double QuietSun::At(int32_t x, int32_t y) const {
    const double d2 = (x - cx_) * (x - cx_) + (y - cy_) * (y - cy_);
    return RingAt(d2) * MapAt(x, y);
}

void QuietSun::Row(int32_t y, int32_t first, int32_t last, std::vector<float>& out) const {
    RowOf(map_, y, first, last, 0.0F, out);
}

void QuietSun::RowOf(const cv::Mat& map, int32_t y, int32_t first, int32_t last, float addend,
                     std::vector<float>& out) const {
    out.resize(static_cast<std::size_t>(std::max(0, last - first + 1)));
    if (out.empty()) return;
    // The map along this row, one value a cell column...
    const double half = (cell_ - 1) / 2.0;
    const double fy = std::clamp((y - top_ - half) / cell_, 0.0, map.rows - 1.0);
    const auto j = std::min(static_cast<int32_t>(fy), std::max(0, map.rows - 2));
    const int32_t j1 = std::min(j + 1, map.rows - 1);
    const auto ty = static_cast<float>(fy - j);
    const float* upper = map.ptr<float>(j);
    const float* lower = map.ptr<float>(j1);
    // ... then straight between the centres of neighbouring cells, a run at a time, and
    // level beyond the first and last centres.
    const auto mapAt = [&](int32_t i) { return upper[i] * (1 - ty) + lower[i] * ty; };
    const int32_t lastCell = map.cols - 1;
    const double firstCentre = left_ + half;
    for (int32_t x = first; x <= last;) {
        const double fx = (x - firstCentre) / cell_;
        float* to = out.data() + (x - first);
        if (fx < 0 || fx >= lastCell) {
            // Before the first centre or beyond the last: the end cell's value, up to the
            // first centre or to the row's end.
            const int32_t i = fx < 0 ? 0 : lastCell;
            const int32_t end =
                fx < 0 ? std::min(last, static_cast<int32_t>(std::floor(firstCentre))) : last;
            const float v = mapAt(i);
            for (int32_t k = x; k <= end; ++k)
                *to++ = v;
            x = std::max(end, x) + 1;
            continue;
        }
        const auto i = static_cast<int32_t>(fx);
        const double centre = firstCentre + static_cast<double>(i) * cell_;
        const auto end = std::min(last, static_cast<int32_t>(std::floor(centre + cell_ - 1e-9)));
        const float a = mapAt(i), b = mapAt(i + 1);
        const float stepX = (b - a) / static_cast<float>(cell_);
        float v = a + stepX * static_cast<float>(x - centre);
        for (int32_t k = x; k <= end; ++k, v += stepX)
            *to++ = v;
        x = std::max(end, x) + 1;
    }
    // Times the ring's level, plus the addend.
    const auto dy = static_cast<float>(y - cy_);
    const float dy2 = dy * dy;
    const auto scale = static_cast<float>(binsPerSquared_);
    const auto lastBin = static_cast<int32_t>(ring_.size()) - 1;
    const auto fcx = static_cast<float>(cx_);
    const float* ring = ring_.data();
    for (int32_t x = first; x <= last; ++x) {
        const float dx = static_cast<float>(x) - fcx;
        const auto bin =
            static_cast<int32_t>(std::min(static_cast<float>(lastBin), (dx * dx + dy2) * scale));
        float& v = out[static_cast<std::size_t>(x - first)];
        v = v * ring[bin] + addend;
    }
}

double QuietSun::RingBetween(double squared) const {
    const auto last = static_cast<double>(ring_.size()) - 1;
    // Each bin's level stands at its middle.
    const double at = std::clamp(squared * binsPerSquared_ - 0.5, 0.0, last);
    const auto below = static_cast<std::size_t>(at);
    const std::size_t above = std::min(below + 1, ring_.size() - 1);
    const double t = at - static_cast<double>(below);
    return ring_[below] * (1 - t) + ring_[above] * t;
}

void QuietSun::DarkRow(int32_t y, int32_t first, int32_t last, double level, double sigmas,
                       std::vector<float>& out) const {
    PrepareDark(level, sigmas);
    RowOf(darkMap_, y, first, last, static_cast<float>(sky_), out);
}

float QuietSun::DarkBound(int32_t y, int32_t first, int32_t last, double level,
                          double sigmas) const {
    PrepareDark(level, sigmas);
    // The ring: its highest level from the row's point nearest the centre outwards.
    const double nearestX = std::clamp(cx_, static_cast<double>(first), static_cast<double>(last));
    const double d2 = (nearestX - cx_) * (nearestX - cx_) + (y - cy_) * (y - cy_);
    const auto lastBin = static_cast<int32_t>(ring_.size()) - 1;
    const auto bin = static_cast<int32_t>(
        std::min(static_cast<float>(lastBin), static_cast<float>(d2 * binsPerSquared_)));
    // The map: the highest of the cells the row's stretch is taken between.
    const double half = (cell_ - 1) / 2.0;
    const double fy = std::clamp((y - top_ - half) / cell_, 0.0, darkMap_.rows - 1.0);
    const auto j = std::min(static_cast<int32_t>(fy), std::max(0, darkMap_.rows - 2));
    const int32_t j1 = std::min(j + 1, darkMap_.rows - 1);
    const double firstCentre = left_ + half;
    const auto cellOf = [&](double x) {
        return static_cast<int32_t>(
            std::clamp(std::floor((x - firstCentre) / cell_), 0.0, darkMap_.cols - 1.0));
    };
    const int32_t i0 = cellOf(first), i1 = std::min(darkMap_.cols - 1, cellOf(last) + 1);
    float highest = 0;
    for (int32_t i = i0; i <= i1; ++i)
        highest = std::max({highest, darkMap_.at<float>(j, i), darkMap_.at<float>(j1, i)});
    // A share of a thousandth over, for the rounding of the sums a row's levels take.
    constexpr float kRounding = 1.001F;
    return (highest * ringBeyond_[static_cast<std::size_t>(bin)] + static_cast<float>(sky_)) *
           kRounding;
}

void QuietSun::PrepareDark(double level, double sigmas) const {
    // The map times each cell's share, once for the shares asked for.
    if (darkLevel_ != level || darkSigmas_ != sigmas || darkMap_.empty()) {
        darkMap_ = map_.clone();
        for (int32_t j = 0; j < darkMap_.rows; ++j) {
            for (int32_t i = 0; i < darkMap_.cols; ++i) {
                const double spread = noise_.empty() ? typicalNoise_ : noise_.at<float>(j, i);
                darkMap_.at<float>(j, i) *=
                    static_cast<float>(std::min(level, 1 - sigmas * spread));
            }
        }
        darkLevel_ = level;
        darkSigmas_ = sigmas;
    }
}

double QuietSun::Noise(double x, double y) const {
    const double half = (cell_ - 1) / 2.0;
    const auto i = static_cast<int32_t>(
        std::clamp(std::round((x - left_ - half) / cell_), 0.0, noise_.cols - 1.0));
    const auto j = static_cast<int32_t>(
        std::clamp(std::round((y - top_ - half) / cell_), 0.0, noise_.rows - 1.0));
    return noise_.empty() ? typicalNoise_ : noise_.at<float>(j, i);
}

double QuietSun::Centre() const {
    return RingAt(0) * MapAt(cx_, cy_);
}

} // namespace zorva::spots
