#include "core/images/limb_profile.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

namespace zorva {
namespace {

double Density(double x) {
    return std::exp(-0.5 * x * x) / std::sqrt(2 * std::numbers::pi);
}

TEST(LimbProfile, BlurredSquareRootAgainstDirectSums) {
    // At 0: half the mean of |Z|^(1/2) for a standard normal Z, 2^(1/4) Gamma(3/4) / sqrt(pi).
    EXPECT_NEAR(BlurredSquareRoot(0),
                std::pow(2.0, 0.25) * std::tgamma(0.75) / (2 * std::sqrt(std::numbers::pi)), 1e-7);
    // Elsewhere the integral over y summed directly (midpoints, in y rather than in the
    // root the table is made from), inside the table, between its entries and beyond it.
    for (const double x : {-6.0, -0.5, 0.77, 4.2, 20.1, 49.99, 50.01, 63.3}) {
        SCOPED_TRACE(x);
        constexpr double kStep = 1e-4;
        double sum = 0;
        for (double y = std::max(0.0, x - 12) + kStep / 2; y < x + 12; y += kStep)
            sum += Density(x - y) * std::sqrt(y) * kStep;
        EXPECT_NEAR(BlurredSquareRoot(x), sum, 2e-6);
    }
    EXPECT_EQ(BlurredSquareRoot(-40), 0.0);
}

// The brightness across a limb made the long way: sky + (a + c sqrt(depth)) inside the
// edge, summed against a Gaussian of width sigma, sampled every half pixel from -7 to 7.
std::vector<double> Profile(double edge, double sigma, double sky, double a, double c) {
    std::vector<double> b;
    for (int k = -14; k <= 14; ++k) {
        const double t = 0.5 * k;
        constexpr double kStep = 1e-3;
        double sum = sky;
        for (double s = -7 - 12 * sigma + kStep / 2; s < edge; s += kStep)
            sum += (a + c * std::sqrt(edge - s)) * Density((t - s) / sigma) / sigma * kStep;
        b.push_back(sum);
    }
    return b;
}

TEST(LimbProfile, TheFitFindsTheEdgeOfBlurredLimbDarkenedDisks) {
    const struct {
        const char* what;
        double edge, sigma, sky, a, c, outward, start;
    } cases[] = {
        {"sharp, dark sky", 0.3, 0.6, 3, 80, 25, -1, -0.5},
        {"blurred, dark sky", -0.7, 1.5, 10, 120, 40, -1, 0.3},
        {"much blurred, started far off", 1.2, 2.5, 0, 60, 60, -1, -0.6},
        {"darkened to nothing at the limb", 0, 1.2, 2, 0, 70, -1, -0.8},
        {"dark disk on a light field", 0.45, 1.0, 240, -150, -20, 1, 1.2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<double> b = Profile(c.edge, c.sigma, c.sky, c.a, c.c);
        const auto fit = FitLimbProfile(b, -7, 0.5, c.start, c.outward);
        ASSERT_TRUE(fit);
        EXPECT_NEAR(fit->edge, c.edge, 1e-3);
        EXPECT_NEAR(fit->spread, c.sigma, 1e-2);
        EXPECT_NEAR(fit->sky, c.sky, 0.05);
        // The steepest fall of the same profile lies inside the edge when the disk is
        // darkened towards its limb: what the fit is for.
        if (c.c > 0 && c.outward < 0) {
            std::size_t steepest = 1;
            for (std::size_t k = 1; k + 1 < b.size(); ++k) {
                if (b[k - 1] - b[k + 1] > b[steepest - 1] - b[steepest + 1]) steepest = k;
            }
            EXPECT_LT(-7 + 0.5 * static_cast<double>(steepest), c.edge);
        }
    }
}

TEST(LimbProfile, NoLimbNoFit) {
    const std::vector<double> flat(29, 100);
    EXPECT_FALSE(FitLimbProfile(flat, -7, 0.5, 0, -1));
    // A limb the wrong way round: brightness rising outwards where it should fall.
    std::vector<double> rising = Profile(0, 1, 10, 100, 0);
    std::reverse(rising.begin(), rising.end());
    EXPECT_FALSE(FitLimbProfile(rising, -7, 0.5, 0, -1));
    // An edge at the end of the samples.
    EXPECT_FALSE(FitLimbProfile(Profile(6.5, 1, 10, 100, 20), -7, 0.5, 5.5, -1));
    EXPECT_FALSE(FitLimbProfile(std::vector<double>(4, 1), -7, 0.5, 0, -1));
}

} // namespace
} // namespace zorva
