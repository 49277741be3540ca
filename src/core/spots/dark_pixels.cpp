// The pixels darker than the quiet Sun around them, with lines across the frame taken out.
#include "core/spots/dark_pixels.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace zorva::spots {

namespace {

// A line is dark along more than this share of its length within the disk; a row through
// the largest group is dark along a few per cent of it.
constexpr double kLineDarkShare = 0.2;
// ... and crosses at least half the disk's radius of it, so that a short chord near the
// limb through one spot is not taken for a line.
constexpr double kLineShortest = 0.5;
constexpr uint8_t kDark = 255;

void MarkDark(DarkPixels& d, int32_t x, int32_t y) {
    d.mask.at<uint8_t>(y, x) = kDark;
    d.blocks.at<uint8_t>(y / kDarkBlock, x / kDarkBlock) = kDark;
}

// The median of the picture over the quiet Sun along a line of pixels.
double MedianRatio(std::vector<float>& ratios) {
    if (ratios.empty()) return 1;
    const auto middle = ratios.begin() + static_cast<std::ptrdiff_t>(ratios.size() / 2);
    std::nth_element(ratios.begin(), middle, ratios.end());
    return *middle;
}

// The pixels (x, y) of one line measured again against the line's own level.
template <typename Pixels>
void Remeasure(DarkPixels& d, const cv::Mat& grey, const QuietSun& quiet, double level,
               const Pixels& pixels) {
    std::vector<float> ratios;
    pixels([&](int32_t x, int32_t y) {
        const double q = quiet.At(x, y);
        ratios.push_back(q > 0 ? static_cast<float>(grey.at<uint8_t>(y, x) / q) : 1.0F);
    });
    const double own = MedianRatio(ratios);
    pixels([&](int32_t x, int32_t y) {
        const bool wasDark = d.mask.at<uint8_t>(y, x) != 0;
        const bool dark = grey.at<uint8_t>(y, x) < level * own * quiet.At(x, y);
        if (wasDark && !dark) {
            d.mask.at<uint8_t>(y, x) = 0;
            --d.darkPixels;
        } else if (dark && !wasDark) {
            MarkDark(d, x, y);
            ++d.darkPixels;
        }
    });
}

} // namespace

DarkPixels FindDarkPixels(const cv::Mat& grey, const DiskArea& disk, const QuietSun& quiet,
                          double level) {
    DarkPixels d;
    d.mask = cv::Mat(grey.rows, grey.cols, CV_8U, cv::Scalar(0));
    d.blocks = cv::Mat((grey.rows + kDarkBlock - 1) / kDarkBlock,
                       (grey.cols + kDarkBlock - 1) / kDarkBlock, CV_8U, cv::Scalar(0));
    std::vector<int32_t> rowDark(static_cast<std::size_t>(grey.rows), 0);
    std::vector<int32_t> columnDark(static_cast<std::size_t>(grey.cols), 0);
    std::vector<float> quietRow;
    const auto limit = static_cast<float>(level);
    for (int32_t y = disk.top; y <= disk.bottom; ++y) {
        int32_t first = 0, last = 0;
        disk.Chord(y, first, last);
        if (first > last) continue;
        quiet.Row(y, first, last, quietRow);
        const auto* row = grey.ptr<uint8_t>(y);
        auto* out = d.mask.ptr<uint8_t>(y);
        auto* blockRow = d.blocks.ptr<uint8_t>(y / kDarkBlock);
        int32_t dark = 0;
        for (int32_t x = first; x <= last; ++x) {
            if (row[x] < limit * quietRow[static_cast<std::size_t>(x - first)]) {
                out[x] = kDark;
                blockRow[x / kDarkBlock] = kDark;
                ++dark;
                ++columnDark[static_cast<std::size_t>(x)];
            }
        }
        rowDark[static_cast<std::size_t>(y)] = dark;
        d.darkPixels += dark;
        d.diskPixels += last - first + 1;
    }

    const double shortest = kLineShortest * disk.r;
    for (int32_t y = disk.top; y <= disk.bottom; ++y) {
        int32_t first = 0, last = 0;
        disk.Chord(y, first, last);
        const int32_t length = last - first + 1;
        if (length < shortest || rowDark[static_cast<std::size_t>(y)] <= kLineDarkShare * length)
            continue;
        Remeasure(d, grey, quiet, level, [&](const auto& each) {
            for (int32_t x = first; x <= last; ++x)
                each(x, y);
        });
        ++d.correctedRows;
    }
    for (int32_t x = disk.left; x <= disk.right; ++x) {
        // The column's chord through the searched disk, within the picture's rows.
        const double across = disk.searchedSquared - (x - disk.cx) * (x - disk.cx);
        if (across < 0) continue;
        const double half = std::sqrt(across);
        const auto length =
            static_cast<int32_t>(std::min<double>(disk.bottom, std::floor(disk.cy + half)) -
                                 std::max<double>(disk.top, std::ceil(disk.cy - half)) + 1);
        if (length < shortest || columnDark[static_cast<std::size_t>(x)] <= kLineDarkShare * length)
            continue;
        Remeasure(d, grey, quiet, level, [&](const auto& each) {
            for (int32_t y = disk.top; y <= disk.bottom; ++y) {
                int32_t first = 0, last = 0;
                disk.Chord(y, first, last);
                if (x >= first && x <= last) each(x, y);
            }
        });
        ++d.correctedColumns;
    }
    return d;
}

} // namespace zorva::spots
