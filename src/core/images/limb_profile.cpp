#include "core/images/limb_profile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace zorva {

namespace {

// G and its slope are tabulated once, from the integrals in y = u^2 (smooth in u), and
// taken between the entries by the cubic through both.
constexpr double kTableFrom = -10; // below, G and its slope are 0 to far below a grey level
constexpr double kTableTo = 50;    // above, the series of G for large x is used
constexpr double kTableStep = 1.0 / 32;
constexpr int kQuadratureIntervals = 256; // even, for Simpson's rule
// phi beyond this many widths adds nothing a picture can show.
constexpr double kDensityReach = 9;

double Density(double x) {
    return std::exp(-0.5 * x * x) / std::sqrt(2 * std::numbers::pi);
}

double Distribution(double x) {
    return 0.5 * std::erfc(-x / std::numbers::sqrt2);
}

struct SquareRootTable {
    std::vector<double> value;
    std::vector<double> slope;

    SquareRootTable() {
        const auto n =
            static_cast<std::size_t>(std::lround((kTableTo - kTableFrom) / kTableStep)) + 1;
        value.resize(n);
        slope.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            const double x = kTableFrom + static_cast<double>(i) * kTableStep;
            // G = integral of 2 u^2 phi(x - u^2) du, its slope = integral of phi(x - u^2) du
            // (by parts), over the u where phi is not negligible.
            const double from = std::sqrt(std::max(0.0, x - kDensityReach));
            const double to = std::sqrt(std::max(0.0, x + kDensityReach));
            const double h = (to - from) / kQuadratureIntervals;
            double g = 0;
            double d = 0;
            for (int k = 0; k <= kQuadratureIntervals; ++k) {
                const double u = from + k * h;
                const double weight =
                    (k == 0 || k == kQuadratureIntervals) ? 1 : (k % 2 == 1 ? 4 : 2);
                const double p = Density(x - u * u);
                g += weight * 2 * u * u * p;
                d += weight * p;
            }
            value[i] = g * h / 3;
            slope[i] = d * h / 3;
        }
    }
};

const SquareRootTable& Table() {
    static const SquareRootTable table;
    return table;
}

// G(x) and its slope; 0 for a value that is not a number, which a fit then refuses.
void SquareRoot(double x, double& g, double& slope) {
    if (!(x > kTableFrom)) {
        g = 0;
        slope = 0;
        return;
    }
    if (x >= kTableTo) {
        // sqrt(x + z) averaged over z: sqrt(x) (1 - 1 / (8 x^2)) and smaller terms.
        const double root = std::sqrt(x);
        g = root * (1 - 1 / (8 * x * x));
        slope = (1 + 3 / (8 * x * x)) / (2 * root);
        return;
    }
    const SquareRootTable& t = Table();
    const double at = (x - kTableFrom) / kTableStep;
    const auto i = std::min(static_cast<std::size_t>(at), t.value.size() - 2);
    const double a = at - static_cast<double>(i);
    const double g0 = t.value[i];
    const double g1 = t.value[i + 1];
    const double d0 = t.slope[i] * kTableStep;
    const double d1 = t.slope[i + 1] * kTableStep;
    const double a2 = a * a;
    const double a3 = a2 * a;
    g = (2 * a3 - 3 * a2 + 1) * g0 + (a3 - 2 * a2 + a) * d0 + (3 * a2 - 2 * a3) * g1 +
        (a3 - a2) * d1;
    slope = ((6 * a2 - 6 * a) * g0 + (3 * a2 - 4 * a + 1) * d0 + (6 * a - 6 * a2) * g1 +
             (3 * a2 - 2 * a) * d1) /
            kTableStep;
}

// The parameters of the model, in this order.
enum Parameter : std::size_t { kSky, kStep, kEdge, kSpread, kDarkening, kParameters };
using Parameters = std::array<double, kParameters>;
using Gradient = std::array<double, kParameters>;

