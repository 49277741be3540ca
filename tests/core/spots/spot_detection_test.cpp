#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "core/ephemeris/planets.h"
#include "core/ephemeris/year_tables.h"
#include "core/spots/spot_detection.h"
#include "support/synthetic_sun.h"

namespace zorva {
namespace {

using test::CapAreaMsh;
using test::CapRadius;
using test::SyntheticSpot;
using test::SyntheticSun;

constexpr double kL0 = 100; // Carrington longitude of the disk centre in these pictures

// The ephemeris of a synthetic picture: its B0, and an apparent diameter so small that the
// program's perspective correction vanishes and the disk is the generator's orthographic
// one.
Ephemeris SyntheticEphemeris(double b0) {
    Ephemeris e;
    e.B0 = b0;
    e.L0 = kL0;
    e.P = 0;
    e.DiamMinutes = 0;
    e.DiamSeconds = 0.001;
    e.Rotation = 2000;
    return e;
}

// North up and east to the left, as the generator draws.
DiskFrame SyntheticFrame(const SyntheticSun& sun) {
    ChartGeometry g;
    g.Mode = Orientation::RotationAxis;
    g.MirrorSign = -1;
    return ImageFrame(sun.cx, sun.cy, sun.r, g, 0);
}

SpotDetection Detect(const SyntheticSun& sun, const std::vector<uint8_t>& pixels,
                     const SpotOptions& options = {}) {
    const PixelGrid grid(pixels.data(), sun.width, sun.height, sun.width, PixelLayout::Grey8);
    return DetectSpots(grid, SyntheticFrame(sun), SyntheticEphemeris(sun.b0), options);
}

// Every number of a detection is a number.
void ExpectFinite(const SpotDetection& d) {
    for (const SpotGroup& g : d.groups) {
        for (const double v : {g.x, g.y, g.latitude, g.longitude, g.centralDistance, g.mu,
                               g.areaMsh, g.umbraMsh, g.extent})
            EXPECT_TRUE(std::isfinite(v));
    }
    for (const DetectedSpot& s : d.spots) {
        for (const double v :
             {s.x, s.y, s.latitude, s.longitude, s.centralDistance, s.mu, s.areaMsh, s.umbraMsh})
            EXPECT_TRUE(std::isfinite(v));
    }
    EXPECT_TRUE(std::isfinite(d.quietSun));
}

// Spots of known place and size on a limb-darkened disk with a gradient across it, blurred
// and noisy: each is found once, within 0.2 degrees of where it was put, with its area
// within 5 % of the cap's exact 10^6 (1 - cos a).
TEST(DetectSpots, SyntheticSpotsAreFoundWhereAndAsLargeAsTheyWereMade) {
    struct Case {
        double latitude, west, areaMsh;
        int32_t group; // which of the expected groups, 1.. from east to west
    };
    const std::vector<Case> cases = {
        {8, -66, 600, 1},  // near the east limb, mu about 0.4
        {15, -30, 300, 2}, //
        {-10, 10, 150, 3}, //
        {-20, 40, 150, 4}, // a pair 3 degrees apart: one group
        {-21, 43, 80, 4},  //
        {25, 55, 250, 5},  // far from the pair's latitude: a group of its own
    };
    SyntheticSun sun;
    sun.b0 = 4;
    for (const Case& c : cases) {
        SyntheticSpot s;
        s.latitude = c.latitude;
        s.centralDistance = c.west;
        s.penumbraRadius = CapRadius(c.areaMsh);
        s.umbraRadius = 0.42 * s.penumbraRadius; // an umbra of about a sixth of the area
        sun.spots.push_back(s);
    }
    const SpotDetection d = Detect(sun, sun.Render());
    ASSERT_EQ(d.error, "");
    ExpectFinite(d);
    ASSERT_EQ(d.spots.size(), cases.size());
    EXPECT_EQ(d.groups.size(), 5u);
    EXPECT_EQ(d.wolf.total, 10 * 5 + static_cast<int32_t>(cases.size()));
    // Each hemisphere's part, from the latitudes the spots were made at: groups 1, 2 and 5 of
    // a spot each in the north; 3 (one spot) and 4 (two) in the south.
    EXPECT_EQ(d.wolf.north, 3 * (10 + 1));
    EXPECT_EQ(d.wolf.south, (10 + 1) + (10 + 2));
    for (const Case& c : cases) {
        SCOPED_TRACE("spot at " + std::to_string(c.latitude) + ", " + std::to_string(c.west));
        const auto near = std::find_if(d.spots.begin(), d.spots.end(), [&](const DetectedSpot& s) {
            return std::abs(s.latitude - c.latitude) < 1 &&
                   std::abs(s.centralDistance - c.west) < 1;
        });
        ASSERT_NE(near, d.spots.end());
        EXPECT_NEAR(near->latitude, c.latitude, 0.2);
        EXPECT_NEAR(near->centralDistance, c.west, 0.2);
        EXPECT_NEAR(near->longitude, kL0 + c.west, 0.2);
        EXPECT_NEAR(near->areaMsh, c.areaMsh, 0.05 * c.areaMsh);
        // An umbra of 0.42 times the radius holds 0.42^2 of the area, near enough on a cap
        // this small.
        EXPECT_NEAR(near->umbraMsh, 0.1764 * c.areaMsh, 0.1 * 0.1764 * c.areaMsh + 1.5);
        EXPECT_EQ(near->group, c.group);
    }
}

// Nothing dark on the disk gives nothing, whatever the disk's own unevenness.
TEST(DetectSpots, ASpotlessDiskHasNoGroupsAndNoWolfNumber) {
    struct Case {
        const char* what;
        double gradient, limbDarkening, noise, centre;
    };
    const Case cases[] = {
        {"plain", 0, 0.6, 0.01, 210},
        {"a gradient of 30 % across the frame", 0.3, 0.6, 0.01, 200},
        {"no limb darkening, noisier", 0, 0, 0.02, 180},
        {"dim", 0.05, 0.6, 0.01, 60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SyntheticSun sun;
        sun.width = sun.height = 512;
        sun.cx = sun.cy = 255.5;
        sun.r = 230;
        sun.gradient = c.gradient;
        sun.limbDarkening = c.limbDarkening;
        sun.noise = c.noise;
        sun.centre = c.centre;
        const SpotDetection d = Detect(sun, sun.Render());
        EXPECT_EQ(d.error, "");
        EXPECT_TRUE(d.groups.empty());
        EXPECT_TRUE(d.spots.empty());
        EXPECT_EQ(d.wolf, WolfNumber{});
    }
}

// Lone dark pixels, a flat dark fleck and a line across the frame are no spots.
TEST(DetectSpots, DefectsOfTheCameraAreNoSpots) {
    SyntheticSun sun;
    sun.width = sun.height = 512;
    sun.cx = sun.cy = 255.5;
    sun.r = 230;
    std::vector<uint8_t> pixels = sun.Render();
    const auto at = [&](int x, int y) -> uint8_t& {
        return pixels[static_cast<std::size_t>(y) * sun.width + x];
    };
    at(200, 200) = 0;                // a dead pixel
    at(300, 320) = at(301, 320) = 0; // a dead pair, one level
    for (int y = 150; y < 154; ++y)  // a dust fleck, one level
        for (int x = 330; x < 334; ++x)
            at(x, y) = 40;
    for (int x = 0; x < sun.width; ++x) // a row 8 % dark from side to side
        at(x, 100) = static_cast<uint8_t>(at(x, 100) * 0.9);
    for (int y = 0; y < sun.height; ++y) // a dark column
        at(400, y) = static_cast<uint8_t>(at(400, y) * 0.8);
    const SpotDetection d = Detect(sun, pixels);
    EXPECT_EQ(d.error, "");
    EXPECT_TRUE(d.spots.empty()) << d.spots.size() << " spots, the first at "
                                 << (d.spots.empty() ? 0 : d.spots[0].x) << ", "
                                 << (d.spots.empty() ? 0 : d.spots[0].y);
}

// Pictures the search cannot use give a reason and nothing else; none gives a NaN.
TEST(DetectSpots, BadPicturesGiveAReasonOrNothing) {
    SyntheticSun sun;
    sun.width = sun.height = 256;
    sun.cx = sun.cy = 127.5;
    sun.r = 110;
    sun.spots.push_back({10, 0, CapRadius(300), 0.5, 0.8, 0.35});
    const std::vector<uint8_t> good = sun.Render();
    const DiskFrame frame = SyntheticFrame(sun);
    const Ephemeris e = SyntheticEphemeris(0);
    const auto gridOf = [](const std::vector<uint8_t>& p, int w, int h) {
        return PixelGrid(p.data(), w, h, w, PixelLayout::Grey8);
    };

    struct Case {
        const char* what;
        std::vector<uint8_t> pixels;
        int width, height;
        DiskFrame frame;
        bool error; // a reason is expected; otherwise an empty result will do
    };
    std::vector<Case> cases;
    cases.push_back({"an 8-pixel picture", std::vector<uint8_t>(8, 200), 4, 2, frame, true});
    DiskFrame small = frame;
    small.cx = small.cy = 1.5;
    small.rx = small.ry = 1.5;
    cases.push_back(
        {"an 8-pixel picture with its own disk", std::vector<uint8_t>(8, 200), 4, 2, small, true});
    cases.push_back({"a black disk", std::vector<uint8_t>(good.size(), 0), 256, 256, frame, true});
    cases.push_back(
        {"a saturated disk", std::vector<uint8_t>(good.size(), 255), 256, 256, frame, true});
    DiskFrame away = frame;
    away.cx = -5000;
    cases.push_back({"a disk beside the picture", good, 256, 256, away, true});
    DiskFrame nan = frame;
    nan.rx = std::nan("");
    cases.push_back({"a disk of no number", good, 256, 256, nan, true});
    DiskFrame huge = frame;
    huge.rx = huge.ry = 1e300;
    cases.push_back({"a disk larger than any picture", good, 256, 256, huge, true});
    DiskFrame zero = frame;
    zero.rx = zero.ry = 0;
    cases.push_back({"a disk of no size", good, 256, 256, zero, true});
    // Cloud across the lower half: a third of the light gone with a sharp edge.
    std::vector<uint8_t> cloud = good;
    for (std::size_t i = cloud.size() / 2; i < cloud.size(); ++i)
        cloud[i] = static_cast<uint8_t>(cloud[i] * 2 / 3);
    cases.push_back({"cloud across half the disk", cloud, 256, 256, frame, false});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const SpotDetection d = DetectSpots(gridOf(c.pixels, c.width, c.height), c.frame, e);
        ExpectFinite(d);
        if (c.error) {
            EXPECT_NE(d.error, "");
            EXPECT_TRUE(d.spots.empty());
            EXPECT_TRUE(d.groups.empty());
        }
        // What is found under the cloud is at most the real spot, never the cloud's edge.
        EXPECT_LE(d.groups.size(), 1u);
    }
}

// What is not a sunspot, one kind at a time, each on a blurred, noisy disk that also
// holds one real spot of 150 millionths: the spot is found and nothing else is counted,
// and what was dark enough to be asked about is named with the reason.
TEST(DetectSpots, WhatIsNotTheSunIsToldFromASpot) {
    struct Case {
        const char* what;
        const char* reason; // a word of the reason given; nothing when silence will do
    };
    const Case cases[] = {
        {"a pixel at 0.6 beside normal ones", "blur"},
        {"a blemish of 3 by 3 pixels at 5 %", "fault of the camera"},
        {"a green stain", "one colour"},
        {"a field whose light falls to a third at one limb", nullptr},
        {"noise of 4 %", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string what = c.what;
        SyntheticSun sun;
        sun.width = sun.height = 700;
        sun.cx = sun.cy = 349.5;
        sun.r = 310;
        sun.blur = 1.3;
        sun.spots.push_back({-12, 25, CapRadius(150), 0.4 * CapRadius(150), 0.8, 0.35});
        if (what.find("field") != std::string::npos) {
            sun.vignetting = 0.3;
            sun.axisX = 220; // 158 px from the centre: at the far limb 1 - 0.3 (468 / 310)^2
            sun.axisY = 260;
            sun.gradient = 0;
            sun.noise = 0.02;
        }
        if (what.find("noise") != std::string::npos) sun.noise = 0.04;
        SpotDetection d;
        if (what.find("green") != std::string::npos) {
            // Green halved at the middle of a blob as soft as the blur, red and blue as they
            // were: dark enough in the mean of the three to be asked about.
            std::vector<uint32_t> colour = sun.RenderColour(1.0, 0.55, 0.12);
            for (int y = 200; y < 260; ++y)
                for (int x = 185; x < 245; ++x) {
                    uint32_t& v = colour[static_cast<std::size_t>(y) * sun.width + x];
                    const double d2 = (x - 215.0) * (x - 215.0) + (y - 230.0) * (y - 230.0);
                    const double kept = 1 - 0.5 * std::exp(-d2 / (2 * 8.0 * 8.0));
                    const auto green = static_cast<uint32_t>(((v >> 8) & 0xFF) * kept);
                    v = (v & 0xFFFF00FFU) | (green << 8);
                }
            const PixelGrid grid(reinterpret_cast<const uint8_t*>(colour.data()), sun.width,
                                 sun.height, sun.width * 4, PixelLayout::Xrgb32);
            d = DetectSpots(grid, SyntheticFrame(sun), SyntheticEphemeris(sun.b0));
        } else {
            std::vector<uint8_t> pixels = sun.Render();
            const auto at = [&](int x, int y) -> uint8_t& {
                return pixels[static_cast<std::size_t>(y) * sun.width + x];
            };
            if (what.find("pixel at") != std::string::npos)
                at(250, 300) = static_cast<uint8_t>(at(250, 300) * 0.6);
            if (what.find("blemish") != std::string::npos)
                for (int y = 420; y < 423; ++y)
                    for (int x = 300; x < 303; ++x)
                        at(x, y) = static_cast<uint8_t>(at(x, y) * 0.05);
            d = Detect(sun, pixels);
        }
        ASSERT_EQ(d.error, "");
        ExpectFinite(d);
        ASSERT_EQ(d.groups.size(), 1u);
        EXPECT_NEAR(d.groups[0].latitude, -12, 0.5);
        EXPECT_NEAR(d.groups[0].centralDistance, 25, 0.5);
        if (c.reason) {
            const auto named =
                std::find_if(d.rejected.begin(), d.rejected.end(), [&](const auto& r) {
                    return r.reason.find(c.reason) != std::string::npos;
                });
            EXPECT_NE(named, d.rejected.end());
        }
    }
}

// Noise shared by neighbouring pixels, as granulation and a compressed picture's blocks
// share it: white noise smoothed by a Gaussian of `width` pixels, scaled to `sigma` of the
// quiet Sun at the centre, added to the picture.
void AddSharedNoise(const SyntheticSun& sun, std::vector<uint8_t>& pixels, double sigma,
                    double width) {
    std::mt19937 random(7);
    const auto uniform = [&] { return (random() + 0.5) / 4294967296.0; };
    const int32_t w = sun.width, h = sun.height, reach = static_cast<int32_t>(3 * width);
    std::vector<double> white(pixels.size()), smooth(pixels.size(), 0.0);
    for (double& v : white)
        v = std::sqrt(-2 * std::log(uniform())) * std::cos(2 * 3.141592653589793 * uniform());
    double kernelSquares = 0;
    for (int32_t j = -reach; j <= reach; ++j)
        for (int32_t i = -reach; i <= reach; ++i)
            kernelSquares += std::pow(std::exp(-(i * i + j * j) / (2 * width * width)), 2);
    for (int32_t y = reach; y < h - reach; ++y)
        for (int32_t x = reach; x < w - reach; ++x) {
            double v = 0;
            for (int32_t j = -reach; j <= reach; ++j)
                for (int32_t i = -reach; i <= reach; ++i)
                    v += std::exp(-(i * i + j * j) / (2 * width * width)) *
                         white[static_cast<std::size_t>(y + j) * w + x + i];
            smooth[static_cast<std::size_t>(y) * w + x] = v / std::sqrt(kernelSquares);
        }
    for (std::size_t k = 0; k < pixels.size(); ++k)
        pixels[k] = static_cast<uint8_t>(
            std::clamp(std::lround(pixels[k] + sigma * sun.centre * smooth[k]), 0L, 255L));
}

// Spots counted as an observer counts them, on a disk of radius 310 px, where a degree at
// the centre is 5.4 px: each dark core that a brighter saddle parts from the others is a
// spot, and a pore as small as the blur is one too, even beside a large spot and in noise
// that neighbouring pixels share; a core the noise could make is not. An umbra is drawn as
// a spot of umbra alone inside a penumbra without one (the generator draws the first spot
// a pixel falls in).
TEST(DetectSpots, EachDarkCoreAnObserverCountsIsASpot) {
    const double pen = CapRadius(400); // 1.6 degrees, 8.8 px
    const auto core = [](double west, double radius, double level) {
        return SyntheticSpot{-12, west, radius, radius, level, level};
    };
    const SyntheticSpot spot{-12, 25, CapRadius(150), 0.4 * CapRadius(150), 0.8, 0.35};
    struct Case {
        const char* what;
        std::vector<SyntheticSpot> spots;
        double blur, shared; // the picture's blur, and its noise shared by neighbours
        int32_t expected;    // spots, all of one group
    };
    const Case cases[] = {
        {"a penumbra with one umbra", {{-12, 25, pen, 0.4 * pen, 0.8, 0.35}}, 1.0, 0, 1},
        // Cores 0.45 degrees (2.4 px) in radius, 1.7 degrees apart: penumbra between them.
        {"a penumbra with two umbrae",
         {core(24.15, 0.45, 0.35), core(25.85, 0.45, 0.35), {-12, 25, pen, 0, 0.8, 0.8}},
         1.0,
         0,
         2},
        // Umbrae 1 degree (5.4 px) apart, a light bridge of 0.6 px between them: blurred, it
        // stays darker than an umbra.
        {"an umbra parted by a light bridge",
         {core(24.5, 0.45, 0.3), core(25.5, 0.45, 0.3), {-12, 25, pen, 0, 0.8, 0.8}},
         1.0,
         0,
         2},
        // 0.25 degrees (1.35 px) in radius at 0.55: a blurred depth of about a quarter, its
        // centre 9 px from the spot's, 3 px clear of its penumbra.
        {"a pore as small as the blur beside a spot", {spot, core(23.35, 0.25, 0.55)}, 1.0, 0, 2},
        // A pore of 0.12 degrees (0.65 px) at 0.5 on a sharp picture (blur 0.5 px) whose
        // noise of 1 % is shared over 1.5 px: a mean of nine pixels waters the pore down to
        // a depth of 1.5 %, while the noise of such means is still three quarters of 1 %.
        {"a pore in shared noise", {spot, core(23.35, 0.12, 0.5)}, 0.5, 0.01, 2},
        // The same pore at 0.97: a depth of a few thousandths, far below the noise.
        {"a pore the noise hides", {spot, core(23.35, 0.25, 0.97)}, 1.0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SyntheticSun sun;
        sun.width = sun.height = 700;
        sun.cx = sun.cy = 349.5;
        sun.r = 310;
        sun.blur = c.blur;
        sun.spots = c.spots;
        if (c.shared > 0) sun.noise = 0;
        std::vector<uint8_t> pixels = sun.Render();
        if (c.shared > 0) AddSharedNoise(sun, pixels, c.shared, 1.5);
        const SpotDetection d = Detect(sun, pixels);
        ASSERT_EQ(d.error, "");
        EXPECT_EQ(d.groups.size(), 1u);
        EXPECT_EQ(static_cast<int32_t>(d.spots.size()), c.expected);
        EXPECT_TRUE(d.rejected.empty()) << d.rejected.front().reason;
    }
}

// A disk the frame cuts (here to two thirds of it) is searched where it is seen: a
// spotless one gives a Wolf number of 0, and the share of the disk seen is that of the
// pixels of its circle within the frame, counted here, less the band at the limb.
TEST(DetectSpots, ADiskCutByTheFrameIsSearchedWhereItIsSeen) {
    SyntheticSun sun;
    sun.width = 640;
    sun.height = 480;
    sun.cx = 320;
    sun.cy = 400;
    sun.r = 300;
    sun.blur = 1.2;
    sun.noise = 0.015;
    int64_t inside = 0;
    for (int y = 0; y < sun.height; ++y)
        for (int x = 0; x < sun.width; ++x)
            inside += std::hypot(x - sun.cx, y - sun.cy) <= sun.r;
    const double seen = static_cast<double>(inside) / (3.141592653589793 * sun.r * sun.r);
    const SpotDetection spotless = Detect(sun, sun.Render());
    ASSERT_EQ(spotless.error, "");
    EXPECT_EQ(spotless.wolf, WolfNumber{});
    EXPECT_LE(spotless.diskSeen, seen);
    EXPECT_GE(spotless.diskSeen, seen - 0.04);
    sun.spots.push_back({20, -10, CapRadius(200), 0.4 * CapRadius(200), 0.8, 0.35});
    const SpotDetection spotted = Detect(sun, sun.Render());
    ASSERT_EQ(spotted.groups.size(), 1u);
    EXPECT_NEAR(spotted.groups[0].latitude, 20, 0.5);
}

// Mercury in front of the Sun on 11 November 2019 at 15:20 UT, drawn as a black disc of
// its size where the ephemeris puts it, beside a spot: the planet is named where it is
// seen and not counted.
TEST(DetectSpots, APlanetInTransitIsNamedAndNotCounted) {
    YearTables tables(std::nullopt);
    const Instant instant{2019, 11, 11, 15, 20, 0};
    const Ephemeris e = tables.At(instant, {});
    SyntheticSun sun;
    sun.width = sun.height = 1200;
    sun.cx = sun.cy = 599.5;
    sun.r = 560;
    sun.b0 = e.B0;
    sun.blur = 1.0;
    ChartGeometry g;
    g.Mode = Orientation::RotationAxis;
    g.MirrorSign = -1;
    const DiskFrame frame = ImageFrame(sun.cx, sun.cy, sun.r, g, 0);
    const std::optional<PlanetOnDisk> mercury =
        PlaceInnerPlanet(InnerPlanet::Mercury, instant, frame, e);
    ASSERT_TRUE(mercury.has_value());
    sun.discs.push_back({mercury->x, mercury->y, mercury->radius, 0.0});
    sun.spots.push_back({15, -30, CapRadius(200), 0.4 * CapRadius(200), 0.8, 0.35});
    const std::vector<uint8_t> pixels = sun.Render();
    const PixelGrid grid(pixels.data(), sun.width, sun.height, sun.width, PixelLayout::Grey8);
    const SpotDetection d = DetectSpots(grid, frame, e, {}, instant);
    ASSERT_EQ(d.error, "");
    ASSERT_EQ(d.transits.size(), 1u);
    EXPECT_EQ(d.transits[0].body, "Mercury");
    EXPECT_NEAR(d.transits[0].x, mercury->x, 1.0);
    EXPECT_NEAR(d.transits[0].y, mercury->y, 1.0);
    EXPECT_EQ(d.groups.size(), 1u);
    EXPECT_EQ(d.wolf.total, 11);
    // Without the instant the planet is one more spot.
    EXPECT_EQ(DetectSpots(grid, frame, e).wolf.total, 22);
}

// A click inside a spot's outline finds that spot; one on the quiet Sun finds none.
TEST(DetectSpots, AClickFindsTheSpotUnderIt) {
    SyntheticSun sun;
    sun.width = sun.height = 256;
    sun.cx = sun.cy = 127.5;
    sun.r = 110;
    sun.spots.push_back({0, -20, CapRadius(400), 0.5, 0.8, 0.35});
    sun.spots.push_back({0, 20, CapRadius(400), 0.5, 0.8, 0.35});
    const SpotDetection d = Detect(sun, sun.Render());
    ASSERT_EQ(d.spots.size(), 2u);
    for (const DetectedSpot& s : d.spots) {
        const DetectedSpot* hit = SpotAtPixel(d, std::round(s.x), std::round(s.y));
        ASSERT_NE(hit, nullptr);
        EXPECT_EQ(hit->id, s.id);
    }
    EXPECT_EQ(SpotAtPixel(d, sun.cx, sun.cy), nullptr);
}

} // namespace
} // namespace zorva
