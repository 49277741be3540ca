#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <opencv2/core.hpp>

namespace zorva::spots {

// Where the disk lies on the picture, in pixels, and the part of it that is searched: the
// points within `limit` of the centre at their angle (from the columns towards the rows,
// in equal steps round the circle, taken straight between steps), or within a circle of
// `searchedSquared` when there is no limit. Every point within `innerSquared` is searched,
// none beyond `searchedSquared`.
struct DiskArea {
    double cx = 0;
    double cy = 0;
    double r = 0;
    double searchedSquared = 0;
    double innerSquared = 0;
    std::vector<float> limit;
    // The rows and columns of the picture the searched disk covers (empty when none).
    int32_t top = 0;
    int32_t bottom = -1;
    int32_t left = 0;
    int32_t right = -1;

    // The columns of row y within the outer circle, clipped to [left, right]; first > last
    // when the row misses it.
    void Chord(int32_t y, int32_t& first, int32_t& last) const;
    // The same within the inner circle, not clipped (first > last when the row misses it).
    void InnerChord(int32_t y, int32_t& first, int32_t& last) const;
    // Whether (x, y) is searched.
    bool Searched(double x, double y) const;
    // The searched radius at the angle of (dx, dy) from the centre.
    double LimitAt(double dx, double dy) const;
    // Calls each(x) for the searched columns of row y, every `step`th from the first.
    template <typename Each> void ForRow(int32_t y, int32_t step, Each each) const {
        int32_t first = 0, last = 0, innerFirst = 0, innerLast = 0;
        Chord(y, first, last);
        InnerChord(y, innerFirst, innerLast);
        int32_t x = first;
        // Before the inner chord, through it without a test, and after it.
        for (; x <= last && x < innerFirst; x += step)
            if (Searched(x, y)) each(x);
        for (const int32_t end = std::min(last, innerLast); x <= end; x += step)
            each(x);
        for (; x <= last; x += step)
            if (Searched(x, y)) each(x);
    }
};

// The quiet Sun's grey level at every point of the disk, above the sky's: the limb
// darkening as the median of thin rings about the centre, times a smooth map of what the
// rings leave (a brightness gradient across the frame, thin cloud), the median of coarse
// cells filtered on their grid. Sunspots are too small a part of a ring or a cell to move
// either median. With it, the spread of the quiet Sun about its level in each cell (the
// granulation, the noise of the camera and of the compression): a spot must stand out of
// that spread, not only below a fixed share of the level.
class QuietSun {
  public:
    // Empty with `error` set when the disk gives too little to go on. `sky` is the grey
    // level beyond the limb (the camera's offset and the light scattered over the whole
    // frame), taken off every pixel before it is compared with the quiet Sun, so that the
    // same picture stretched to other levels gives the same ratios.
    static QuietSun Measure(const cv::Mat& grey, const DiskArea& disk, double sky,
                            std::string& error);

    // The quiet Sun at pixel (x, y), grey levels above the sky.
    double At(int32_t x, int32_t y) const;
    // The same along row y for columns first..last, into out[0..].
    void Row(int32_t y, int32_t first, int32_t last, std::vector<float>& out) const;
    // The grey level below which a pixel of row y (columns first..last, into out[0..]) is
    // dark: the sky plus the quiet Sun times `level`, or times 1 less `sigmas` of the
    // spread where that lies lower.
    void DarkRow(int32_t y, int32_t first, int32_t last, double level, double sigmas,
                 std::vector<float>& out) const;
    // A level no lower than any DarkRow gives along row y from first to last: a stretch of
    // the row with no pixel below it holds no dark pixel, and needs no more look.
    float DarkBound(int32_t y, int32_t first, int32_t last, double level, double sigmas) const;
    // The level at the disk centre (above the sky).
    double Centre() const;
    double Sky() const { return sky_; }
    // A grey level at (x, y) as a share of the quiet Sun there.
    double Ratio(double grey, int32_t x, int32_t y) const {
        const double q = At(x, y);
        return q > 0 ? (grey - sky_) / q : 1.0;
    }
    // The robust spread (1.4826 times the median absolute deviation) of the quiet Sun's
    // pixels about their level, as a share of it, in the cell around (x, y); and its median
    // over the disk.
    double Noise(double x, double y) const;
    double TypicalNoise() const { return typicalNoise_; }
    // The ring level at a squared distance from the centre, exactly between ring bins (the
    // limb's steep fall is followed within a bin).
    double RingBetween(double squared) const;

  private:
    double cx_ = 0, cy_ = 0;
    double sky_ = 0;
    double binsPerSquared_ = 0; // ring bins per squared pixel of distance
    std::vector<float> ring_;
    // The smooth map, one value a cell; cell (i, j) is centred on column
    // left_ + i cell_ + (cell_ - 1) / 2 and the matching row.
    int32_t cell_ = 1, left_ = 0, top_ = 0;
    cv::Mat map_;   // CV_32F, rows x columns of cells
    cv::Mat noise_; // CV_32F, the spread in each cell
    double typicalNoise_ = 0;
    // The map times each cell's share of the level below which a pixel is dark, for the
    // last shares asked for (kept between rows; one search asks for one pair).
    mutable cv::Mat darkMap_;
    mutable double darkLevel_ = -1;
    mutable double darkSigmas_ = -1;
    std::vector<float> ringBeyond_; // the highest ring level from each bin outwards

    void PrepareDark(double level, double sigmas) const;

    // The map's level times the ring's along a row, plus `addend`.
    void RowOf(const cv::Mat& map, int32_t y, int32_t first, int32_t last, float addend,
               std::vector<float>& out) const;

    double RingAt(double squared) const;
    double MapAt(double x, double y) const;
};

} // namespace zorva::spots
