#include "core/images/limb.h"
#include "core/images/limb_refine.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace zorva {
namespace {

// An 8-bit grey picture made in the test.
struct GreyPicture {
    int32_t w;
    int32_t h;
    std::vector<uint8_t> px;

    GreyPicture(int32_t width, int32_t height, uint8_t fill)
        : w(width), h(height), px(static_cast<std::size_t>(width) * height, fill) {}
    PixelGrid Grid() const { return PixelGrid(px.data(), w, h, w, PixelLayout::Grey8); }
    uint8_t& at(int32_t x, int32_t y) { return px[static_cast<std::size_t>(y) * w + x]; }
    // Pixels whose centres lie between the radii `inner` and `outer` of (cx, cy).
    void Annulus(double cx, double cy, double inner, double outer, uint8_t level) {
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                const double d = std::hypot(x - cx, y - cy);
                if (d >= inner && d <= outer) at(x, y) = level;
            }
        }
    }
    void Disk(double cx, double cy, double r, uint8_t level) { Annulus(cx, cy, -1, r, level); }
    // Every pixel set to f(distance from (cx, cy), angle in degrees), rounded.
    template <typename F> void Radial(double cx, double cy, F f) {
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                const double v =
                    f(std::hypot(x - cx, y - cy), std::atan2(y - cy, x - cx) * 57.29578);
                at(x, y) = static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
            }
        }
    }
    // A white-light disk: darkened towards the limb as 0.4 + 0.6 mu of the centre's 200.
    void DarkenedDisk(double cx, double cy, double r) {
        Radial(cx, cy, [r](double d, double) {
            return d > r ? 0.0 : 200 * (0.4 + 0.6 * std::sqrt(1 - (d / r) * (d / r)));
        });
    }
};

bool Finite(const LimbFit& f) {
    return std::isfinite(f.disk.cx) && std::isfinite(f.disk.cy) && std::isfinite(f.disk.r);
}

TEST(FindLimb, SyntheticDisksAreFound) {
    // The disk's pixels are those whose centres lie within the radius; the edge pixels
    // the search keeps are the outermost bright ones, so the fitted circle lies within
    // a pixel of the drawn one.
    const struct {
        const char* what;
        double cx, cy, r;
    } cases[] = {
        {"centred", 256, 256, 200}, {"off-centre", 300, 240, 180}, {"small", 256, 256, 40}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GreyPicture pic(512, 512, 0);
        pic.Disk(c.cx, c.cy, c.r, 180);
        const LimbFit fit = FindLimb(pic.Grid());
        EXPECT_TRUE(fit.found);
        EXPECT_EQ(fit.reason, "");
        EXPECT_LT(fit.residual, 1); // edge pixels lie within a pixel inside the radius
        EXPECT_EQ(fit.mode, LimbBackground::Dark);
        EXPECT_NEAR(fit.disk.cx, c.cx, 1);
        EXPECT_NEAR(fit.disk.cy, c.cy, 1);
        EXPECT_NEAR(fit.disk.r, c.r, 1);
        // 356 rays are searched; nearly all of them find the limb twice and agree.
        EXPECT_GE(fit.AcceptedPoints(), 340);
        EXPECT_LE(fit.AcceptedPoints(), 356);
        for (std::size_t i = 0; i < LimbRays; ++i) {
            if (fit.points.flag[i] != LimbPointAccepted) continue;
            EXPECT_NEAR(std::hypot(fit.points.x[i] - c.cx, fit.points.y[i] - c.cy), c.r, 1.5);
        }
    }
}

