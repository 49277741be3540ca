#pragma once

#include <cstdint>

#include <opencv2/core.hpp>

#include "core/spots/quiet_sun.h"

namespace zorva::spots {

// Candidate pixels are noted in blocks of this side; the blocks a dark patch touches, with
// a block of margin, are where it is labelled, so the labels never cover the whole picture.
inline constexpr int32_t kDarkBlock = 16;

// The pixels of the searched disk darker than `level` times the quiet Sun (255 in `mask`,
// of the picture's size), the blocks that hold one, and how many there are of each.
struct DarkPixels {
    cv::Mat mask;
    cv::Mat blocks;
    int64_t diskPixels = 0;
    int64_t darkPixels = 0;
    int32_t correctedRows = 0;
    int32_t correctedColumns = 0;
};

// Finds them: darker than `level` of the quiet Sun, and than 1 less `sigmas` of its
// spread where the picture is so noisy that that lies lower. A row or column of the
// picture that is dark along much of its length is a fault of the camera or the transfer
// (a line across the frame): it is measured against its own median instead, so that only
// what is dark within it remains.
DarkPixels FindDarkPixels(const cv::Mat& grey, const DiskArea& disk, const QuietSun& quiet,
                          double level, double sigmas);

} // namespace zorva::spots
