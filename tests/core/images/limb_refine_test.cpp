#include "core/images/limb_refine.h"
#include "support/synthetic_sun.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace zorva {
namespace {

// A disk with linear limb darkening, I = 1 - u (1 - mu) with mu = sqrt(1 - (d / R)^2),
// on a black sky, each pixel the mean over 8 x 8 points near the limb; then blurred by a
// Gaussian of `sigma` pixels, given Gaussian noise of `noise` of the centre's brightness,
// and scaled to a centre of grey 200.
struct SyntheticDisk {
    int w = 512;
    int h = 512;
    double cx = 0;
    double cy = 0;
    double r = 0;
    std::vector<uint8_t> px;

    PixelGrid Grid() const { return PixelGrid(px.data(), w, h, w, PixelLayout::Grey8); }
};

SyntheticDisk MakeDisk(double cx, double cy, double r, double u, double sigma, double noise,
                       uint32_t seed) {
    SyntheticDisk disk{512, 512, cx, cy, r, {}};
    const auto n = static_cast<std::size_t>(disk.w * disk.h);
    std::vector<double> light(n, 0);
    auto intensity = [&](double x, double y) {
        const double q = ((x - cx) * (x - cx) + (y - cy) * (y - cy)) / (r * r);
        return q < 1 ? 1 - u * (1 - std::sqrt(1 - q)) : 0.0;
    };
    constexpr int kSub = 8;
    for (int y = 0; y < disk.h; ++y) {
        for (int x = 0; x < disk.w; ++x) {
            double v = 0;
            if (std::fabs(std::hypot(x - cx, y - cy) - r) > 1.5) {
                v = intensity(x, y);
            } else {
                for (int j = 0; j < kSub; ++j) {
                    for (int i = 0; i < kSub; ++i)
                        v += intensity(x - 0.5 + (i + 0.5) / kSub, y - 0.5 + (j + 0.5) / kSub);
                }
                v /= kSub * kSub;
            }
            light[static_cast<std::size_t>(y * disk.w + x)] = v;
        }
    }
    // The Gaussian, cut at four sigma and normalised, along rows and then along columns.
    const int reach = static_cast<int>(std::ceil(4 * sigma));
    std::vector<double> kernel;
    double sum = 0;
    for (int k = -reach; k <= reach; ++k) {
        kernel.push_back(std::exp(-0.5 * k * k / (sigma * sigma)));
        sum += kernel.back();
    }
    for (double& k : kernel)
        k /= sum;
    auto blur = [&](bool alongRows) {
        std::vector<double> out(n, 0);
        for (int y = 0; y < disk.h; ++y) {
            for (int x = 0; x < disk.w; ++x) {
                double v = 0;
                for (int k = -reach; k <= reach; ++k) {
                    const int sx = alongRows ? std::clamp(x + k, 0, disk.w - 1) : x;
                    const int sy = alongRows ? y : std::clamp(y + k, 0, disk.h - 1);
                    v += kernel[static_cast<std::size_t>(k + reach)] *
                         light[static_cast<std::size_t>(sy * disk.w + sx)];
                }
                out[static_cast<std::size_t>(y * disk.w + x)] = v;
            }
        }
        light = out;
    };
    blur(true);
    blur(false);
    std::mt19937 random(seed);
    std::normal_distribution<double> scatter(0, noise);
    disk.px.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double v = 200 * (light[i] + scatter(random));
        disk.px[i] = static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
    }
    return disk;
}

