#include "core/images/circle_fit.h"

#include <cmath>
#include <gtest/gtest.h>

namespace zorva {
namespace {

TEST(Invert3x3, CofactorInverseAndSingularMatrix) {
    // A matrix and its inverse worked by hand: det = 5, the adjugate below over 5.
    const Matrix3 m = {2, 0, 1, 1, 1, 0, 0, 3, 1};
    Matrix3 inv{};
    ASSERT_TRUE(Invert3x3(m, inv));
    const Matrix3 expected = {1, 3, -1, -1, 2, 1, 3, -6, 2}; // m times it is 5 I
    for (std::size_t i = 0; i < 9; ++i)
        EXPECT_NEAR(inv[i], expected[i] / 5, 1e-12) << i;
    // Rows 1 and 3 equal: no inverse, and nothing written.
    const Matrix3 singular = {1, 2, 3, 4, 5, 6, 1, 2, 3};
    Matrix3 untouched = {7, 7, 7, 7, 7, 7, 7, 7, 7};
    EXPECT_FALSE(Invert3x3(singular, untouched));
    EXPECT_EQ(untouched[4], 7);
}

TEST(MatrixHelpers, NormalEquationsOfASmallSystem) {
    // J = [[1, 2, 3], [4, 5, 6]]: J^T J and J^T v by hand.
    const double j[] = {1, 2, 3, 4, 5, 6};
    double jt[6] = {};
    TransposeNx3(j, 2, jt);
    const double expectedT[] = {1, 4, 2, 5, 3, 6};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(jt[i], expectedT[i]);
    const Matrix3 n = Multiply3xNByNx3(jt, j, 2);
    const Matrix3 expectedN = {17, 22, 27, 22, 29, 36, 27, 36, 45};
    EXPECT_EQ(n, expectedN);
    const double v[] = {1, -1};
    EXPECT_EQ(Multiply3xNByVector(jt, v, 2), (Vector3{-3, -3, -3}));
    EXPECT_EQ(Multiply3x3ByVector(expectedN, {1, 0, -1}), (Vector3{-10, -14, -18}));
}

LimbPoints PythagoreanCircle(int32_t cx, int32_t cy) {
    // The 20 whole-pixel points at distance 25: 25^2 = 7^2 + 24^2 = 15^2 + 20^2 = 0 + 25^2.
    const int32_t legs[][2] = {{7, 24}, {24, 7}, {15, 20}, {20, 15}, {0, 25}};
    LimbPoints pts;
    std::size_t i = 0;
    for (const auto& leg : legs) {
        for (const int32_t sx : {1, -1}) {
            for (const int32_t sy : {1, -1}) {
                if ((leg[0] == 0 && sx < 0)) continue;
                pts.x[i] = cx + sx * leg[0];
                pts.y[i] = cy + sy * leg[1];
                pts.flag[i++] = LimbPointAccepted;
                if (leg[0] == 0) { // and the same on the x axis
                    pts.x[i] = cx + sy * leg[1];
                    pts.y[i] = cy;
                    pts.flag[i++] = LimbPointAccepted;
                }
            }
        }
    }
    return pts;
}

TEST(GaussNewtonFit, FindsACircleThroughExactPoints) {
    const LimbPoints pts = PythagoreanCircle(100, 50);
    Circle c{110, 45, 30};
    const FitOutcome out = GaussNewtonFit(pts, c);
    EXPECT_FALSE(out.failed);
    EXPECT_EQ(out.points, 20);
    // Stops once a correction is below half a pixel; from there Gauss-Newton on exact
    // points is within a hundredth.
    EXPECT_NEAR(c.cx, 100, 0.01);
    EXPECT_NEAR(c.cy, 50, 0.01);
    EXPECT_NEAR(c.r, 25, 0.01);
}

TEST(GaussNewtonFit, TooFewPointsLeaveTheCircleAndSaySo) {
    Circle c{10, 10, 5};
    LimbPoints none;
    FitOutcome out = GaussNewtonFit(none, c);
    EXPECT_EQ(out.points, 0);
    EXPECT_FALSE(out.failed); // the caller reports a fit without points
    EXPECT_EQ(c, (Circle{10, 10, 5}));

    // Two distinct points, one of them twice: no circle is defined.
    LimbPoints two;
    two.x = {{1, 1, 30}};
    two.y = {{2, 2, 40}};
    two.flag = {{LimbPointAccepted, LimbPointAccepted, LimbPointAccepted}};
    out = GaussNewtonFit(two, c);
    EXPECT_TRUE(out.failed);
    EXPECT_EQ(c, (Circle{10, 10, 5}));

    // Three points on a line: the iterations run away or stop, but end in finite numbers
    // and a failure.
    LimbPoints line;
    line.x = {{0, 10, 20}};
    line.y = {{0, 0, 0}};
    line.flag = {{LimbPointAccepted, LimbPointAccepted, LimbPointAccepted}};
    Circle d{10, 5, 5};
    out = GaussNewtonFit(line, d);
    EXPECT_TRUE(std::isfinite(d.cx) && std::isfinite(d.cy) && std::isfinite(d.r));
}

TEST(GaussNewtonFit, PointAtTheCentreSitsOut) {
    LimbPoints pts = PythagoreanCircle(100, 50);
    pts.x[30] = 110; // exactly at the starting centre
    pts.y[30] = 45;
    pts.flag[30] = LimbPointAccepted;
    Circle c{110, 45, 30};
    const FitOutcome out = GaussNewtonFit(pts, c);
    EXPECT_TRUE(std::isfinite(c.cx) && std::isfinite(c.r));
    EXPECT_EQ(out.points, 21);
}

} // namespace
} // namespace zorva
