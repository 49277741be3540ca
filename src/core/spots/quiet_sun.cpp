// The quiet Sun under the spots: limb darkening from ring medians, and what is left of
// the frame's own unevenness from a filtered grid of cell medians.
#include "core/spots/quiet_sun.h"

#include <algorithm>
#include <array>
#include <cmath>

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
// Filling and smoothing the cell map: the Gaussian for the cells without a median reaches
// a few cells; a 5 x 5 median then drops a cell a large spot darkens (it is fewer than
// half of its neighbourhood), and a last light Gaussian leaves no seams.
constexpr double kFillSigma = 2.0;
constexpr int32_t kMapMedian = 5;
constexpr double kSmoothSigma = 0.7;
// Neighbouring cells of a clear sky differ by a per cent or two (a frame's gradient, the
// granulation); a step of this much is a cloud's edge.
constexpr double kCloudStep = 0.06;

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

QuietSun QuietSun::Measure(const cv::Mat& grey, const DiskArea& disk, std::string& error) {
    QuietSun q;
    q.cx_ = disk.cx;
    q.cy_ = disk.cy;
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
        int32_t first = 0, last = 0;
        disk.Chord(y, first, last);
        const uint8_t* row = grey.ptr<uint8_t>(y);
        const double dy2 = (y - disk.cy) * (y - disk.cy);
        for (int32_t x = first; x <= last; x += step) {
            const double d2 = (x - disk.cx) * (x - disk.cx) + dy2;
            const auto bin =
                static_cast<int32_t>(std::min<double>(rings - 1, d2 * q.binsPerSquared_));
            ++ringCounts[static_cast<std::size_t>(bin) * kLevels + row[x]];
            ++ringTotals[static_cast<std::size_t>(bin)];
            saturated += row[x] == kLevels - 1;
            ++samples;
        }
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
                HistogramMedian(&ringCounts[i * kLevels], kLevels, ringTotals[i]));
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
    std::vector<std::size_t> cellColumn(static_cast<std::size_t>(disk.right - disk.left + 1));
    for (std::size_t i = 0; i < cellColumn.size(); ++i)
        cellColumn[i] = i / static_cast<std::size_t>(q.cell_);
    for (int32_t y = disk.top; y <= disk.bottom; y += step) {
        int32_t first = 0, last = 0;
        disk.Chord(y, first, last);
        const uint8_t* row = grey.ptr<uint8_t>(y);
        const double dy2 = (y - disk.cy) * (y - disk.cy);
        const auto cellRow = static_cast<std::size_t>((y - disk.top) / q.cell_);
        for (int32_t x = first; x <= last; x += step) {
            const double d2 = (x - disk.cx) * (x - disk.cx) + dy2;
            const auto bin =
                static_cast<int32_t>(std::min<double>(rings - 1, d2 * q.binsPerSquared_));
            const float ratio = row[x] * inverseRing[static_cast<std::size_t>(bin)];
            const auto ratioBin =
                static_cast<int32_t>(std::min(static_cast<float>(kRatioBins - 1), ratio));
            const std::size_t cell = cellRow * static_cast<std::size_t>(columns) +
                                     cellColumn[static_cast<std::size_t>(x - disk.left)];
            ++cellCounts[cell * kRatioBins + static_cast<std::size_t>(ratioBin)];
            ++cellTotals[cell];
        }
    }
    const double fullCell = static_cast<double>(q.cell_) * q.cell_ / (step * step);
    const auto fewest =
        static_cast<uint64_t>(std::max<double>(kFewestSamples, kCellCover * fullCell));
    cv::Mat values(rows, columns, CV_32F, cv::Scalar(0));
    cv::Mat weights(rows, columns, CV_32F, cv::Scalar(0));
    for (int32_t j = 0; j < rows; ++j) {
        for (int32_t i = 0; i < columns; ++i) {
            const std::size_t cell = static_cast<std::size_t>(j) * columns + i;
            if (cellTotals[cell] < fewest) continue;
            values.at<float>(j, i) = static_cast<float>(
                HistogramMedian(&cellCounts[cell * kRatioBins], kRatioBins, cellTotals[cell]) /
                kRatioSteps);
            weights.at<float>(j, i) = 1.0F;
        }
    }
    // Cells without a median take the weighted mean of those near them.
    cv::Mat sum, weight;
    cv::GaussianBlur(values, sum, cv::Size(), kFillSigma, kFillSigma, cv::BORDER_CONSTANT);
    cv::GaussianBlur(weights, weight, cv::Size(), kFillSigma, kFillSigma, cv::BORDER_CONSTANT);
    constexpr float kNoWeight = 1e-4F;
    for (int32_t j = 0; j < rows; ++j) {
        for (int32_t i = 0; i < columns; ++i) {
            if (weights.at<float>(j, i) > 0) continue;
            const float w = weight.at<float>(j, i);
            values.at<float>(j, i) = w > kNoWeight ? sum.at<float>(j, i) / w : 1.0F;
        }
    }
    cv::Mat filtered;
    cv::medianBlur(values, filtered, kMapMedian);
    // A sharp step between neighbouring cells that the median keeps is the edge of a cloud
    // (a spot fills too few cells to survive it): the quiet Sun cannot be followed across it.
    double steepest = 0;
    for (int32_t j = 0; j < rows; ++j) {
        for (int32_t i = 0; i < columns; ++i) {
            if (weights.at<float>(j, i) == 0) continue;
            const float here = filtered.at<float>(j, i);
            if (i + 1 < columns && weights.at<float>(j, i + 1) > 0)
                steepest =
                    std::max<double>(steepest, std::abs(filtered.at<float>(j, i + 1) - here));
            if (j + 1 < rows && weights.at<float>(j + 1, i) > 0)
                steepest =
                    std::max<double>(steepest, std::abs(filtered.at<float>(j + 1, i) - here));
        }
    }
    if (steepest > kCloudStep) {
        error = "the disk is unevenly lit, as by cloud across it: no spots counted";
        return {};
    }
    cv::GaussianBlur(filtered, q.map_, cv::Size(), kSmoothSigma, kSmoothSigma,
                     cv::BORDER_REPLICATE);
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
    out.resize(static_cast<std::size_t>(std::max(0, last - first + 1)));
    if (out.empty()) return;
    // The map along this row, one value a cell column...
    const double half = (cell_ - 1) / 2.0;
    const double fy = std::clamp((y - top_ - half) / cell_, 0.0, map_.rows - 1.0);
    const auto j = std::min(static_cast<int32_t>(fy), std::max(0, map_.rows - 2));
    const int32_t j1 = std::min(j + 1, map_.rows - 1);
    const auto ty = static_cast<float>(fy - j);
    const float* upper = map_.ptr<float>(j);
    const float* lower = map_.ptr<float>(j1);
    // ... then straight between the centres of neighbouring cells, a run at a time, and
    // level beyond the first and last centres.
    const auto mapAt = [&](int32_t i) { return upper[i] * (1 - ty) + lower[i] * ty; };
    const int32_t lastCell = map_.cols - 1;
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
    // Times the ring's level.
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
        out[static_cast<std::size_t>(x - first)] *= ring[bin];
    }
}

double QuietSun::Centre() const {
    return RingAt(0) * MapAt(cx_, cy_);
}

} // namespace zorva::spots