TEST(FindLimb, LightBackgroundRingAndDisk) {
    // A thin black ring on white: the search from the border stops at its outermost dark
    // pixel, the one from the centre at its innermost; they agree where the ring is less
    // than 2 pixels wide. A thick ring or a filled disk gives no agreement (the search
    // from the centre stops at once or at the inner edge), so the outer edge alone is
    // fitted.
    const struct {
        const char* what;
        double inner;
        double outer;
        double radius; // of the circle the fit should find
    } cases[] = {{"thin ring", 149.6, 150.6, 150.1},
                 {"thick ring", 140, 150, 150},
                 {"filled disk", -1, 150, 150}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GreyPicture pic(400, 400, 255);
        pic.Annulus(200, 200, c.inner, c.outer, 0);
        const LimbFit fit = FindLimb(pic.Grid());
        EXPECT_EQ(fit.mode, LimbBackground::Light);
        EXPECT_TRUE(fit.found);
        EXPECT_NEAR(fit.disk.cx, 200, 1);
        EXPECT_NEAR(fit.disk.cy, 200, 1);
        EXPECT_NEAR(fit.disk.r, c.radius, 1);
        EXPECT_GE(fit.AcceptedPoints(), 300);
    }
}

// A wrong disk is refused, never measured on: each picture gives its drawn disk within a
// pixel, or no disk and a reason.
TEST(FindLimb, FoundOrRefusedNeverWrong) {
    const struct {
        const char* what;
        double cx, cy, r;
        int shape;           // 0 darkened disk, 1 corona, 2 ragged edge
        const char* refusal; // words of the reason; nullptr: found
    } cases[] = {
        // The frame cuts 60 px off the top: the rays starting there meet bright disk at the
        // border, which is not the limb; the rest of the limb gives the circle.
        {"cut by the top", 256, 140, 200, 0, nullptr},
        {"cut by two sides", 256, 256, 280, 0, nullptr},
        // The frame cuts the left and the top: the limb shows from where it leaves the left
        // edge (y = 130 + sqrt(200^2 - 130^2) = 282, at 130.6 deg from the centre) round to
        // where it leaves the top (-40.6 deg), 171 deg of the circle.
        {"in a corner", 130, 130, 200, 0, "of the circle, which runs"},
        {"centre above the picture", 256, -120, 230, 0, "rays"},
        // A disk of 40 with a bright rim of 120 at r = 120 and a corona fading outside it
        // by e every 4 px: the search's threshold, 8 (a fifth of the centre), lies where
        // 120 exp(-d / 4) = 8, d = 4 ln 15 = 10.8 px beyond the limb.
        {"corona", 256, 256, 120, 1, "the brightness drops most"},
        // The edge alternates 2 px in and out every 10 degrees.
        {"ragged", 256, 256, 150, 2, "ragged"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GreyPicture pic(512, 512, 0);
        if (c.shape == 0) {
            pic.DarkenedDisk(c.cx, c.cy, c.r);
        } else if (c.shape == 1) {
            pic.Radial(c.cx, c.cy, [r = c.r](double d, double) {
                return d <= r ? 40 + 80 * std::pow(d / r, 8) : 120 * std::exp(-(d - r) / 4);
            });
        } else {
            pic.Radial(c.cx, c.cy, [r = c.r](double d, double angle) {
                const bool out = static_cast<int>(std::floor(angle / 10)) % 2 == 0;
                return d <= r + (out ? 2 : -2) ? 200.0 : 0.0;
            });
        }
        const LimbFit fit = FindLimb(pic.Grid());
        if (!c.refusal) {
            ASSERT_TRUE(fit.found) << fit.reason;
            EXPECT_NEAR(fit.disk.cx, c.cx, 1);
            EXPECT_NEAR(fit.disk.cy, c.cy, 1);
            EXPECT_NEAR(fit.disk.r, c.r, 1);
        } else {
            EXPECT_FALSE(fit.found) << fit.disk.cx << " " << fit.disk.cy << " " << fit.disk.r;
            EXPECT_NE(fit.reason.find(c.refusal), std::string::npos) << fit.reason;
            EXPECT_EQ(LimbNotFoundText(fit).rfind("Edge of solar disk could not be found. ", 0),
                      0u);
        }
    }
}

// Photographs through the air: the limb blurred over a few pixels, a sky brighter than
// black and noise on every pixel. The search's threshold meets the blurred edge up to a
// blur width outside the disk's own; the checks must still take these disks.
TEST(FindLimb, BlurredNoisyPhotographsAreFound) {
    const struct {
        int32_t w, h;
        double r, blur, noise, sky;
    } cases[] = {{640, 480, 200, 2, 12, 25}, {1600, 1200, 550, 6, 10, 20}};
    std::mt19937 random(11);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " blur " << c.blur);
        std::normal_distribution<double> noise(0, c.noise);
        GreyPicture pic(c.w, c.h, 0);
        const double cx = c.w / 2.0 + 13, cy = c.h / 2.0 - 7;
        // A disk darkened to the limb, 220 (0.4 + 0.6 mu), its edge a logistic step of
        // scale 0.6 blur (the width of a Gaussian of that blur) over the sky.
        pic.Radial(cx, cy, [&](double d, double) {
            const double inside = 1 / (1 + std::exp((d - c.r) / (0.6 * c.blur)));
            const double mu = d < c.r ? std::sqrt(1 - (d / c.r) * (d / c.r)) : 0;
            return 220 * (0.4 + 0.6 * mu) * inside + c.sky + noise(random);
        });
        for (const bool refine : {false, true}) {
            const LimbFit fit = refine ? FindSubPixelLimb(pic.Grid()) : FindLimb(pic.Grid());
            ASSERT_TRUE(fit.found) << fit.reason;
            EXPECT_NEAR(fit.disk.cx, cx, 1);
            EXPECT_NEAR(fit.disk.cy, cy, 1);
            EXPECT_NEAR(fit.disk.r, c.r, c.blur);
        }
    }
}

