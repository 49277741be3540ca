#pragma once

// What one spot search keeps while it runs, shared by the files of the search: the
// picture, the quiet Sun under it, what the picture's own limb and noise say of it, and
// the spots found so far.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "core/ephemeris/daily_table.h"
#include "core/images/pixel_grid.h"
#include "core/measure/pointer.h"
#include "core/spots/quiet_sun.h"
#include "core/spots/spot_assembly.h"
#include "core/spots/spot_types.h"

namespace zorva::spots {

// A spot as it is measured, before it is grouped and numbered.
struct Measured {
    double sumX = 0, sumY = 0;
    int32_t pixels = 0, umbraPixels = 0;
    double area = 0, umbraArea = 0; // in pixels over mu
    double darkest = std::numeric_limits<double>::max();
    std::vector<Outline> umbrae;
    int32_t patch = 0;
    SunPlace place;
};

// A pixel and its eight neighbours, row by row.
inline constexpr std::size_t kBlock = 9;
using PointWeights = std::array<double, kBlock>;

// How a blur of Gaussian width `sigma` pixels spreads a point at a pixel's centre over that
// pixel and its neighbours, summing to 1: the weights of the mean that best tells a
// feature no larger than the blur from noise (a matched filter).
PointWeights WeightsOfPoint(double sigma);

// What the picture says of itself, measured once: how far its optics blur a point, how
// the quiet Sun's spread shrinks when three pixels by three are averaged plainly and when
// they are weighted as the blur spreads a point, and the squared distances from the
// disk's centre within which the limb's fall is steep enough to ask more of a spot.
struct PictureMeasures {
    double blur = 0;        // Gaussian sigma, pixels
    double blockSpread = 0; // spread of 3 x 3 means over the spread of single pixels
    PointWeights point{};   // WeightsOfPoint(blur)
    double pointSpread = 1; // spread of means weighted so over that of single pixels
    double limbReachSquared = 0;
};

struct Search {
    const cv::Mat& grey;
    const PixelGrid& picture; // the picture as given, its colours too
    const DiskArea& disk;
    const QuietSun& quiet;
    const DiskFrame& frame;
    const Ephemeris& ephemeris;
    const SpotOptions& options;
    const cv::Mat& dark; // every dark pixel of the picture
    PictureMeasures measures;
    double pixelMsh = 0; // millionths of the hemisphere a pixel at the centre covers
    std::vector<Measured> spots;
    std::vector<SpotPatch> patches;
    std::vector<RejectedFeature> rejected;
    // Off when the user points at a patch: it is measured, whatever the judgement.
    bool judge = true;
};

// The outline of the largest region of `mask`, moved by (dx, dy).
Outline OutlineOf(const cv::Mat& mask, int32_t dx, int32_t dy);

// Labels the dark pixels of `mask` within the blocks of one block patch and measures each
// dark patch found there.
void LabelBlockPatch(Search& s, const cv::Mat& mask, const cv::Mat& blockLabels, int32_t blockLabel,
                     const cv::Rect& blocks);

// One dark patch (the pixels of `inPatch` within its bounding box `box` of the picture):
// judged, measured and cut into its spots, or noted among the rejected.
void MeasurePatch(Search& s, const cv::Mat& inPatch, const cv::Rect& box);

// The quiet Sun round a patch against the disk's model of it: a plane through the
// picture's ratios to the model round the patch (level at (x, y), slopes per pixel), and
// the spread of those ratios about it as a share of the level, 0 where too few tell it.
struct LocalQuiet {
    double level = 1;
    double slopeX = 0;
    double slopeY = 0;
    double x = 0;
    double y = 0;
    double spread = 0;

    double At(int32_t px, int32_t py) const {
        constexpr double kLeast = 0.05; // a plane tipped by a stray fit never reaches 0
        return std::max(kLeast, level + slopeX * (px - x) + slopeY * (py - y));
    }
};

// The picture round a patch's box, a pixel wider on every side, as ratios to the quiet Sun
// round the patch; not a number beyond the searched disk or the picture.
cv::Mat RatioAround(const Search& s, const cv::Rect& box, const LocalQuiet& local);

// For each pixel of the patch (`inPatch`, within the box RatioAround was given), the mean
// of the ratios round it weighted as the blur spreads a point (PictureMeasures::point),
// over the pixels the picture has; 1 outside the patch.
cv::Mat PointMeans(const Search& s, const cv::Mat& around, const cv::Mat& inPatch);

// The spots of one patch: each darkest point of `means` (PointMeans) that a saddle at least
// `rise` above it parts from every darker one, and whose darkest pixel (`ratio`) reaches
// `darkEnough`, with the darkest of all; `owner` gives each pixel of the patch the spot
// (0.., from the darkest) whose darkest point it falls to, -1 elsewhere.
struct Cores {
    int32_t count = 0;
    cv::Mat owner;
};
Cores FindCores(const cv::Mat& means, const cv::Mat& ratio, const cv::Mat& inPatch, double rise,
                double darkEnough);

// What a judgement of a dark patch reads: its pixels' ratios to the quiet Sun round it (0
// outside the patch) within its box, its size, where its darkest point is, the darkest of
// its means weighted as the blur spreads a point, and the spread of the quiet Sun round it
// (as a share of its level) against which its darkness is weighed.
struct PatchFacts {
    const cv::Mat& inPatch;
    const cv::Rect& box;
    const cv::Mat& ratio;
    int32_t pixels = 0;
    double areaMsh = 0;
    double darkest = 1;
    int32_t darkestX = 0; // in the picture
    int32_t darkestY = 0;
    int32_t lowestGrey = 0;
    int32_t highestGrey = 0;
    const LocalQuiet& local;
    const cv::Mat& around; // RatioAround's
    double darkestPoint = 1;
    double spread = 0;
};

// Why a dark patch is not a sunspot, or nothing when it is one: sharper than the
// picture's blur (a fault of the camera), of one grey level throughout, a line across the
// frame, dark in one colour only, larger than any group ever seen, or the limb's shading.
// An empty reason: no darker than the picture's own noise, which is not worth a word.
std::optional<std::string> JudgePatch(const Search& s, const PatchFacts& facts);

} // namespace zorva::spots
