#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <opencv2/core.hpp>

namespace zorva::spots {

// Where the disk lies on the picture, in pixels, and the part of it that is searched: the
// points whose squared distance from the centre is at most `searchedSquared`.
struct DiskArea {
    double cx = 0;
    double cy = 0;
    double r = 0;
    double searchedSquared = 0;
    // The rows and columns of the picture the searched disk covers (empty when none).
    int32_t top = 0;
    int32_t bottom = -1;
    int32_t left = 0;
    int32_t right = -1;

    // The columns of row y within the searched disk, clipped to [left, right]; first > last
    // when the row misses it.
    void Chord(int32_t y, int32_t& first, int32_t& last) const;
};

// The quiet Sun's grey level at every point of the disk: the limb darkening as the median
// of thin rings about the centre, times a smooth map of what the rings leave (a brightness
// gradient across the frame, thin cloud), the median of coarse cells filtered on their
// grid. Sunspots are too small a part of a ring or a cell to move either median.
class QuietSun {
  public:
    // Empty with `error` set when the disk gives too little to go on.
    static QuietSun Measure(const cv::Mat& grey, const DiskArea& disk, std::string& error);

    // The quiet Sun at pixel (x, y), grey levels.
    double At(int32_t x, int32_t y) const;
    // The same along row y for columns first..last, into out[0..].
    void Row(int32_t y, int32_t first, int32_t last, std::vector<float>& out) const;
    // The level at the disk centre.
    double Centre() const;

  private:
    double cx_ = 0, cy_ = 0;
    double binsPerSquared_ = 0; // ring bins per squared pixel of distance
    std::vector<float> ring_;
    // The smooth map, one value a cell; cell (i, j) is centred on column
    // left_ + i cell_ + (cell_ - 1) / 2 and the matching row.
    int32_t cell_ = 1, left_ = 0, top_ = 0;
    cv::Mat map_; // CV_32F, rows x columns of cells

    double RingAt(double squared) const;
    double MapAt(double x, double y) const;
};

} // namespace zorva::spots