TEST(FindLimb, BackgroundModeTurnsAtGrey253) {
    for (const int level : {252, 253}) {
        GreyPicture pic(64, 64, 0);
        pic.at(2, 2) = static_cast<uint8_t>(level);
        EXPECT_EQ(FindLimb(pic.Grid()).mode,
                  level == 253 ? LimbBackground::Light : LimbBackground::Dark);
    }
}

TEST(FindLimb, PicturesWithoutADiskFailCleanly) {
    // Black: the threshold falls back to grey 50, nothing exceeds it. White: light mode,
    // nothing is darker than the border. Tiny, flat or narrow pictures, noise: whatever
    // happens, the numbers stay finite and a failure is reported, never a crash.
    std::mt19937 random(7);
    const struct {
        int32_t w, h;
        int fill; // -1: noise
        bool mayFind;
    } cases[] = {{512, 512, 0, false}, {512, 512, 255, false}, {7, 7, 128, false},
                 {1, 1, 0, false},     {0, 0, 0, false},       {8, 8, 200, true},
                 {9, 9, 0, false},     {8, 600, 200, true},    {600, 8, 200, true},
                 {5, 300, 255, false}, {64, 64, -1, true},     {3, 2000, -1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " fill " << c.fill);
        GreyPicture pic(c.w, c.h, static_cast<uint8_t>(c.fill < 0 ? 0 : c.fill));
        if (c.fill < 0) {
            for (uint8_t& p : pic.px)
                p = static_cast<uint8_t>(random() & 0xFF);
        }
        const LimbFit fit = FindLimb(pic.Grid());
        EXPECT_TRUE(Finite(fit));
        if (!c.mayFind) {
            EXPECT_FALSE(fit.found);
        }
        if (!fit.found && c.fill >= 0 && (c.w < 8 || c.h < 8 || c.fill == 0 || c.fill == 255)) {
            EXPECT_EQ(fit.AcceptedPoints(), 0);
        }
    }
}