TEST(SubPixelLimb, BlurredNoisyLimbDarkenedDisks) {
    // u = 0.6, a Gaussian of 2 pixels and 2 % noise: the centre within 0.1 pixel and the
    // radius within 0.3 pixel of the drawn disk. The steepest fall of such a limb lies
    // some 0.2 to 0.3 pixel inside the disk; the fit of the limb's profile finds the edge
    // itself, to 0.1 pixel. Inverted (a dark disk on a light field, its limb brightened),
    // the same disks are found from the other side.
    const struct {
        double cx, cy, r;
        uint32_t seed;
        bool inverted;
    } cases[] = {{256.0, 256.0, 200.0, 1, false},  {250.37, 261.81, 200.4, 2, false},
                 {270.6, 240.2, 150.73, 3, false}, {255.5, 255.5, 240.25, 4, false},
                 {250.37, 261.81, 200.4, 2, true}, {270.6, 240.2, 150.73, 3, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.cx << ", " << c.cy << ", " << c.r << (c.inverted ? " inverted" : ""));
        SyntheticDisk disk = MakeDisk(c.cx, c.cy, c.r, 0.6, 2.0, 0.02, c.seed);
        if (c.inverted) {
            for (uint8_t& v : disk.px)
                v = static_cast<uint8_t>(255 - v);
        }
        const LimbFit search = FindLimb(disk.Grid());
        ASSERT_TRUE(search.found);
        ASSERT_EQ(search.mode, c.inverted ? LimbBackground::Light : LimbBackground::Dark);
        const SubPixelLimb refined = RefineLimb(disk.Grid(), search);
        ASSERT_TRUE(refined.found);
        EXPECT_GT(refined.AcceptedPoints(), c.inverted ? 200 : 300);
        EXPECT_NEAR(refined.disk.cx, c.cx, 0.1);
        EXPECT_NEAR(refined.disk.cy, c.cy, 0.1);
        EXPECT_NEAR(refined.disk.r, c.r, c.inverted ? 0.3 : 0.1);
        const LimbFit drawn = FindSubPixelLimb(disk.Grid());
        EXPECT_EQ(drawn.disk, refined.disk);
        EXPECT_EQ(drawn.AcceptedPoints(), refined.AcceptedPoints());
    }
}

TEST(SubPixelLimb, AFailedSearchIsNotRefined) {
    std::vector<uint8_t> black(64 * 64, 0);
    const PixelGrid grid(black.data(), 64, 64, 64, PixelLayout::Grey8);
    const LimbFit search = FindLimb(grid);
    ASSERT_FALSE(search.found);
    EXPECT_FALSE(RefineLimb(grid, search).found);
    EXPECT_FALSE(FindSubPixelLimb(grid).found);
}

// A disk of radius 340.5 px rendered with a ring round it, darker than the disk's limb but
// brighter than a fifth of its centre (the threshold of the dark-background search), as a
// rendering that frames the disk draws it: the search must not take the ring's outer edge
// for the limb. It finds the disk's own edge, or refuses the picture; a ring too narrow to
// leave a drop inside the circle's tolerance is refused. Without a ring the limb is found.
TEST(SubPixelLimb, ARingRoundTheDiskIsNotItsLimb) {
    struct Case {
        double width, level;
        bool found;
    };
    const Case cases[] = {{0, 0, true}, {13.5, 0.3, true}, {25, 0.25, true}, {8, 0.3, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " px at " + std::to_string(c.level));
        test::SyntheticSun sun;
        sun.width = sun.height = 720;
        sun.cx = sun.cy = 359.5;
        sun.r = 340.5;
        sun.blur = 1.0;
        sun.sky = 0;
        sun.ringWidth = c.width;
        sun.ringLevel = c.level;
        const std::vector<uint8_t> pixels = sun.Render();
        const PixelGrid grid(pixels.data(), sun.width, sun.height, sun.width, PixelLayout::Grey8);
        const LimbFit fit = FindSubPixelLimb(grid);
        EXPECT_EQ(fit.found, c.found) << fit.reason;
        if (fit.found) {
            EXPECT_NEAR(fit.disk.r, sun.r, 0.5);
        } else {
            EXPECT_NE(fit.reason.find("ring"), std::string::npos) << fit.reason;
        }
    }
}

} // namespace
} // namespace zorva