// The model at t, and its gradient by the parameters.
double Model(const Parameters& p, double t, Gradient* gradient) {
    const double sigma = p[kSpread];
    const double root = std::sqrt(sigma);
    const double x = (p[kEdge] - t) / sigma;
    double g = 0;
    double slope = 0;
    SquareRoot(x, g, slope);
    const double phi = Distribution(x);
    if (gradient != nullptr) {
        const double alongX = p[kStep] * Density(x) + p[kDarkening] * root * slope;
        *gradient = {1, phi, alongX / sigma, -x / sigma * alongX + p[kDarkening] * g / (2 * root),
                     root * g};
    }
    return p[kSky] + p[kStep] * phi + p[kDarkening] * root * g;
}

double SquaredMisfit(std::span<const double> b, double first, double step, const Parameters& p) {
    double sum = 0;
    for (std::size_t k = 0; k < b.size(); ++k) {
        const double r = b[k] - Model(p, first + static_cast<double>(k) * step, nullptr);
        sum += r * r;
    }
    return sum;
}

using Normal = std::array<double, kParameters * kParameters>;

// The Gauss-Newton normal equations of the misfit at `p`: the gradients' products summed
// over the samples, and the gradients weighted by the residuals.
void NormalEquations(std::span<const double> b, double first, double step, const Parameters& p,
                     Normal& normal, Gradient& towards) {
    for (std::size_t k = 0; k < b.size(); ++k) {
        Gradient g{};
        const double r = b[k] - Model(p, first + static_cast<double>(k) * step, &g);
        for (std::size_t i = 0; i < kParameters; ++i) {
            towards[i] += g[i] * r;
            for (std::size_t j = 0; j < kParameters; ++j)
                normal[i * kParameters + j] += g[i] * g[j];
        }
    }
}

// Solves the n x n system a x = v (a row-major, overwritten) by elimination with the
// largest pivot; false when it is singular or not finite.
template <std::size_t N>
bool Solve(std::array<double, N * N>& a, std::array<double, N>& v, std::size_t n) {
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t pivot = c;
        for (std::size_t r = c + 1; r < n; ++r) {
            if (std::fabs(a[r * N + c]) > std::fabs(a[pivot * N + c])) pivot = r;
        }
        if (!(std::fabs(a[pivot * N + c]) > 0) || !std::isfinite(a[pivot * N + c])) return false;
        if (pivot != c) {
            for (std::size_t k = 0; k < n; ++k)
                std::swap(a[c * N + k], a[pivot * N + k]);
            std::swap(v[c], v[pivot]);
        }
        for (std::size_t r = c + 1; r < n; ++r) {
            const double f = a[r * N + c] / a[c * N + c];
            for (std::size_t k = c; k < n; ++k)
                a[r * N + k] -= f * a[c * N + k];
            v[r] -= f * v[c];
        }
    }
    for (std::size_t c = n; c-- > 0;) {
        double s = v[c];
        for (std::size_t k = c + 1; k < n; ++k)
            s -= a[c * N + k] * v[k];
        v[c] = s / a[c * N + c];
    }
    return true;
}

// The spread starts at a pixel and stays between a quarter of a pixel (sharper than the
// samples, taken between pixels, can show) and a quarter of the samples' span.
constexpr double kStartSpread = 1;
constexpr double kSmallestSpread = 0.25;
constexpr double kLargestSpreadOfSpan = 0.25;
// Levenberg-Marquardt: the damping of the diagonal starts small and is scaled by ten on
// a step that fails or succeeds; the fit is settled when the edge and the spread move less
// than a thousandth of a pixel (as the circle through the edges), or gives up when the
// damping grows this large.
constexpr double kStartDamping = 1e-3;
constexpr double kDampingFactor = 10;
constexpr double kLargestDamping = 1e10;
constexpr double kSmallestDamping = 1e-12;
constexpr double kSettled = 1e-3;
constexpr int kMostIterations = 100;
// The edge must lie this many pixels inside the samples at either end, and within this
// many of the start: the steepest fall lies within a spread or so of the edge.
constexpr double kEdgeMargin = 2;
constexpr double kLargestShift = 2;
// The model's change across the edge, over a spread and a pixel either side of it, must
// be at least this many grey levels the limb's way.
constexpr double kLeastContrast = 2;
constexpr double kContrastReach = 1;