TEST(FindLimb, DiskInATallPictureUsesRaysStartingOutsideIt) {
    // In a picture twice as high as wide the rays near the diagonals start beyond the
    // side borders; they are searched from where they enter the picture.
    GreyPicture pic(200, 400, 0);
    pic.Disk(100, 200, 80, 200);
    const LimbFit fit = FindLimb(pic.Grid());
    EXPECT_TRUE(fit.found);
    EXPECT_NEAR(fit.disk.cx, 100, 1);
    EXPECT_NEAR(fit.disk.cy, 200, 1);
    EXPECT_NEAR(fit.disk.r, 80, 1);
    EXPECT_GE(fit.AcceptedPoints(), 340);
}

TEST(RayPixels, StartPointsFollowTheRayTable) {
    // 512 x 512: centre (256, 256); start points inset 2 pixels from the border.
    // Ray 30 meets the bottom at x = trunc(tan 30 * 254 + 256) = 402; ray 60 the right
    // border at y = 402; ray 200 the top at x = trunc(256 - tan(-20) * (2 - 256)) = 163;
    // ray 240 the left border at y = trunc(tan 30 * (2 - 256) + 256) = 109.
    const struct {
        int32_t ray;
        RayPixel start;
    } cases[] = {{30, {402, 510}}, {60, {510, 402}}, {200, {163, 2}}, {240, {2, 109}}};
    std::vector<RayPixel> walk;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ray);
        RayPixels(c.ray, 512, 512, walk);
        ASSERT_FALSE(walk.empty());
        EXPECT_EQ(walk.front(), c.start);
        EXPECT_EQ(walk.back(), (RayPixel{256, 256}));
        // One pixel per step of the stepping coordinate, both ends included.
        const int32_t span = std::max(std::abs(c.start.x - 256), std::abs(c.start.y - 256));
        EXPECT_EQ(walk.size(), static_cast<std::size_t>(span + 1));
    }
    for (const int32_t ray : {0, 90, 180, 270, -1, 360}) {
        RayPixels(ray, 512, 512, walk);
        EXPECT_TRUE(walk.empty()) << ray;
    }
}

TEST(RayPixels, RaysAreClippedToThePicture) {
    // Ray 45 of a 200 x 400 picture aims at (297, 398), beyond the right border; its walk
    // starts in the last column.
    std::vector<RayPixel> walk;
    RayPixels(45, 200, 400, walk);
    ASSERT_FALSE(walk.empty());
    EXPECT_EQ(walk.front().x, 199);
    EXPECT_EQ(walk.back(), (RayPixel{100, 200}));
    for (const RayPixel& p : walk) {
        EXPECT_TRUE(p.x >= 0 && p.x < 200 && p.y >= 0 && p.y < 400);
    }
    // In a picture 20 pixels high ray 1 starts at x = trunc(tan 1 * 8 + 50) = 50, in the
    // centre's column: no defined slope.
    RayPixels(1, 100, 20, walk);
    EXPECT_TRUE(walk.empty());
}

TEST(PixelGrid, PackedWordsAndOutsideReads) {
    const std::vector<uint8_t> grey = {0, 1, 255, 7};
    const PixelGrid g(grey.data(), 2, 2, 2, PixelLayout::Grey8);
    // Grey g reads as the colour word g * 0x010101 (65793); outside the picture, -1.
    EXPECT_EQ(g.At(1, 0), 65793);
    EXPECT_EQ(g.At(0, 1), 255 * 65793);
    EXPECT_EQ(g.At(2, 0), -1);
    EXPECT_EQ(g.At(0, -1), -1);
    // 0xAARRGGBB words become 0x00BBGGRR.
    const std::vector<uint32_t> argb = {0xFF123456u};
    const PixelGrid c(reinterpret_cast<const uint8_t*>(argb.data()), 1, 1, 4, PixelLayout::Xrgb32);
    EXPECT_EQ(c.At(0, 0), 0x563412);
}

} // namespace
} // namespace zorva
