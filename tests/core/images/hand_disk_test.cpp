#include "core/images/hand_disk.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <string>
#include <vector>

namespace zorva {
namespace {

// Points on circles known beforehand: the circle of radius 25 about (300, 250) passes
// through whole pixels, since 7^2 + 24^2 = 15^2 + 20^2 = 25^2.
TEST(FitCircleThrough, GivesTheCircleThePointsLieOn) {
    struct Case {
        std::string what;
        std::vector<PicturePoint> points;
        Circle expected;
        double tolerance;
    };
    std::vector<Case> cases = {
        {"three points", {{325, 250}, {300, 275}, {275, 250}}, {300, 250, 25}, 1e-9},
        {"a sixth of the limb",
         {{307, 226}, {315, 230}, {320, 235}, {324, 243}},
         {300, 250, 25},
         1e-9},
        // Every other point half a pixel out, the rest half a pixel in: by symmetry the
        // centre stays, and the radius is the mean distance.
        {"points off the limb both ways", {}, {300, 250, 25}, 1e-9},
        {"a large picture's disk", {}, {2048.5, 2047.25, 1800}, 1e-6},
    };
    for (int k = 0; k < 8; ++k) {
        const double a = k * std::numbers::pi / 4;
        const double r = 25 + (k % 2 == 0 ? 0.5 : -0.5);
        cases[2].points.push_back({300 + r * std::cos(a), 250 + r * std::sin(a)});
    }
    for (const double degrees : {10.0, 100.0, 200.0, 300.0}) {
        const double a = degrees * std::numbers::pi / 180;
        cases[3].points.push_back({2048.5 + 1800 * std::cos(a), 2047.25 + 1800 * std::sin(a)});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto fit = FitCircleThrough(c.points);
        ASSERT_TRUE(fit.has_value());
        EXPECT_NEAR(fit->cx, c.expected.cx, c.tolerance);
        EXPECT_NEAR(fit->cy, c.expected.cy, c.tolerance);
        EXPECT_NEAR(fit->r, c.expected.r, c.tolerance);
    }
}

TEST(FitCircleThrough, NoCircleThroughTooFewOrLinedUpPoints) {
    const std::vector<std::vector<PicturePoint>> cases = {
        {},
        {{325, 250}, {275, 250}},
        {{0, 0}, {10, 10}, {20, 20}},
        {{5, 5}, {5, 5}, {5, 5}},
    };
    for (const auto& points : cases)
        EXPECT_FALSE(FitCircleThrough(points).has_value()) << points.size();
}

TEST(HandDiskDraft, ADragFromTheCentreSetsTheRadius) {
    HandDiskDraft d;
    d.points = {{1, 1}}; // clicked before: the drag replaces them
    PressHandDisk(d, {100, 100}, 2);
    DragHandDisk(d, {101, 100}); // within the click's reach: no circle yet
    EXPECT_FALSE(d.circle.has_value());
    DragHandDisk(d, {130, 140});
    ASSERT_TRUE(d.circle.has_value());
    EXPECT_EQ(*d.circle, (Circle{100, 100, 50})); // a 30-40-50 triangle
    EXPECT_EQ(ReleaseHandDisk(d, {100, 160}), HandDiskStep::Dragged);
    EXPECT_EQ(*d.circle, (Circle{100, 100, 60}));
    EXPECT_TRUE(d.points.empty());
    EXPECT_FALSE(d.press.has_value());

    NudgeHandDisk(d, -2, 3, -70);
    EXPECT_EQ(*d.circle, (Circle{98, 103, 0})); // the radius stops at nothing
}

TEST(HandDiskDraft, ClicksOnTheLimbFitTheCircleFromTheThird) {
    HandDiskDraft d;
    // A hand that wanders a pixel while clicking still clicks.
    const PicturePoint limb[] = {{325, 250}, {300, 275}, {275, 250}};
    const HandDiskStep expected[] = {HandDiskStep::Point, HandDiskStep::Point,
                                     HandDiskStep::Fitted};
    for (int i = 0; i < 3; ++i) {
        PressHandDisk(d, {limb[i].x + 1, limb[i].y}, 3);
        DragHandDisk(d, {limb[i].x + 0.5, limb[i].y});
        EXPECT_EQ(ReleaseHandDisk(d, limb[i]), expected[i]) << i;
    }
    ASSERT_TRUE(d.circle.has_value());
    EXPECT_NEAR(d.circle->cx, 300, 1e-9);
    EXPECT_NEAR(d.circle->cy, 250, 1e-9);
    EXPECT_NEAR(d.circle->r, 25, 1e-9);
    // A fourth point on the same limb: the fit through all four is the same circle.
    PressHandDisk(d, {300, 225}, 3);
    EXPECT_EQ(ReleaseHandDisk(d, {300, 225}), HandDiskStep::Fitted);
    EXPECT_NEAR(d.circle->r, 25, 1e-9);
}

} // namespace
} // namespace zorva