// Levenberg-Marquardt from `p`.
void Settle(std::span<const double> b, double first, double step, double largestSpread,
            Parameters& p) {
    double misfit = SquaredMisfit(b, first, step, p);
    double damping = kStartDamping;
    for (int iteration = 0; iteration < kMostIterations && damping < kLargestDamping; ++iteration) {
        Normal normal{};
        Gradient towards{};
        NormalEquations(b, first, step, p, normal, towards);
        bool moved = false;
        bool settled = false;
        while (!moved && damping < kLargestDamping) {
            Normal a = normal;
            Gradient delta = towards;
            for (std::size_t i = 0; i < kParameters; ++i)
                a[i * kParameters + i] *= 1 + damping;
            if (!Solve<kParameters>(a, delta, kParameters)) {
                damping *= kDampingFactor;
                continue;
            }
            Parameters trial = p;
            for (std::size_t i = 0; i < kParameters; ++i)
                trial[i] += delta[i];
            trial[kSpread] = std::clamp(trial[kSpread], kSmallestSpread, largestSpread);
            const double trialMisfit = SquaredMisfit(b, first, step, trial);
            if (trialMisfit <= misfit) {
                settled = std::fabs(trial[kEdge] - p[kEdge]) < kSettled &&
                          std::fabs(trial[kSpread] - p[kSpread]) < kSettled;
                p = trial;
                misfit = trialMisfit;
                damping = std::max(damping / kDampingFactor, kSmallestDamping);
                moved = true;
            } else {
                damping *= kDampingFactor;
            }
        }
        if (settled || !moved) break;
    }
}

} // namespace

double BlurredSquareRoot(double x) {
    double g = 0;
    double slope = 0;
    SquareRoot(x, g, slope);
    return g;
}

std::optional<LimbProfileFit> FitLimbProfile(std::span<const double> brightness, double first,
                                             double step, double start, double outward) {
    const std::size_t n = brightness.size();
    if (n < kParameters + 2 || !(step > 0) || !std::isfinite(first)) return std::nullopt;
    const double last = first + static_cast<double>(n - 1) * step;
    const double largestSpread = kLargestSpreadOfSpan * (last - first);
    if (!(largestSpread >= kSmallestSpread)) return std::nullopt;

    // Sky and step at the start, by linear least squares, the darkening left to the fit.
    Parameters p{0, 0, start, std::clamp(kStartSpread, kSmallestSpread, largestSpread), 0};
    {
        constexpr std::size_t kLinear = 2;
        std::array<double, kParameters * kParameters> a{};
        Gradient v{};
        for (std::size_t k = 0; k < n; ++k) {
            Gradient g{};
            Model(p, first + static_cast<double>(k) * step, &g);
            for (std::size_t i = 0; i < kLinear; ++i) {
                v[i] += g[i] * brightness[k];
                for (std::size_t j = 0; j < kLinear; ++j)
                    a[i * kParameters + j] += g[i] * g[j];
            }
        }
        if (!Solve<kParameters>(a, v, kLinear)) return std::nullopt;
        p[kSky] = v[kSky];
        p[kStep] = v[kStep];
    }
    Settle(brightness, first, step, largestSpread, p);

    for (const double v : p) {
        if (!std::isfinite(v)) return std::nullopt;
    }
    const double edge = p[kEdge];
    if (edge < first + kEdgeMargin || edge > last - kEdgeMargin) return std::nullopt;
    if (std::fabs(edge - start) > kLargestShift) return std::nullopt;
    const double reach = p[kSpread] + kContrastReach;
    const double contrast =
        -outward * (Model(p, edge - reach, nullptr) - Model(p, edge + reach, nullptr));
    if (!(contrast >= kLeastContrast)) return std::nullopt;
    return LimbProfileFit{edge, p[kSpread], p[kSky], p[kStep], p[kDarkening]};
}

} // namespace zorva
