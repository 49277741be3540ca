// The pixels darker than the quiet Sun around them, with lines across the frame taken out.
#include "core/spots/dark_pixels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
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
        ratios.push_back(static_cast<float>(quiet.Ratio(grey.at<uint8_t>(y, x), x, y)));
    });
    const double own = MedianRatio(ratios);
    pixels([&](int32_t x, int32_t y) {
        const bool wasDark = d.mask.at<uint8_t>(y, x) != 0;
        const bool dark = grey.at<uint8_t>(y, x) < quiet.Sky() + level * own * quiet.At(x, y);
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
                          double level, double sigmas) {
    DarkPixels d;
    d.mask = cv::Mat(grey.rows, grey.cols, CV_8U, cv::Scalar(0));
    d.blocks = cv::Mat((grey.rows + kDarkBlock - 1) / kDarkBlock,
                       (grey.cols + kDarkBlock - 1) / kDarkBlock, CV_8U, cv::Scalar(0));
    std::vector<int32_t> rowDark(static_cast<std::size_t>(grey.rows), 0);
    std::vector<int32_t> columnDark(static_cast<std::size_t>(grey.cols), 0);
    std::vector<float> quietRow;
    // The row is looked at in stretches: one whose darkest pixel is no darker than the
    // highest level a dark pixel there could have needs no level worked out pixel by pixel.
    constexpr int32_t kStretch = 64;
    for (int32_t y = disk.top; y <= disk.bottom; ++y) {
        int32_t first = 0, last = 0;
        disk.Chord(y, first, last);
        if (first > last) continue;
        const auto* row = grey.ptr<uint8_t>(y);
        auto* out = d.mask.ptr<uint8_t>(y);
        auto* blockRow = d.blocks.ptr<uint8_t>(y / kDarkBlock);
        // The inner chord is searched whole; outside it only what the limb allows.
        int32_t innerFirst = 0, innerLast = 0;
        disk.InnerChord(y, innerFirst, innerLast);
        int32_t dark = 0, searched = 0;
        for (int32_t from = first; from <= last; from += kStretch) {
            const int32_t to = std::min(last, from + kStretch - 1);
            const bool inner = from >= innerFirst && to <= innerLast;
            const auto isSearched = [&](int32_t x) {
                return (x >= innerFirst && x <= innerLast) || disk.Searched(x, y);
            };
            uint8_t lowest = UINT8_MAX;
            for (int32_t x = from; x <= to; ++x)
                lowest = std::min(lowest, row[x]);
            if (lowest >= quiet.DarkBound(y, from, to, level, sigmas)) {
                if (inner) {
                    searched += to - from + 1;
                } else {
                    for (int32_t x = from; x <= to; ++x)
                        searched += isSearched(x);
                }
                continue;
            }
            quiet.DarkRow(y, from, to, level, sigmas, quietRow);
            for (int32_t x = from; x <= to; ++x) {
                if (!inner && !isSearched(x)) continue;
                ++searched;
                if (row[x] < quietRow[static_cast<std::size_t>(x - from)]) {
                    out[x] = kDark;
                    blockRow[x / kDarkBlock] = kDark;
                    ++dark;
                    ++columnDark[static_cast<std::size_t>(x)];
                }
            }
        }
        rowDark[static_cast<std::size_t>(y)] = dark;
        d.darkPixels += dark;
        d.diskPixels += searched;
    }

    const double shortest = kLineShortest * disk.r;
    for (int32_t y = disk.top; y <= disk.bottom; ++y) {
        int32_t first = 0, last = 0;
        disk.Chord(y, first, last);
        const int32_t length = last - first + 1;
        if (length < shortest || rowDark[static_cast<std::size_t>(y)] <= kLineDarkShare * length)
            continue;
        Remeasure(d, grey, quiet, level,
                  [&](const auto& each) { disk.ForRow(y, 1, [&](int32_t x) { each(x, y); }); });
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
                if (x >= first && x <= last && disk.Searched(x, y)) each(x, y);
            }
        });
        ++d.correctedColumns;
    }
    return d;
}

} // namespace zorva::spots
